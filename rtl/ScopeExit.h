#pragma once
// Runs a function when the scope is left, by return or by exception: the
// "finally" part of a try-finally.
#include <utility>

template <class F>
class TScopeExit {
 public:
  explicit TScopeExit(F AFunction) : FFunction(std::move(AFunction)) {}
  ~TScopeExit() { FFunction(); }
  TScopeExit(const TScopeExit&) = delete;
  TScopeExit& operator=(const TScopeExit&) = delete;

 private:
  F FFunction;
};
