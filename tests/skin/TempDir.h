#pragma once
// A fresh directory under the system's temporary folder, removed with
// everything in it when the test ends.

#include <atomic>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>

namespace plx::test {

class TTempDir {
 public:
  TTempDir() {
    static std::atomic<unsigned> counter{0};
    std::random_device seed;
    path_ = std::filesystem::temp_directory_path() /
            ("plexoria-skin-" + std::to_string(seed()) + "-" + std::to_string(counter++));
    std::filesystem::create_directories(path_);
  }
  ~TTempDir() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
  }
  TTempDir(const TTempDir&) = delete;
  TTempDir& operator=(const TTempDir&) = delete;

  std::string File(const std::string& name) const { return (path_ / name).string(); }
  std::size_t EntryCount() const {
    return static_cast<std::size_t>(std::distance(std::filesystem::directory_iterator(path_), {}));
  }

 private:
  std::filesystem::path path_;
};

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
