#include "otahelper/Qorb.OTAHelper.UILanguage.h"

#include "otahelper/Qorb.OTAHelper.LocaleOverride.h"
#include "rtl/ComPtr.h"
#include "toolsapi/Globals.h"
#include "toolsapi/OTAServices.h"

namespace {

// Main thread only, like every caller.
bool detected = false;
TLocLanguage cachedLanguage = llEnglish;

bool IsBlank(char16_t c) { return c <= u' '; }

std::u16string_view TrimView(std::u16string_view s) {
  while (!s.empty() && IsBlank(s.front())) s.remove_prefix(1);
  while (!s.empty() && IsBlank(s.back())) s.remove_suffix(1);
  return s;
}

}  // namespace

UnicodeString NormalizeLanguageTag(std::u16string_view ATag) {
  if (TrimView(ATag).empty()) return {};
  std::u16string_view first = TrimView(ATag.substr(0, ATag.find(u',')));
  first = first.substr(0, first.find(u'-'));
  std::u16string lower(first);
  for (char16_t& c : lower)
    if (c >= u'A' && c <= u'Z') c = static_cast<char16_t>(c - u'A' + u'a');
  return UnicodeString(lower);
}

bool TryGetIDELanguageTag(UnicodeString& ACode) {
  ACode.Clear();
  if (!BorlandIDEServices) return false;
  ComPtr<IOTAServices> services;
  if (!Supports(BorlandIDEServices, services)) return false;
  UnicodeString tag;
  services->GetUILanguage(tag);
  ACode = NormalizeLanguageTag(tag);
  return !ACode.IsEmpty();
}

bool TryGetLocaleOverrideTag(UnicodeString& ACode) {
  ACode = NormalizeLanguageTag(GetLocaleOverride(u""));
  return !ACode.IsEmpty();
}

UnicodeString GetUILanguageCode() {
  UnicodeString code;
  if (TryGetIDELanguageTag(code)) return code;
  if (TryGetLocaleOverrideTag(code)) return code;
  return {};
}

TLocLanguage DetectUILanguage() {
  if (detected) return cachedLanguage;
  try {
    cachedLanguage = GetUILanguageCode() == u"de" ? llGerman : llEnglish;
  } catch (...) {
    cachedLanguage = llEnglish;
  }
  detected = true;
  return cachedLanguage;
}

void InitLocLanguage() { SetLocLanguage(DetectUILanguage()); }

void ResetUILanguageDetection() noexcept {
  detected = false;
  cachedLanguage = llEnglish;
}
