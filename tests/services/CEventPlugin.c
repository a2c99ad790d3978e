#include "sdk/qorb_plugin.h"

static const QorbGUID kIID_IInterface = {0, 0, 0, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};

/* The event: IInterface and IQorbEvent, counted, on the publisher's stack. */
typedef struct CEvent {
  const QorbIInterfaceVtbl* Vtbl;
  int32_t RefCount;
} CEvent;

static int32_t event_add_ref(void* self) { return ++((CEvent*)self)->RefCount; }
static int32_t event_release(void* self) { return --((CEvent*)self)->RefCount; }
static QorbHRESULT event_query(void* self, const QorbGUID* iid, void** obj) {
  const int ok = !memcmp(iid, &kIID_IInterface, sizeof *iid) || !memcmp(iid, &IID_IQorbEvent, sizeof *iid);
  *obj = ok ? self : NULL;
  if (ok) event_add_ref(self);
  return ok ? QORB_S_OK : (QorbHRESULT)0x80004002u;
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
  void* same = NULL;
  if (self != &subscriber) return;
  if ((*(const QorbIInterfaceVtbl* const*)event)->QueryInterface(event, &IID_IQorbEvent, &same) != QORB_S_OK) return;
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
