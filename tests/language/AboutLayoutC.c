/* The About record's layout as a C compiler sees it. */
#include <stddef.h>

#include "sdk/qorb_about.h"

size_t QorbAboutLayoutC(size_t* offsets) {
  offsets[0] = offsetof(QorbAboutInfo, StructSize);
  offsets[1] = offsetof(QorbAboutInfo, ProductName);
  offsets[2] = offsetof(QorbAboutInfo, Version);
  offsets[3] = offsetof(QorbAboutInfo, Company);
  offsets[4] = offsetof(QorbAboutInfo, Copyright);
  offsets[5] = offsetof(QorbAboutInfo, Website);
  offsets[6] = offsetof(QorbAboutInfo, PluginCount);
  offsets[7] = offsetof(QorbAboutInfo, Plugins);
  offsets[8] = offsetof(QorbAboutInfo, LanguageTag);
  offsets[9] = sizeof(QorbAboutInfo);
  offsets[10] = offsetof(QorbPluginInfo, PluginName);
  offsets[11] = offsetof(QorbPluginInfo, Version);
  offsets[12] = offsetof(QorbPluginInfo, WebURL);
  offsets[13] = offsetof(QorbPluginInfo, Image);
  offsets[14] = sizeof(QorbPluginInfo);
  return 15;
}
