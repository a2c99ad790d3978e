#pragma once
// The main menu as people read it: one item a line, two spaces of indent per
// level, the caption as it stands and a separator as "-".
#include <string>

class TMainMenu;

std::string FormatMenuTree(const TMainMenu& Menu);
