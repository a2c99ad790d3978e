#pragma once
// Readable strings in test failures.
#include <ostream>

#include "rtl/UnicodeString.h"

inline void PrintTo(const UnicodeString& s, std::ostream* os) { *os << '"' << s.ToUtf8() << '"'; }
