/* The offsets the C header does not pin itself; the host's header pins all. */
#include <stddef.h>

#include "sdk/qorb_about.h"

_Static_assert(offsetof(QorbAboutInfo, ProductName) == 4, "ProductName");
_Static_assert(offsetof(QorbAboutInfo, Version) == 12, "Version");
_Static_assert(offsetof(QorbAboutInfo, Company) == 20, "Company");
_Static_assert(offsetof(QorbAboutInfo, Copyright) == 28, "Copyright");
_Static_assert(offsetof(QorbAboutInfo, Website) == 36, "Website");
_Static_assert(offsetof(QorbPluginInfo, Version) == 8, "Version");
_Static_assert(offsetof(QorbPluginInfo, WebURL) == 16, "WebURL");
