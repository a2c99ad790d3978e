#include "examples/about/AboutData.h"

#include <cstring>

#include "winapi/Gdi.h"

namespace {

// Far beyond any real text or list; keeps a broken record from running away.
constexpr size_t kMaxTextLength = 4096;
constexpr int32_t kMaxPlugins = 1024;

std::u16string CopyText(const uint16_t* text) {
  std::u16string r;
  if (!text) return r;
  for (size_t i = 0; i < kMaxTextLength && text[i] != 0; ++i) r.push_back(static_cast<char16_t>(text[i]));
  return r;
}

std::unique_ptr<TBitmap> CopyIcon(void* handle) {
  BITMAP bm{};
  if (!handle || GetObjectW(handle, sizeof bm, &bm) != sizeof bm) return nullptr;
  if ((bm.bmBitsPixel != 24 && bm.bmBitsPixel != 32) || bm.bmWidth <= 0 || bm.bmHeight <= 0 || !bm.bmBits)
    return nullptr;
  auto icon = std::make_unique<TBitmap>();
  icon->SetPixelFormat(bm.bmBitsPixel == 32 ? pf32bit : pf24bit);
  icon->SetSize(bm.bmWidth, bm.bmHeight);
  const size_t rowBytes = static_cast<size_t>(bm.bmWidth) * (bm.bmBitsPixel / 8);
  for (int y = 0; y < bm.bmHeight; ++y)
    std::memcpy(icon->ScanLine(y), static_cast<const uint8_t*>(bm.bmBits) + static_cast<size_t>(y) * bm.bmWidthBytes,
                rowBytes);
  return icon;
}

}  // namespace

bool CopyAboutInfo(const QorbAboutInfo* AInfo, TAboutData& AData) {
  if (!AInfo || AInfo->StructSize < static_cast<int32_t>(sizeof(QorbAboutInfo))) return false;
  AData.ProductName = CopyText(AInfo->ProductName);
  AData.Version = CopyText(AInfo->Version);
  AData.Company = CopyText(AInfo->Company);
  AData.Copyright = CopyText(AInfo->Copyright);
  AData.Website = CopyText(AInfo->Website);
  AData.German = CopyText(AInfo->LanguageTag) == u"de";
  AData.Plugins.clear();
  if (!AInfo->Plugins || AInfo->PluginCount <= 0) return true;
  const int32_t count = AInfo->PluginCount < kMaxPlugins ? AInfo->PluginCount : kMaxPlugins;
  for (int32_t i = 0; i < count; ++i) {
    QorbPluginInfo source;
    std::memcpy(&source, AInfo->Plugins + i, sizeof source);
    AData.Plugins.push_back(
        {CopyText(source.PluginName), CopyText(source.Version), CopyText(source.WebURL), CopyIcon(source.Image)});
  }
  return true;
}
