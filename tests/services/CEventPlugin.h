#pragma once
// A plug-in written in C, built into the test: it reaches the event bus
// through the lookup callback and uses raw method tables only.
#include <stdint.h>

#include "sdk/qorb_plugin.h"

#ifdef __cplusplus
extern "C" {
#endif
// Looks the bus up and subscribes its handler for IQorbEvent; 0 when there
// is no bus.
int c_plugin_init(const QorbGetInterface* get_interface);
// Publishes a C event object carrying value; answers the object's
// reference count afterwards (1: nothing kept, nothing lost).
int32_t c_plugin_publish(int32_t value);
// Events handled so far, and the value of the last C event among them
// (-1 for events made elsewhere).
int32_t c_plugin_handled(void);
int32_t c_plugin_last_value(void);
// The object its handler is bound to (its class name: "TCSubscriber").
void* c_plugin_subscriber(void);
void c_plugin_shutdown(void);
#ifdef __cplusplus
}
#endif
