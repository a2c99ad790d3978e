#pragma once
// The IDE's main menu: the usual top-level items, and finding items in it.
#include <string_view>

class TMainMenu;
class TMenuItem;

// Adds File, Edit, Search, View, Refactor, Project, Run, Component, Tools,
// Window and Help, named FileMenu ... HelpMenu.
void BuildStandardMainMenu(TMainMenu& Menu);

// Depth first, by component name ignoring case; null when absent or empty.
TMenuItem* FindMenuItemByName(const TMainMenu& Menu, std::u16string_view Name);

// By captions from the top, "Qorb/About Qorb...": each step matches a
// caption ignoring case, as it stands or as shown (without accelerator
// marks: "&Tools" is "Tools", "R&&D" is "R&D"). Null when a step fails.
TMenuItem* FindMenuItemByPath(const TMainMenu& Menu, std::u16string_view Path);

// The item at Address anywhere below the menu's root, or null. Never reads
// through Address, so any pointer a plug-in passes is safe to ask about.
TMenuItem* FindMenuItemAt(const TMainMenu& Menu, const void* Address);
