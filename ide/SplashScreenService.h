#pragma once
// IOTASplashScreenServices: what add-ins put on the IDE's start-up splash
// screen. Each entry keeps its own copy of the picture's pixels (not a GDI
// object, so that the copies never count as leaked handles).
#include <cstdint>
#include <memory>
#include <mutex>
#include <vector>

#include "ide/IDEService.h"
#include "rtl/OwnMutex.h"
#include "toolsapi/SplashScreenServices.h"

class TBitmap;

struct TSplashEntry {
  UnicodeString Caption;
  int Width = 0;
  int Height = 0;
  int BitsPerPixel = 0;  // 24 or 32
  std::vector<uint8_t> Pixels;  // rows top down, without padding
  bool IsUnregistered = false;
  UnicodeString LicenseStatus;
  UnicodeString SKUName;

  // The picture as a bitmap of the same format.
  std::unique_ptr<TBitmap> Picture() const;
};

class TSplashScreenService : public TIDEServiceOf<IOTASplashScreenServices> {
 public:
  using TIDEServiceOf::TIDEServiceOf;

  void StatusMessage(UnicodeStringRef Message) override;
  // A handle that is no live 24 or 32-bit bitmap adds no entry.
  void AddPluginBitmap(UnicodeStringRef Caption, HBITMAP Bitmap, bool IsUnregistered,
                       UnicodeStringRef LicenseStatus, UnicodeStringRef SKUName) override;

  std::vector<TSplashEntry> Entries() const;
  std::vector<UnicodeString> StatusMessages() const;

 private:
  mutable TMutex lock_;
  std::vector<TSplashEntry> entries_;
  std::vector<UnicodeString> messages_;
};
