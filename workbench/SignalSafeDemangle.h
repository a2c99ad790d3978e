#pragma once
// C++ symbol names as a person reads them, for crash and hang reports
// written while a fault ends the process: no allocation, no lock, bounded
// work. Reads the common cases of the Itanium C++ ABI's names (nested and
// local names, anonymous namespaces, templates, constructors and
// destructors, operators, lambdas, simple parameter types, clone suffixes
// such as ".cold"); for anything else it gives up, and the caller keeps the
// mangled name.
#include <cstddef>

// Writes the readable form of Mangled ("_ZN3Foo3barEv" becomes
// "Foo::bar()") to Out, at most Size bytes with its terminating zero.
// Answers false, with Out left unspecified, for a name that is not mangled,
// one it cannot read, or one too long for Out. Async-signal-safe.
bool DemangleSignalSafe(const char* Mangled, char* Out, size_t Size) noexcept;

// The same in place: Name keeps its mangled form when it cannot be read.
void DemangleInPlace(char* Name, size_t Size) noexcept;
