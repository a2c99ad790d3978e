#include "winapi/MessageBox.h"

#include <cstdio>
#include <mutex>

#include "rtl/OwnMutex.h"
#include "rtl/UnicodeString.h"

namespace {

TMutex lock;
TMessageBoxHandler handler;

}  // namespace

TMessageBoxHandler SetMessageBoxHandler(TMessageBoxHandler Handler) noexcept {
  std::lock_guard<TMutex> guard(lock);
  TMessageBoxHandler old = handler;
  handler = Handler;
  return old;
}

int MessageBoxW(HWND hWnd, LPCWSTR text, LPCWSTR caption, UINT type) {
  TMessageBoxHandler current;
  {
    std::lock_guard<TMutex> guard(lock);
    current = handler;
  }
  if (current.Assigned()) return current(hWnd, text ? text : u"", caption ? caption : u"Error", type);
  std::fprintf(stderr, "%s: %s\n", Utf16ToUtf8(caption ? caption : u"Error").c_str(),
               Utf16ToUtf8(text ? text : u"").c_str());
  return (type & 0xF) == MB_YESNO ? IDYES : IDOK;
}
