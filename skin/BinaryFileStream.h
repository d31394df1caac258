#pragma once
// A TStream over a file, built on the standard library's file buffer so that
// the skin core reads and writes files the same way on every platform.

#include <fstream>
#include <string>

#include "framework/Streams.h"

namespace plx {

class TBinaryFileStream : public TStream {
 public:
  enum TMode { fmOpenRead, fmCreate };

  // Opens path for reading, or creates (truncates) it for writing; IsOpen()
  // tells whether that worked.
  TBinaryFileStream(const std::string& path, TMode mode);

  bool IsOpen() const { return file_.is_open(); }
  void Close() { file_.close(); }

  std::size_t Read(void* buffer, std::size_t count) override;
  std::size_t Write(const void* buffer, std::size_t count) override;
  std::int64_t Seek(std::int64_t offset, TSeekOrigin origin) override;

 private:
  std::filebuf file_;
};

bool FileExists(const std::string& path);
// Deletes the file; false when it could not be deleted.
bool DeleteFileAt(const std::string& path);

}  // namespace plx
