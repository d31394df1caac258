#include "skin/BinaryFileStream.h"

#include <cstdio>

namespace plx {

TBinaryFileStream::TBinaryFileStream(const std::string& path, TMode mode) {
  if (mode == fmOpenRead)
    file_.open(path, std::ios::in | std::ios::binary);
  else
    file_.open(path, std::ios::out | std::ios::trunc | std::ios::binary);
}

std::size_t TBinaryFileStream::Read(void* buffer, std::size_t count) {
  if (!file_.is_open() || count == 0) return 0;
  const std::streamsize n = file_.sgetn(static_cast<char*>(buffer), static_cast<std::streamsize>(count));
  return n > 0 ? static_cast<std::size_t>(n) : 0;
}

std::size_t TBinaryFileStream::Write(const void* buffer, std::size_t count) {
  if (!file_.is_open() || count == 0) return 0;
  const std::streamsize n = file_.sputn(static_cast<const char*>(buffer), static_cast<std::streamsize>(count));
  return n > 0 ? static_cast<std::size_t>(n) : 0;
}

std::int64_t TBinaryFileStream::Seek(std::int64_t offset, TSeekOrigin origin) {
  if (!file_.is_open()) return -1;
  std::ios::seekdir dir = std::ios::beg;
  if (origin == TSeekOrigin::soCurrent) dir = std::ios::cur;
  if (origin == TSeekOrigin::soEnd) dir = std::ios::end;
  const std::ios::openmode which = std::ios::in | std::ios::out;
  std::streamoff target = static_cast<std::streamoff>(offset);
  // A request before the start of the file is clamped to the start, as the
  // memory streams do, instead of leaving the position undefined.
  std::streampos result = file_.pubseekoff(target, dir, which);
  if (result == std::streampos(std::streamoff(-1))) result = file_.pubseekpos(0, which);
  return static_cast<std::int64_t>(std::streamoff(result));
}

bool FileExists(const std::string& path) {
  std::filebuf probe;
  return probe.open(path, std::ios::in | std::ios::binary) != nullptr;
}

bool DeleteFileAt(const std::string& path) { return std::remove(path.c_str()) == 0; }

}  // namespace plx
