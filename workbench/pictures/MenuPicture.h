#pragma once
// The main menu as a person sees it with one menu open: the bar with the
// top-level captions, the open one highlighted, and its drop-down under it
// (captions, separators, disabled items greyed, an arrow where a sub-menu
// opens). What --pictures writes as menu.png, with the "Qorb" menu open.
#include <string_view>

class TBitmap;
class TIDE;
class TMainMenu;

// Open: the caption of the top-level menu to open, matched as
// FindMenuItemByPath matches; nothing opens when there is none.
void PaintMainMenu(const TMainMenu& Menu, std::u16string_view Open, TBitmap& Bitmap);

// menu.png in the IDE's pictures folder, the "Qorb" menu open; nothing when
// no pictures are asked for.
void SaveMainMenuPicture(TIDE& Ide);
