#include "framework/Streams.h"

#include <algorithm>
#include <cstring>

#include "framework/Exception.h"

namespace plx {

std::int64_t TStream::Size() {
  const std::int64_t here = Position();
  const std::int64_t end = Seek(0, TSeekOrigin::soEnd);
  Seek(here, TSeekOrigin::soBeginning);
  return end;
}

void TStream::ReadBuffer(void* buffer, std::size_t count) {
  if (count != 0 && Read(buffer, count) != count) throw EStreamError("Stream read error");
}

void TStream::WriteBuffer(const void* buffer, std::size_t count) {
  if (count != 0 && Write(buffer, count) != count) throw EStreamError("Stream write error");
}

std::int64_t TStream::CopyFrom(TStream& source, std::int64_t count) {
  if (count == 0) {
    source.SetPosition(0);
    count = source.Size();
  }
  std::vector<std::uint8_t> chunk(static_cast<std::size_t>(std::min<std::int64_t>(count, 64 * 1024)));
  std::int64_t left = count;
  while (left > 0) {
    const std::size_t n = static_cast<std::size_t>(std::min<std::int64_t>(left, static_cast<std::int64_t>(chunk.size())));
    source.ReadBuffer(chunk.data(), n);
    WriteBuffer(chunk.data(), n);
    left -= static_cast<std::int64_t>(n);
  }
  return count;
}

std::int64_t ResolveSeek(std::int64_t current, std::int64_t size, std::int64_t offset, TSeekOrigin origin) {
  std::int64_t base = 0;
  switch (origin) {
    case TSeekOrigin::soBeginning: base = 0; break;
    case TSeekOrigin::soCurrent: base = current; break;
    case TSeekOrigin::soEnd: base = size; break;
  }
  return std::max<std::int64_t>(0, base + offset);
}

std::size_t TMemoryStream::Read(void* buffer, std::size_t count) {
  if (position_ >= bytes_.size()) return 0;
  const std::size_t n = std::min(count, bytes_.size() - position_);
  if (n != 0) std::memcpy(buffer, bytes_.data() + position_, n);
  position_ += n;
  return n;
}

std::size_t TMemoryStream::Write(const void* buffer, std::size_t count) {
  if (count == 0) return 0;
  if (position_ + count > bytes_.size()) bytes_.resize(position_ + count);
  std::memcpy(bytes_.data() + position_, buffer, count);
  position_ += count;
  return count;
}

std::int64_t TMemoryStream::Seek(std::int64_t offset, TSeekOrigin origin) {
  position_ = static_cast<std::size_t>(ResolveSeek(static_cast<std::int64_t>(position_),
                                                   static_cast<std::int64_t>(bytes_.size()), offset, origin));
  return static_cast<std::int64_t>(position_);
}

void TMemoryStream::Clear() {
  bytes_.clear();
  position_ = 0;
}

std::size_t TReadOnlyMemoryStream::Read(void* buffer, std::size_t count) {
  if (position_ >= size_) return 0;
  const std::size_t n = std::min(count, size_ - position_);
  if (n != 0) std::memcpy(buffer, data_ + position_, n);
  position_ += n;
  return n;
}

std::size_t TReadOnlyMemoryStream::Write(const void*, std::size_t) { return 0; }

std::int64_t TReadOnlyMemoryStream::Seek(std::int64_t offset, TSeekOrigin origin) {
  position_ = static_cast<std::size_t>(
      ResolveSeek(static_cast<std::int64_t>(position_), static_cast<std::int64_t>(size_), offset, origin));
  return static_cast<std::int64_t>(position_);
}

}  // namespace plx
