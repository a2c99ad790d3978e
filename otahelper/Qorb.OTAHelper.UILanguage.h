#pragma once
// Which of the localization's languages is in force: decided once per load
// of the package from the IDE's UI language, else the runtime's locale
// override for the IDE executable. Only German is recognised; everything
// else, failures included, is English.
#include <string_view>

#include "otahelper/Qorb.OTAHelper.Loc.h"
#include "rtl/UnicodeString.h"

// The lower-cased primary code of a tag or of the first tag of a
// comma-separated list: "de-DE" and "DE" give "de", "en-US,de" gives "en",
// "-de" gives "", "de_DE" gives "de_de".
UnicodeString NormalizeLanguageTag(std::u16string_view ATag);

// The IDE's UI language (IOTAServices, slot 15), normalized. False with an
// empty ACode when the IDE or its services are absent or the code is empty.
bool TryGetIDELanguageTag(UnicodeString& ACode);

// The locale override of the running executable, normalized; false when
// empty.
bool TryGetLocaleOverrideTag(UnicodeString& ACode);

// The IDE's code if it has one (the override is then not read), else the
// override's, else empty.
UnicodeString GetUILanguageCode();

// llGerman exactly when the code is "de". Decided on the first call and
// kept; an error on the way is English, and is not retried.
TLocLanguage DetectUILanguage();

// SetLocLanguage(DetectUILanguage()).
void InitLocLanguage();

// Forgets the decision, as unloading the package does. The package itself
// never calls it.
void ResetUILanguageDetection() noexcept;
