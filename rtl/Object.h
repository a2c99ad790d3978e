#pragma once
// The runtime's root class. Its first method-table slot answers the class
// name, so code that only holds an object word (an event handler's object,
// possibly from a plug-in written in C) can name the object's class.
#include <typeinfo>

#include "rtl/UnicodeString.h"

class TObject {
 public:
  // Slot 0: zero-terminated UTF-16 class name, valid while the object lives.
  virtual const char16_t* ClassNamePtr() const;
  virtual ~TObject();

  UnicodeString ClassName() const { return UnicodeString(ClassNamePtr()); }
};

// The class name of the C++ type behind a type_info: the demangled name
// without namespaces and template arguments. The text lives for the process.
const char16_t* ClassNameOf(const std::type_info& type);
// Same, as a UTF-16 string.
UnicodeString DemangledTypeName(const std::type_info& type);
