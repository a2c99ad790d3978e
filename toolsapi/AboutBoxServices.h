#pragma once
// The IDE's About box: add-ins list themselves there with a title, a
// description, a small picture and their licence state.
#include <cstdint>

#include "rtl/Interface.h"
#include "rtl/UnicodeString.h"
#include "winapi/Gdi.h"

struct IOTAAboutBoxServices : IInterface {
  using Base = IInterface;
  static constexpr GUID IID = MakeGuid("{62A2F7FD-16F1-45B9-9417-A2D293D07A22}");
  // Adds an entry and answers its index. The IDE draws Image whenever the
  // box shows, so the handle stays the caller's and must stay valid until
  // the entry is removed; a null handle shows no picture.
  virtual int32_t AddPluginInfo(UnicodeStringRef Title, UnicodeStringRef Description, HBITMAP Image,
                                bool IsUnregistered, UnicodeStringRef LicenseStatus, UnicodeStringRef SKUName,
                                bool IsTrial) = 0;  // 3
  // An index that names no entry is ignored.
  virtual void RemovePluginInfo(int32_t Index) = 0;  // 4
  // Changes an entry's texts; an unknown index is ignored.
  virtual void UpdatePluginInfo(int32_t Index, UnicodeStringRef Title, UnicodeStringRef Description) = 0;  // 5
};
