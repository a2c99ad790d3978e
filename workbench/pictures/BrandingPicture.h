#pragma once
// The add-ins' entries on the splash screen and in the About box as a person
// sees them: one entry under the other, picture on the left, title and
// version beside it; the About box adds each description's lines.
#include <memory>
#include <string>
#include <string_view>

class TBitmap;
class TIDE;

void PaintSplashScreen(TIDE& Ide, TBitmap& Bitmap);
void PaintAboutBox(TIDE& Ide, TBitmap& Bitmap);
void SaveSplashScreenPicture(TIDE& Ide, std::u16string_view FileName);
void SaveAboutBoxPicture(TIDE& Ide, std::u16string_view FileName);

// The same as text: a heading, then an indented line per entry (and per
// description line). Empty when there are no entries.
std::string FormatSplashScreen(TIDE& Ide);
std::string FormatAboutBox(TIDE& Ide);

// A copy of the pixels behind a live 24 or 32-bit bitmap handle; null for
// anything else. The handle stays the caller's.
std::unique_ptr<TBitmap> CopyBitmapHandle(void* Handle);
