#pragma once
// A device context here is a place to draw: a bitmap, where the drawing's
// origin lies in it, and the part of it that may be drawn on. An HDC is the
// address of one; the code that hands out the HDC keeps the record alive.
#include <climits>

#include "vcl/Types.h"
#include "winapi/Gdi.h"

class TBitmap;

struct TDeviceContext {
  TBitmap* Bitmap = nullptr;
  TPoint Origin;
  // In bitmap pixels; drawing outside it (or outside the bitmap) is dropped.
  TRect Clip{INT_MIN / 2, INT_MIN / 2, INT_MAX / 2, INT_MAX / 2};
};

inline HDC DeviceContextHandle(TDeviceContext* Context) noexcept { return reinterpret_cast<HDC>(Context); }
inline TDeviceContext* DeviceContextFromHandle(HDC DC) noexcept { return reinterpret_cast<TDeviceContext*>(DC); }
