#pragma once
// Builds deflate bitstreams by hand for tests: fields go in least significant
// bit first, Huffman codes most significant bit first, as deflate sends them.

#include <cstdint>
#include <string>

namespace plx::test {

class TBitWriter {
 public:
  // Appends the low `count` bits of value, least significant first.
  TBitWriter& Bits(std::uint32_t value, unsigned count) {
    for (unsigned i = 0; i < count; ++i) PutBit((value >> i) & 1);
    return *this;
  }
  // Appends a Huffman code of `length` bits, most significant first.
  TBitWriter& Code(std::uint32_t code, unsigned length) {
    for (unsigned i = length; i-- > 0;) PutBit((code >> i) & 1);
    return *this;
  }
  // Pads with zero bits to the next byte boundary.
  TBitWriter& Align() {
    while (bit_count_ != 0) PutBit(0);
    return *this;
  }
  TBitWriter& Bytes(const std::string& bytes) {
    Align();
    bytes_ += bytes;
    return *this;
  }
  // Fixed-code literal (0-143: 8 bits from 0x30; 144-255: 9 bits from 0x190).
  TBitWriter& FixedLiteral(unsigned symbol) {
    return symbol < 144 ? Code(0x30 + symbol, 8) : Code(0x190 + symbol - 144, 9);
  }
  // Fixed-code symbols 256-279 are 7 bits from 0, 280-287 are 8 bits from 0xC0.
  TBitWriter& FixedLengthSymbol(unsigned symbol) {
    return symbol < 280 ? Code(symbol - 256, 7) : Code(0xC0 + symbol - 280, 8);
  }

  std::string Take() {
    Align();
    return bytes_;
  }

 private:
  void PutBit(unsigned bit) {
    if (bit_count_ == 0) bytes_.push_back('\0');
    if (bit) bytes_.back() = static_cast<char>(static_cast<unsigned char>(bytes_.back()) | (1u << bit_count_));
    bit_count_ = (bit_count_ + 1) % 8;
  }

  std::string bytes_;
  unsigned bit_count_ = 0;
};

}  // namespace plx::test
