#pragma once
// AlphaBlend scales by the nearest pixel; Cairo, which draws on Linux,
// filters. A picture drawn larger or smaller than it is gets scaled here
// first, the way Cairo's good filter does: linear between neighbours when
// enlarged, each source pixel weighed by its share when reduced.
#include <memory>

#include "vcl/windows/GdiDraw.h"

// Source (premultiplied) at Width by Height. Null when either is not
// positive, the result would be unreasonably large, or GDI made no DIB.
std::unique_ptr<qorb::gdi::TDib> Resampled(const qorb::gdi::TDib& Source, int Width, int Height);
