/* IExampleCounter {C2A14429-EEA4-4B85-8DE0-F645075006E0}, an interface of
 * the example's own, in C: what CounterPlugin.c implements and registers.
 * ExampleCounter.h declares the same for C++ plug-ins. */
#ifndef EXAMPLE_COUNTER_H
#define EXAMPLE_COUNTER_H

#include "qorb_plugin.h"

static const QorbGUID IID_IExampleCounter = {
    0xC2A14429, 0xEEA4, 0x4B85, {0x8D, 0xE0, 0xF6, 0x45, 0x07, 0x50, 0x06, 0xE0}};

/* Slots 0-2 are IInterface's, then the operations in declaration order. A
 * string result comes back through a result parameter right after Self. */
typedef struct ExampleCounterVtbl {
  QORB_IINTERFACE_SLOTS;
  int32_t (*Increment)(void* Self);
  void (*GetName)(void* Self, QorbChar** Result);
} ExampleCounterVtbl;

typedef struct ExampleCounter {
  const ExampleCounterVtbl* Vtbl;
} ExampleCounter;

#endif
