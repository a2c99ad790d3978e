#pragma once
// Callbacks bound to an object: two words, code then object; the code is
// called with the object word first, then the arguments.
#include <cstdint>
#include <utility>

template <class Fn>
struct TMethodOf;

template <class R, class... A>
struct TMethodOf<R(A...)> {
  using CodeType = R (*)(void* Self, A...);
  CodeType Code = nullptr;
  void* Data = nullptr;

  R operator()(A... a) const { return Code(Data, std::forward<A>(a)...); }
  bool Assigned() const noexcept { return Code != nullptr; }
};

namespace method_detail {
template <auto MemFn>
struct Thunk;
template <class C, class R, class... A, R (C::*F)(A...)>
struct Thunk<F> {
  using Sig = R(A...);
  using Class = C;
  static R Call(void* self, A... a) { return (static_cast<C*>(self)->*F)(std::forward<A>(a)...); }
};
}  // namespace method_detail

// BindMethod<&TFoo::Bar>(foo): the pair (thunk calling foo->Bar, foo).
template <auto MemFn>
auto BindMethod(typename method_detail::Thunk<MemFn>::Class* obj) {
  using T = method_detail::Thunk<MemFn>;
  TMethodOf<typename T::Sig> m;
  m.Code = &T::Call;
  m.Data = obj;
  return m;
}
