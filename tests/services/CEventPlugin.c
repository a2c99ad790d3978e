#include "sdk/qorb_plugin.h"

/* The event: IInterface and IQorbEvent, counted, on the publisher's stack. */
typedef struct CEvent {
  const QorbIInterfaceVtbl* Vtbl;
  int32_t RefCount;
} CEvent;

static int32_t event_add_ref(void* self) { return ++((CEvent*)self)->RefCount; }
static int32_t event_release(void* self) { return --((CEvent*)self)->RefCount; }
static QorbHRESULT event_query(void* self, const QorbGUID* iid, void** obj) {
  const int ok = qorb_guid_equal(iid, &IID_IInterface) || qorb_guid_equal(iid, &IID_IQorbEvent);
  *obj = ok ? self : NULL;
  qorb_add_ref(*obj);
  return ok ? QORB_S_OK : QORB_E_NOINTERFACE;
}
static const QorbIInterfaceVtbl event_vtbl = {event_query, event_add_ref, event_release};

/* The subscriber object and its handler, which asks the event through its method table. */
static const QorbChar* subscriber_class_name(const void* self) {
  (void)self;
  return u"TCSubscriber";
}
static const QorbObjectVtbl subscriber_vtbl = {subscriber_class_name};
static QorbObject subscriber = {&subscriber_vtbl};
static QorbEventBus* bus;
static int32_t handled;

static void on_event(void* self, void* event) {
  void* same;
  if (self != &subscriber) return;
  same = qorb_query_interface(event, &IID_IQorbEvent);
  if (!same) return;
  ++handled;
  qorb_release(same);
}

QORB_STRING_CONST(kHandlerName, u"OnEvent");

int c_plugin_init(const QorbGetInterface* get_interface) {
  bus = qorb_event_bus(get_interface);
  if (bus) qorb_event_bus_subscribe(bus, &IID_IQorbEvent, on_event, &subscriber, kHandlerName);
  return bus != NULL;
}

int32_t c_plugin_publish(void) {
  CEvent event = {&event_vtbl, 1};
  qorb_event_bus_publish(bus, &event);
  return event.RefCount;
}

int32_t c_plugin_handled(void) { return handled; }
void* c_plugin_subscriber(void) { return &subscriber; }

void c_plugin_shutdown(void) {
  qorb_event_bus_unsubscribe(bus, &subscriber);
  qorb_release(bus);
  bus = NULL;
}
