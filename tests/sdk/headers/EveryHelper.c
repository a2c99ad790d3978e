/* Uses every helper of the C headers, so that each compiler checks them
 * all; compiled as C and as C++, never run. */
#include "qorb_about.h"
#include "qorb_plugin.h"

QORB_STRING_CONST(kSource, u"Headers");

static void OnEvent(void* self, void* event) {
  (void)self;
  (void)event;
}

static void OnClick(void* self, void* sender) {
  (void)self;
  (void)sender;
}

QORB_EXPORT void InitPlugin(const QorbGetInterface* gi) {
  QorbMainFunctions* main = (QorbMainFunctions*)qorb_get_interface(gi, &IID_IQorbMainFunctions);
  QorbPluginService* service = (QorbPluginService*)qorb_get_interface(gi, &IID_IQorbPluginService);
  QorbEventBus* bus = qorb_event_bus(gi);
  QorbMenuItems* items = qorb_menu_items(gi);
  QorbPluginServiceInfo info = {{0, 0, 0, 0, 0, 0, 0}, 0};
  QorbChar* text = qorb_string_from_utf8("h\xC3\xA9");
  QorbChar* copy = qorb_string_new(text, qorb_string_length(text));
  char utf8[8];
  int32_t count = 1;
  void* item;
  if (service) service->Vtbl->GetPluginInfos(service, &info);
  (void)qorb_array_length(info.Plugins);
  qorb_plugin_service_info_clear(&info);
  (void)qorb_string_to_utf8(copy, utf8, sizeof utf8);
  (void)qorb_atomic_add(&count, 1);
  (void)qorb_atomic_load(&count);
  (void)qorb_guid_equal(&IID_IInterface, &IID_IQorbEvent);
  qorb_event_bus_subscribe(bus, &IID_IQorbEvent, OnEvent, main, kSource);
  qorb_event_bus_publish(bus, qorb_query_interface(main, &IID_IInterface));
  qorb_event_bus_unsubscribe(bus, main);
  item = main ? main->Vtbl->AddMenuItem(main, text) : NULL;
  qorb_menu_item_set_click(items, item, OnClick, main);
  qorb_menu_item_free(items, item);
  if (main) main->Vtbl->LogInfo(main, kSource, copy);
  qorb_heap_free(qorb_heap_alloc(1));
  qorb_string_release(&text);
  qorb_string_release(&copy);
  qorb_add_ref(main);
  qorb_release(main);
  qorb_release(main);
  qorb_release(service);
  qorb_release(bus);
  qorb_release(items);
}

QORB_EXPORT int32_t ShowQorbAboutDialog(void* parent, const QorbAboutInfo* info) {
  (void)parent;
  return info && info->StructSize == (int32_t)sizeof *info;
}
