// The skin archive's deflate decoder: against zlib on many inputs, and on
// hand-built bitstreams for the rules zlib never exercises.

#include <gtest/gtest.h>
#include <zlib.h>

#include <algorithm>
#include <cstring>
#include <optional>
#include <string>
#include <vector>

#include "framework/Streams.h"
#include "skin/Inflate.h"
#include "tests/skin/BitWriter.h"
#include "tests/skin/SkinTestData.h"

namespace plx {
namespace {

using test::TBitWriter;

std::string Deflate(const std::string& input, int level, int strategy) {
  z_stream z{};
  EXPECT_EQ(deflateInit2(&z, level, Z_DEFLATED, -15, 9, strategy), Z_OK);
  std::string out(deflateBound(&z, input.size()) + 16, '\0');
  z.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(input.data()));
  z.avail_in = static_cast<uInt>(input.size());
  z.next_out = reinterpret_cast<Bytef*>(out.data());
  z.avail_out = static_cast<uInt>(out.size());
  EXPECT_EQ(deflate(&z, Z_FINISH), Z_STREAM_END);
  out.resize(z.total_out);
  deflateEnd(&z);
  return out;
}

// Hands out the input in small uneven pieces, so that the decoder's chunk
// refills land everywhere.
class TTricklingStream : public TStream {
 public:
  explicit TTricklingStream(std::string bytes) : bytes_(std::move(bytes)) {}
  std::size_t Read(void* buffer, std::size_t count) override {
    const std::size_t n = std::min({count, bytes_.size() - position_, std::size_t{1} + position_ % 7});
    std::memcpy(buffer, bytes_.data() + position_, n);
    position_ += n;
    return n;
  }
  std::size_t Write(const void*, std::size_t) override { return 0; }
  std::int64_t Seek(std::int64_t, TSeekOrigin) override { return static_cast<std::int64_t>(position_); }

 private:
  std::string bytes_;
  std::size_t position_ = 0;
};

// Accepts a fixed number of bytes, then refuses.
class TFullDiskStream : public TMemoryStream {
 public:
  explicit TFullDiskStream(std::size_t room) : room_(room) {}
  std::size_t Write(const void* buffer, std::size_t count) override {
    const std::size_t n = std::min(count, room_);
    room_ -= n;
    return TMemoryStream::Write(buffer, n);
  }

