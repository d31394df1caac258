// The single-pass entity decoder must give exactly what repeated sweeps give.

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "markup/MarkupPreprocess.h"
#include "reference_sweeps.h"

namespace plx {
namespace {

std::string Repeat(std::string_view piece, int times) {
  std::string text;
  for (int i = 0; i < times; ++i) text += piece;
  return text;
}

void ExpectSameAsSweeps(const std::string& input) {
  ASSERT_EQ(DecodeMarkupEntities(input), reference::SweepEntities(input)) << "input: " << testing::PrintToString(input);
}

TEST(EntitySweepEquivalenceTest, AdversarialChainsDecodeLikeTheSweeps) {
  const std::vector<std::string> inputs = {
      "&" + Repeat("amp;", 700),
      "&" + Repeat("AmP;", 300) + "quot;",
      Repeat("&&quot;", 200),
      Repeat("&amp;", 300) + Repeat("amp;", 300),
      Repeat("&am", 100) + Repeat("p;", 100),
      Repeat("&amp;amp;quot;", 100),
      Repeat("&&&&amp;AMP;aMp;", 80),
      "&" + Repeat("amp;", 50) + "euro;" + Repeat("amp;", 50),
      Repeat("&amp;&quot;&sect;&permil;&reg;&copy;&para;&trade;&euro;", 40),
      Repeat("&AMP;EURO;&Amp;Trade;&amp;PERMIL;", 60),
      Repeat("&amp", 200) + ";",
      Repeat("&", 500) + "amp;",
      std::string("&amp;\0amp;&amp;", 15),
  };
  for (const std::string& input : inputs) ExpectSameAsSweeps(input);
}

TEST(EntitySweepEquivalenceTest, RandomEntityPiecesDecodeLikeTheSweeps) {
  // Pieces that build, split and disguise entity names; raw bytes stir in the rest.
  const std::vector<std::string> pieces = {
      "&",     "&",      "&",    "amp;",  "AMP;", "aMp;",    "am",    "p;",    "quot;", "QUOT;", "sect;",
      "permil;", "reg;", "copy;", "para;", "trade;", "EURO;", "euro", ";",     "a",     "m",     "p",
      "q",     "<",      ">",     " ",     "&nbsp;", std::string(1, '\0'), "\xA7", "lt;", "GT;", "nbsp;",
  };
  std::mt19937 random(20240611);
  std::uniform_int_distribution<std::size_t> pick(0, pieces.size() - 1);
  std::uniform_int_distribution<int> length(0, 40);
  std::uniform_int_distribution<int> byte(0, 255);
  for (int round = 0; round < 20000; ++round) {
    std::string input;
    for (int n = length(random); n > 0; --n) {
      if (byte(random) < 16) {
        input += static_cast<char>(byte(random));
      } else {
        input += pieces[pick(random)];
      }
    }
    ExpectSameAsSweeps(input);
    // Text runs decode their own three entities in one pass as well.
    ASSERT_EQ(DecodeRunEntities(input), reference::SweepRunEntities(input)) << testing::PrintToString(input);
  }
}

}  // namespace
}  // namespace plx
