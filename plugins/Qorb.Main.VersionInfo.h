#pragma once
// The six texts the host shows about a module, read from its version
// resource.
#include "rtl/UnicodeString.h"

struct TQorbVersionInfo {
  UnicodeString ProductName;
  UnicodeString Version;
  UnicodeString Company;
  UnicodeString Copyright;
  UnicodeString Description;
  UnicodeString Comments;
};

// An empty file name means the host's own module. Never fails: a file
// without readable version information gives empty strings.
TQorbVersionInfo GetQorbVersionInfo(UnicodeStringRef FileName);