 private:
  std::size_t room_;
};

std::optional<std::string> Inflate(const std::string& compressed) {
  TReadOnlyMemoryStream input(compressed.data(), compressed.size());
  TMemoryStream output;
  if (!InflateStream(input, output)) return std::nullopt;
  return std::string(output.Bytes().begin(), output.Bytes().end());
}

struct TNamedInput {
  const char* name;
  std::string bytes;
};

std::vector<TNamedInput> DifferentialInputs() {
  return {
      {"empty", ""},
      {"one byte", "x"},
      {"short text", "Plexoria collects pieces of text."},
      {"text over 16 KB", test::MakeText(40'000)},
      {"text over 64 KB", test::MakeText(200'000, 7)},
      {"binary", test::MakeBinary(150'000)},
      {"random", test::MakeRandom(100'000)},
      {"one repeated byte", std::string(300'000, 'a')},
      {"short period", [] {
         std::string s;
         while (s.size() < 100'000) s += "abc";
         return s;
       }()},
      {"every byte value", [] {
         std::string s;
         for (int round = 0; round < 300; ++round)
           for (int b = 0; b < 256; ++b) s.push_back(static_cast<char>(b * (round + 1)));
         return s;
       }()},
  };
}

TEST(InflateStream, DecodesWhatZlibCompressesAtEveryLevelAndStrategy) {
  const struct {
    const char* name;
    int strategy;
  } strategies[] = {{"default", Z_DEFAULT_STRATEGY}, {"filtered", Z_FILTERED}, {"huffman only", Z_HUFFMAN_ONLY},
                    {"rle", Z_RLE},                  {"fixed", Z_FIXED}};
  for (const TNamedInput& input : DifferentialInputs()) {
    for (int level = 0; level <= 9; ++level) {
      for (const auto& strategy : strategies) {
        SCOPED_TRACE(testing::Message() << input.name << ", level " << level << ", " << strategy.name);
        const std::optional<std::string> decoded = Inflate(Deflate(input.bytes, level, strategy.strategy));
        ASSERT_TRUE(decoded.has_value());
        ASSERT_EQ(*decoded, input.bytes);
      }
    }
  }
}

TEST(InflateStream, DecodesSeveralMegabytes) {
  const std::string inputs[] = {test::MakeText(5'000'000, 11), test::MakeBinary(4'000'000, 12)};
  for (const std::string& input : inputs) {
    for (const int level : {1, 6, 9}) {
      SCOPED_TRACE(testing::Message() << input.size() << " bytes, level " << level);
      const std::optional<std::string> decoded = Inflate(Deflate(input, level, Z_DEFAULT_STRATEGY));
      ASSERT_TRUE(decoded.has_value());
      ASSERT_TRUE(*decoded == input);
    }
  }
}

TEST(InflateStream, DecodesInputArrivingInSmallPieces) {
  const std::string input = test::MakeText(90'000, 5) + std::string(70'000, 'z') + test::MakeRandom(20'000);
  for (const int level : {0, 1, 9}) {
    SCOPED_TRACE(level);
    TTricklingStream compressed(Deflate(input, level, Z_DEFAULT_STRATEGY));
    TMemoryStream output;
    ASSERT_TRUE(InflateStream(compressed, output));
    EXPECT_TRUE(std::string(output.Bytes().begin(), output.Bytes().end()) == input);
  }
}

TEST(InflateStream, EveryProperPrefixOfAStreamFails) {
  const std::string input = test::MakeText(3'000, 9);
  for (const int strategy : {Z_DEFAULT_STRATEGY, Z_FIXED}) {
    const std::string compressed = Deflate(input, 6, strategy);
    for (std::size_t length = 0; length < compressed.size(); ++length) {
      SCOPED_TRACE(length);
      EXPECT_FALSE(Inflate(compressed.substr(0, length)).has_value());
    }
  }
  const std::string stored = Deflate(input, 0, Z_DEFAULT_STRATEGY);
  for (std::size_t length = 0; length < stored.size(); length += 97)
    EXPECT_FALSE(Inflate(stored.substr(0, length)).has_value()) << length;
}

TEST(InflateStream, FailsWhenTheTargetRefusesBytesOrTheLimitIsReached) {
  const std::string input = test::MakeText(100'000, 4);
  const std::string compressed = Deflate(input, 6, Z_DEFAULT_STRATEGY);
  {
    TReadOnlyMemoryStream source(compressed.data(), compressed.size());
    TFullDiskStream target(50'000);
    EXPECT_FALSE(InflateStream(source, target));
  }
  {
    TReadOnlyMemoryStream source(compressed.data(), compressed.size());
    TMemoryStream target;
    EXPECT_FALSE(InflateStream(source, target, input.size() - 1));
    // Cut off exactly at the limit, so a caller can tell the output ran long.
    EXPECT_TRUE(std::string(target.Bytes().begin(), target.Bytes().end()) == input.substr(0, input.size() - 1));
  }
  {
    TReadOnlyMemoryStream source(compressed.data(), compressed.size());
    TMemoryStream target;
    EXPECT_TRUE(InflateStream(source, target, input.size()));
  }
}

// --- Hand-built streams -----------------------------------------------------

// Dynamic block headers below share one code-length code: eight symbols of
// 3 bits each, so canonical codes 0..7 go to 0, 1, 2, 8, 9, 16, 17, 18.
void CodeLengthCode(TBitWriter& w) {
  w.Bits(14, 4);  // HCLEN: 14 + 4 = 18 code-length code lengths follow
  // Transmission order:   16 17 18 0  8  7  9  6  10 5  11 4  12 3  13 2  14 1
  const unsigned lengths[18] = {3, 3, 3, 3, 3, 0, 3, 0, 0, 0, 0, 0, 0, 0, 0, 3, 0, 3};
  for (const unsigned length : lengths) w.Bits(length, 3);
}
// One code-length symbol, in the code above.
void Length(TBitWriter& w, unsigned symbol) {
  const unsigned code = symbol <= 2 ? symbol : symbol == 8 ? 3 : symbol == 9 ? 4 : symbol - 11;
  w.Code(code, 3);
}
void ZeroRun(TBitWriter& w, unsigned count) {  // symbol 18: 11-138 zeros
  Length(w, 18);
  w.Bits(count - 11, 7);
}

// A final dynamic block whose literal/length code gives 'A' one bit and the
// end of block two (code 10), and optionally length symbol 257 two (code 11);
// without it the code 11 is unused. Its distance code has no symbol at all.
TBitWriter DynamicAWithEmptyDistances(bool withLengthSymbol) {
  TBitWriter w;
  w.Bits(1, 1);                         // BFINAL
  w.Bits(2, 2);                         // BTYPE 2: dynamic codes
  w.Bits(withLengthSymbol ? 1 : 0, 5);  // HLIT: 257 or 258 literal/length lengths
  w.Bits(0, 5);                         // HDIST: 1 distance length
  CodeLengthCode(w);
  ZeroRun(w, 65);   // symbols 0-64 unused
  Length(w, 1);     // 'A' (65): 1 bit
  ZeroRun(w, 138);  // symbols 66-203 unused
  ZeroRun(w, 52);   // symbols 204-255 unused
  Length(w, 2);     // end of block (256): 2 bits
  if (withLengthSymbol) Length(w, 2);  // length symbol 257: 2 bits
  Length(w, 0);     // distance symbol 0 unused: no distance code at all
  return w;
}

struct THandBuiltCase {
  const char* name;
  std::string stream;
  std::optional<std::string> expected;  // nullopt: decoding must fail
};

std::vector<THandBuiltCase> HandBuiltCases() {
  std::vector<THandBuiltCase> cases;
  {
    TBitWriter w;
    w.Bits(1, 1).Bits(3, 2);  // BFINAL, BTYPE 3: reserved
    cases.push_back({"reserved block type", w.Bytes(std::string(8, '\0')).Take(), std::nullopt});
  }
  {
    TBitWriter w;
    w.Bits(0, 1).Bits(0, 2);  // not final, BTYPE 0: stored
    w.Align().Bits(0, 16).Bits(0xFFFF, 16);  // LEN 0, NLEN
    cases.push_back({"stream ends after a non-final block", w.Take(), std::nullopt});
  }
  {
    TBitWriter w;
    w.Bits(1, 1).Bits(1, 2);  // BFINAL, BTYPE 1: fixed codes
    w.FixedLiteral('a');      // and no end of block: the zero padding would read as one
    cases.push_back({"stream ends inside the final block", w.Take(), std::nullopt});
  }
  {
    TBitWriter w;
    w.Bits(1, 1).Bits(0, 2);                  // BFINAL, BTYPE 0: stored
    w.Align().Bits(10, 16).Bits(~10u, 16);    // LEN 10, NLEN
    cases.push_back({"stored block longer than the input", w.Bytes("abc").Take(), std::nullopt});
  }
  {
    TBitWriter w;
    w.Bits(1, 1).Bits(0, 2);                  // BFINAL, BTYPE 0: stored
    w.Align().Bits(2, 16).Bits(0x1234, 16);   // LEN 2, NLEN wrong: not consulted
    cases.push_back({"stored block", w.Bytes("hi").Take(), "hi"});
  }
  {
    TBitWriter w;
    w.Bits(0, 1).Bits(0, 2).Align().Bits(3, 16).Bits(~3u, 16);  // stored, LEN 3
    w.Bytes("abc");
    w.Bits(1, 1).Bits(1, 2);                                    // BFINAL, fixed codes
    w.FixedLengthSymbol(258).Code(2, 5);                        // length 4, distance symbol 2: 3
    w.FixedLengthSymbol(256);                                   // end of block
    cases.push_back({"match reaching into the previous block", w.Take(), "abcabca"});
  }
  {
    TBitWriter w;
    w.Bits(1, 1).Bits(1, 2);                      // BFINAL, fixed codes
    w.FixedLiteral('a');
    w.FixedLengthSymbol(258).Code(0, 5);          // length 4, distance 1: overlapping copy
    w.FixedLengthSymbol(256);
    cases.push_back({"overlapping copy", w.Take(), "aaaaa"});
  }
  {
    TBitWriter w;
    w.Bits(1, 1).Bits(1, 2);              // BFINAL, fixed codes
    w.FixedLiteral('a');
    w.FixedLengthSymbol(257).Code(1, 5);  // length 3, distance 2: one byte before the output
    w.FixedLengthSymbol(256);
    cases.push_back({"distance beyond the history", w.Take(), std::nullopt});
  }
  {
    TBitWriter w;
    w.Bits(1, 1).Bits(1, 2);              // BFINAL, fixed codes
    w.FixedLengthSymbol(286);             // a code the fixed table has but deflate never assigns
    cases.push_back({"literal/length symbol 286", w.Bytes(std::string(4, '\0')).Take(), std::nullopt});
  }
  {
    TBitWriter w;
    w.Bits(1, 1).Bits(1, 2);              // BFINAL, fixed codes
    w.FixedLiteral('a');
    w.FixedLengthSymbol(257).Code(30, 5); // distance symbol 30: not a distance
    cases.push_back({"distance symbol 30", w.Bytes(std::string(4, '\0')).Take(), std::nullopt});
  }
  {
    TBitWriter w = DynamicAWithEmptyDistances(false);
    w.Code(0, 1).Code(0, 1).Code(2, 2);  // 'A', 'A', end of block
    cases.push_back({"literals only, no distance code", w.Take(), "AA"});
  }
  {
    TBitWriter w = DynamicAWithEmptyDistances(false);
    w.Code(0, 1).Code(3, 2);  // 'A', then the unused code 11
    cases.push_back({"code without symbol", w.Bytes(std::string(4, '\0')).Take(), std::nullopt});
  }
  {
    TBitWriter w = DynamicAWithEmptyDistances(true);
    w.Code(0, 1).Code(3, 2).Code(0, 1);  // 'A', length 3, then a distance from the empty code
    cases.push_back({"match with no distance code", w.Bytes(std::string(4, '\0')).Take(), std::nullopt});
  }
  {
    TBitWriter w;
    w.Bits(1, 1).Bits(2, 2);  // BFINAL, dynamic
    w.Bits(30, 5).Bits(0, 5); // HLIT 287: above 286
    cases.push_back({"HLIT above 286", w.Bytes(std::string(64, '\0')).Take(), std::nullopt});
  }
  {
    TBitWriter w;
    w.Bits(1, 1).Bits(2, 2);  // BFINAL, dynamic
    w.Bits(0, 5).Bits(30, 5); // HLIT 257, HDIST 31: above 30
    cases.push_back({"HDIST above 30", w.Bytes(std::string(64, '\0')).Take(), std::nullopt});
  }
  {
    TBitWriter w;
    w.Bits(1, 1).Bits(2, 2).Bits(0, 5).Bits(0, 5);  // BFINAL, dynamic, HLIT 257, HDIST 1
    CodeLengthCode(w);
    Length(w, 16);  // repeat the previous length: there is none
    w.Bits(0, 2);
    cases.push_back({"repeat before the first length", w.Bytes(std::string(64, '\0')).Take(), std::nullopt});
  }
  {
    TBitWriter w;
    w.Bits(1, 1).Bits(2, 2).Bits(0, 5).Bits(0, 5);  // BFINAL, dynamic, HLIT 257, HDIST 1: 258 lengths
    CodeLengthCode(w);
    ZeroRun(w, 138);
    ZeroRun(w, 138);  // 276 lengths in all
    cases.push_back({"zero run past HLIT + HDIST", w.Bytes(std::string(64, '\0')).Take(), std::nullopt});
  }
  {
    TBitWriter w;
    w.Bits(1, 1).Bits(2, 2).Bits(0, 5).Bits(0, 5);  // BFINAL, dynamic, HLIT 257, HDIST 1
    w.Bits(0, 4);                                   // HCLEN 4: lengths of 16, 17, 18, 0
    w.Bits(1, 3).Bits(1, 3).Bits(1, 3).Bits(0, 3);  // three 1-bit codes: over-subscribed
    cases.push_back({"over-subscribed code-length code", w.Bytes(std::string(64, '\0')).Take(), std::nullopt});
  }
  {
    TBitWriter w;
    w.Bits(1, 1).Bits(2, 2).Bits(0, 5).Bits(0, 5);  // BFINAL, dynamic, HLIT 257, HDIST 1
    CodeLengthCode(w);
    ZeroRun(w, 65);
    Length(w, 1);  // 'A': 1 bit
    Length(w, 1);  // 'B': 1 bit
    ZeroRun(w, 138);
    ZeroRun(w, 52);
    Length(w, 1);  // end of block: a third 1-bit code
    Length(w, 1);  // distance 0
    cases.push_back({"over-subscribed literal code", w.Bytes(std::string(64, '\0')).Take(), std::nullopt});
  }
  {
    TBitWriter w;
    w.Bits(1, 1).Bits(2, 2).Bits(0, 5).Bits(0, 5);  // BFINAL, dynamic, HLIT 257, HDIST 1
    CodeLengthCode(w);
    ZeroRun(w, 65);
    Length(w, 1);  // 'A': 1 bit
    Length(w, 1);  // 'B': 1 bit
    ZeroRun(w, 138);
    ZeroRun(w, 52);
    Length(w, 0);  // end of block unused: the block could never end
    Length(w, 1);  // distance 0
    cases.push_back({"no end-of-block code", w.Bytes(std::string(64, '\0')).Take(), std::nullopt});
  }
  return cases;
}

TEST(InflateStream, HandBuiltStreams) {
  for (const THandBuiltCase& c : HandBuiltCases()) {
    SCOPED_TRACE(c.name);
    const std::optional<std::string> decoded = Inflate(c.stream);
    ASSERT_EQ(decoded.has_value(), c.expected.has_value());
    if (c.expected) {
      EXPECT_EQ(*decoded, *c.expected);
    }
  }
}

// --- The lookup table ---------------------------------------------------------

TEST(HuffmanTree, PacksSymbolLengthAndExtraBitsAndLeavesGapsEmpty) {
  // Symbols 257, 258, 265 with lengths 1, 2, 3: codes 0, 10, 110; 111 unused.
  std::vector<std::uint8_t> lengths(266, 0);
  lengths[257] = 1;
  lengths[258] = 2;
  lengths[265] = 3;
  const std::uint8_t lengthExtra[29] = {0, 0, 0, 0, 0, 0, 0, 0, 1};
  THuffmanTree tree(15, 257, lengthExtra, 29);
  ASSERT_TRUE(tree.Build(lengths.data(), 266));
  ASSERT_EQ(tree.LongestLength(), 3u);
  // Indexed by the next three input bits, first bit lowest: code 0 fills
  // 000, 010, 100, 110; code 10 (bits 1, 0) fills 001 and 101; code 110
  // fills 011; 111 stays empty.
  const std::uint32_t expected[8] = {0x00010101, 0x00020102, 0x00010101, 0x01030109,
                                     0x00010101, 0x00020102, 0x00010101, 0xFFFFFFFF};
  for (unsigned i = 0; i < 8; ++i) EXPECT_EQ(tree.Table()[i], expected[i]) << i;
}

TEST(HuffmanTree, RejectsOverlongAndOversubscribedCodes) {
  const std::uint8_t overlong[3] = {1, 2, 8};  // 8 bits in a 7-bit code-length code
  const std::uint8_t oversubscribed[3] = {1, 1, 1};
  const std::uint8_t complete[3] = {1, 2, 2};
  THuffmanTree tree(7, 19, nullptr, 0);
  EXPECT_FALSE(tree.Build(overlong, 3));
  EXPECT_FALSE(tree.Build(oversubscribed, 3));
  EXPECT_TRUE(tree.Build(complete, 3));
}

}  // namespace
}  // namespace plx
