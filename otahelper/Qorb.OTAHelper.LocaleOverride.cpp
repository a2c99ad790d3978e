#include "otahelper/Qorb.OTAHelper.LocaleOverride.h"

#include <cstdlib>
#include <string>

#include "rtl/PathDelim.h"
#include "winapi/Modules.h"

namespace {

// A tag is short; anything longer is not one.
constexpr size_t kMaxOverrideLength = 256;

std::u16string RunningExecutable() {
  char16_t buffer[MAX_PATH];
  const DWORD n = GetModuleFileNameW(0, buffer, MAX_PATH);
  return std::u16string(buffer, n < MAX_PATH ? n : 0);
}

}  // namespace

UnicodeString LocaleOverrideVariable(std::u16string_view AAppName) {
  std::u16string path = AAppName.empty() ? RunningExecutable() : std::u16string(AAppName);
  const size_t delim = path.find_last_of(PathDelims);
  const std::u16string_view file = std::u16string_view(path).substr(delim == std::u16string::npos ? 0 : delim + 1);
  if (file.empty()) return {};
  std::u16string name;
  for (char16_t c : file) {
    if (c >= u'a' && c <= u'z')
      name.push_back(static_cast<char16_t>(c - u'a' + u'A'));
    else if ((c >= u'A' && c <= u'Z') || (c >= u'0' && c <= u'9'))
      name.push_back(c);
    else
      name.push_back(u'_');
  }
  return UnicodeString(name + u"_LOCALE");
}

UnicodeString GetLocaleOverride(std::u16string_view AAppName) {
  const UnicodeString variable = LocaleOverrideVariable(AAppName);
  if (variable.IsEmpty()) return {};
  const char* value = std::getenv(variable.ToUtf8().c_str());
  if (!value) return {};
  const std::string_view text(value);
  if (text.size() > kMaxOverrideLength) return {};
  return UnicodeString::FromUtf8(text);
}
