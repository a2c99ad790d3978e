#pragma once
// The dialog drawn as the user sees it: a header with the product, its
// version and maker, then one row per plug-in with its icon, and a button.
#include <memory>

#include "examples/about/AboutData.h"
#include "vcl/Bitmap.h"

std::unique_ptr<TBitmap> DrawAboutDialog(const TAboutData& AData);
