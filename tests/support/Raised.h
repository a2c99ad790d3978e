#pragma once
// "ClassName: message" of what a call raised, or "" when it raised nothing:
// exceptions from foreign code reach us as copies, so tests compare what
// they say, not their C++ type.
#include <string>

#include "rtl/Exception.h"

template <class F>
std::string Raised(F&& f) {
  try {
    f();
  } catch (...) {
    const CaughtException e = DescribeCurrentException();
    return e.ClassName.ToUtf8() + ": " + e.Message.ToUtf8();
  }
  return {};
}
