#pragma once
// The runtime's per-executable locale override. Here it is the environment
// variable named after the executable: its file name upper-cased, every
// character other than a letter or digit turned into "_", then "_LOCALE"
// (qorb-ide reads QORB_IDE_LOCALE). It holds a language tag such as "de-DE".
#include <string_view>

#include "rtl/UnicodeString.h"

// The variable's name for AAppName, a file name or path; empty AAppName
// names the running executable.
UnicodeString LocaleOverrideVariable(std::u16string_view AAppName);

// The override for AAppName (empty: the running executable), or empty when
// none is set.
UnicodeString GetLocaleOverride(std::u16string_view AAppName);
