/* Everything a C plug-in hands the host or takes from it, for the shared
 * heap check: built by several compilers on several C runtimes (or none),
 * named by HEAP_VARIANT and numbered by HEAP_ID. With HEAP_CRT its own object comes from its C
 * runtime's malloc, so that heap is in the process too. */
#include "qorb_plugin.h"

#ifdef HEAP_CRT
#include <stdlib.h>
#define OwnAlloc malloc
#define OwnFree free
#else
#define OwnAlloc qorb_heap_alloc
#define OwnFree qorb_heap_free
#endif

/* An interface of each plug-in's own, registered and looked up again. */
static const QorbGUID IID_IHeapProbe = {0x5D0C8F61, 0x2B4E, 0x4A7B, {0x9E, 0x13, 0x6C, 0x2F, 0x80, 0x41, 0xD5, HEAP_ID}};

typedef struct Probe {
  const QorbIInterfaceVtbl* Vtbl;
  int32_t RefCount;
} Probe;

static QorbHRESULT Probe_QueryInterface(void* self, const QorbGUID* iid, void** obj) {
  if (qorb_guid_equal(iid, &IID_IInterface) || qorb_guid_equal(iid, &IID_IHeapProbe) ||
      qorb_guid_equal(iid, &IID_IQorbEvent)) {
    qorb_add_ref(self);
    *obj = self;
    return QORB_S_OK;
  }
  *obj = NULL;
  return QORB_E_NOINTERFACE;
}
static int32_t Probe_AddRef(void* self) { return qorb_atomic_add(&((Probe*)self)->RefCount, 1); }
static int32_t Probe_Release(void* self) {
  int32_t left = qorb_atomic_add(&((Probe*)self)->RefCount, -1);
  if (left == 0) OwnFree(self);
  return left;
}
static const QorbIInterfaceVtbl kProbeVtbl = {Probe_QueryInterface, Probe_AddRef, Probe_Release};

static const QorbChar* Listener_ClassName(const void* self) {
  (void)self;
  return u"THeapListener";
}
static const QorbObjectVtbl kListenerVtbl = {Listener_ClassName};
static QorbObject listener = {&kListenerVtbl};
QORB_STRING_CONST(kHandlerName, u"OnEvent");

static QorbGetInterface getInterface;
static QorbMainFunctions* mainFunctions;
static QorbMenuItems* menuItems;
static QorbEventBus* bus;
static Probe* probe;
static void* item;
static QorbChar* source; /* made here, kept until Shutdown */

/* A line made here and handed over; the host keeps its own copy or share. */
static void Log(const char* text, int64_t n) {
  char line[96];
  char digits[24];
  int i = 0, d = 0;
  QorbChar* message;
  while (text[i] && i < 64) {
    line[i] = text[i];
    ++i;
  }
  if (n >= 0) {
    line[i++] = ' ';
    do digits[d++] = (char)('0' + n % 10);
    while ((n /= 10) > 0 && d < 20);
    while (d > 0) line[i++] = digits[--d];
  }
  line[i] = 0;
  message = qorb_string_from_utf8(line);
  mainFunctions->Vtbl->LogInfo(mainFunctions, source, message);
  qorb_string_release(&message);
}

/* Host-made strings and arrays, released by the host (each call into a
 * filled record) and by the plug-in (the clear). Answers the module count. */
static int64_t CountModules(void) {
  QorbPluginService* service = (QorbPluginService*)qorb_get_interface(&getInterface, &IID_IQorbPluginService);
  QorbPluginServiceInfo info = {{0, 0, 0, 0, 0, 0, 0}, 0};
  int64_t modules = 0;
  int round;
  if (!service) return -1;
  for (round = 0; round < 3; ++round) service->Vtbl->GetPluginInfos(service, &info);
  modules = 1 + qorb_array_length(info.Plugins);
  qorb_plugin_service_info_clear(&info);
  qorb_release(service);
  return modules;
}

static void OnEvent(void* self, void* event) {
  (void)event;
  if (self == &listener) Log("heard", -1);
}

static void Publish(void) {
  void* event = qorb_query_interface(probe, &IID_IQorbEvent);
  qorb_event_bus_publish(bus, event);
  qorb_release(event);
}

static void OnClick(void* self, void* sender) {
  (void)self;
  (void)sender;
  Log("clicked, modules", CountModules());
  Publish();
}

QORB_EXPORT void InitPlugin(const QorbGetInterface* GetInterface) {
  QorbChar* caption;
  void* found;
  getInterface = *GetInterface;
  mainFunctions = (QorbMainFunctions*)qorb_get_interface(GetInterface, &IID_IQorbMainFunctions);
  if (!mainFunctions) return;
  source = qorb_string_from_utf8(HEAP_VARIANT);
  menuItems = qorb_menu_items(GetInterface);
  bus = qorb_event_bus(GetInterface);

  probe = (Probe*)OwnAlloc(sizeof *probe);
  if (!probe) return;
  probe->Vtbl = &kProbeVtbl;
  probe->RefCount = 1;
  mainFunctions->Vtbl->RegisterInterface(mainFunctions, probe);
  found = qorb_get_interface(GetInterface, &IID_IHeapProbe);
  Log(found == probe ? "found itself" : "lost itself", -1);
  qorb_release(found);

  qorb_event_bus_subscribe(bus, &IID_IQorbEvent, OnEvent, &listener, kHandlerName);
  Publish();

  /* The caption is the host's alone once released here: it frees it with
   * the item. */
  caption = qorb_string_from_utf8("Heap " HEAP_VARIANT);
  item = mainFunctions->Vtbl->AddMenuItem(mainFunctions, caption);
  qorb_string_release(&caption);
  qorb_menu_item_set_click(menuItems, item, OnClick, NULL);
  Log("initialised, modules", CountModules());
}

QORB_EXPORT void Shutdown(void) {
  if (!mainFunctions) return;
  qorb_menu_item_free(menuItems, item);
  qorb_release(menuItems);
  qorb_event_bus_unsubscribe(bus, &listener);
  qorb_release(bus);
  if (probe) mainFunctions->Vtbl->UnregisterInterface(mainFunctions, probe);
  qorb_release(probe);
  qorb_string_release(&source);
  qorb_release(mainFunctions);
}
