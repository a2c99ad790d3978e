#include "rtl/windows/SystemFrames.h"

#include <psapi.h>
#include <winternl.h>

#include <algorithm>
#include <atomic>
#include <cstring>
#include <iterator>
#include <cwchar>
#include <string_view>

#include "rtl/OwnModules.h"

namespace {

using qorb::rtl::TSystemKind;

constexpr int kMaxFrames = 1 << 16;

wchar_t windowsFolder[MAX_PATH];
size_t windowsFolderLength = 0;

bool StartsWithNoCase(std::wstring_view text, std::wstring_view prefix) {
  return text.size() >= prefix.size() && ::_wcsnicmp(text.data(), prefix.data(), prefix.size()) == 0;
}

TSystemKind KindOfModule(std::wstring_view path) {
  const std::wstring_view folder(windowsFolder, windowsFolderLength);
  if (!folder.empty() && path.size() > folder.size() && StartsWithNoCase(path, folder) &&
      (path[folder.size()] == L'\\' || path[folder.size()] == L'/'))
    return TSystemKind::Runtime;
  // The compiler's runtime libraries that take locks; its C++ library's
  // code is mostly the plug-in's own, from its headers.
  for (std::wstring_view runtime : {L"libgcc_s", L"libwinpthread"})
    if (StartsWithNoCase(ModuleFileName(path), runtime)) return TSystemKind::Runtime;
  return TSystemKind::None;
}

// The memory and string functions of the C runtimes and the system: they
// take no lock, though some go on in a helper of their own (memcpy).
constexpr const char* kLeafNames[] = {
    "memcpy",  "memmove", "memset",  "memcmp",  "memchr",  "strlen",  "strnlen", "strcmp",        "strncmp",
    "strcpy",  "strncpy", "strcat",  "strncat", "strchr",  "strrchr", "strspn",  "strcspn",       "strpbrk",
    "strstr",  "wcslen",  "wcsnlen", "wcscmp",  "wcsncmp", "wcschr",  "wcsrchr", "wcscpy",        "wcsncpy",
    "wcscat",  "wmemcpy", "wmemset", "wmemchr", "RtlCopyMemory", "RtlMoveMemory", "RtlFillMemory",
    "RtlZeroMemory", "RtlCompareMemory"};
constexpr std::wstring_view kLeafModules[] = {L"msvcrt.dll", L"ucrtbase.dll", L"ntdll.dll"};
constexpr size_t kMaxLeaves = 4 * std::size(kLeafNames);
std::atomic<uintptr_t> leafStarts[kMaxLeaves];
std::atomic<size_t> leafCount{0};

// A function the module at Base exports by Name, read from its export
// directory (no call into the loader, which may be telling of it now);
// 0 for none or a forwarder.
uintptr_t Exported(uintptr_t base, const char* name) noexcept {
  const auto* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(base);
  const auto* nt = reinterpret_cast<const IMAGE_NT_HEADERS*>(base + static_cast<uintptr_t>(dos->e_lfanew));
  const IMAGE_DATA_DIRECTORY& directory = nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_EXPORT];
  if (!directory.VirtualAddress) return 0;
  const auto* exports = reinterpret_cast<const IMAGE_EXPORT_DIRECTORY*>(base + directory.VirtualAddress);
  const auto* names = reinterpret_cast<const DWORD*>(base + exports->AddressOfNames);
  const auto* ordinals = reinterpret_cast<const WORD*>(base + exports->AddressOfNameOrdinals);
  const auto* functions = reinterpret_cast<const DWORD*>(base + exports->AddressOfFunctions);
  for (DWORD i = 0; i < exports->NumberOfNames; ++i) {
    if (std::strcmp(reinterpret_cast<const char*>(base + names[i]), name) != 0) continue;
    const DWORD rva = functions[ordinals[i]];
    const bool forwarded = rva >= directory.VirtualAddress && rva < directory.VirtualAddress + directory.Size;
    return forwarded ? 0 : base + rva;
  }
  return 0;
}

void NoteLeaves(std::wstring_view path, uintptr_t base) noexcept {
  const std::wstring_view name = ModuleFileName(path);
  if (std::none_of(std::begin(kLeafModules), std::end(kLeafModules),
                   [&](std::wstring_view m) { return m.size() == name.size() && StartsWithNoCase(name, m); }))
    return;
  for (const char* leaf : kLeafNames) {
    const uintptr_t start = Exported(base, leaf);
    const size_t at = leafCount.load(std::memory_order_relaxed);
    if (!start || at >= kMaxLeaves) continue;
    leafStarts[at].store(start, std::memory_order_relaxed);
    leafCount.store(at + 1, std::memory_order_release);
  }
}

bool IsLeafStart(uintptr_t start) noexcept {
  const size_t count = leafCount.load(std::memory_order_acquire);
  for (size_t i = 0; i < count; ++i)
    if (leafStarts[i].load(std::memory_order_relaxed) == start) return true;
  return false;
}

// A function that saves no register and moves no stack pointer calls
// nothing, so takes no lock: abandoning it abandons nothing.
bool IsLeaf(const RUNTIME_FUNCTION* function, DWORD64 base) noexcept {
  if (!function) return true;
  if (IsLeafStart(base + function->BeginAddress)) return true;
  const auto* info = reinterpret_cast<const unsigned char*>(base + function->UnwindData);
  constexpr unsigned char kChained = 4;
  return info[2] == 0 && ((info[0] >> 3) & kChained) == 0;
}

