#pragma once
// Internal to the runtime: the address ranges of our own modules, which the
// fault handler reads lock-free, and its rule of which faults it contains.
#include <cstdint>

#include "rtl/ExternalExceptions.h"
#include "rtl/ForeignFrames.h"
#include "rtl/OwnMutex.h"

namespace qorb::rtl {

// Held by writers of the ranges only.
TMutex& OwnModulesLock();
// Adds [Start, End) unless it is there already; End 0 adds nothing.
void AddOwnRange(uintptr_t Start, uintptr_t End);
bool IsOwnCode(uintptr_t Pc) noexcept;

// The C library, the C++ runtime and the loader: code that is neither ours
// nor a plug-in's, and may hold locks of its own. Sanitizer runtimes are
// apart: their interceptors stand between a plug-in and the C library.
enum class TSystemKind : uint8_t { None, Runtime, Sanitizer };
void AddSystemRange(uintptr_t Start, uintptr_t End, TSystemKind Kind);
void RemoveSystemRange(uintptr_t Start);
TSystemKind SystemCodeKind(uintptr_t Pc) noexcept;

// Contained only when every frame between the innermost call into foreign
// code and the faulting instruction is foreign: the innermost frame is such
// a call (not our code called back from it), the code it entered is not
// ours, neither is the faulting instruction, and no lock of ours was taken
// since the call began. A signal someone sent is no fault of the code it
// interrupted. LocksHeld: the locks of ours the thread holds now.
bool Containable(const TForeignFrame* Frame, const TFaultRecord& Fault, uint32_t LocksHeld) noexcept;

// The platform's part of installing the handler: run once, after our own
// modules are marked and the installing thread is prepared.
void InstallPlatformHandlers();

}  // namespace qorb::rtl
