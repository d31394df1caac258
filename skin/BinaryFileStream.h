#pragma once
// A TStream over a file, built on the C library's streams so that the skin
// core reads and writes files the same way on every platform (and without
// the locale machinery of the C++ file streams, which start-up would pay for).

#include <cstdio>
#include <string>

#include "framework/Streams.h"

namespace plx {

class TBinaryFileStream : public TStream {
 public:
  enum TMode { fmOpenRead, fmCreate };

  // Opens path for reading, or creates (truncates) it for writing; IsOpen()
  // tells whether that worked.
  TBinaryFileStream(const std::string& path, TMode mode);
  TBinaryFileStream(const TBinaryFileStream&) = delete;
  TBinaryFileStream& operator=(const TBinaryFileStream&) = delete;
  ~TBinaryFileStream() override;

  bool IsOpen() const { return file_ != nullptr; }
  void Close();

  std::size_t Read(void* buffer, std::size_t count) override;
  std::size_t Write(const void* buffer, std::size_t count) override;
  // Positions beyond what the C library's offsets reach (2 GiB where long is
  // 32 bits) answer -1.
  std::int64_t Seek(std::int64_t offset, TSeekOrigin origin) override;

 private:
  std::FILE* file_ = nullptr;
};

bool FileExists(const std::string& path);
// Deletes the file; false when it could not be deleted.
bool DeleteFileAt(const std::string& path);

}  // namespace plx
