#pragma once
// Designed layouts in the classic object-text form:
//
//   object WelcomeFrame: TWelcomeFrame
//     Width = 320
//     object lblTitle: TLabel
//       Caption = 'Loaded plug-ins'#13#10'and more'
//       Font.Style = [fsBold]
//     end
//     object lbPlugins: TListBox
//       Items.Strings = (
//         'first'
//         'second')
//     end
//   end
//
// The outer object is the root that is read into; every nested object is
// created by its class name, owned by the root and, when it is a control
// inside a windowed control, placed on it. An object without a name is
// written "object TLabel". Values: integers (decimal or $hex), strings
// ('..' with '' for a quote, #n and #$n character codes, joined with +),
// identifiers (enumeration values, True/False, colour names), sets
// [a, b], string lists ( .. ) and collections < item .. end >.
#include <string_view>

#include "rtl/Exception.h"
#include "winapi/WinTypes.h"

class TComponent;

// Raised for text that is not a layout or names what does not exist (a
// class, a property, a value); it tells the line. Components made before
// the error stay owned by the root.
class EReadError : public Exception {
 public:
  using Exception::Exception;
};

// AText is UTF-8.
void ReadComponentLayout(std::string_view AText, TComponent& ARoot);

// The layout stored as the RCDATA resource AResName of AModule; false when
// the module has no such resource.
bool ReadComponentResource(HMODULE AModule, std::u16string_view AResName, TComponent& ARoot);
