/* The Qorb plug-in contract for plain C (C11, for u"" literals): the same
 * layouts as the C++ headers, raw method tables, and small helpers to make
 * strings and to release what the host hands out. Strings are the host
 * runtime's UTF-16 strings: one pointer, NULL for the empty string, with a
 * 16-byte header in front (padding, code page, element size, reference
 * count, length). Arrays are one pointer with a 16-byte header (padding,
 * reference count, 64-bit length).
 *
 * Needs nothing but the compiler: no C library header, no C runtime. Any
 * compiler for the platform will do (MSVC, clang, MinGW-w64, gcc).
 *
 * Everything taken from the host (interfaces, subscriptions, registered
 * interfaces, menu items) is given back before Shutdown returns: the host
 * never drops a registration or subscription by itself, and would later
 * call into the unloaded library. */
#ifndef QORB_PLUGIN_H
#define QORB_PLUGIN_H

#include <stddef.h>
#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

/* ---- the shared heap ----
 * Every block host and plug-in hand each other (strings, arrays) comes
 * from the allocator every module reaches: on Windows the process heap,
 * HeapAlloc(GetProcessHeap(), 0, n) and HeapFree, never a C runtime's
 * malloc (msvcrt, the UCRT and no C runtime at all are three heaps); on
 * Linux the one C library's malloc and free. The declarations below are
 * the ones windows.h makes, so including it too, before or after, is fine. */
#if defined(_WIN32)
__declspec(dllimport) void* __stdcall GetProcessHeap(void);
__declspec(dllimport) void* __stdcall HeapAlloc(void* hHeap, unsigned long dwFlags, size_t dwBytes);
__declspec(dllimport) int __stdcall HeapFree(void* hHeap, unsigned long dwFlags, void* lpMem);
static inline void* qorb_heap_alloc(size_t n) { return HeapAlloc(GetProcessHeap(), 0, n); }
static inline void qorb_heap_free(void* p) {
  if (p) HeapFree(GetProcessHeap(), 0, p);
}
#else
static inline void* qorb_heap_alloc(size_t n) { return __builtin_malloc(n); }
static inline void qorb_heap_free(void* p) { __builtin_free(p); }
#endif

/* ---- atomics, each compiler's own ---- */
#if defined(_MSC_VER) && !defined(__GNUC__)
long _InterlockedExchangeAdd(long volatile* Addend, long Value);
#pragma intrinsic(_InterlockedExchangeAdd)
/* Adds v to *p; answers the new value. Full barrier. */
static inline int32_t qorb_atomic_add(int32_t* p, int32_t v) {
  return (int32_t)_InterlockedExchangeAdd((long volatile*)p, (long)v) + v;
}
static inline int32_t qorb_atomic_load(const int32_t* p) { return *(const volatile int32_t*)p; }
#else
static inline int32_t qorb_atomic_add(int32_t* p, int32_t v) { return __atomic_add_fetch(p, v, __ATOMIC_ACQ_REL); }
static inline int32_t qorb_atomic_load(const int32_t* p) { return __atomic_load_n(p, __ATOMIC_RELAXED); }
#endif

/* One UTF-16 code unit; char16_t in C++ so that u"" literals fit there too. */
#ifdef __cplusplus
typedef char16_t QorbChar;
#define QORB_STATIC_ASSERT static_assert
#else
typedef uint16_t QorbChar;
#define QORB_STATIC_ASSERT _Static_assert
#endif

typedef struct QorbGUID {
  uint32_t D1;
  uint16_t D2;
  uint16_t D3;
  uint8_t D4[8];
} QorbGUID;

QORB_STATIC_ASSERT(sizeof(QorbGUID) == 16, "QorbGUID is 16 bytes");

static inline int qorb_guid_equal(const QorbGUID* a, const QorbGUID* b) {
  const unsigned char* x = (const unsigned char*)a;
  const unsigned char* y = (const unsigned char*)b;
  size_t i;
  for (i = 0; i < sizeof *a; ++i)
    if (x[i] != y[i]) return 0;
  return 1;
}

typedef int32_t QorbHRESULT;
#define QORB_S_OK 0
#define QORB_E_NOINTERFACE ((QorbHRESULT)0x80004002u)

/* ---- strings ---- */
typedef struct QorbStrRec {
  int32_t Padding;
  uint16_t CodePage;
  uint16_t ElemSize;
  int32_t RefCnt;
  int32_t Length;
} QorbStrRec;

QORB_STATIC_ASSERT(sizeof(QorbStrRec) == 16, "QorbStrRec is 16 bytes");

