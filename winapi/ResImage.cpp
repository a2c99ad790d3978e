#include "winapi/ResImage.h"

#include <algorithm>
#include <cstring>

#include "winapi/TextCase.h"

namespace qorb::winapi {
namespace {

// Fixed part of an entry header after the type and name.
constexpr size_t kHeaderTail = 16;
constexpr size_t kHeaderHead = 8;

class Reader {
 public:
  explicit Reader(std::span<const uint8_t> b) : b_(b) {}
  bool U16(size_t at, size_t end, uint16_t& v) const {
    if (at > end || end - at < 2) return false;
    std::memcpy(&v, b_.data() + at, 2);
    return true;
  }
  bool U32(size_t at, size_t end, uint32_t& v) const {
    if (at > end || end - at < 4) return false;
    std::memcpy(&v, b_.data() + at, 4);
    return true;
  }
  // A type or name field; pos moves past it.
  bool Id(size_t& pos, size_t end, ResId& id) const {
    uint16_t first = 0;
    if (!U16(pos, end, first)) return false;
    if (first == 0xFFFF) {
      uint16_t ordinal = 0;
      if (!U16(pos + 2, end, ordinal)) return false;
      id = ResId::Ordinal(ordinal);
      pos += 4;
      return true;
    }
    std::u16string text;
    for (;;) {
      uint16_t c = 0;
      if (!U16(pos, end, c)) return false;
      pos += 2;
      if (c == 0) break;
      text.push_back(static_cast<char16_t>(c));
    }
    id = ResId::Text(std::move(text));
    return true;
  }

 private:
  std::span<const uint8_t> b_;
};

constexpr size_t AlignUp4(size_t n) { return (n + 3) & ~size_t{3}; }

}  // namespace

bool ResId::Matches(const ResId& other) const noexcept {
  if (isOrdinal != other.isOrdinal) return false;
  return isOrdinal ? ordinal == other.ordinal : SameTextW(text, other.text);
}

std::optional<ResImage> ResImage::Read(std::span<const uint8_t> bytes) {
  const Reader r(bytes);
  const size_t end = bytes.size();
  ResImage image;
  size_t pos = 0;
  while (end - pos >= kHeaderHead) {
    uint32_t dataSize = 0, headerSize = 0;
    r.U32(pos, end, dataSize);
    r.U32(pos + 4, end, headerSize);
    if (dataSize == 0 && headerSize == 0) {
      // Zero padding between concatenated images.
      pos += 4;
      continue;
    }
    const size_t left = end - pos;
    if (headerSize > left || dataSize > left - headerSize) return std::nullopt;
    const size_t headerEnd = pos + headerSize;
    ResEntry e;
    e.header = pos;
    size_t at = pos + kHeaderHead;
    if (!r.Id(at, headerEnd, e.type) || !r.Id(at, headerEnd, e.name)) return std::nullopt;
    at = AlignUp4(at);
    if (at > headerEnd || headerEnd - at < kHeaderTail) return std::nullopt;
    r.U16(at + 6, headerEnd, e.language);
    e.offset = headerEnd;
    e.size = dataSize;
    // The leading empty entry marks the format; it holds nothing.
    if (!(e.type.isOrdinal && e.type.ordinal == 0)) image.entries_.push_back(std::move(e));
    const size_t next = headerEnd + dataSize;
    pos = std::min(AlignUp4(next), end);
  }
  if (pos != end) {
    // A tail too short for an entry is only acceptable as padding.
    for (size_t i = pos; i < end; ++i) {
      if (bytes[i] != 0) return std::nullopt;
    }
  }
  return image;
}

std::optional<ResImage> ResImage::Parse(std::span<const uint8_t> bytes) {
  std::optional<ResImage> image = Read(bytes);
  if (!image) return image;
  // Kept as a copy of its own, never zero-filled first.
  image->owned_ = std::make_unique_for_overwrite<uint8_t[]>(bytes.size());
  if (!bytes.empty()) std::memcpy(image->owned_.get(), bytes.data(), bytes.size());
  image->bytes_ = image->owned_.get();
  return image;
}

std::optional<ResImage> ResImage::View(std::span<const uint8_t> bytes) {
  std::optional<ResImage> image = Read(bytes);
  if (image) image->bytes_ = bytes.data();
  return image;
}

const ResEntry* ResImage::Find(const ResId& type, const ResId& name, DWORD& error) const noexcept {
  bool typeSeen = false;
  for (const ResEntry& e : entries_) {
    if (!e.type.Matches(type)) continue;
    typeSeen = true;
    if (e.name.Matches(name)) return &e;
  }
  error = typeSeen ? ERROR_RESOURCE_NAME_NOT_FOUND : ERROR_RESOURCE_TYPE_NOT_FOUND;
  return nullptr;
}

const ResEntry* ResImage::EntryOf(const void* handle) const noexcept {
  for (const ResEntry& e : entries_)
    if (Handle(e) == handle) return &e;
  return nullptr;
}

}  // namespace qorb::winapi