// What the loader tells of each library it maps or unmaps, while it holds
// its lock.
struct TDllNotification {
  ULONG Flags;
  const UNICODE_STRING* FullDllName;
  const UNICODE_STRING* BaseDllName;
  void* DllBase;
  ULONG SizeOfImage;
};
using TDllNotify = VOID(CALLBACK*)(ULONG Reason, const TDllNotification* Data, void* Context);
using TRegisterDllNotification = LONG(NTAPI*)(ULONG Flags, TDllNotify Notify, void* Context, void** Cookie);
constexpr ULONG kDllLoaded = 1;
constexpr ULONG kDllUnloaded = 2;

void Note(std::wstring_view path, uintptr_t base, uintptr_t size) {
  const TSystemKind kind = KindOfModule(path);
  if (kind == TSystemKind::None) return;
  NoteLeaves(path, base);
  qorb::rtl::AddSystemRange(base, base + size, kind);
}

VOID CALLBACK OnDll(ULONG reason, const TDllNotification* data, void*) {
  const auto base = reinterpret_cast<uintptr_t>(data->DllBase);
  if (reason == kDllUnloaded) {
    qorb::rtl::RemoveSystemRange(base);
  } else if (reason == kDllLoaded && data->FullDllName && data->FullDllName->Buffer) {
    Note({data->FullDllName->Buffer, data->FullDllName->Length / sizeof(wchar_t)}, base, data->SizeOfImage);
  }
}

}  // namespace

std::wstring_view ModuleFileName(std::wstring_view Path) noexcept {
  const size_t slash = Path.find_last_of(L"\\/");
  return slash == std::wstring_view::npos ? Path : Path.substr(slash + 1);
}

void MarkSystemModules() {
  const UINT length = ::GetWindowsDirectoryW(windowsFolder, MAX_PATH);
  windowsFolderLength = length < MAX_PATH ? length : 0;
  if (auto* registerNotification = reinterpret_cast<TRegisterDllNotification>(reinterpret_cast<void*>(
          ::GetProcAddress(::GetModuleHandleW(L"ntdll.dll"), "LdrRegisterDllNotification")))) {
    void* cookie = nullptr;
    registerNotification(0, &OnDll, nullptr, &cookie);
  }
  HMODULE modules[1024];
  DWORD needed = 0;
  if (!::K32EnumProcessModules(::GetCurrentProcess(), modules, sizeof modules, &needed)) return;
  const size_t count = std::min<size_t>(needed / sizeof(HMODULE), 1024);
  for (size_t i = 0; i < count; ++i) {
    wchar_t path[MAX_PATH * 2];
    const DWORD n = ::GetModuleFileNameW(modules[i], path, MAX_PATH * 2);
    MODULEINFO info{};
    if (n == 0 || n >= MAX_PATH * 2 || !::K32GetModuleInformation(::GetCurrentProcess(), modules[i], &info, sizeof info))
      continue;
    Note({path, n}, reinterpret_cast<uintptr_t>(info.lpBaseOfDll), info.SizeOfImage);
  }
}

bool OnlyForeignFramesAbandoned(const CONTEXT& Context, uintptr_t StackLow, uintptr_t StackHigh,
                                TFaultRecord& Fault) noexcept {
  CONTEXT frame = Context;
  bool seen = false;
  bool held = false;
  // The system frames the fault is in, innermost first: a leaf holds
  // nothing, and nor does a leaf function's helper of its own (memcpy goes
  // on in another function); any other system frame may.
  bool innermost = true;
  bool innermostLeaves = true;
  bool calledLeaf = false;  // the last of them is a leaf function
  auto innermostRunHolds = [&] { return innermost && seen && !innermostLeaves && !calledLeaf; };
  uintptr_t systemPc = 0;
  uintptr_t caller = 0;
  for (int index = 0; index < kMaxFrames; ++index) {
    const auto ip = static_cast<uintptr_t>(frame.Rip);
    const auto sp = static_cast<uintptr_t>(frame.Rsp);
    if (!ip || sp < StackLow || sp + sizeof(DWORD64) > StackHigh) break;
    // A return address points after its call: look the call up.
    const uintptr_t pc = index == 0 ? ip : ip - 1;
    if (qorb::rtl::IsOwnCode(pc)) break;
    DWORD64 base = 0;
    PRUNTIME_FUNCTION function = ::RtlLookupFunctionEntry(pc, &base, nullptr);
    const TSystemKind kind = qorb::rtl::SystemCodeKind(pc);
    if (kind == TSystemKind::Runtime) {
      // The outermost one, in the end: what foreign code called.
      if (!caller) systemPc = pc;
      seen = true;
      if (!innermost) {
        held = true;
      } else {
        calledLeaf = function ? IsLeafStart(base + function->BeginAddress) : false;
        innermostLeaves = innermostLeaves && IsLeaf(function, base);
      }
    } else if (kind == TSystemKind::None) {
      held = held || innermostRunHolds();
      innermost = false;
      if (seen && !caller) caller = pc;
      // Past the system code and its caller: nothing more to learn.
      if (held) break;
    }
    if (!function) {
      frame.Rip = *reinterpret_cast<const DWORD64*>(sp);
      frame.Rsp += sizeof(DWORD64);
    } else {
      void* handlerData = nullptr;
      DWORD64 establisher = 0;
      ::RtlVirtualUnwind(UNW_FLAG_NHANDLER, base, ip, function, &frame, &handlerData, &establisher, nullptr);
    }
  }
  // The walk ended inside them (the stack's end, or our code).
  held = held || innermostRunHolds();
  if (seen && held) {
    Fault.InSystemCode = true;
    Fault.SystemPc = systemPc;
    Fault.SystemCaller = caller;
    return false;
  }
  // Frames past where the walk stopped, short of our code, are taken to be
  // foreign: plug-ins built without unwind data lose nothing by it.
  return true;
}
