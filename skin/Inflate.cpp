#include "skin/Inflate.h"

#include <algorithm>
#include <array>
#include <cstring>

namespace plx {

namespace {

constexpr unsigned kMaxCodeBits = 15;
constexpr unsigned kCodeLengthCodeBits = 7;
constexpr std::size_t kInputChunk = 16 * 1024;
constexpr std::size_t kStoredScratch = 16 * 1024;
constexpr std::size_t kWindowFlushAt = 64 * 1024;
constexpr std::size_t kHistory = 32 * 1024;
constexpr std::size_t kMaxMatch = 258;
constexpr std::size_t kWindowSize = kWindowFlushAt + kMaxMatch;  // 65,794
// Copies move eight bytes at a time and may write up to seven bytes past
// the match; the window's allocation leaves room for that.
constexpr std::size_t kCopySlack = 8;

constexpr unsigned kEndOfBlock = 256;
constexpr unsigned kFirstLengthSymbol = 257;
constexpr unsigned kMaxLiteralCodes = 286;
constexpr unsigned kMaxDistanceCodes = 30;

constexpr std::uint16_t kLengthBase[29] = {3,  4,  5,  6,  7,  8,  9,  10, 11,  13,  15,  17,  19,  23, 27,
                                           31, 35, 43, 51, 59, 67, 83, 99, 115, 131, 163, 195, 227, 258};
constexpr std::uint8_t kLengthExtra[29] = {0, 0, 0, 0, 0, 0, 0, 0, 1, 1, 1, 1, 2, 2, 2,
                                           2, 3, 3, 3, 3, 4, 4, 4, 4, 5, 5, 5, 5, 0};
constexpr std::uint16_t kDistanceBase[30] = {1,   2,   3,   4,   5,   7,    9,    13,   17,   25,
                                             33,  49,  65,  97,  129, 193,  257,  385,  513,  769,
                                             1025, 1537, 2049, 3073, 4097, 6145, 8193, 12289, 16385, 24577};
constexpr std::uint8_t kDistanceExtra[30] = {0, 0, 0, 0, 1, 1, 2, 2, 3,  3,  4,  4,  5,  5,  6,
                                             6, 7, 7, 8, 8, 9, 9, 10, 10, 11, 11, 12, 12, 13, 13};

// The order in which a dynamic block lists the code-length code's lengths.
constexpr std::uint8_t kCodeLengthOrder[19] = {16, 17, 18, 0, 8, 7, 9, 6, 10, 5, 11, 4, 12, 3, 13, 2, 14, 1, 15};

constexpr std::array<std::uint8_t, 256> MakeByteReversal() {
  std::array<std::uint8_t, 256> table{};
  for (unsigned i = 0; i < 256; ++i) {
    unsigned r = 0;
    for (unsigned b = 0; b < 8; ++b)
      if (i & (1u << b)) r |= 0x80u >> b;
    table[i] = static_cast<std::uint8_t>(r);
  }
  return table;
}
constexpr std::array<std::uint8_t, 256> kByteReversal = MakeByteReversal();

// Deflate sends Huffman codes most significant bit first into a stream read
// least significant bit first, so table indices are the codes reversed.
unsigned ReverseBits(unsigned code, unsigned length) {
  const unsigned reversed16 = (static_cast<unsigned>(kByteReversal[code & 0xFF]) << 8) | kByteReversal[(code >> 8) & 0xFF];
  return reversed16 >> (16 - length);
}

}  // namespace

THuffmanTree::THuffmanTree(unsigned bitLimit, unsigned firstExtraSymbol, const std::uint8_t* extraBits,
                           unsigned extraBitsCount)
    : bit_limit_(bitLimit), first_extra_symbol_(firstExtraSymbol), extra_bits_(extraBits), extra_bits_count_(extraBitsCount) {}

bool THuffmanTree::Build(const std::uint8_t* lengths, unsigned symbolCount) {
  unsigned countPerLength[kMaxCodeBits + 1] = {};
  longest_ = 0;
  for (unsigned s = 0; s < symbolCount; ++s) {
    if (lengths[s] > bit_limit_) return false;
    ++countPerLength[lengths[s]];
    longest_ = std::max<unsigned>(longest_, lengths[s]);
  }
  // Over-subscription: more codes of some length than the shorter ones leave room for.
  int left = 1;
  for (unsigned len = 1; len <= bit_limit_; ++len) {
    left = left * 2 - static_cast<int>(countPerLength[len]);
    if (left < 0) return false;
  }
  table_.assign(std::size_t{1} << longest_, kEmptyEntry);
  if (longest_ == 0) return true;

  // Canonical construction: the first code of each length follows the codes
  // of all shorter lengths.
  unsigned nextCode[kMaxCodeBits + 2] = {};
  countPerLength[0] = 0;
  unsigned code = 0;
  for (unsigned len = 1; len <= longest_; ++len) {
    code = (code + countPerLength[len - 1]) << 1;
    nextCode[len] = code;
  }
  const std::size_t tableSize = table_.size();
  for (unsigned s = 0; s < symbolCount; ++s) {
    const unsigned len = lengths[s];
    if (len == 0) continue;
    unsigned extra = 0;
    if (s >= first_extra_symbol_ && s - first_extra_symbol_ < extra_bits_count_) extra = extra_bits_[s - first_extra_symbol_];
    const std::uint32_t entry = s | (static_cast<std::uint32_t>(len) << 16) | (static_cast<std::uint32_t>(extra) << 24);
    for (std::size_t i = ReverseBits(nextCode[len]++, len); i < tableSize; i += std::size_t{1} << len) table_[i] = entry;
  }
  return true;
}

namespace {

// The fixed codes of block type 1, built once for the whole program.
struct TFixedTrees {
  THuffmanTree literals{kMaxCodeBits, kFirstLengthSymbol, kLengthExtra, 29};
  THuffmanTree distances{kMaxCodeBits, 0, kDistanceExtra, 30};

