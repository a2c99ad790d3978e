/* Writes one log line through the raw method table. */
#include "qorb_plugin.h"

QORB_STRING_CONST(kSource, u"ExternalC");
QORB_STRING_CONST(kText, u"loaded");

QORB_EXPORT void InitPlugin(const QorbGetInterface* GetInterface) {
  QorbMainFunctions* main = (QorbMainFunctions*)qorb_get_interface(GetInterface, &IID_IQorbMainFunctions);
  if (!main) return;
  main->Vtbl->LogInfo(main, kSource, kText);
  qorb_release(main);
}

QORB_EXPORT void Shutdown(void) {}
