#pragma once
// The base of pictures (bitmaps, PNG images) and the errors they raise.
#include "rtl/Exception.h"
#include "vcl/Persistent.h"

// Picture data that cannot be read.
class EInvalidGraphic : public Exception {
 public:
  using Exception::Exception;
};

// An operation a picture cannot perform (an out-of-range scan line, a size
// beyond memory).
class EInvalidGraphicOperation : public Exception {
 public:
  using Exception::Exception;
};

class TGraphic : public TPersistent {
 public:
  virtual int Width() const = 0;
  virtual int Height() const = 0;
  bool Empty() const { return Width() == 0 || Height() == 0; }
};
