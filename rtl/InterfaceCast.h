#pragma once
// "obj as IFoo": the interface or an EIntfCastError.
#include "rtl/ComPtr.h"
#include "rtl/Exception.h"

template <class U, class T>
ComPtr<U> InterfaceCast(T* obj) {
  ComPtr<U> r;
  if (!Supports(obj, r)) throw EIntfCastError(UnicodeString(u"Interface not supported"));
  return r;
}
template <class U, class T>
ComPtr<U> InterfaceCast(const ComPtr<T>& obj) {
  return InterfaceCast<U>(obj.get());
}
