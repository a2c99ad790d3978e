#pragma once
// What the tools library exports stays visible to libraries built with
// hidden visibility (the package, plug-ins).
#include "rtl/Export.h"

#define QORB_TOOLSAPI QORB_SHARED_API
