#pragma once
// Files of our own in the system's temporary folder: a fresh name, created
// exclusively so that no other file is ever overwritten or shared, and
// deleted when the owner goes, on every path.

#include <string>

namespace plx {

// A fresh path in the system's temporary folder: a new GUID in registry
// form, braces included, with the given extension appended. Raises
// "Failed to read skin file!" when the folder or a GUID cannot be had.
std::string NewTemporaryPath(const std::string& extension = {});

class TTemporaryFile {
 public:
  // Creates a new empty file <GUID><extension>; when that name is taken a
  // counter goes before the extension (1, 2, 3, ...). Raises
  // "Failed to read skin file!" when no file can be created.
  static TTemporaryFile CreateUnique(const std::string& extension);

  TTemporaryFile(TTemporaryFile&& other) noexcept : path_(std::move(other.path_)) { other.path_.clear(); }
  TTemporaryFile& operator=(TTemporaryFile&&) = delete;
  TTemporaryFile(const TTemporaryFile&) = delete;
  TTemporaryFile& operator=(const TTemporaryFile&) = delete;
  // Deletes the file, if it is still there.
  ~TTemporaryFile();

  const std::string& Path() const { return path_; }

 private:
  explicit TTemporaryFile(std::string path) : path_(std::move(path)) {}
  std::string path_;
};

}  // namespace plx
