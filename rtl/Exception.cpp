#include "rtl/Exception.h"

#include <typeinfo>

Exception::Exception(UnicodeString message) : message_(std::move(message)), what_(message_.ToUtf8()) {}

CaughtException DescribeException(std::exception_ptr e) {
  if (!e) return {};
  try {
    std::rethrow_exception(e);
  } catch (const Exception& ex) {
    return {ex.ClassName(), ex.Message()};
  } catch (const std::exception& ex) {
    return {DemangledTypeName(typeid(ex)), UnicodeString::FromUtf8(ex.what())};
  } catch (...) {
    return {UnicodeString(u"UnknownException"), UnicodeString(u"Unknown exception")};
  }
}
