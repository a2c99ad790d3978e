#pragma once
// Names what unloaded plug-ins left behind by the library its code came
// from: menu items by the handler they would call, hidden windows by their
// message handler, GDI objects by the code that made them. Only code of a
// library that has gone counts; what the IDE or the package made is not a
// plug-in's leftover.
#include <set>
#include <string>
#include <vector>

#include "rtl/UnicodeString.h"

class TMenuItem;

// " (in x.dll, unloaded)" for code that lay in an unloaded library; else "".
std::string UnloadedCodeNote(const void* Code);

// Menu items under Root that were not there at start (AtStart), one line
// each: the caption path and, when its click handler lay in an unloaded
// library, that library.
std::vector<UnicodeString> MenuLeftovers(const TMenuItem& Root, const std::set<const TMenuItem*>& AtStart);

// Items under Root whose click handler lay in the library at Path, which
// has just been unloaded; one line each, naming the item and the library.
std::vector<UnicodeString> DanglingMenuItems(const TMenuItem& Root, const std::string& Path);

// ": 2 made by x.dll, 1 by y.dll" for the live windows or GDI objects whose
// code lay in unloaded libraries; "" when none of them is a plug-in's.
std::string WindowOwners();
std::string GdiObjectOwners();