static inline QorbStrRec* qorb_string_header(const QorbChar* s) {
  return (QorbStrRec*)(void*)((char*)(uintptr_t)s - sizeof(QorbStrRec));
}
static inline int32_t qorb_string_length(const QorbChar* s) { return s ? qorb_string_header(s)->Length : 0; }

/* A new string (reference count 1) from n UTF-16 units; NULL when n is 0. */
static inline QorbChar* qorb_string_new(const QorbChar* units, int32_t n) {
  QorbStrRec* rec;
  QorbChar* data;
  int32_t i;
  if (n <= 0 || !units) return NULL;
  rec = (QorbStrRec*)qorb_heap_alloc(sizeof(QorbStrRec) + ((size_t)n + 1) * sizeof(QorbChar));
  if (!rec) return NULL;
  rec->Padding = 0;
  rec->CodePage = 1200;
  rec->ElemSize = 2;
  rec->RefCnt = 1;
  rec->Length = n;
  data = (QorbChar*)(rec + 1);
  for (i = 0; i < n; ++i) data[i] = units[i];
  data[n] = 0;
  return data;
}

/* Drops one reference and sets *s to NULL. Constants (count -1) stay. */
static inline void qorb_string_release(QorbChar** s) {
  QorbStrRec* rec;
  if (!s || !*s) return;
  rec = qorb_string_header(*s);
  if (qorb_atomic_load(&rec->RefCnt) >= 0 && qorb_atomic_add(&rec->RefCnt, -1) == 0) qorb_heap_free(rec);
  *s = NULL;
}

/* A new string (reference count 1) from zero-terminated UTF-8, e.g. what
 * snprintf wrote; NULL for NULL or "". Each malformed sequence becomes one
 * U+FFFD. Release it with qorb_string_release. */
static inline QorbChar* qorb_string_from_utf8(const char* z) {
  const unsigned char* s = (const unsigned char*)z;
  size_t len, i = 0;
  int32_t n = 0;
  QorbStrRec* rec;
  QorbChar* out;
  if (!s || !*s) return NULL;
  for (len = 0; s[len]; ++len) {
  }
  /* Never more units than bytes. */
  if (len > (size_t)INT32_MAX - 1) return NULL;
  rec = (QorbStrRec*)qorb_heap_alloc(sizeof(QorbStrRec) + (len + 1) * sizeof(QorbChar));
  if (!rec) return NULL;
  out = (QorbChar*)(rec + 1);
  while (i < len) {
    uint32_t c = s[i], min;
    size_t extra, j;
    if (c < 0x80) {
      out[n++] = (QorbChar)c;
      ++i;
      continue;
    }
    extra = c >= 0xF0 ? 3 : c >= 0xE0 ? 2 : 1;
    if (c < 0xC2 || c > 0xF4) {
      out[n++] = 0xFFFD;
      ++i;
      continue;
    }
    c &= 0x3Fu >> extra;
    min = extra == 1 ? 0x80u : extra == 2 ? 0x800u : 0x10000u;
    for (j = 1; j <= extra && i + j < len && (s[i + j] & 0xC0) == 0x80; ++j) c = (c << 6) | (s[i + j] & 0x3Fu);
    if (j <= extra || c < min || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) {
      out[n++] = 0xFFFD;
    } else if (c >= 0x10000) {
      out[n++] = (QorbChar)(0xD800 + ((c - 0x10000) >> 10));
      out[n++] = (QorbChar)(0xDC00 + (c & 0x3FF));
    } else {
      out[n++] = (QorbChar)c;
    }
    i += j;
  }
  rec->Padding = 0;
  rec->CodePage = 1200;
  rec->ElemSize = 2;
  rec->RefCnt = 1;
  rec->Length = n;
  out[n] = 0;
  return out;
}

/* Writes s as zero-terminated UTF-8 into buf (size bytes, 0 writes nothing),
 * cutting only between characters; a lone surrogate becomes U+FFFD. Answers
 * the bytes the whole text needs without the zero, as snprintf does. */
