/* The Qorb plug-in contract for plain C: the same layouts as the C++
 * headers, raw method tables, and small helpers to release what the host
 * hands out. Strings are the host runtime's UTF-16 strings: one pointer,
 * NULL for the empty string, with a 16-byte header in front (padding,
 * code page, element size, reference count, length). Arrays are one pointer
 * with a 16-byte header (padding, reference count, 64-bit length). */
#ifndef QORB_PLUGIN_H
#define QORB_PLUGIN_H

#include <stddef.h>
#include <stdint.h>
#include <stdlib.h>
#include <string.h>

#ifdef __cplusplus
extern "C" {
#endif

typedef uint16_t QorbChar;

typedef struct QorbGUID {
  uint32_t D1;
  uint16_t D2;
  uint16_t D3;
  uint8_t D4[8];
} QorbGUID;

typedef int32_t QorbHRESULT;
#define QORB_S_OK 0

/* ---- strings ---- */
typedef struct QorbStrRec {
  int32_t Padding;
  uint16_t CodePage;
  uint16_t ElemSize;
  int32_t RefCnt;
  int32_t Length;
} QorbStrRec;

static inline QorbStrRec* qorb_string_header(const QorbChar* s) {
  return (QorbStrRec*)(void*)((char*)(uintptr_t)s - sizeof(QorbStrRec));
}
static inline int32_t qorb_string_length(const QorbChar* s) { return s ? qorb_string_header(s)->Length : 0; }

/* A new string (reference count 1) from n UTF-16 units; NULL when n is 0. */
static inline QorbChar* qorb_string_new(const QorbChar* units, int32_t n) {
  QorbStrRec* rec;
  QorbChar* data;
  if (n <= 0) return NULL;
  rec = (QorbStrRec*)malloc(sizeof(QorbStrRec) + ((size_t)n + 1) * sizeof(QorbChar));
  if (!rec) return NULL;
  rec->Padding = 0;
  rec->CodePage = 1200;
  rec->ElemSize = 2;
  rec->RefCnt = 1;
  rec->Length = n;
  data = (QorbChar*)(rec + 1);
  memcpy(data, units, (size_t)n * sizeof(QorbChar));
  data[n] = 0;
  return data;
}

/* Drops one reference and sets *s to NULL. Constants (count -1) stay. */
static inline void qorb_string_release(QorbChar** s) {
  QorbStrRec* rec;
  if (!s || !*s) return;
  rec = qorb_string_header(*s);
  if (__atomic_load_n(&rec->RefCnt, __ATOMIC_RELAXED) >= 0 &&
      __atomic_sub_fetch(&rec->RefCnt, 1, __ATOMIC_ACQ_REL) == 0)
    free(rec);
  *s = NULL;
}

/* A string constant that the host never frees:
 *   QORB_STRING_CONST(kSource, u"MyPlugin");  ... pass kSource ... */
#define QORB_STRING_CONST(name, literal)                                          \
  static struct {                                                                 \
    QorbStrRec rec;                                                               \
    QorbChar text[sizeof(literal) / sizeof(QorbChar)];                            \
  } name##_storage = {{0, 1200, 2, -1, (int32_t)(sizeof(literal) / sizeof(QorbChar) - 1)}, literal}; \
  static const QorbChar* const name = name##_storage.text

/* ---- dynamic arrays ---- */
typedef struct QorbArrayRec {
  int32_t Padding;
  int32_t RefCnt;
  int64_t Length;
} QorbArrayRec;

static inline QorbArrayRec* qorb_array_header(const void* a) {
  return (QorbArrayRec*)(void*)((char*)(uintptr_t)a - sizeof(QorbArrayRec));
}
static inline int64_t qorb_array_length(const void* a) { return a ? qorb_array_header(a)->Length : 0; }

/* ---- interfaces: slots 0-2 of every method table ---- */
#define QORB_IINTERFACE_SLOTS                                                \
  QorbHRESULT (*QueryInterface)(void* Self, const QorbGUID* IID, void** Obj); \
  int32_t (*AddRef)(void* Self);                                             \
  int32_t (*Release)(void* Self)

typedef struct QorbIInterfaceVtbl {
  QORB_IINTERFACE_SLOTS;
} QorbIInterfaceVtbl;

typedef struct QorbIInterface {
  const QorbIInterfaceVtbl* Vtbl;
} QorbIInterface;

static inline void qorb_release(void* intf) {
  if (intf) (*(const QorbIInterfaceVtbl* const*)intf)->Release(intf);
}

/* ---- the lookup callback ---- */
typedef struct QorbGetInterface {
  void (*Code)(void* Self, void** Result, const QorbGUID* IntfGuid);
  void* Data;
} QorbGetInterface;

/* Asks the host for an interface; *Result must hold NULL or a reference
 * (it is released first). NULL when nothing supports the identifier. */
static inline void* qorb_get_interface(const QorbGetInterface* gi, const QorbGUID* iid) {
  void* result = NULL;
  if (gi && gi->Code) gi->Code(gi->Data, &result, iid);
  return result;
}

/* ---- IQorbMainFunctions {0A5B3C7D-8E1F-4926-A4B0-6D3E9C2F7A15} ---- */
static const QorbGUID IID_IQorbMainFunctions = {
    0x0A5B3C7D, 0x8E1F, 0x4926, {0xA4, 0xB0, 0x6D, 0x3E, 0x9C, 0x2F, 0x7A, 0x15}};

typedef struct QorbMainFunctionsVtbl {
  QORB_IINTERFACE_SLOTS;
  void* (*AddMenuItem)(void* Self, const QorbChar* Caption); /* the host's menu item object */
  void (*RegisterInterface)(void* Self, void* Intf);
  void (*UnregisterInterface)(void* Self, void* Intf);
  void (*LogDebug)(void* Self, const QorbChar* Source, const QorbChar* Message);
  void (*LogInfo)(void* Self, const QorbChar* Source, const QorbChar* Message);
  void (*LogWarning)(void* Self, const QorbChar* Source, const QorbChar* Message);
  void (*LogError)(void* Self, const QorbChar* Source, const QorbChar* Message);
} QorbMainFunctionsVtbl;

typedef struct QorbMainFunctions {
  const QorbMainFunctionsVtbl* Vtbl;
} QorbMainFunctions;

/* ---- IQorbPluginService {485E34F0-B260-49A3-AADB-4D901D876019} ---- */
static const QorbGUID IID_IQorbPluginService = {
    0x485E34F0, 0xB260, 0x49A3, {0xAA, 0xDB, 0x4D, 0x90, 0x1D, 0x87, 0x60, 0x19}};

typedef struct QorbModuleInfo {
  QorbChar* Name;
  QorbChar* Version;
  QorbChar* Company;
  QorbChar* Copyright;
  QorbChar* Description;
  QorbChar* Comments;
  QorbChar* FilePath;
} QorbModuleInfo;

typedef struct QorbPluginServiceInfo {
  QorbModuleInfo Host;
  QorbModuleInfo* Plugins; /* dynamic array; qorb_array_length() elements */
} QorbPluginServiceInfo;

static inline void qorb_module_info_clear(QorbModuleInfo* m) {
  qorb_string_release(&m->Name);
  qorb_string_release(&m->Version);
  qorb_string_release(&m->Company);
  qorb_string_release(&m->Copyright);
  qorb_string_release(&m->Description);
  qorb_string_release(&m->Comments);
  qorb_string_release(&m->FilePath);
}

/* Drops one reference to an array of module records; the last one releases
 * every record's strings and the block. */
static inline void qorb_module_info_array_release(QorbModuleInfo** a) {
  QorbArrayRec* rec;
  if (!a || !*a) return;
  rec = qorb_array_header(*a);
  if (__atomic_sub_fetch(&rec->RefCnt, 1, __ATOMIC_ACQ_REL) == 0) {
    int64_t i;
    for (i = 0; i < rec->Length; ++i) qorb_module_info_clear(&(*a)[i]);
    free(rec);
  }
  *a = NULL;
}

static inline void qorb_plugin_service_info_clear(QorbPluginServiceInfo* info) {
  qorb_module_info_clear(&info->Host);
  qorb_module_info_array_release(&info->Plugins);
}

typedef struct QorbPluginServiceVtbl {
  QORB_IINTERFACE_SLOTS;
  void (*GetPluginInfos)(void* Self, QorbPluginServiceInfo* Result);
} QorbPluginServiceVtbl;

typedef struct QorbPluginService {
  const QorbPluginServiceVtbl* Vtbl;
} QorbPluginService;

/* ---- the plug-in library's exports ---- */
#define QORB_EXPORT __attribute__((visibility("default")))
typedef void (*QorbInitPlugin)(const QorbGetInterface* GetInterface);
typedef void (*QorbShutdown)(void);

/* ---- the event bus ----
 * IQorbEventBus {F14B8FB2-1DA0-45FC-B8A8-DD0936C5BC03}, the event marker
 * IQorbEvent {40002E98-C3C8-43A3-A280-F694D959342D}. An event is any
 * interface; a handler subscribed for an identifier is called, on the
 * publishing thread, for every event whose QueryInterface accepts it. */
static const QorbGUID IID_IQorbEventBus = {
    0xF14B8FB2, 0x1DA0, 0x45FC, {0xB8, 0xA8, 0xDD, 0x09, 0x36, 0xC5, 0xBC, 0x03}};
static const QorbGUID IID_IQorbEvent = {
    0x40002E98, 0xC3C8, 0x43A3, {0xA2, 0x80, 0xF6, 0x94, 0xD9, 0x59, 0x34, 0x2D}};

/* An object that subscribes handlers is laid out as the host runtime's
 * objects are: its first word points at a table whose first entry answers
 * the class name (zero-terminated UTF-16, valid while the object lives).
 * The bus names that class when a handler fails:
 *   static const QorbChar* my_class_name(const void* self) { return u"TMyHandler"; }
 *   static const QorbObjectVtbl my_vtbl = {my_class_name};
 *   static QorbObject my_subscriber = {&my_vtbl}; */
typedef struct QorbObjectVtbl {
  const QorbChar* (*ClassName)(const void* Self);
} QorbObjectVtbl;

typedef struct QorbObject {
  const QorbObjectVtbl* Vtbl;
} QorbObject;

/* Two words, code then object. The code is called with the object word and
 * the event's interface for the subscribed identifier; it does not release
 * the event. A code word below 0x10000 (NULL included) is unassigned. */
typedef struct QorbEventHandler {
  void (*Code)(void* Self, void* Event);
  void* Data;
} QorbEventHandler;

typedef struct QorbEventBusVtbl {
  QORB_IINTERFACE_SLOTS;
  /* The handler is passed by address; HandlerName labels error lines. */
  void (*SubscribeHandler)(void* Self, const QorbGUID* EventGuid, const QorbEventHandler* Handler,
                           const QorbChar* HandlerName);
  /* Removes every subscription whose handler is bound to Subscriber. */
  void (*Unsubscribe)(void* Self, void* Subscriber);
  void (*Publish)(void* Self, void* Event);
} QorbEventBusVtbl;

typedef struct QorbEventBus {
  const QorbEventBusVtbl* Vtbl;
} QorbEventBus;

/* The bus, or NULL; release it with qorb_release. */
static inline QorbEventBus* qorb_event_bus(const QorbGetInterface* gi) {
  return (QorbEventBus*)qorb_get_interface(gi, &IID_IQorbEventBus);
}

static inline void qorb_event_bus_subscribe(QorbEventBus* bus, const QorbGUID* event_guid,
                                            void (*code)(void* self, void* event), void* self,
                                            const QorbChar* handler_name) {
  QorbEventHandler handler;
  handler.Code = code;
  handler.Data = self;
  if (bus) bus->Vtbl->SubscribeHandler(bus, event_guid, &handler, handler_name);
}

static inline void qorb_event_bus_unsubscribe(QorbEventBus* bus, void* subscriber) {
  if (bus) bus->Vtbl->Unsubscribe(bus, subscriber);
}

static inline void qorb_event_bus_publish(QorbEventBus* bus, void* event) {
  if (bus) bus->Vtbl->Publish(bus, event);
}

#ifdef __cplusplus
}
#endif
#endif
