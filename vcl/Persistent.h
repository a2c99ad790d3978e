#pragma once
// Objects that can copy themselves from one another with Assign.
#include "rtl/Object.h"

class TPersistent : public TObject {
 public:
  // Copies Source into this object. The default asks Source to do it
  // (AssignTo); a pair that cannot be copied raises EConvertError.
  virtual void Assign(const TPersistent& Source);

 protected:
  virtual void AssignTo(TPersistent& Dest) const;
};