static inline size_t qorb_string_to_utf8(const QorbChar* s, char* buf, size_t size) {
  int32_t n = qorb_string_length(s), i;
  size_t need = 0;
  int full = 0;
  if (size) buf[0] = 0;
  for (i = 0; i < n; ++i) {
    uint32_t c = s[i];
    unsigned char bytes[4];
    size_t k, count;
    if (c >= 0xD800 && c <= 0xDBFF && i + 1 < n && s[i + 1] >= 0xDC00 && s[i + 1] <= 0xDFFF)
      c = 0x10000u + ((c - 0xD800u) << 10) + ((uint32_t)s[++i] - 0xDC00u);
    else if (c >= 0xD800 && c <= 0xDFFF)
      c = 0xFFFD;
    if (c < 0x80) {
      bytes[0] = (unsigned char)c;
      count = 1;
    } else if (c < 0x800) {
      bytes[0] = (unsigned char)(0xC0 | (c >> 6));
      bytes[1] = (unsigned char)(0x80 | (c & 0x3F));
      count = 2;
    } else if (c < 0x10000) {
      bytes[0] = (unsigned char)(0xE0 | (c >> 12));
      bytes[1] = (unsigned char)(0x80 | ((c >> 6) & 0x3F));
      bytes[2] = (unsigned char)(0x80 | (c & 0x3F));
      count = 3;
    } else {
      bytes[0] = (unsigned char)(0xF0 | (c >> 18));
      bytes[1] = (unsigned char)(0x80 | ((c >> 12) & 0x3F));
      bytes[2] = (unsigned char)(0x80 | ((c >> 6) & 0x3F));
      bytes[3] = (unsigned char)(0x80 | (c & 0x3F));
      count = 4;
    }
    if (!full && need + count < size) {
      for (k = 0; k < count; ++k) buf[need + k] = (char)bytes[k];
      buf[need + count] = 0;
    } else {
      full = 1;
    }
    need += count;
  }
  return need;
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

QORB_STATIC_ASSERT(sizeof(QorbArrayRec) == 16, "QorbArrayRec is 16 bytes");

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

/* IInterface {00000000-0000-0000-C000-000000000046}: every interface
 * answers it, with the same pointer for the same object. */
static const QorbGUID IID_IInterface = {0x00000000, 0x0000, 0x0000, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};

static inline void qorb_release(void* intf) {
  if (intf) (*(const QorbIInterfaceVtbl* const*)intf)->Release(intf);
}
static inline void qorb_add_ref(void* intf) {
  if (intf) (*(const QorbIInterfaceVtbl* const*)intf)->AddRef(intf);
}
/* The object's interface for iid (a new reference), or NULL. */
static inline void* qorb_query_interface(void* intf, const QorbGUID* iid) {
  void* result = NULL;
  if (intf && (*(const QorbIInterfaceVtbl* const*)intf)->QueryInterface(intf, iid, &result) != QORB_S_OK)
    result = NULL;
  return result;
}

/* ---- the lookup callback ----
 * Any thread, from InitPlugin until Shutdown returns. Plug-ins load in no
 * particular order: another plug-in's interface may not be registered yet
 * during InitPlugin, so look it up when it is needed. */
typedef struct QorbGetInterface {
  void (*Code)(void* Self, void** Result, const QorbGUID* IntfGuid);
  void* Data;
} QorbGetInterface;
QORB_STATIC_ASSERT(sizeof(QorbGetInterface) == 16, "QorbGetInterface is two words");

/* Asks the host for an interface (a new reference: qorb_release it); NULL
 * when nothing supports the identifier. Calling Code directly, *Result must
 * hold NULL or a reference (it is released first). */
static inline void* qorb_get_interface(const QorbGetInterface* gi, const QorbGUID* iid) {
  void* result = NULL;
  if (gi && gi->Code) gi->Code(gi->Data, &result, iid);
  return result;
}

/* ---- IQorbMainFunctions {0A5B3C7D-8E1F-4926-A4B0-6D3E9C2F7A15} ---- */
static const QorbGUID IID_IQorbMainFunctions = {
    0x0A5B3C7D, 0x8E1F, 0x4926, {0xA4, 0xB0, 0x6D, 0x3E, 0x9C, 0x2F, 0x7A, 0x15}};

/* AddMenuItem: main thread; answers the host's menu item object, or NULL.
 * Its layout is not part of the contract: give it a click handler, and take
 * it out of the menu before Shutdown returns, through QorbMenuItems below.
 * RegisterInterface: any thread; the host matches by pointer, so pass the
 * same reference to UnregisterInterface before Shutdown returns.
 * Log*: any thread; Source and Message are strings (constants or made with
 * qorb_string_new / qorb_string_from_utf8), the host copies them. */
typedef struct QorbMainFunctionsVtbl {
  QORB_IINTERFACE_SLOTS;
  void* (*AddMenuItem)(void* Self, const QorbChar* Caption);
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

/* ---- INTAMenuItems {A2178E55-E572-4C3C-9C0A-6FF6F4C86A23} ----
 * What any compiler can do with the item AddMenuItem answered; the IDE's
 * services object answers it. Main thread. Each operation answers 0 and
 * does nothing for a pointer that is not an item of the IDE's main menu.
 * An item left behind would keep its handler pointing into the unloaded
 * library: free it before Shutdown returns. */
static const QorbGUID IID_INTAMenuItems = {
    0xA2178E55, 0xE572, 0x4C3C, {0x9C, 0x0A, 0x6F, 0xF6, 0xF4, 0xC8, 0x6A, 0x23}};

/* Two words, code then object; the code is called with the object word and
 * the clicked item. */
typedef struct QorbNotifyEvent {
  void (*Code)(void* Self, void* Sender);
  void* Data;
} QorbNotifyEvent;
QORB_STATIC_ASSERT(sizeof(QorbNotifyEvent) == 16, "QorbNotifyEvent is two words");

typedef struct QorbMenuItemsVtbl {
  QORB_IINTERFACE_SLOTS;
  /* The handler is passed by address; Code NULL takes the handler away. */
  int32_t (*SetOnClick)(void* Self, void* Item, const QorbNotifyEvent* Handler);
  /* Takes the item out of the menu and frees it, with its sub-items. */
  int32_t (*FreeItem)(void* Self, void* Item);
} QorbMenuItemsVtbl;

typedef struct QorbMenuItems {
  const QorbMenuItemsVtbl* Vtbl;
} QorbMenuItems;

/* The IDE's menu-item operations, or NULL; release with qorb_release. */
static inline QorbMenuItems* qorb_menu_items(const QorbGetInterface* gi) {
  return (QorbMenuItems*)qorb_get_interface(gi, &IID_INTAMenuItems);
}

static inline int32_t qorb_menu_item_set_click(QorbMenuItems* items, void* item,
                                               void (*code)(void* self, void* sender), void* self) {
  QorbNotifyEvent handler;
  handler.Code = code;
  handler.Data = self;
  return items && item ? items->Vtbl->SetOnClick(items, item, &handler) : 0;
}

static inline int32_t qorb_menu_item_free(QorbMenuItems* items, void* item) {
  return items && item ? items->Vtbl->FreeItem(items, item) : 0;
}

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
QORB_STATIC_ASSERT(sizeof(QorbModuleInfo) == 56, "QorbModuleInfo is seven strings");
QORB_STATIC_ASSERT(offsetof(QorbModuleInfo, FilePath) == 48, "FilePath at 48");
QORB_STATIC_ASSERT(sizeof(QorbPluginServiceInfo) == 64, "QorbPluginServiceInfo is 64 bytes");
QORB_STATIC_ASSERT(offsetof(QorbPluginServiceInfo, Plugins) == 56, "Plugins at 56");

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
  if (qorb_atomic_add(&rec->RefCnt, -1) == 0) {
    int64_t i;
    for (i = 0; i < rec->Length; ++i) qorb_module_info_clear(&(*a)[i]);
    qorb_heap_free(rec);
  }
  *a = NULL;
}

static inline void qorb_plugin_service_info_clear(QorbPluginServiceInfo* info) {
  qorb_module_info_clear(&info->Host);
  qorb_module_info_array_release(&info->Plugins);
}

/* GetPluginInfos releases what *Result holds, then fills it: start from a
 * zeroed record, clear it with qorb_plugin_service_info_clear. Plug-ins
 * appear once their InitPlugin has returned.
 * Any thread, but it takes the plug-in list's lock, which the host holds
 * while plug-ins load and while every Shutdown runs: on another thread it
 * waits until they are done. A Shutdown (or InitPlugin) that waits for a
 * worker thread which calls it deadlocks the IDE, and no stop flag closes
 * the race: call it on the main thread and hand the worker a copy. */
typedef struct QorbPluginServiceVtbl {
  QORB_IINTERFACE_SLOTS;
  void (*GetPluginInfos)(void* Self, QorbPluginServiceInfo* Result);
} QorbPluginServiceVtbl;

typedef struct QorbPluginService {
  const QorbPluginServiceVtbl* Vtbl;
} QorbPluginService;

/* ---- the plug-in library's exports ----
 * GetInterface points at a value valid only during InitPlugin: keep a copy
 * of *GetInterface (it works until Shutdown returns), not the pointer. */
#if defined(_WIN32)
#define QORB_EXPORT __declspec(dllexport)
#else
#define QORB_EXPORT __attribute__((visibility("default")))
#endif
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
QORB_STATIC_ASSERT(sizeof(QorbEventHandler) == 16, "QorbEventHandler is two words");

typedef struct QorbEventBusVtbl {
  QORB_IINTERFACE_SLOTS;
  /* The handler is passed by address; HandlerName labels error lines. */
  void (*SubscribeHandler)(void* Self, const QorbGUID* EventGuid, const QorbEventHandler* Handler,
                           const QorbChar* HandlerName);
  /* Removes every subscription whose handler is bound to Subscriber. */
  void (*Unsubscribe)(void* Self, void* Subscriber);
  /* Any thread; the handlers run on it before Publish returns. */
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

#undef QORB_STATIC_ASSERT

#ifdef __cplusplus
}
#endif
#endif
