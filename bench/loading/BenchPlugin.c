/* The plug-in the loading benchmark copies N times: a version resource, a
 * 32 by 32 icon and nothing to do, so that what is measured is the loading. */
#include "qorb_plugin.h"

QORB_EXPORT void InitPlugin(const QorbGetInterface* GetInterface) { (void)GetInterface; }

QORB_EXPORT void Shutdown(void) {}
