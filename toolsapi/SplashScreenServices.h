#pragma once
// The IDE's start-up splash screen: add-ins put a line with a small picture
// on it while the IDE loads them. Reached through the global
// SplashScreenServices, which is null once the splash screen is gone.
#include "rtl/Interface.h"
#include "rtl/UnicodeString.h"
#include "winapi/Gdi.h"

struct IOTASplashScreenServices : IInterface {
  using Base = IInterface;
  static constexpr GUID IID = MakeGuid("{5B6A3F4E-8D21-4C7A-9E0B-3A1F2C6D7E84}");
  // A progress line under the IDE's own picture.
  virtual void StatusMessage(UnicodeStringRef Message) = 0;  // 3
  // Adds an entry. The IDE copies Bitmap at once: the caller may delete the
  // handle as soon as the call returns. A null handle adds no entry.
  virtual void AddPluginBitmap(UnicodeStringRef Caption, HBITMAP Bitmap, bool IsUnregistered,
                               UnicodeStringRef LicenseStatus, UnicodeStringRef SKUName) = 0;  // 4
};
