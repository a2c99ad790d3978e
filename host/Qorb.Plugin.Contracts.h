#pragma once
// The plug-in contracts as plug-ins see them; published in sdk/.
#include "sdk/Qorb.Plugin.Contracts.h"
