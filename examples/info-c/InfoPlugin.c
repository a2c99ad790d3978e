/* An example plug-in in plain C, built against qorb_plugin.h alone. It asks
 * the host which modules make up the suite, writes one log line per module
 * with every field the host told it, and adds a menu item that says how
 * many modules there are. */
#include <stdio.h>

#include "qorb_plugin.h"

QORB_STRING_CONST(kSource, u"SuiteInfo");

static QorbMainFunctions* mainFunctions;

/* A UTF-8 line, cut at its end when too long. */
typedef struct Line {
  char text[4096];
  size_t used;
} Line;

static void AppendUtf8(Line* line, const char* s) {
  if (line->used < sizeof line->text)
    line->used += (size_t)snprintf(line->text + line->used, sizeof line->text - line->used, "%s", s);
}

static void AppendString(Line* line, const QorbChar* s) {
  if (line->used < sizeof line->text)
    line->used += qorb_string_to_utf8(s, line->text + line->used, sizeof line->text - line->used);
}

static void Log(const char* utf8) {
  QorbChar* text = qorb_string_from_utf8(utf8);
  if (mainFunctions) mainFunctions->Vtbl->LogInfo(mainFunctions, kSource, text);
  qorb_string_release(&text);
}

/* "Name | Version | Company | Copyright | Description | Comments | FilePath" */
static void LogModule(const char* kind, const QorbModuleInfo* m) {
  const QorbChar* fields[7] = {m->Name, m->Version, m->Company, m->Copyright, m->Description, m->Comments, m->FilePath};
  Line line = {{0}, 0};
  int i;
  AppendUtf8(&line, kind);
  AppendUtf8(&line, ": ");
  for (i = 0; i < 7; ++i) {
    if (i) AppendUtf8(&line, " | ");
    AppendString(&line, fields[i]);
  }
  Log(line.text);
}

QORB_EXPORT void InitPlugin(const QorbGetInterface* GetInterface) {
  QorbPluginService* service = (QorbPluginService*)qorb_get_interface(GetInterface, &IID_IQorbPluginService);
  int64_t plugins = 0;
  mainFunctions = (QorbMainFunctions*)qorb_get_interface(GetInterface, &IID_IQorbMainFunctions);
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
    char caption[64];
    QorbChar* text;
    snprintf(caption, sizeof caption, "Suite modules: %lld", (long long)(plugins + 1)); /* the host itself */
    text = qorb_string_from_utf8(caption);
    /* The item stays in the suite's menu; C cannot give it a click handler. */
    mainFunctions->Vtbl->AddMenuItem(mainFunctions, text);
    qorb_string_release(&text);
  }
}

QORB_EXPORT void Shutdown(void) {
  qorb_release(mainFunctions);
  mainFunctions = NULL;
}
