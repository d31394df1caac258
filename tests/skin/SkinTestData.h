#pragma once
// Deterministic test inputs shared by the skin tests and benchmarks.

#include <cstdint>
#include <string>

namespace plx::test {

// A small linear congruential generator: the same bytes on every run.
class TTestRandom {
 public:
  explicit TTestRandom(std::uint32_t seed) : state_(seed) {}
  std::uint32_t Next() {
    state_ = state_ * 1664525u + 1013904223u;
    return state_ >> 8;
  }

 private:
  std::uint32_t state_;
};

// Word salad with the letter and word statistics of prose.
inline std::string MakeText(std::size_t size, std::uint32_t seed = 1) {
  static const char* const kWords[] = {"the",    "skin",   "window", "title",  "bar",     "of",     "and",
                                       "a",      "button", "clip",   "drop",   "text",    "is",     "to",
                                       "colour", "bitmap", "frame",  "border", "reading", "in",     "with",
                                       "which",  "draws",  "every",  "user",   "first",   "sees",   "list"};
  TTestRandom random(seed);
  std::string text;
  text.reserve(size + 16);
  std::size_t lineLength = 0;
  while (text.size() < size) {
    const std::uint32_t r = random.Next();
    text += kWords[r % (sizeof kWords / sizeof kWords[0])];
    lineLength += 6;
    if ((r >> 12) % 11 == 0) text += ',';
    if (lineLength > 70) {
      text += ".\n";
      lineLength = 0;
    } else {
      text += ' ';
    }
  }
  text.resize(size);
  return text;
}

// Structured binary: records of little-endian counters, small deltas and
// repeated headers, as in executables and bitmaps.
inline std::string MakeBinary(std::size_t size, std::uint32_t seed = 2) {
  TTestRandom random(seed);
  std::string data;
  data.reserve(size + 16);
  std::uint32_t counter = 0x1000;
  while (data.size() < size) {
    const std::uint32_t r = random.Next();
    switch (r % 4) {
      case 0:  // a little-endian counter
        counter += r % 37;
        for (int i = 0; i < 4; ++i) data.push_back(static_cast<char>(counter >> (8 * i)));
        break;
      case 1:  // a pixel run
        data.append(3 + (r >> 4) % 24, static_cast<char>(r >> 16));
        break;
      case 2:  // a recurring header
        data.append("\x4D\x5A\x90\x00\x03\x00\x00\x00", 8);
        break;
      default:  // noise
        data.push_back(static_cast<char>(r >> 3));
        data.push_back(static_cast<char>(r >> 11));
        break;
    }
  }
  data.resize(size);
  return data;
}

inline std::string MakeRandom(std::size_t size, std::uint32_t seed = 3) {
  TTestRandom random(seed);
  std::string data(size, '\0');
  for (char& c : data) c = static_cast<char>(random.Next() >> 4);
  return data;
}

}  // namespace plx::test
