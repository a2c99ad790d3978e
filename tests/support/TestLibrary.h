#pragma once
// A library a test loads by hand with the platform's own calls, not ours,
// so that the runtime's tests need nothing of the platform layer. Includes
// the system's windows.h on Windows: not for tests that use our winapi/.
#include <string>

#if defined(_WIN32)
#include <windows.h>
#else
#include <dlfcn.h>
#endif

class TTestLibrary {
 public:
  explicit TTestLibrary(const char* Path, bool Unload = true) : unload_(Unload) {
#if defined(_WIN32)
    handle_ = ::LoadLibraryA(Path);
#else
    handle_ = ::dlopen(Path, RTLD_NOW | RTLD_LOCAL);
#endif
  }
  ~TTestLibrary() {
    if (!handle_ || !unload_) return;
#if defined(_WIN32)
    ::FreeLibrary(handle_);
#else
    ::dlclose(handle_);
#endif
  }
  TTestLibrary(const TTestLibrary&) = delete;
  TTestLibrary& operator=(const TTestLibrary&) = delete;

  template <class F>
  F Get(const char* Name) const {
#if defined(_WIN32)
    return reinterpret_cast<F>(reinterpret_cast<void*>(::GetProcAddress(handle_, Name)));
#else
    return reinterpret_cast<F>(::dlsym(handle_, Name));
#endif
  }

 private:
#if defined(_WIN32)
  HMODULE handle_;
#else
  void* handle_;
#endif
  bool unload_;
};