  TFixedTrees() {
    std::uint8_t lengths[288];
    std::fill(lengths, lengths + 144, std::uint8_t{8});
    std::fill(lengths + 144, lengths + 256, std::uint8_t{9});
    std::fill(lengths + 256, lengths + 280, std::uint8_t{7});
    std::fill(lengths + 280, lengths + 288, std::uint8_t{8});
    literals.Build(lengths, 288);
    std::fill(lengths, lengths + 32, std::uint8_t{5});
    distances.Build(lengths, 32);
  }
};

const TFixedTrees gFixedTrees;

class TInflater {
 public:
  TInflater(TStream& input, TStream& output, std::uint64_t outputLimit)
      : input_(input), output_(output), output_limit_(outputLimit), input_chunk_(kInputChunk), window_(kWindowSize + kCopySlack) {}

  bool Run();

 private:
  // Keeps at least 32 unread bits in the bit buffer, four bytes at a time.
  // Past the end of the input the buffer is fed zero bytes; reading into
  // them is noticed by Overrun().
  void Refill() {
    while (bit_count_ < 32) {
      if (chunk_length_ - chunk_position_ >= 4) {
        const std::uint8_t* p = input_chunk_.data() + chunk_position_;
        const std::uint64_t word = static_cast<std::uint64_t>(p[0]) | (static_cast<std::uint64_t>(p[1]) << 8) |
                                   (static_cast<std::uint64_t>(p[2]) << 16) | (static_cast<std::uint64_t>(p[3]) << 24);
        chunk_position_ += 4;
        bits_ |= word << bit_count_;
        bit_count_ += 32;
      } else {
        RefillSlow();
      }
    }
  }
  void RefillSlow();
  bool NextInputByte(std::uint8_t& byte);
  // True once the decoder has used bits beyond the real input.
  bool Overrun() const { return padding_bytes_ * 8 > bit_count_; }

  std::uint32_t TakeBits(unsigned count) {
    const std::uint32_t value = static_cast<std::uint32_t>(bits_ & ((std::uint64_t{1} << count) - 1));
    bits_ >>= count;
    bit_count_ -= count;
    return value;
  }
  // Decodes one symbol; kEmptyEntry when the bits match no code.
  std::uint32_t Decode(const THuffmanTree& tree) {
    const std::uint32_t entry = tree.Table()[bits_ & ((std::uint64_t{1} << tree.LongestLength()) - 1)];
    if (entry != THuffmanTree::kEmptyEntry) {
      const unsigned length = THuffmanTree::CodeLength(entry);
      bits_ >>= length;
      bit_count_ -= length;
    }
    return entry;
  }

  bool StoredBlock();
  bool ReadDynamicTrees();
  bool HuffmanBlock(const THuffmanTree& literals, const THuffmanTree& distances);
  bool FlushHistory();
  // Output beyond the limit is cut off at the limit, and decoding fails.
  bool WriteOut(const std::uint8_t* data, std::size_t count) {
    const bool withinLimit = count <= output_limit_ - written_;
    const std::size_t allowed = withinLimit ? count : static_cast<std::size_t>(output_limit_ - written_);
    written_ += allowed;
    return output_.Write(data, allowed) == allowed && withinLimit;
  }

