/* A plug-in in C that offers other plug-ins a service of its own: an
 * IExampleCounter object, registered with the host's main functions so
 * that any plug-in can look it up by its identifier. */
#include <stdlib.h>

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

static int32_t Counter_AddRef(void* self) {
  return __atomic_add_fetch(&((Counter*)self)->RefCount, 1, __ATOMIC_RELAXED);
}

static int32_t Counter_Release(void* self) {
  int32_t left = __atomic_sub_fetch(&((Counter*)self)->RefCount, 1, __ATOMIC_ACQ_REL);
  if (left == 0) free(self);
  return left;
}

static int32_t Counter_Increment(void* self) {
  return __atomic_add_fetch(&((Counter*)self)->Count, 1, __ATOMIC_RELAXED);
}

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

static QorbMainFunctions* mainFunctions;
static Counter* counter;

QORB_EXPORT void InitPlugin(const QorbGetInterface* GetInterface) {
  mainFunctions = (QorbMainFunctions*)qorb_get_interface(GetInterface, &IID_IQorbMainFunctions);
  if (!mainFunctions) return;
  counter = (Counter*)calloc(1, sizeof *counter);
  if (!counter) return;
  counter->Vtbl = &kCounterVtbl;
  counter->RefCount = 1; /* ours, given back in Shutdown */
  /* The host keeps a reference of its own until it is unregistered. */
  mainFunctions->Vtbl->RegisterInterface(mainFunctions, counter);
  mainFunctions->Vtbl->LogInfo(mainFunctions, kSource, kRegistered);
}

QORB_EXPORT void Shutdown(void) {
  /* The very pointer registered; then our own reference. */
  if (counter) mainFunctions->Vtbl->UnregisterInterface(mainFunctions, counter);
  qorb_release(counter);
  counter = NULL;
  qorb_release(mainFunctions);
  mainFunctions = NULL;
}
