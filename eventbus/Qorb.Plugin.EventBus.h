#pragma once
// The event-bus contract as plug-ins see it; published in sdk/.
#include "sdk/Qorb.Plugin.EventBus.h"
