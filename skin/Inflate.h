#pragma once
// The skin archive's own deflate decoder. Platform-neutral.
//
// Input is read from a stream in 16 KB chunks; output is produced in a
// 64 KB + 258 byte window whose older half is written to the target stream
// whenever the window fills, so 32 KB of history stay for back-references.

#include <cstdint>
#include <vector>

#include "framework/Component.h"
#include "framework/Streams.h"

namespace plx {

// A canonical Huffman code as one flat lookup table: index it with the next
// LongestLength() input bits (least significant first) and the entry tells
// the symbol, how many of those bits the code used, and how many extra bits
// follow the code.
class THuffmanTree : public TObject {
 public:
  static constexpr std::uint32_t kEmptyEntry = 0xFFFFFFFF;

  static std::uint32_t Symbol(std::uint32_t entry) { return entry & 0xFFFF; }
  static unsigned CodeLength(std::uint32_t entry) { return (entry >> 16) & 0xFF; }
  static unsigned ExtraBits(std::uint32_t entry) { return entry >> 24; }

  // bitLimit is the longest code length allowed (7 for the code-length
  // code, 15 otherwise). Symbols at or above firstExtraSymbol take their
  // extra-bit count from extraBits[symbol - firstExtraSymbol].
  THuffmanTree(unsigned bitLimit, unsigned firstExtraSymbol, const std::uint8_t* extraBits,
               unsigned extraBitsCount);

  // Builds the table from one code length per symbol (0: symbol unused).
  // Fails on a length above the bit limit and on an over-subscribed code.
  // An incomplete code is accepted: its unused table entries stay
  // kEmptyEntry, and a code without any symbol gives a one-entry table that
  // fails every lookup (a block that never uses a distance may carry one).
  bool Build(const std::uint8_t* lengths, unsigned symbolCount);

  const std::uint32_t* Table() const { return table_.data(); }
  unsigned BitLimit() const { return bit_limit_; }
  unsigned LongestLength() const { return longest_; }

 private:
  std::vector<std::uint32_t> table_;
  unsigned bit_limit_;
  unsigned longest_ = 0;
  unsigned first_extra_symbol_;
  const std::uint8_t* extra_bits_;  // borrowed, static data
  unsigned extra_bits_count_;
};

// Decodes the raw deflate stream read from input (from its current position)
// and writes the decoded bytes to output. Answers true when the final block
// was decoded and everything was written; false for a malformed or truncated
// stream, a failed write, or output that would grow beyond outputLimit bytes
// (output then holds a partial result; in the last case exactly the first
// outputLimit bytes).
bool InflateStream(TStream& input, TStream& output, std::uint64_t outputLimit = UINT64_MAX);

}  // namespace plx
