#include "skin/BinaryFileStream.h"

#include <climits>

namespace plx {

TBinaryFileStream::TBinaryFileStream(const std::string& path, TMode mode)
    : file_(std::fopen(path.c_str(), mode == fmOpenRead ? "rb" : "wb")) {}

TBinaryFileStream::~TBinaryFileStream() { Close(); }

void TBinaryFileStream::Close() {
  if (file_ != nullptr) std::fclose(file_);
  file_ = nullptr;
}

std::size_t TBinaryFileStream::Read(void* buffer, std::size_t count) {
  if (file_ == nullptr || count == 0) return 0;
  return std::fread(buffer, 1, count, file_);
}

std::size_t TBinaryFileStream::Write(const void* buffer, std::size_t count) {
  if (file_ == nullptr || count == 0) return 0;
  return std::fwrite(buffer, 1, count, file_);
}

std::int64_t TBinaryFileStream::Seek(std::int64_t offset, TSeekOrigin origin) {
  if (file_ == nullptr || offset > LONG_MAX || offset < LONG_MIN) return -1;
  int whence = SEEK_SET;
  if (origin == TSeekOrigin::soCurrent) whence = SEEK_CUR;
  if (origin == TSeekOrigin::soEnd) whence = SEEK_END;
  // A request before the start of the file is clamped to the start, as the
  // memory streams do, instead of leaving the position undefined.
  if (std::fseek(file_, static_cast<long>(offset), whence) != 0 && std::fseek(file_, 0, SEEK_SET) != 0) return -1;
  const long position = std::ftell(file_);
  return position < 0 ? -1 : static_cast<std::int64_t>(position);
}

bool FileExists(const std::string& path) {
  std::FILE* probe = std::fopen(path.c_str(), "rb");
  if (probe == nullptr) return false;
  std::fclose(probe);
  return true;
}

bool DeleteFileAt(const std::string& path) { return std::remove(path.c_str()) == 0; }

}  // namespace plx
