#pragma once
// A PNG stored as a raw-data resource of a module, turned into a bitmap;
// and the cache of one such bitmap (the icon) per plug-in module.
#include <cstdint>
#include <memory>
#include <unordered_map>

#include "rtl/Object.h"
#include "rtl/UnicodeString.h"
#include "vcl/Bitmap.h"

// A new bitmap owned by the caller, or null (no module, no such resource,
// not a PNG). Never raises.
std::unique_ptr<TBitmap> LoadPngResourceBitmap(uint64_t AModule, UnicodeStringRef AResName);

class TQorbPluginGraphics : public TObject {
 public:
  // The module's "QORBPLUGINICON", owned by the cache, or null. Each module
  // is asked once; a module without an icon is remembered as such.
  TBitmap* GetGraphic(uint64_t AModule);

 private:
  std::unordered_map<uint64_t, std::unique_ptr<TBitmap>> FCache;
};