  TStream& input_;
  TStream& output_;
  const std::uint64_t output_limit_;
  std::uint64_t written_ = 0;
  std::vector<std::uint8_t> input_chunk_;
  std::size_t chunk_position_ = 0;
  std::size_t chunk_length_ = 0;
  bool input_ended_ = false;
  std::uint64_t bits_ = 0;
  unsigned bit_count_ = 0;
  std::uint64_t padding_bytes_ = 0;

  std::vector<std::uint8_t> window_;
  std::size_t window_position_ = 0;

  THuffmanTree dynamic_literals_{kMaxCodeBits, kFirstLengthSymbol, kLengthExtra, 29};
  THuffmanTree dynamic_distances_{kMaxCodeBits, 0, kDistanceExtra, 30};
  THuffmanTree code_length_tree_{kCodeLengthCodeBits, 19, nullptr, 0};
};

bool TInflater::NextInputByte(std::uint8_t& byte) {
  if (chunk_position_ == chunk_length_) {
    if (input_ended_) return false;
    chunk_length_ = input_.Read(input_chunk_.data(), kInputChunk);
    chunk_position_ = 0;
    if (chunk_length_ == 0) {
      input_ended_ = true;
      return false;
    }
  }
  byte = input_chunk_[chunk_position_++];
  return true;
}

void TInflater::RefillSlow() {
  for (unsigned i = 0; i < 4; ++i) {
    std::uint8_t byte = 0;
    if (!NextInputByte(byte)) ++padding_bytes_;
    bits_ |= static_cast<std::uint64_t>(byte) << bit_count_;
    bit_count_ += 8;
  }
}

bool TInflater::FlushHistory() {
  if (!WriteOut(window_.data(), kHistory)) return false;
  std::memmove(window_.data(), window_.data() + kHistory, window_position_ - kHistory);
  window_position_ -= kHistory;
  return true;
}

bool TInflater::StoredBlock() {
  TakeBits(bit_count_ % 8);
  Refill();
  const std::size_t length = TakeBits(16);
  TakeBits(16);  // the one's complement of the length carries nothing new
  if (Overrun()) return false;

  std::vector<std::uint8_t> scratch(kStoredScratch);
  std::size_t left = length;
  while (left > 0) {
    const std::size_t piece = std::min(left, kStoredScratch);
    std::size_t filled = 0;
    // Whole bytes still in the bit buffer come first, then the input.
    while (filled < piece && bit_count_ >= 8) {
      if (Overrun() || padding_bytes_ * 8 + 8 > bit_count_) return false;
      scratch[filled++] = static_cast<std::uint8_t>(TakeBits(8));
    }
    while (filled < piece) {
      if (chunk_position_ == chunk_length_) {
        std::uint8_t byte = 0;
        if (!NextInputByte(byte)) return false;
        scratch[filled++] = byte;
        continue;
      }
      const std::size_t n = std::min(piece - filled, chunk_length_ - chunk_position_);
      std::memcpy(scratch.data() + filled, input_chunk_.data() + chunk_position_, n);
      chunk_position_ += n;
      filled += n;
    }
    std::size_t copied = 0;
    while (copied < piece) {
      if (window_position_ >= kWindowFlushAt && !FlushHistory()) return false;
      const std::size_t n = std::min(piece - copied, kWindowFlushAt - window_position_);
      std::memcpy(window_.data() + window_position_, scratch.data() + copied, n);
      window_position_ += n;
      copied += n;
    }
    left -= piece;
  }
  return true;
}

bool TInflater::ReadDynamicTrees() {
  Refill();
  const unsigned literalCount = TakeBits(5) + 257;
  const unsigned distanceCount = TakeBits(5) + 1;
  const unsigned codeLengthCount = TakeBits(4) + 4;
  if (literalCount > kMaxLiteralCodes || distanceCount > kMaxDistanceCodes) return false;

  std::uint8_t codeLengthLengths[19] = {};
  for (unsigned i = 0; i < codeLengthCount; ++i) {
    Refill();
    codeLengthLengths[kCodeLengthOrder[i]] = static_cast<std::uint8_t>(TakeBits(3));
  }
  if (!code_length_tree_.Build(codeLengthLengths, 19)) return false;

  // Literal/length and distance lengths form one sequence, and a repeat may
  // run from one into the other, but never past the end.
  std::uint8_t lengths[kMaxLiteralCodes + kMaxDistanceCodes] = {};
  const unsigned total = literalCount + distanceCount;
  unsigned n = 0;
  while (n < total) {
    Refill();
    if (Overrun()) return false;
    const std::uint32_t entry = Decode(code_length_tree_);
    if (entry == THuffmanTree::kEmptyEntry) return false;
    const unsigned symbol = THuffmanTree::Symbol(entry);
    if (symbol < 16) {
      lengths[n++] = static_cast<std::uint8_t>(symbol);
      continue;
    }
    std::uint8_t value = 0;
    unsigned repeat = 0;
    if (symbol == 16) {
      if (n == 0) return false;  // nothing to repeat yet
      value = lengths[n - 1];
      repeat = 3 + TakeBits(2);
    } else if (symbol == 17) {
      repeat = 3 + TakeBits(3);
    } else {
      repeat = 11 + TakeBits(7);
    }
    if (repeat > total - n) return false;
    std::fill(lengths + n, lengths + n + repeat, value);
    n += repeat;
  }
  if (lengths[kEndOfBlock] == 0) return false;  // the block could never end
  return dynamic_literals_.Build(lengths, literalCount) && dynamic_distances_.Build(lengths + literalCount, distanceCount);
}

bool TInflater::HuffmanBlock(const THuffmanTree& literals, const THuffmanTree& distances) {
  std::uint8_t* const window = window_.data();
  const std::uint32_t* const literalTable = literals.Table();
  const std::uint64_t literalMask = (std::uint64_t{1} << literals.LongestLength()) - 1;
  const std::uint32_t* const distanceTable = distances.Table();
  const std::uint64_t distanceMask = (std::uint64_t{1} << distances.LongestLength()) - 1;

  for (;;) {
    if (window_position_ >= kWindowFlushAt && !FlushHistory()) return false;
    Refill();
    if (padding_bytes_ != 0 && Overrun()) return false;
    std::uint32_t entry = literalTable[bits_ & literalMask];
    if (entry == THuffmanTree::kEmptyEntry) return false;
    unsigned codeLength = THuffmanTree::CodeLength(entry);
    bits_ >>= codeLength;
    bit_count_ -= codeLength;
    const unsigned symbol = THuffmanTree::Symbol(entry);
    if (symbol < 256) {
      window[window_position_++] = static_cast<std::uint8_t>(symbol);
      // Literals come in runs: a second one can be taken from the bits
      // still buffered, saving a refill.
      if (bit_count_ >= kMaxCodeBits) {
        const std::uint32_t next = literalTable[bits_ & literalMask];
        if (next != THuffmanTree::kEmptyEntry && THuffmanTree::Symbol(next) < 256) {
          const unsigned nextLength = THuffmanTree::CodeLength(next);
          bits_ >>= nextLength;
          bit_count_ -= nextLength;
          window[window_position_++] = static_cast<std::uint8_t>(next);
        }
      }
      continue;
    }
    if (symbol == kEndOfBlock) return true;
    const unsigned lengthIndex = symbol - kFirstLengthSymbol;
    if (lengthIndex >= 29) return false;
    const std::size_t length = kLengthBase[lengthIndex] + TakeBits(THuffmanTree::ExtraBits(entry));

    Refill();
    entry = distanceTable[bits_ & distanceMask];
    if (entry == THuffmanTree::kEmptyEntry) return false;
    codeLength = THuffmanTree::CodeLength(entry);
    bits_ >>= codeLength;
    bit_count_ -= codeLength;
    const unsigned distanceSymbol = THuffmanTree::Symbol(entry);
    if (distanceSymbol >= kMaxDistanceCodes) return false;
    const std::size_t distance = kDistanceBase[distanceSymbol] + TakeBits(THuffmanTree::ExtraBits(entry));
    if (distance > window_position_) return false;  // reaches before the first byte written

    std::uint8_t* to = window + window_position_;
    const std::uint8_t* from = to - distance;
    if (distance >= 8) {
      // Eight-byte steps never read bytes this copy has yet to write.
      for (std::size_t i = 0; i < length; i += 8) std::memcpy(to + i, from + i, 8);
    } else if (distance == 1) {
      std::memset(to, *from, length);
    } else {
      for (std::size_t i = 0; i < length; ++i) to[i] = from[i];
    }
    window_position_ += length;
  }
}

bool TInflater::Run() {
  for (;;) {
    Refill();
    if (Overrun()) return false;
    const bool finalBlock = TakeBits(1) != 0;
    const unsigned type = TakeBits(2);
    bool ok = false;
    switch (type) {
      case 0: ok = StoredBlock(); break;
      case 1: ok = HuffmanBlock(gFixedTrees.literals, gFixedTrees.distances); break;
      case 2: ok = ReadDynamicTrees() && HuffmanBlock(dynamic_literals_, dynamic_distances_); break;
      default: ok = false; break;  // type 3 is reserved
    }
    if (!ok || Overrun()) return false;
    if (finalBlock) break;
  }
  return WriteOut(window_.data(), window_position_);
}

}  // namespace

bool InflateStream(TStream& input, TStream& output, std::uint64_t outputLimit) {
  TInflater inflater(input, output, outputLimit);
  return inflater.Run();
}

}  // namespace plx
