#pragma once
// The errors of reading: a stream cut short, a layout that does not parse.
// Kept apart from the streams so that a parser can raise them without the
// rest of the component library.
#include "rtl/Exception.h"

class EStreamError : public Exception {
 public:
  using Exception::Exception;
};
class EReadError : public EStreamError {
 public:
  using EStreamError::EStreamError;
};
