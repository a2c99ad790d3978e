#pragma once
// A visual style's colours: what the IDE paints with when it themes its
// windows. Reached through the theming services; the object belongs to the
// IDE and lives as long as the IDE does.
#include "rtl/Object.h"
#include "rtl/UnicodeString.h"
#include "vcl/Colors.h"

class TCustomStyleServices : public TObject {
 public:
  // A system colour becomes the style's colour for it; any other colour
  // comes back unchanged.
  virtual TColor GetSystemColor(TColor Color) const = 0;
  virtual UnicodeString Name() const = 0;
};
