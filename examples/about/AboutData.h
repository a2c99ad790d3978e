#pragma once
// The dialog's own copy of what the host passed: the host's record, texts
// and bitmap handles are only valid during the call.
#include <memory>
#include <string>
#include <vector>

#include "sdk/qorb_about.h"
#include "vcl/Bitmap.h"

struct TAboutPlugin {
  std::u16string Name;
  std::u16string Version;
  std::u16string WebURL;
  std::unique_ptr<TBitmap> Icon;  // null when the plug-in has none
};

struct TAboutData {
  std::u16string ProductName;
  std::u16string Version;
  std::u16string Company;
  std::u16string Copyright;
  std::u16string Website;
  bool German = false;
  std::vector<TAboutPlugin> Plugins;
};

// False for a null record or one smaller than the contract's 64 bytes. Null
// texts read as empty, a negative count or null array as no plug-ins, and a
// handle that is no live 24 or 32-bit bitmap as no icon.
bool CopyAboutInfo(const QorbAboutInfo* AInfo, TAboutData& AData);
