#include "vcl/MemoryStream.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <memory>

#include "rtl/Format.h"

namespace {

struct FileClose {
  void operator()(std::FILE* f) const noexcept { std::fclose(f); }
};
using FilePtr = std::unique_ptr<std::FILE, FileClose>;

FilePtr OpenFile(std::u16string_view name, const char* mode) {
  FilePtr f(std::fopen(Utf16ToUtf8(name).c_str(), mode));
  if (!f) {
    const UnicodeString reason = UnicodeString::FromUtf8(std::strerror(errno));
    throw EFOpenError(Format(u"Cannot open file \"%s\". %s", {name, reason}));
  }
  return f;
}

}  // namespace

int64_t TMemoryStream::Read(void* Buffer, int64_t Count) {
  if (Count <= 0 || position_ >= Size()) return 0;
  const int64_t n = std::min(Count, Size() - position_);
  std::memcpy(Buffer, data_.data() + position_, static_cast<size_t>(n));
  position_ += n;
  return n;
}

int64_t TMemoryStream::Write(const void* Buffer, int64_t Count) {
  if (Count <= 0) return 0;
  if (Count > INT64_MAX - position_) throw EWriteError(UnicodeString(u"Stream write error"));
  const int64_t end = position_ + Count;
  if (end > Size()) data_.resize(static_cast<size_t>(end));
  std::memcpy(data_.data() + position_, Buffer, static_cast<size_t>(Count));
  position_ = end;
  return Count;
}

void TMemoryStream::ReadBuffer(void* Buffer, int64_t Count) {
  if (Count != 0 && Read(Buffer, Count) != Count) throw EReadError(UnicodeString(u"Stream read error"));
}

void TMemoryStream::WriteBuffer(const void* Buffer, int64_t Count) {
  if (Count != 0 && Write(Buffer, Count) != Count) throw EWriteError(UnicodeString(u"Stream write error"));
}

int64_t TMemoryStream::Seek(int64_t Offset, TSeekOrigin Origin) {
  const int64_t base = Origin == soBeginning ? 0 : Origin == soCurrent ? position_ : Size();
  // base is never negative, so neither bound can overflow.
  if (Offset < -base || Offset > INT64_MAX - base) throw EStreamError(UnicodeString(u"Invalid stream position"));
  position_ = base + Offset;
  return position_;
}

void TMemoryStream::SetSize(int64_t NewSize) {
  if (NewSize < 0) throw EStreamError(UnicodeString(u"Invalid stream size"));
  data_.resize(static_cast<size_t>(NewSize));
  if (position_ > NewSize) position_ = NewSize;
}

void TMemoryStream::Clear() {
  data_.clear();
  data_.shrink_to_fit();
  position_ = 0;
}

void TMemoryStream::LoadFromFile(std::u16string_view FileName) {
  FilePtr f = OpenFile(FileName, "rb");
  std::vector<uint8_t> bytes;
  uint8_t chunk[65536];
  size_t n;
  while ((n = std::fread(chunk, 1, sizeof chunk, f.get())) > 0) bytes.insert(bytes.end(), chunk, chunk + n);
  if (std::ferror(f.get())) throw EReadError(UnicodeString(u"Stream read error"));
  data_ = std::move(bytes);
  position_ = 0;
}

void TMemoryStream::SaveToFile(std::u16string_view FileName) const {
  FilePtr f = OpenFile(FileName, "wb");
  if (!data_.empty() && std::fwrite(data_.data(), 1, data_.size(), f.get()) != data_.size())
    throw EWriteError(UnicodeString(u"Stream write error"));
  // Buffered data may only fail to reach the disk on close.
  if (std::fclose(f.release()) != 0) throw EWriteError(UnicodeString(u"Stream write error"));
}
