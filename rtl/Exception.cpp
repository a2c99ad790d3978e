#include "rtl/Exception.h"

#include <typeinfo>

Exception::Exception(UnicodeString message) : message_(std::move(message)), what_(message_.ToUtf8()) {}

TExceptionObject ExceptionObjectOf(const std::exception_ptr& e) {
  TExceptionObject o;
  if (!e) return o;
  try {
    std::rethrow_exception(e);
  } catch (const Exception& ex) {
    o.Runtime = &ex;
  } catch (const std::exception& ex) {
    o.Standard = &ex;
  } catch (...) {
  }
  return o;
}

CaughtException DescribeExceptionObject(const TExceptionObject& o) {
  // The object's own code first, and only then ours: a fault in its code
  // leaves nothing of ours made.
  if (o.Runtime) {
    const char16_t* name = o.Runtime->ClassNamePtr();
    return {UnicodeString(name), o.Runtime->Message()};
  }
  if (o.Standard) {
    const char* what = o.Standard->what();
    return {DemangledTypeName(typeid(*o.Standard)), UnicodeString::FromUtf8(what)};
  }
  return {UnicodeString(u"UnknownException"), UnicodeString(u"Unknown exception")};
}

CaughtException DescribeException(std::exception_ptr e) {
  if (!e) return {};
  return DescribeExceptionObject(ExceptionObjectOf(e));
}
