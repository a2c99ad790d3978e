#pragma once
// The host's frames read their designed layouts from the package's own
// resources, named after the frame's class in capitals.
#include <string_view>

#include "rtl/Format.h"
#include "vcl/Classes.h"

class EResNotFound : public Exception {
 public:
  using Exception::Exception;
};

// Reads the layout AResName into ARoot; EResNotFound when the package does
// not carry it.
void ReadDesignedLayout(TComponent& ARoot, std::u16string_view AResName);

// The designed component AName of ARoot as a T; EComponentError when the
// layout has no such component of that class.
template <class T>
T* DesignedComponent(TComponent& ARoot, std::u16string_view AName) {
  if (auto* c = dynamic_cast<T*>(ARoot.FindComponent(AName))) return c;
  throw EComponentError(Format(u"The layout of %s has no component %s", {ARoot.ClassName(), AName}));
}
