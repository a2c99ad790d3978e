#pragma once
// The welcome page as a person sees it: each visible content plug-in's view
// (its caption strip over its content), one under the other, on the page's
// background. Opening the page first asks the plug-ins for their views.
#include <string>
#include <string_view>

class TBitmap;
class TIDE;

void PaintWelcomePage(TIDE& Ide, TBitmap& Bitmap);
void SaveWelcomePagePicture(TIDE& Ide, std::u16string_view FileName);

// As text: a heading, then per plug-in its name and, indented, what its
// view shows: the visible labels' texts and each list's row count.
std::string FormatWelcomePage(TIDE& Ide);
