#include "plugins/Qorb.Main.PluginGraphics.h"

#include "vcl/MemoryStream.h"
#include "vcl/PngImage.h"
#include "winapi/Resources.h"

std::unique_ptr<TBitmap> LoadPngResourceBitmap(uint64_t AModule, UnicodeStringRef AResName) {
  if (AModule == 0) return nullptr;
  try {
    const auto module = static_cast<HMODULE>(AModule);
    HRSRC res = FindResourceW(module, AResName.c_str(), RT_RCDATA);
    if (!res) return nullptr;
    HGLOBAL loaded = LoadResource(module, res);
    if (!loaded) return nullptr;
    const DWORD size = SizeofResource(module, res);
    const void* data = LockResource(loaded);
    if (!data || size == 0) return nullptr;

    TMemoryStream stream;
    stream.WriteBuffer(data, size);
    stream.SetPosition(0);
    TPngImage png;
    png.LoadFromStream(stream);
    auto bitmap = std::make_unique<TBitmap>();
    bitmap->Assign(png);
    return bitmap;
  } catch (...) {
    // Malformed image data: no icon, nothing reported.
    return nullptr;
  }
}

TBitmap* TQorbPluginGraphics::GetGraphic(uint64_t AModule) {
  if (auto it = FCache.find(AModule); it != FCache.end()) return it->second.get();
  auto [it, inserted] = FCache.emplace(AModule, LoadPngResourceBitmap(AModule, UnicodeString(u"QORBPLUGINICON")));
  return it->second.get();
}
