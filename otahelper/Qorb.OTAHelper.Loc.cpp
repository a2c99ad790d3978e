#include "otahelper/Qorb.OTAHelper.Loc.h"

#include <cstring>
#include <string>

#include "winapi/Modules.h"
#include "winapi/Resources.h"

namespace {

// Main thread only, like every caller.
TLocLanguage currentLanguage = llEnglish;

}  // namespace

void SetLocLanguage(TLocLanguage ALanguage) noexcept { currentLanguage = ALanguage; }

TLocLanguage LocLanguage() noexcept { return currentLanguage; }

UnicodeString LocLanguagePrefix(TLocLanguage ALanguage) {
  return ALanguage == llGerman ? UnicodeString(u"DE.") : UnicodeString();
}

UnicodeString ExpandLineBreaks(std::u16string_view S) {
  if (S.find(u"\\n") == std::u16string_view::npos) return UnicodeString(S);
  std::u16string out;
  out.reserve(S.size() + 8);
  for (size_t i = 0; i < S.size(); ++i) {
    if (S[i] == u'\\' && i + 1 < S.size() && S[i + 1] == u'n') {
      out += u"\r\n";
      ++i;
    } else {
      out.push_back(S[i]);
    }
  }
  return UnicodeString(out);
}

bool TryLoadLocResource(std::u16string_view AName, UnicodeString& AText) {
  AText.Clear();
  // The package's own module: HInstance() resolves to the module these
  // lines are linked into.
  const HMODULE module = HInstance();
  const std::u16string name(AName);
  HRSRC res = FindResourceW(module, name.c_str(), RT_RCDATA);
  if (!res) return false;
  const DWORD size = SizeofResource(module, res);
  if (size == 0) return false;
  HGLOBAL loaded = LoadResource(module, res);
  if (!loaded) return false;
  const void* data = LockResource(loaded);
  if (!data) return false;
  std::u16string text(size / 2, u'\0');
  std::memcpy(text.data(), data, text.size() * sizeof(char16_t));
  AText = ExpandLineBreaks(text);
  return true;
}

UnicodeString Loc(std::u16string_view AKey, std::u16string_view ADefault) {
  UnicodeString result = ExpandLineBreaks(ADefault);
  if (currentLanguage == llEnglish) return result;
  UnicodeString translated;
  if (TryLoadLocResource(LocLanguagePrefix(currentLanguage) + AKey, translated)) result = translated;
  return result;
}

UnicodeString LocFmt(std::u16string_view AKey, std::u16string_view ADefault, std::initializer_list<TVarRec> AArgs) {
  return Format(Loc(AKey, ADefault), AArgs);
}
