/* A plug-in in C that offers other plug-ins a service of its own: an
 * IExampleCounter object, registered with the host's main functions so
 * that any plug-in can look it up by its identifier. Its menu item counts
 * too, and tells everyone on the event bus; the plug-in hears that itself.
 * It needs no C runtime: the header's helpers are enough. */
#include "example_counter.h"

/* The method table comes first, so the object's address is its interface
 * pointer. The count of references decides when it is freed. */
typedef struct Counter {
  const ExampleCounterVtbl* Vtbl;
  int32_t RefCount;
  int32_t Count;
} Counter;

static QorbHRESULT Counter_QueryInterface(void* self, const QorbGUID* iid, void** obj) {
  if (qorb_guid_equal(iid, &IID_IInterface) || qorb_guid_equal(iid, &IID_IExampleCounter)) {
    qorb_add_ref(self);
    *obj = self;
    return QORB_S_OK;
  }
  *obj = NULL;
  return QORB_E_NOINTERFACE;
}

static int32_t Counter_AddRef(void* self) { return qorb_atomic_add(&((Counter*)self)->RefCount, 1); }

static int32_t Counter_Release(void* self) {
  int32_t left = qorb_atomic_add(&((Counter*)self)->RefCount, -1);
  if (left == 0) qorb_heap_free(self);
  return left;
}

static int32_t Counter_Increment(void* self) { return qorb_atomic_add(&((Counter*)self)->Count, 1); }

/* A result parameter: release what the caller's variable holds, then store
 * a new reference in it. */
static void Counter_GetName(void* self, QorbChar** Result) {
  (void)self;
  qorb_string_release(Result);
  *Result = qorb_string_from_utf8("C counter");
}

static const ExampleCounterVtbl kCounterVtbl = {
    Counter_QueryInterface, Counter_AddRef, Counter_Release, Counter_Increment, Counter_GetName};

QORB_STRING_CONST(kSource, u"CounterC");
QORB_STRING_CONST(kRegistered, u"counter registered");
QORB_STRING_CONST(kCaption, u"Count in C");
QORB_STRING_CONST(kHandlerName, u"CounterC.OnCounted");

static QorbMainFunctions* mainFunctions;
static QorbMenuItems* menuItems;
static QorbEventBus* bus;
static Counter* counter;
static void* item;

/* "<text> <n>" as a new string; no C runtime to format it. */
static void LogNumber(const char* text, int32_t n) {
  char line[64];
  char digits[12];
  int i = 0, d = 0;
  QorbChar* message;
  while (text[i] && i < 48) {
    line[i] = text[i];
    ++i;
  }
  line[i++] = ' ';
  do digits[d++] = (char)('0' + n % 10);
  while ((n /= 10) > 0 && d < 11);
  while (d > 0) line[i++] = digits[--d];
  line[i] = 0;
  message = qorb_string_from_utf8(line);
  mainFunctions->Vtbl->LogInfo(mainFunctions, kSource, message);
  qorb_string_release(&message);
}

/* The event bus names a subscriber's class when its handler fails, so the
 * subscriber is laid out as the host's objects are. */
static const QorbChar* Listener_ClassName(const void* self) {
  (void)self;
  return u"TCounterListener";
}
static const QorbObjectVtbl kListenerVtbl = {Listener_ClassName};
static QorbObject listener = {&kListenerVtbl};

/* Runs on the publishing thread; the event is lent, not released here. */
static void OnCounted(void* self, void* event) {
  ExampleCounter* counted = (ExampleCounter*)event;
  QorbChar* name = NULL;
  (void)self;
  counted->Vtbl->GetName(counted, &name);
  mainFunctions->Vtbl->LogInfo(mainFunctions, kSource, name);
  qorb_string_release(&name);
}

/* Main thread: the item is the sender. */
static void OnClick(void* self, void* sender) {
  Counter* c = (Counter*)self;
  (void)sender;
  LogNumber("clicked, count", Counter_Increment(c));
  qorb_event_bus_publish(bus, c);
}

QORB_EXPORT void InitPlugin(const QorbGetInterface* GetInterface) {
  mainFunctions = (QorbMainFunctions*)qorb_get_interface(GetInterface, &IID_IQorbMainFunctions);
  if (!mainFunctions) return;
  counter = (Counter*)qorb_heap_alloc(sizeof *counter);
  if (!counter) return;
  counter->Vtbl = &kCounterVtbl;
  counter->RefCount = 1; /* ours, given back in Shutdown */
  counter->Count = 0;
  /* The host keeps a reference of its own until it is unregistered. */
  mainFunctions->Vtbl->RegisterInterface(mainFunctions, counter);
  mainFunctions->Vtbl->LogInfo(mainFunctions, kSource, kRegistered);

  bus = qorb_event_bus(GetInterface);
  qorb_event_bus_subscribe(bus, &IID_IExampleCounter, OnCounted, &listener, kHandlerName);
  menuItems = qorb_menu_items(GetInterface);
  item = mainFunctions->Vtbl->AddMenuItem(mainFunctions, kCaption);
  qorb_menu_item_set_click(menuItems, item, OnClick, counter);
}

QORB_EXPORT void Shutdown(void) {
  /* Out of the menu before the library goes, with its handler. */
  qorb_menu_item_free(menuItems, item);
  item = NULL;
  qorb_release(menuItems);
  qorb_event_bus_unsubscribe(bus, &listener);
  qorb_release(bus);
  /* The very pointer registered; then our own reference. */
  if (counter) mainFunctions->Vtbl->UnregisterInterface(mainFunctions, counter);
  qorb_release(counter);
  counter = NULL;
  qorb_release(mainFunctions);
  mainFunctions = NULL;
}
