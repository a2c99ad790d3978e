/* The contract of the About library DelphiMainProc.dll, for plain C: the
 * packed record the host passes to its export "ShowQorbAboutDialog". Texts
 * are zero-terminated UTF-16 (never NULL; empty is a lone zero); every
 * text, the plug-in array and every bitmap handle belong to the host and
 * are valid only during the call. */
#ifndef QORB_ABOUT_H
#define QORB_ABOUT_H

#include <stddef.h>
#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

#pragma pack(push, 1)

typedef struct QorbPluginInfo {
  const uint16_t* PluginName;
  const uint16_t* Version;
  const uint16_t* WebURL;
  void* Image; /* HBITMAP, 32 bits per pixel, or NULL */
} QorbPluginInfo;

typedef struct QorbAboutInfo {
  int32_t StructSize; /* 64 */
  const uint16_t* ProductName;
  const uint16_t* Version;
  const uint16_t* Company;
  const uint16_t* Copyright;
  const uint16_t* Website;
  int32_t PluginCount;
  QorbPluginInfo* Plugins; /* NULL when PluginCount is 0 */
  const uint16_t* LanguageTag; /* "de" or "en" */
} QorbAboutInfo;

#pragma pack(pop)

#ifdef __cplusplus
#define QORB_ABOUT_STATIC_ASSERT static_assert
#else
#define QORB_ABOUT_STATIC_ASSERT _Static_assert
#endif
QORB_ABOUT_STATIC_ASSERT(sizeof(QorbPluginInfo) == 32, "QorbPluginInfo is 32 bytes");
QORB_ABOUT_STATIC_ASSERT(offsetof(QorbPluginInfo, Image) == 24, "Image at 24");
QORB_ABOUT_STATIC_ASSERT(sizeof(QorbAboutInfo) == 64, "QorbAboutInfo is 64 bytes");
QORB_ABOUT_STATIC_ASSERT(offsetof(QorbAboutInfo, PluginCount) == 44, "PluginCount at 44");
QORB_ABOUT_STATIC_ASSERT(offsetof(QorbAboutInfo, Plugins) == 48, "Plugins at 48");
QORB_ABOUT_STATIC_ASSERT(offsetof(QorbAboutInfo, LanguageTag) == 56, "LanguageTag at 56");
#undef QORB_ABOUT_STATIC_ASSERT

/* int32_t ShowQorbAboutDialog(void* ParentWnd, const QorbAboutInfo* Info):
 * non-zero on success. */
typedef int32_t (*QorbShowAboutDialog)(void* ParentWnd, const QorbAboutInfo* Info);

#ifdef __cplusplus
}
#endif

#endif
