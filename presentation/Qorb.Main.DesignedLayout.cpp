#include "presentation/Qorb.Main.DesignedLayout.h"

#include "vcl/LayoutReader.h"
#include "winapi/Modules.h"

void ReadDesignedLayout(TComponent& ARoot, std::u16string_view AResName) {
  // HInstance() here is the module these units are linked into: the package.
  if (!ReadComponentResource(HInstance(), AResName, ARoot))
    throw EResNotFound(Format(u"Resource %s not found", {UnicodeString(AResName)}));
}
