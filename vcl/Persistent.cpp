#include "vcl/Persistent.h"

#include "rtl/Exception.h"
#include "rtl/Format.h"

void TPersistent::Assign(const TPersistent& Source) { Source.AssignTo(*this); }

void TPersistent::AssignTo(TPersistent& Dest) const {
  throw EConvertError(Format(u"Cannot assign a %s to a %s.", {ClassName(), Dest.ClassName()}));
}
