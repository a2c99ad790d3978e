#include "plugins/Qorb.Main.VersionInfo.h"

#include <cstdint>
#include <vector>

#include "host/HostModule.h"
#include "rtl/Format.h"
#include "winapi/Version.h"

namespace {

UnicodeString StringValue(const std::vector<uint8_t>& block, std::u16string_view key) {
  if (block.empty()) return {};
  void* translation = nullptr;
  unsigned len = 0;
  if (!VerQueryValueW(block.data(), u"\\VarFileInfo\\Translation", &translation, &len) || !translation ||
      len < 4)
    return {};
  // The first language only: its identifier, then its code page.
  const auto* words = static_cast<const uint16_t*>(translation);
  const UnicodeString path = Format(u"\\StringFileInfo\\%.4x%.4x\\%s", {words[0], words[1], key});
  void* value = nullptr;
  len = 0;
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
  result.ProductName = StringValue(block, u"ProductName");
  result.Company = StringValue(block, u"CompanyName");
  result.Copyright = StringValue(block, u"LegalCopyright");
  result.Description = StringValue(block, u"FileDescription");
  result.Comments = StringValue(block, u"Comments");
  result.Version = FixedVersion(block);
  if (result.Version.IsEmpty()) result.Version = StringValue(block, u"FileVersion");
  return result;
}
