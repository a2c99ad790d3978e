#pragma once
// The environment a test sets for the code it runs.
#include <cstdlib>

inline void SetTestEnv(const char* Name, const char* Value) {
#if defined(_WIN32)
  ::_putenv_s(Name, Value);
#else
  ::setenv(Name, Value, 1);
#endif
}

inline void UnsetTestEnv(const char* Name) {
#if defined(_WIN32)
  ::_putenv_s(Name, "");
#else
  ::unsetenv(Name);
#endif
}
