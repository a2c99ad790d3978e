#pragma once
// What the host hands the About library DelphiMainProc.dll: one packed
// record with the product's texts and the loaded plug-ins. Every text is a
// zero-terminated UTF-16 string (never null; empty is a lone zero), every
// pointer and handle 64 bits. Everything belongs to the host and lives only
// for the call; the library copies what it keeps. sdk/qorb_about.h holds the
// same layout for C.
#include <cstddef>
#include <cstdint>

#include "winapi/Gdi.h"
#include "winapi/Hwnd.h"

#pragma pack(push, 1)

struct TQorbPluginInfo {
  const char16_t* PluginName;
  const char16_t* Version;
  const char16_t* WebURL;  // the plug-in's company text
  HBITMAP Image;  // 32 bits per pixel, or null when the plug-in has no icon
};
using PQorbPluginInfo = TQorbPluginInfo*;

struct TQorbAboutInfo {
  int32_t StructSize;  // 64
  const char16_t* ProductName;
  const char16_t* Version;
  const char16_t* Company;
  const char16_t* Copyright;
  const char16_t* Website;
  int32_t PluginCount;
  TQorbPluginInfo* Plugins;  // null when PluginCount is 0
  const char16_t* LanguageTag;  // "de" or "en"
};
using PQorbAboutInfo = TQorbAboutInfo*;

#pragma pack(pop)

static_assert(sizeof(TQorbPluginInfo) == 32);
static_assert(offsetof(TQorbPluginInfo, Version) == 8);
static_assert(offsetof(TQorbPluginInfo, WebURL) == 16);
static_assert(offsetof(TQorbPluginInfo, Image) == 24);

static_assert(sizeof(TQorbAboutInfo) == 64);
static_assert(offsetof(TQorbAboutInfo, ProductName) == 4);
static_assert(offsetof(TQorbAboutInfo, Version) == 12);
static_assert(offsetof(TQorbAboutInfo, Company) == 20);
static_assert(offsetof(TQorbAboutInfo, Copyright) == 28);
static_assert(offsetof(TQorbAboutInfo, Website) == 36);
static_assert(offsetof(TQorbAboutInfo, PluginCount) == 44);
static_assert(offsetof(TQorbAboutInfo, Plugins) == 48);
static_assert(offsetof(TQorbAboutInfo, LanguageTag) == 56);

// The library's export "ShowQorbAboutDialog": shows the dialog modally and
// answers non-zero on success. ParentWnd may be null.
using TShowQorbAboutDialogProc = int32_t (*)(HWND ParentWnd, const TQorbAboutInfo* Info);

inline constexpr char QorbAboutExportName[] = "ShowQorbAboutDialog";
inline constexpr char16_t QorbAboutLibraryName[] = u"DelphiMainProc.dll";
