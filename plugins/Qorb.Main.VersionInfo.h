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

// Copies a module's six texts into a record that calls the product name
// Name (a loaded plug-in, a module record). From is a version record or
// such a record itself.
template <class TTo, class TFrom>
void AssignModuleTexts(TTo& To, const TFrom& From) {
  if constexpr (requires { From.ProductName; })
    To.Name = From.ProductName;
  else
    To.Name = From.Name;
  To.Version = From.Version;
  To.Company = From.Company;
  To.Copyright = From.Copyright;
  To.Description = From.Description;
  To.Comments = From.Comments;
}
