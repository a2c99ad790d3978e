#pragma once
// The message view as a person sees it: one group's lines, one row each, on
// the view's background in the IDE's font. Lines that draw themselves do
// so; the others are written in the window-text colour.
#include <string_view>

class TBitmap;
class TMessageGroup;
class TIDE;

// Paints Group into Bitmap, sizing it to fit.
void PaintMessageGroup(TIDE& Ide, const TMessageGroup& Group, TBitmap& Bitmap);
// The same, written as a PNG file.
void SaveMessageGroupPicture(TIDE& Ide, const TMessageGroup& Group, std::u16string_view FileName);
