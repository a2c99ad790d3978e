/* Through raw method tables only: logs, adds a menu item, subscribes to
 * ExternalCpp's event and asks it and the plug-in information service. */
#include <stdio.h>

#include "qorb_plugin.h"

/* IExternalClickEvent {3E8C1D52-7A4B-4F19-9C2D-6B5A8E1F0C37} (ExternalEvents.h) */
static const QorbGUID IID_IExternalClickEvent = {
    0x3E8C1D52, 0x7A4B, 0x4F19, {0x9C, 0x2D, 0x6B, 0x5A, 0x8E, 0x1F, 0x0C, 0x37}};
typedef struct ExternalClickEventVtbl {
  QORB_IINTERFACE_SLOTS;
  void (*GetText)(void* Self, QorbChar** Result);
  int32_t (*Number)(void* Self);
} ExternalClickEventVtbl;

QORB_STRING_CONST(kSource, u"ExternalC");
QORB_STRING_CONST(kLoaded, u"loaded");
QORB_STRING_CONST(kCaption, u"External C");
QORB_STRING_CONST(kHandlerName, u"on_click");

static QorbGetInterface getInterface;
static QorbMainFunctions* mainFunctions;
static QorbEventBus* bus;

static const QorbChar* subscriber_class_name(const void* self) {
  (void)self;
  return u"TExternalC";
}
static const QorbObjectVtbl subscriber_vtbl = {subscriber_class_name};
static QorbObject subscriber = {&subscriber_vtbl};

static void log_utf8(const char* line) {
  QorbChar* text = qorb_string_from_utf8(line);
  mainFunctions->Vtbl->LogInfo(mainFunctions, kSource, text);
  qorb_string_release(&text);
}

static void on_click(void* self, void* event) {
  const ExternalClickEventVtbl* vtbl = *(const ExternalClickEventVtbl* const*)event;
  QorbPluginService* service = (QorbPluginService*)qorb_get_interface(&getInterface, &IID_IQorbPluginService);
  QorbPluginServiceInfo info = {{0}, 0};
  QorbChar* text = NULL;
  char utf8[16], line[256];
  if (self != &subscriber) return;
  vtbl->GetText(event, &text);
  qorb_string_to_utf8(text, utf8, sizeof utf8);
  if (service) service->Vtbl->GetPluginInfos(service, &info);
  snprintf(line, sizeof line, "C got %s %d; %lld plug-ins", utf8, vtbl->Number(event),
           (long long)qorb_array_length(info.Plugins));
  log_utf8(line);
  qorb_plugin_service_info_clear(&info);
  qorb_string_release(&text);
  qorb_release(service);
}

QORB_EXPORT void InitPlugin(const QorbGetInterface* GetInterface) {
  getInterface = *GetInterface;
  mainFunctions = (QorbMainFunctions*)qorb_get_interface(&getInterface, &IID_IQorbMainFunctions);
  if (!mainFunctions) return;
  mainFunctions->Vtbl->LogInfo(mainFunctions, kSource, kLoaded);
  /* Each malformed sequence is one U+FFFD. */
  log_utf8("Gr\xC3\xBC\xC3\x9F\x65 \xE2\x82\xAC\xF0\x9D\x84\x9E \xC3(\xED\xA0\x80)");
  mainFunctions->Vtbl->AddMenuItem(mainFunctions, kCaption);
  bus = qorb_event_bus(&getInterface);
  qorb_event_bus_subscribe(bus, &IID_IExternalClickEvent, on_click, &subscriber, kHandlerName);
}

QORB_EXPORT void Shutdown(void) {
  qorb_event_bus_unsubscribe(bus, &subscriber);
  qorb_release(bus);
  bus = NULL;
  qorb_release(mainFunctions);
  mainFunctions = NULL;
}
