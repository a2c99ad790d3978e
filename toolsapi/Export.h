#pragma once
// What the tools library exports stays visible to libraries built with
// hidden visibility (the package, plug-ins).
#define QORB_TOOLSAPI __attribute__((visibility("default")))
