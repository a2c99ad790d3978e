#pragma once
// Which C runtime a library links, told from the libraries it needs: on
// Windows msvcrt, the UCRT (ucrtbase.dll or its api-ms-win-crt-* sets),
// both, or none; on Linux the C library. A plug-in may use any of them
// now that what crosses comes from the shared heap, but an author looking
// for a heap mismatch wants to know.
#include <string>
#include <vector>

// "msvcrt.dll", "the UCRT", "msvcrt.dll and the UCRT", "libc.so.6", or
// "none".
std::string CRuntimeOf(const std::vector<std::string>& Needed);
