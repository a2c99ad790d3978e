#pragma once
// The IDE's services object. It has no operations of its own: every service
// is reached by asking it for that service's interface.
#include "rtl/Interface.h"

struct IBorlandIDEServices : IInterface {
  using Base = IInterface;
  static constexpr GUID IID = MakeGuid("{BCD7B314-079C-4533-8CD2-4DB04FF43641}");
};
