#include "ide/SplashScreenService.h"

#include <cstring>

#include "vcl/Bitmap.h"

std::unique_ptr<TBitmap> TSplashEntry::Picture() const {
  auto picture = std::make_unique<TBitmap>();
  picture->SetPixelFormat(BitsPerPixel == 32 ? pf32bit : pf24bit);
  picture->SetSize(Width, Height);
  const size_t rowBytes = static_cast<size_t>(Width) * static_cast<size_t>(BitsPerPixel / 8);
  for (int y = 0; y < Height; ++y)
    std::memcpy(picture->ScanLine(y), Pixels.data() + static_cast<size_t>(y) * rowBytes, rowBytes);
  return picture;
}

void TSplashScreenService::StatusMessage(UnicodeStringRef Message) {
  std::lock_guard lock(lock_);
  messages_.emplace_back(Message);
}

void TSplashScreenService::AddPluginBitmap(UnicodeStringRef Caption, HBITMAP Bitmap, bool IsUnregistered,
                                           UnicodeStringRef LicenseStatus, UnicodeStringRef SKUName) {
  BITMAP info{};
  if (!Bitmap || GetObjectW(Bitmap, sizeof(info), &info) != sizeof(info) || !info.bmBits) return;
  if (info.bmBitsPixel != 24 && info.bmBitsPixel != 32) return;
  TSplashEntry entry{UnicodeString(Caption), info.bmWidth, info.bmHeight, info.bmBitsPixel, {},
                     IsUnregistered, UnicodeString(LicenseStatus), UnicodeString(SKUName)};
  const size_t rowBytes = static_cast<size_t>(info.bmWidth) * static_cast<size_t>(info.bmBitsPixel / 8);
  entry.Pixels.resize(rowBytes * static_cast<size_t>(info.bmHeight));
  const auto* src = static_cast<const uint8_t*>(info.bmBits);
  for (int y = 0; y < info.bmHeight; ++y)
    std::memcpy(entry.Pixels.data() + static_cast<size_t>(y) * rowBytes,
                src + static_cast<size_t>(y) * static_cast<size_t>(info.bmWidthBytes), rowBytes);
  std::lock_guard lock(lock_);
  entries_.push_back(std::move(entry));
}

std::vector<TSplashEntry> TSplashScreenService::Entries() const {
  std::lock_guard lock(lock_);
  return entries_;
}

std::vector<UnicodeString> TSplashScreenService::StatusMessages() const {
  std::lock_guard lock(lock_);
  return messages_;
}
