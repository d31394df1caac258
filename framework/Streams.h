#pragma once
// Byte streams: the abstract TStream and an in-memory stream. Platform-neutral.

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace plx {

enum class TSeekOrigin { soBeginning, soCurrent, soEnd };

class TStream {
 public:
  virtual ~TStream() = default;
  TStream() = default;
  TStream(const TStream&) = delete;
  TStream& operator=(const TStream&) = delete;

  // Reads up to count bytes; answers how many were read (0 at the end).
  virtual std::size_t Read(void* buffer, std::size_t count) = 0;
  // Writes count bytes; answers how many were written.
  virtual std::size_t Write(const void* buffer, std::size_t count) = 0;
  // Moves the position; answers the new position.
  virtual std::int64_t Seek(std::int64_t offset, TSeekOrigin origin) = 0;

  std::int64_t Position() { return Seek(0, TSeekOrigin::soCurrent); }
  void SetPosition(std::int64_t position) { Seek(position, TSeekOrigin::soBeginning); }
  std::int64_t Size();

  // Read or write exactly count bytes, raising EStreamError otherwise.
  void ReadBuffer(void* buffer, std::size_t count);
  void WriteBuffer(const void* buffer, std::size_t count);
  // Copies count bytes from source (all of it from its start when count is 0).
  std::int64_t CopyFrom(TStream& source, std::int64_t count);
};

// A growable block of memory; the position may lie beyond its end, and a
// write there extends it with zero bytes.
class TMemoryStream : public TStream {
 public:
  TMemoryStream() = default;
  explicit TMemoryStream(std::vector<std::uint8_t> bytes) : bytes_(std::move(bytes)) {}

  std::size_t Read(void* buffer, std::size_t count) override;
  std::size_t Write(const void* buffer, std::size_t count) override;
  std::int64_t Seek(std::int64_t offset, TSeekOrigin origin) override;

  const std::uint8_t* Memory() const { return bytes_.data(); }
  std::uint8_t* Memory() { return bytes_.data(); }
  const std::vector<std::uint8_t>& Bytes() const { return bytes_; }
  void SetSize(std::size_t size) { bytes_.resize(size); }
  void Clear();

 private:
  std::vector<std::uint8_t> bytes_;
  std::size_t position_ = 0;
};

// Reads a borrowed block of memory that outlives the stream, without copying.
class TReadOnlyMemoryStream : public TStream {
 public:
  TReadOnlyMemoryStream(const void* data, std::size_t size)
      : data_(static_cast<const std::uint8_t*>(data)), size_(size) {}

  std::size_t Read(void* buffer, std::size_t count) override;
  std::size_t Write(const void* buffer, std::size_t count) override;
  std::int64_t Seek(std::int64_t offset, TSeekOrigin origin) override;

 private:
  const std::uint8_t* data_;  // borrowed
  std::size_t size_;
  std::size_t position_ = 0;
};

// Resolves a seek request against a stream of the given size; negative
// results are clamped to 0.
std::int64_t ResolveSeek(std::int64_t current, std::int64_t size, std::int64_t offset, TSeekOrigin origin);

}  // namespace plx
