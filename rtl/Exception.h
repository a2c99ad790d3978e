#pragma once
// The runtime's exception class (class name and message) and the helpers
// that name whatever was caught where the host calls foreign code.
#include <exception>
#include <string>

#include "rtl/Object.h"
#include "rtl/UnicodeString.h"

class Exception : public TObject, public std::exception {
 public:
  explicit Exception(UnicodeString message);
  const UnicodeString& Message() const noexcept { return message_; }
  const char* what() const noexcept override { return what_.c_str(); }

 private:
  UnicodeString message_;
  std::string what_;
};

// Raised by an interface cast whose object does not support the interface.
class EIntfCastError : public Exception {
 public:
  using Exception::Exception;
};
class EConvertError : public Exception {
 public:
  using Exception::Exception;
};
class EArgumentException : public Exception {
 public:
  using Exception::Exception;
};

// Class name and message of an exception: the class of runtime exceptions,
// the demangled type of other std::exceptions, and a fixed text otherwise.
struct CaughtException {
  UnicodeString ClassName;
  UnicodeString Message;
};
CaughtException DescribeException(std::exception_ptr e);

// The object an exception_ptr holds, found by catching it and leaving the
// catch at once: it lives on while the exception_ptr does. Describing it
// then runs its class name and what() outside any catch block, so that a
// fault in them, contained where they run, leaves no catch half-done.
struct TExceptionObject {
  const Exception* Runtime = nullptr;
  const std::exception* Standard = nullptr;
};
TExceptionObject ExceptionObjectOf(const std::exception_ptr& e);
CaughtException DescribeExceptionObject(const TExceptionObject& o);
// Call inside a catch block.
inline CaughtException DescribeCurrentException() { return DescribeException(std::current_exception()); }
