#include "tests/services/CEventPlugin.h"

static const QorbGUID kIID_IInterface = {0, 0, 0, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};
static const QorbGUID kIID_ICValueEvent = {0x7A1E0003, 0, 0x4000, {0x80, 0, 0, 0, 0, 0, 0, 3}};

static int same_guid(const QorbGUID* a, const QorbGUID* b) { return memcmp(a, b, sizeof(QorbGUID)) == 0; }

/* ---- the event: IInterface, IQorbEvent and its own identifier ---- */
typedef struct CValueEvent {
  const QorbIInterfaceVtbl* Vtbl;
  int32_t RefCount;
  int32_t Value;
} CValueEvent;

static int32_t event_add_ref(void* self) { return ++((CValueEvent*)self)->RefCount; }
static int32_t event_release(void* self) { return --((CValueEvent*)self)->RefCount; }
static QorbHRESULT event_query(void* self, const QorbGUID* iid, void** obj) {
  if (same_guid(iid, &kIID_IInterface) || same_guid(iid, &IID_IQorbEvent) || same_guid(iid, &kIID_ICValueEvent)) {
    *obj = self;
    event_add_ref(self);
    return QORB_S_OK;
  }
  *obj = NULL;
  return (QorbHRESULT)0x80004002u;
}
static const QorbIInterfaceVtbl event_vtbl = {event_query, event_add_ref, event_release};

/* ---- the subscriber object and its handler ---- */
static const QorbChar* subscriber_class_name(const void* self) {
  (void)self;
  return u"TCSubscriber";
}
static const QorbObjectVtbl subscriber_vtbl = {subscriber_class_name};
static QorbObject subscriber = {&subscriber_vtbl};

static QorbEventBus* bus;
static int32_t handled;
static int32_t last_value;

static void on_event(void* self, void* event) {
  void* own = NULL;
  if (self != &subscriber) return;
  ++handled;
  last_value = -1;
  /* Ours when it answers our identifier. */
  if ((*(const QorbIInterfaceVtbl* const*)event)->QueryInterface(event, &kIID_ICValueEvent, &own) == QORB_S_OK) {
    last_value = ((CValueEvent*)own)->Value;
    qorb_release(own);
  }
}

QORB_STRING_CONST(kHandlerName, u"OnEvent");

int c_plugin_init(const QorbGetInterface* get_interface) {
  bus = qorb_event_bus(get_interface);
  if (!bus) return 0;
  qorb_event_bus_subscribe(bus, &IID_IQorbEvent, on_event, &subscriber, kHandlerName);
  return 1;
}

int32_t c_plugin_publish(int32_t value) {
  CValueEvent event = {&event_vtbl, 1, value};
  qorb_event_bus_publish(bus, &event);
  return event.RefCount;
}

int32_t c_plugin_handled(void) { return handled; }
int32_t c_plugin_last_value(void) { return last_value; }
void* c_plugin_subscriber(void) { return &subscriber; }

void c_plugin_shutdown(void) {
  qorb_event_bus_unsubscribe(bus, &subscriber);
  qorb_release(bus);
  bus = NULL;
}
