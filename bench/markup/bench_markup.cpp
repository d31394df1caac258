// Throughput of preparing list entries for display: pre-processing followed
// by StripMarkup, on realistic entries and on 1 MB adversarial texts, plus
// the search-mark functions on a 1 MB text full of matches.

#include <chrono>
#include <cstdio>
#include <functional>
#include <random>
#include <string>
#include <vector>

#include "bench/BenchReport.h"
#include "markup/MarkupPreprocess.h"
#include "markup/MarkupText.h"

namespace {

constexpr std::size_t kMegabyte = 1 << 20;

std::string Repeat(std::string_view piece, std::size_t totalSize) {
  std::string text;
  text.reserve(totalSize + piece.size());
  while (text.size() < totalSize) text += piece;
  return text;
}

// An entry as the main window builds it: a tinted BODY, the first 80
// characters of the dropped text, and "...".
std::vector<std::string> RealisticEntries(std::size_t count) {
  static const char* const kWords[] = {"the", "quick", "brown", "fox", "Tom", "&", "Jerry", "&amp;", "<b>", "x<y",
                                       "price:", "10%", "a>b", "\r\n", "C++", "e-mail", "naïve", "\t", "clip"};
  std::mt19937 random(42);
  std::uniform_int_distribution<int> channel(0, 255);
  std::uniform_int_distribution<std::size_t> word(0, std::size(kWords) - 1);
  std::vector<std::string> entries;
  for (std::size_t i = 0; i < count; ++i) {
    std::string preview;
    while (preview.size() < 80) preview += std::string(kWords[word(random)]) + " ";
    preview.resize(80);
    char color[8];
    std::snprintf(color, sizeof color, "FF%02X%02X", channel(random), channel(random));
    entries.push_back("<BODY bgcolor=\"#" + std::string(color) + "\">" + preview + "...");
  }
  return entries;
}

// Runs `work` over `texts` until half a second has passed; returns MB/s.
double Throughput(const std::vector<std::string>& texts, const std::function<std::size_t(const std::string&)>& work) {
  using Clock = std::chrono::steady_clock;
  std::size_t bytes = 0;
  std::size_t sink = 0;
  const auto start = Clock::now();
  auto elapsed = Clock::duration::zero();
  do {
    for (const std::string& text : texts) {
      sink += work(text);
      bytes += text.size();
    }
    elapsed = Clock::now() - start;
  } while (elapsed < std::chrono::milliseconds(500));
  if (sink == 1) std::puts("");  // keeps the work from being optimised away
  return static_cast<double>(bytes) / kMegabyte / std::chrono::duration<double>(elapsed).count();
}

std::size_t PrepareAndStrip(const std::string& entry) {
  const plx::PreprocessedMarkup prepared = plx::PreprocessMarkup(entry, false);
  return prepared.Markup.size() + plx::StripMarkup(entry).size();
}

}  // namespace

int main() {
  std::printf("%-44s %10s\n", "pre-processing + StripMarkup", "MB/s");
  const double realistic = Throughput(RealisticEntries(10000), PrepareAndStrip);
  std::printf("%-44s %10.1f\n", "realistic list entries (10000, ~110 B each)", realistic);
  plx::bench::ReportAbsolute("markup pre-processing + StripMarkup, list entries", realistic, "MB/s", "-");

  std::mt19937 random(7);
  std::string randomBytes(kMegabyte, '\0');
  for (char& c : randomBytes) c = static_cast<char>(random());
  const std::pair<const char*, std::string> adversarial[] = {
      {"1 MB \"&amp;amp;amp;...\" chain", "&" + Repeat("amp;", kMegabyte)},
      {"1 MB \"&&quot;\" repeated", Repeat("&&quot;", kMegabyte)},
      {"1 MB mixed-case entities", Repeat("&AmP;QuOt;&Euro;&amp;TRADE;", kMegabyte)},
      {"1 MB of '<'", Repeat("<", kMegabyte)},
      {"1 MB \"<z>\" never closed", Repeat("<z>", kMegabyte)},
      {"1 MB \"<z></z>\" pairs", Repeat("x<z>h</z>", kMegabyte)},
      {"1 MB CR LF", Repeat("\r\n", kMegabyte)},
      {"1 MB \"<BR>\" and tags", Repeat("a<BR><B>b</B><hr>", kMegabyte)},
      {"1 MB random bytes", randomBytes},
  };
  for (const auto& [name, text] : adversarial) {
    std::printf("%-44s %10.1f\n", name, Throughput({text}, PrepareAndStrip));
  }

  std::printf("\n%-44s %10s\n", "search marks", "MB/s");
  const std::string matches = Repeat("a a <B>a</B> ", kMegabyte);
  std::printf("%-44s %10.1f\n", "MarkText, 1 MB, a match every 4 bytes", Throughput({matches}, [](const std::string& text) {
                return plx::MarkText(text, "a", "hi", false).size();
              }));
  const std::string marked = plx::MarkText(matches, "a", "hi", false);
  std::printf("%-44s %10.1f\n", "UnmarkText of that result", Throughput({marked}, [](const std::string& text) {
                return plx::UnmarkText(text, "hi").size();
              }));
  return 0;
}
