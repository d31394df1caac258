// Throughput of the skin reader's deflate decoder against zlib's inflate,
// on the same in-memory data: a text corpus and a binary corpus.

#include <zlib.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "bench/BenchReport.h"
#include "framework/Streams.h"
#include "skin/Inflate.h"
#include "tests/skin/SkinTestData.h"

namespace {

constexpr std::size_t kCorpusSize = 24 * 1024 * 1024;
constexpr int kRuns = 5;

// Copies into a buffer allocated once, as zlib's output buffer is.
class TFixedSink : public plx::TStream {
 public:
  explicit TFixedSink(std::size_t capacity) : bytes_(capacity) {}
  std::size_t Read(void*, std::size_t) override { return 0; }
  std::size_t Write(const void* buffer, std::size_t count) override {
    count = std::min(count, bytes_.size() - size_);
    std::memcpy(bytes_.data() + size_, buffer, count);
    size_ += count;
    return count;
  }
  std::int64_t Seek(std::int64_t, plx::TSeekOrigin) override { return static_cast<std::int64_t>(size_); }
  void Rewind() { size_ = 0; }
  bool Holds(const std::string& expected) const {
    return size_ == expected.size() && std::memcmp(bytes_.data(), expected.data(), size_) == 0;
  }

 private:
  std::vector<char> bytes_;
  std::size_t size_ = 0;
};

std::string Deflate(const std::string& input) {
  z_stream z{};
  deflateInit2(&z, 6, Z_DEFLATED, -15, 8, Z_DEFAULT_STRATEGY);
  std::string out(deflateBound(&z, input.size()), '\0');
  z.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(input.data()));
  z.avail_in = static_cast<uInt>(input.size());
  z.next_out = reinterpret_cast<Bytef*>(out.data());
  z.avail_out = static_cast<uInt>(out.size());
  deflate(&z, Z_FINISH);
  out.resize(z.total_out);
  deflateEnd(&z);
  return out;
}

double Seconds(std::chrono::steady_clock::duration d) { return std::chrono::duration<double>(d).count(); }

template <typename F>
double Best(F run) {
  double best = 1e9;
  for (int i = 0; i < kRuns; ++i) {
    const auto start = std::chrono::steady_clock::now();
    run();
    best = std::min(best, Seconds(std::chrono::steady_clock::now() - start));
  }
  return best;
}

bool Measure(const char* name, const std::string& corpus) {
  const std::string compressed = Deflate(corpus);
  TFixedSink ours(corpus.size());
  bool oursOk = true;
  const double oursTime = Best([&] {
    ours.Rewind();
    plx::TReadOnlyMemoryStream input(compressed.data(), compressed.size());
    oursOk = plx::InflateStream(input, ours) && oursOk;
  });
  std::vector<char> zlibOut(corpus.size());
  bool zlibOk = true;
  const double zlibTime = Best([&] {
    z_stream z{};
    inflateInit2(&z, -15);
    z.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(compressed.data()));
    z.avail_in = static_cast<uInt>(compressed.size());
    z.next_out = reinterpret_cast<Bytef*>(zlibOut.data());
    z.avail_out = static_cast<uInt>(zlibOut.size());
    zlibOk = inflate(&z, Z_FINISH) == Z_STREAM_END && zlibOk;
    inflateEnd(&z);
  });
  const bool correct = oursOk && zlibOk && ours.Holds(corpus) &&
                       std::memcmp(zlibOut.data(), corpus.data(), corpus.size()) == 0;
  const double mb = static_cast<double>(corpus.size()) / (1024.0 * 1024.0);
  std::printf("%-7s %6.1f MB (deflated to %5.1f%%): ours %7.1f MB/s, zlib %7.1f MB/s, time ratio ours/zlib %.2f%s\n",
              name, mb, 100.0 * compressed.size() / corpus.size(), mb / oursTime, mb / zlibTime, oursTime / zlibTime,
              correct ? "" : "  OUTPUT MISMATCH");
  plx::bench::Report(std::string("inflate, ") + name + " corpus, against zlib", oursTime * 1e3, zlibTime * 1e3, "ms",
                     "x1.0");
  return correct;
}

}  // namespace

int main() {
  std::printf("inflate, best of %d runs, zlib %s\n", kRuns, zlibVersion());
  const bool text = Measure("text", plx::test::MakeText(kCorpusSize, 21));
  const bool binary = Measure("binary", plx::test::MakeBinary(kCorpusSize, 22));
  return text && binary ? 0 : 1;
}
