#pragma once
// The file of the module the host's units are linked into (the package),
// as the platform reports it into a buffer of MAX_PATH units.
#include "rtl/UnicodeString.h"

UnicodeString HostModuleFileName();
// Its folder, up to and including the last path delimiter.
UnicodeString HostModuleFolder();
