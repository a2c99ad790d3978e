#pragma once
// Localized texts: a text is asked for by a dotted key with its English
// default; German translations travel in the package's own resources as
// RCDATA named "DE." plus the upper-cased key, holding UTF-16 text.
#include <cstdint>
#include <initializer_list>
#include <string_view>

#include "rtl/Format.h"
#include "rtl/UnicodeString.h"

enum TLocLanguage : uint8_t { llEnglish = 0, llGerman = 1 };

// Starts as llEnglish when the package loads.
void SetLocLanguage(TLocLanguage ALanguage) noexcept;
TLocLanguage LocLanguage() noexcept;

// "DE." for llGerman, empty for every other value.
UnicodeString LocLanguagePrefix(TLocLanguage ALanguage);

// Every backslash-"n" pair becomes CR LF ("\N" is left alone).
UnicodeString ExpandLineBreaks(std::u16string_view S);

// The RCDATA resource AName of the package's own module as text (its bytes
// as UTF-16 code units; an odd last byte is dropped), with line breaks
// expanded. False, with AText empty, when it is missing or empty.
bool TryLoadLocResource(std::u16string_view AName, UnicodeString& AText);

// The translation of AKey in the current language, else ADefault; both with
// line breaks expanded. English reads no resource.
UnicodeString Loc(std::u16string_view AKey, std::u16string_view ADefault);

// Loc, then the runtime's Format with AArgs; the translation must carry the
// placeholders of the default.
UnicodeString LocFmt(std::u16string_view AKey, std::u16string_view ADefault, std::initializer_list<TVarRec> AArgs);
