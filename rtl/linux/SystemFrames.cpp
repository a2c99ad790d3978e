#include "rtl/linux/SystemFrames.h"

#include <dlfcn.h>
#include <link.h>
#include <unwind.h>

#include <string_view>

#include "rtl/ForeignRead.h"
#include "rtl/OwnModules.h"
#include "rtl/linux/ModuleSpan.h"

extern "C" {
// libgcc's own look-up of a function's unwind entry; not in its header.
struct dwarf_eh_bases {
  void* tbase;
  void* dbase;
  void* func;
};
const void* _Unwind_Find_FDE(void* pc, dwarf_eh_bases* bases);
}

namespace {

using qorb::rtl::TSystemKind;

// Leaves of the C library that hold no lock: abandoning one abandons nothing.
constexpr const char* kLeafNames[] = {
    "memcpy", "memmove", "memset",  "memcmp",  "bcmp",    "memchr",  "memrchr", "rawmemchr", "strlen",
    "strnlen", "strcmp", "strncmp", "strcpy",  "strncpy", "stpcpy",  "stpncpy", "strcat",    "strncat",
    "strchr",  "strrchr", "strchrnul", "strspn", "strcspn", "strpbrk", "strstr", "wcslen",  "wcsnlen",
    "wcscmp",  "wcsncmp", "wcschr",  "wcsrchr", "wmemchr", "wmemset", "wcscpy",  "wmemcmp"};
constexpr size_t kLeafCount = sizeof kLeafNames / sizeof kLeafNames[0];
// Where each leaf begins: its exported address and the start of the
// unwind entry that holds it.
uintptr_t leafStarts[2 * kLeafCount];

constexpr int kMaxFrames = 1 << 18;

TSystemKind KindOfLibrary(const char* path) {
  std::string_view name(path ? path : "");
  if (const size_t slash = name.rfind('/'); slash != std::string_view::npos) name.remove_prefix(slash + 1);
  for (std::string_view runtime : {"libc.so", "ld-linux", "libpthread", "libdl.so", "librt.so", "libm.so", "libgcc_s",
                                   "libresolv", "libnss_", "linux-vdso", "libmvec"})
    if (name.starts_with(runtime)) return TSystemKind::Runtime;
  for (std::string_view sanitizer : {"libasan", "libtsan", "libubsan", "liblsan", "libclang_rt"})
    if (name.starts_with(sanitizer)) return TSystemKind::Sanitizer;
  return TSystemKind::None;
}

bool IsLeafStart(uintptr_t start) noexcept {
  if (!start) return false;
  for (uintptr_t s : leafStarts)
    if (s == start) return true;
  return false;
}

struct TWalk {
  uintptr_t FaultPc = 0;
  bool Started = false;
  bool Reached = false;  // came to our own code
  bool SystemHeld = false;
  bool SystemSeen = false;
  int Index = 0;
  uintptr_t SystemPc = 0;
  uintptr_t Caller = 0;
};

_Unwind_Reason_Code Step(_Unwind_Context* context, void* data) {
  TWalk& w = *static_cast<TWalk*>(data);
  int beforeInstruction = 0;
  const uintptr_t ip = _Unwind_GetIPInfo(context, &beforeInstruction);
  if (!w.Started) {
    // The handler's own frames and the signal trampoline come first.
    if (!beforeInstruction || ip != w.FaultPc) return _URC_NO_REASON;
    w.Started = true;
  }
  // A return address points after its call: look the call up.
  const uintptr_t pc = beforeInstruction ? ip : ip - 1;
  if (w.Index == 0 && qorb::rtl::IsForeignRead(pc)) {
    ++w.Index;
    return _URC_NO_REASON;
  }
  if (qorb::rtl::IsOwnCode(pc)) {
    w.Reached = true;
    return _URC_END_OF_STACK;
  }
  switch (qorb::rtl::SystemCodeKind(pc)) {
    case TSystemKind::Sanitizer:
      break;
    case TSystemKind::Runtime:
      // The outermost one, in the end: what foreign code called.
      if (!w.Caller) w.SystemPc = pc;
      w.SystemSeen = true;
      if (w.Index != 0 || !IsLeafStart(_Unwind_GetRegionStart(context))) w.SystemHeld = true;
      break;
    case TSystemKind::None:
      if (w.SystemSeen && !w.Caller) w.Caller = pc;
      // Past the system code and its caller: nothing more to learn.
      if (w.SystemHeld) return _URC_END_OF_STACK;
      break;
  }
  return ++w.Index < kMaxFrames ? _URC_NO_REASON : _URC_END_OF_STACK;
}

}  // namespace

void MarkSystemModules() {
  ::dl_iterate_phdr(
      [](dl_phdr_info* info, size_t, void*) {
        if (const TSystemKind kind = KindOfLibrary(info->dlpi_name); kind != TSystemKind::None) {
          const TModuleSpan span = LoadedSpan(info->dlpi_addr, info->dlpi_phdr, info->dlpi_phnum);
          qorb::rtl::AddSystemRange(span.Start, span.End, kind);
        }
        return 0;
      },
      nullptr);
  // The C library's own: a sanitizer's interceptor of the same name is not.
  void* libc = ::dlopen("libc.so.6", RTLD_NOLOAD | RTLD_LAZY);
  if (!libc) return;
  for (size_t i = 0; i < kLeafCount; ++i) {
    void* address = ::dlsym(libc, kLeafNames[i]);
    if (!address) continue;
    leafStarts[2 * i] = reinterpret_cast<uintptr_t>(address);
    dwarf_eh_bases bases{};
    if (_Unwind_Find_FDE(static_cast<char*>(address) + 1, &bases))
      leafStarts[2 * i + 1] = reinterpret_cast<uintptr_t>(bases.func);
  }
  ::dlclose(libc);
}

bool OnlyForeignFramesAbandoned(TFaultRecord& Fault) noexcept {
  TWalk walk;
  walk.FaultPc = Fault.Pc;
  const TSystemKind top = qorb::rtl::SystemCodeKind(Fault.Pc);
  // A jump to where no code is (a dangling function pointer) has no frame
  // the unwinder can read; the unwinder would fault reading that code.
  if (Fault.Access != TFaultRecord::TAccess::Execute) _Unwind_Backtrace(&Step, &walk);
  if (!walk.Started) {
    // The unwinder could not reach the faulting frame: judge by it alone.
    walk.SystemSeen = walk.SystemHeld = top == TSystemKind::Runtime;
    walk.SystemPc = Fault.Pc;
  }
  if (walk.SystemSeen && walk.SystemHeld) {
    Fault.InSystemCode = true;
    Fault.SystemPc = walk.SystemPc;
    Fault.SystemCaller = walk.Caller;
    return false;
  }
  // Frames past where the unwinder stopped, short of our code, are taken
  // to be foreign: plug-ins built without unwind data lose nothing by it.
  return true;
}
