#pragma once
// A test's own scratch folder: a fresh folder under the system's temporary
// folder for the files a test writes and reads back, removed with
// everything in it when the test ends. Platform-neutral, so the native core
// tests use it too. (TempFolder.h is the other side: it lists the system's
// temporary folder, to show that nothing is left behind there.)

#include <atomic>
#include <filesystem>
#include <random>
#include <string>

namespace plx::test {

class TScratchFolder {
 public:
  TScratchFolder() {
    static std::atomic<unsigned> counter{0};
    std::random_device seed;
    path_ = std::filesystem::temp_directory_path() /
            ("plexoria-scratch-" + std::to_string(seed()) + "-" + std::to_string(counter++));
    std::filesystem::create_directories(path_);
  }
  ~TScratchFolder() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
  }
  TScratchFolder(const TScratchFolder&) = delete;
  TScratchFolder& operator=(const TScratchFolder&) = delete;

  std::string File(const std::string& name) const { return (path_ / name).string(); }
  std::size_t EntryCount() const {
    return static_cast<std::size_t>(std::distance(std::filesystem::directory_iterator(path_), {}));
  }

 private:
  std::filesystem::path path_;
};

}  // namespace plx::test
