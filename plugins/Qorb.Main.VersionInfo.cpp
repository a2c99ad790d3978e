#include "plugins/Qorb.Main.VersionInfo.h"

#include <cstdint>
#include <vector>

#include "host/HostModule.h"
#include "rtl/Format.h"
#include "winapi/Version.h"

namespace {

// "\StringFileInfo\llllcccc\" of the first language (its identifier,
// then its code page), asked once for all five texts; empty without one.
UnicodeString StringTable(const std::vector<uint8_t>& block) {
  if (block.empty()) return {};
  void* translation = nullptr;
  unsigned len = 0;
  if (!VerQueryValueW(block.data(), u"\\VarFileInfo\\Translation", &translation, &len) || !translation ||
      len < 4)
    return {};
  const auto* words = static_cast<const uint16_t*>(translation);
  return Format(u"\\StringFileInfo\\%.4x%.4x\\", {words[0], words[1]});
}

UnicodeString StringValue(const std::vector<uint8_t>& block, const UnicodeString& table, std::u16string_view key) {
  if (table.IsEmpty()) return {};
  const UnicodeString path = table + key;
  void* value = nullptr;
  unsigned len = 0;
  if (!VerQueryValueW(block.data(), path.c_str(), &value, &len) || !value || len == 0) return {};
  // To its zero, whatever length is stored: resource writers count it in
  // bytes or in characters, some even typing the text as binary. The
  // version layer finds a string-table value only with a zero inside it.
  return Trim(std::u16string_view(static_cast<const char16_t*>(value)));
}

UnicodeString FixedVersion(const std::vector<uint8_t>& block) {
  if (block.empty()) return {};
  void* fixed = nullptr;
  unsigned len = 0;
  if (!VerQueryValueW(block.data(), u"\\", &fixed, &len) || !fixed || len < sizeof(VS_FIXEDFILEINFO)) return {};
  const auto* info = static_cast<const VS_FIXEDFILEINFO*>(fixed);
  return Format(u"%d.%d.%d.%d", {info->dwFileVersionMS >> 16, info->dwFileVersionMS & 0xFFFF,
                                 info->dwFileVersionLS >> 16, info->dwFileVersionLS & 0xFFFF});
}

}  // namespace

TQorbVersionInfo GetQorbVersionInfo(UnicodeStringRef FileName) {
  TQorbVersionInfo result;
  const UnicodeString path = FileName.IsEmpty() ? HostModuleFileName() : UnicodeString(FileName);
  DWORD handle = 0;
  const DWORD size = GetFileVersionInfoSizeW(path.c_str(), &handle);
  if (size == 0) return result;
  std::vector<uint8_t> block(size);
  if (!GetFileVersionInfoW(path.c_str(), 0, size, block.data())) return result;
  const UnicodeString table = StringTable(block);
  result.ProductName = StringValue(block, table, u"ProductName");
  result.Company = StringValue(block, table, u"CompanyName");
  result.Copyright = StringValue(block, table, u"LegalCopyright");
  result.Description = StringValue(block, table, u"FileDescription");
  result.Comments = StringValue(block, table, u"Comments");
  result.Version = FixedVersion(block);
  if (result.Version.IsEmpty()) result.Version = StringValue(block, table, u"FileVersion");
  return result;
}
