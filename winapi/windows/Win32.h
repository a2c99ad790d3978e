#pragma once
// The real Windows functions behind the platform layer, with plain types:
// the files that implement our declarations cannot include the system's
// windows.h, whose types (wchar_t text, pointer handles) are not ours.
// Text crosses as char16_t, which is wchar_t's layout on Windows.
#include <cstdint>
#include <string>

namespace qorb::win32 {

uint32_t LastError() noexcept;
void SetLastError(uint32_t Code) noexcept;
// The system's text for an error code, without the line break it ends with;
// empty when it has none.
std::u16string ErrorText(uint32_t Code);

uintptr_t LoadModule(const char16_t* Path, uint32_t Flags) noexcept;
bool FreeLibrary(uintptr_t Module) noexcept;
void* ProcAddress(uintptr_t Module, const char* Name) noexcept;
// Full path of a loaded module (0: the program); empty on failure.
std::u16string ModuleFileName(uintptr_t Module);
// The module whose image holds Address, without a reference; 0 when none.
uintptr_t ModuleHolding(const void* Address) noexcept;
// One past the last byte of a mapped module's image.
uintptr_t ImageEnd(uintptr_t Module) noexcept;

void* FindResourceOf(uintptr_t Module, const char16_t* Name, const char16_t* Type) noexcept;
void* LoadResource(uintptr_t Module, void* Resource) noexcept;
uint32_t SizeofResource(uintptr_t Module, void* Resource) noexcept;
void* LockResource(void* Data) noexcept;

uint32_t FileVersionInfoSize(const char16_t* Path, uint32_t* Handle) noexcept;
bool FileVersionInfo(const char16_t* Path, uint32_t Handle, uint32_t Length, void* Data) noexcept;
bool QueryVersionValue(const void* Block, const char16_t* SubBlock, void** Buffer, unsigned* Length) noexcept;

}  // namespace qorb::win32

namespace qorb::win32 {

// Message-only windows of one class of ours; each carries Data for the
// window procedure, which hands sent messages to Deliver.
using TDeliver = intptr_t (*)(void* Data, unsigned Msg, uintptr_t WParam, intptr_t LParam);
void* CreateMessageWindow(TDeliver Deliver, void* Data) noexcept;
bool DestroyWindow(void* Window) noexcept;
bool IsWindow(void* Window) noexcept;
bool PostToWindow(void* Window, unsigned Msg, uintptr_t WParam, intptr_t LParam) noexcept;
intptr_t DefaultWindowProc(void* Window, unsigned Msg, uintptr_t WParam, intptr_t LParam) noexcept;
bool PostToThread(uint32_t Thread, unsigned Msg, uintptr_t WParam, intptr_t LParam) noexcept;
uint32_t CurrentThreadId() noexcept;

struct TPosted {
  void* Window;
  unsigned Msg;
  uintptr_t WParam;
  intptr_t LParam;
};
// Whether a posted message waits on the calling thread's queue.
bool AnyPosted() noexcept;
// Takes the oldest posted message of the calling thread; false when none.
bool TakePosted(TPosted& Message) noexcept;
// Hands a message that is not for one of our windows to its window.
void Dispatch(const TPosted& Message) noexcept;
// Waits until a posted message is waiting, seen or not; true when one is.
bool WaitForPosted(uint32_t TimeoutMs) noexcept;

// Bitmaps: the system's records share our layout.
void* CreateDIBSection(const void* Info, unsigned Usage, void** Bits) noexcept;
bool DeleteObject(void* Object) noexcept;
int ObjectInfo(void* Object, int Size, void* Out) noexcept;
// Return addresses of the calling thread's stack, innermost first.
unsigned CaptureStack(unsigned Skip, unsigned Count, void** Frames) noexcept;

}  // namespace qorb::win32
