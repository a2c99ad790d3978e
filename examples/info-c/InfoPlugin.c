/* An example plug-in in plain C, built against qorb_plugin.h alone: it asks
 * the host which modules make up the suite and adds a menu item that says
 * how many there are. */
#include "qorb_plugin.h"

static void* mainFunctions;

static QorbChar* CaptionFor(int64_t plugins) {
  static const char prefix[] = "Suite modules: ";
  QorbChar text[40];
  int32_t n = 0;
  char digits[24];
  int d = 0;
  int64_t modules = plugins + 1; /* the host itself */
  for (const char* p = prefix; *p; ++p) text[n++] = (QorbChar)*p;
  do {
    digits[d++] = (char)('0' + modules % 10);
    modules /= 10;
  } while (modules && d < (int)sizeof digits);
  while (d) text[n++] = (QorbChar)digits[--d];
  return qorb_string_new(text, n);
}

QORB_EXPORT void InitPlugin(const QorbGetInterface* GetInterface) {
  QorbPluginService* service = (QorbPluginService*)qorb_get_interface(GetInterface, &IID_IQorbPluginService);
  int64_t plugins = 0;
  if (service) {
    QorbPluginServiceInfo info = {{0}, 0};
    service->Vtbl->GetPluginInfos(service, &info);
    plugins = qorb_array_length(info.Plugins);
    qorb_plugin_service_info_clear(&info);
    qorb_release(service);
  }
  mainFunctions = qorb_get_interface(GetInterface, &IID_IQorbMainFunctions);
  if (mainFunctions) {
    QorbChar* caption = CaptionFor(plugins);
    ((QorbMainFunctions*)mainFunctions)->Vtbl->AddMenuItem(mainFunctions, caption);
    qorb_string_release(&caption);
  }
}

QORB_EXPORT void Shutdown(void) {
  qorb_release(mainFunctions);
  mainFunctions = 0;
}
