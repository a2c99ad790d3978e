/* An example plug-in in plain C, built against qorb_plugin.h alone. It asks
 * the host which modules make up the suite, writes one log line per module
 * with every field the host told it, and adds a menu item that says how
 * many modules there are. */
#include "qorb_plugin.h"

QORB_STRING_CONST(kSource, u"SuiteInfo");
QORB_STRING_CONST(kSeparator, u" | ");

static void* mainFunctions;

/* A growing UTF-16 text; the host string is made from it at the end. */
typedef struct Text {
  QorbChar units[2048];
  int32_t n;
} Text;

static void Append(Text* t, const QorbChar* s) {
  int32_t len = qorb_string_length(s);
  int32_t i;
  for (i = 0; i < len && t->n < (int32_t)(sizeof t->units / sizeof t->units[0]); ++i) t->units[t->n++] = s[i];
}

static void AppendAscii(Text* t, const char* s) {
  while (*s && t->n < (int32_t)(sizeof t->units / sizeof t->units[0])) t->units[t->n++] = (QorbChar)*s++;
}

static void AppendNumber(Text* t, int64_t value) {
  char digits[24];
  int d = 0;
  do {
    digits[d++] = (char)('0' + value % 10);
    value /= 10;
  } while (value && d < (int)sizeof digits);
  while (d && t->n < (int32_t)(sizeof t->units / sizeof t->units[0])) t->units[t->n++] = (QorbChar)digits[--d];
}

static void Log(Text* t) {
  QorbChar* line = qorb_string_new(t->units, t->n);
  if (mainFunctions) ((QorbMainFunctions*)mainFunctions)->Vtbl->LogInfo(mainFunctions, kSource, line);
  qorb_string_release(&line);
}

/* "Name | Version | Company | Copyright | Description | Comments | FilePath" */
static void LogModule(const char* kind, const QorbModuleInfo* m) {
  const QorbChar* fields[7];
  int i;
  Text t;
  t.n = 0;
  fields[0] = m->Name;
  fields[1] = m->Version;
  fields[2] = m->Company;
  fields[3] = m->Copyright;
  fields[4] = m->Description;
  fields[5] = m->Comments;
  fields[6] = m->FilePath;
  AppendAscii(&t, kind);
  AppendAscii(&t, ": ");
  for (i = 0; i < 7; ++i) {
    if (i) Append(&t, kSeparator);
    Append(&t, fields[i]);
  }
  Log(&t);
}

QORB_EXPORT void InitPlugin(const QorbGetInterface* GetInterface) {
  QorbPluginService* service = (QorbPluginService*)qorb_get_interface(GetInterface, &IID_IQorbPluginService);
  int64_t plugins = 0;
  mainFunctions = qorb_get_interface(GetInterface, &IID_IQorbMainFunctions);
  if (service) {
    QorbPluginServiceInfo info = {{0}, 0};
    int64_t i;
    service->Vtbl->GetPluginInfos(service, &info);
    plugins = qorb_array_length(info.Plugins);
    LogModule("Host", &info.Host);
    for (i = 0; i < plugins; ++i) LogModule("Plug-in", &info.Plugins[i]);
    qorb_plugin_service_info_clear(&info);
    qorb_release(service);
  }
  if (mainFunctions) {
    Text caption;
    QorbChar* text;
    caption.n = 0;
    AppendAscii(&caption, "Suite modules: ");
    AppendNumber(&caption, plugins + 1); /* the host itself */
    text = qorb_string_new(caption.units, caption.n);
    ((QorbMainFunctions*)mainFunctions)->Vtbl->AddMenuItem(mainFunctions, text);
    qorb_string_release(&text);
  }
}

QORB_EXPORT void Shutdown(void) {
  qorb_release(mainFunctions);
  mainFunctions = 0;
}
