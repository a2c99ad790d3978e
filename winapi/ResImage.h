#pragma once
// A resource image in the 32-bit .res format: a row of DWORD-aligned entries,
// each a header (DataSize, HeaderSize, Type, Name, DataVersion, MemoryFlags,
// LanguageId, Version, Characteristics) followed by its data.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "winapi/WinTypes.h"

namespace qorb::winapi {

// A resource type or name: a 16-bit ordinal or a string.
struct ResId {
  bool isOrdinal = true;
  WORD ordinal = 0;
  std::u16string text;

  static ResId Ordinal(WORD id) { return ResId{true, id, {}}; }
  static ResId Text(std::u16string s) { return ResId{false, 0, std::move(s)}; }
  // Strings match without regard to case, as Windows matches them.
  bool Matches(const ResId& other) const noexcept;
};

struct ResEntry {
  ResId type;
  ResId name;
  WORD language = 0;
  size_t header = 0;  // of the entry within the image
  size_t offset = 0;  // of the data within the image
  size_t size = 0;
};

class ResImage {
 public:
  // The image, or nothing when any entry's sizes do not fit the bytes.
  // Parse keeps a copy of them; View reads them in place, for bytes that
  // outlive the image (a loaded module's mapped section).
  static std::optional<ResImage> Parse(std::span<const uint8_t> bytes);
  static std::optional<ResImage> View(std::span<const uint8_t> bytes);

  const std::vector<ResEntry>& Entries() const noexcept { return entries_; }
  const uint8_t* Data(const ResEntry& e) const noexcept { return bytes_ + e.offset; }

  // The first entry of that type and name; otherwise null with
  // ERROR_RESOURCE_TYPE_NOT_FOUND or ERROR_RESOURCE_NAME_NOT_FOUND.
  const ResEntry* Find(const ResId& type, const ResId& name, DWORD& error) const noexcept;

  // A resource handle is where its entry starts in the bytes, so that it
  // stays the same for every image of the same bytes.
  const void* Handle(const ResEntry& e) const noexcept { return bytes_ + e.header; }
  // The entry a handle names, or null (handles are checked, not trusted).
  const ResEntry* EntryOf(const void* handle) const noexcept;

 private:
  static std::optional<ResImage> Read(std::span<const uint8_t> bytes);

  std::unique_ptr<uint8_t[]> owned_;
  const uint8_t* bytes_ = nullptr;
  std::vector<ResEntry> entries_;
};

}  // namespace qorb::winapi
