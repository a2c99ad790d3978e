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

#include "vcl/ReadError.h"
#include "winapi/WinTypes.h"

class TComponent;

// AText is UTF-8. Text that is not a layout, or names what does not exist
// (a class, a property, a value), raises EReadError telling the line. The
// whole text is parsed before anything is made; components made before an
// error of the second kind stay owned by the root.
void ReadComponentLayout(std::string_view AText, TComponent& ARoot);

// The layout stored as the RCDATA resource AResName of AModule; false when
// the module has no such resource.
bool ReadComponentResource(HMODULE AModule, std::u16string_view AResName, TComponent& ARoot);
