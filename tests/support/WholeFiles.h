#pragma once
// Whole files read and written as bytes, and the path of a file of the
// project's source tree (PLEXORIA_SOURCE_DIR, set for every test).

#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>

namespace plx::test {

inline std::string ReadWholeFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

inline void WriteWholeFile(const std::string& path, const std::string& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

inline std::string SourcePath(const std::string& relative) {
  const char* root = std::getenv("PLEXORIA_SOURCE_DIR");
  return std::string(root != nullptr ? root : ".") + "/" + relative;
}

}  // namespace plx::test
