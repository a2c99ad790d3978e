#pragma once
// Colours that follow the IDE's theme: a colour the host's drawing wants
// (usually a system colour) becomes the colour the active IDE style paints
// it with; without IDE theming the caller's fallback is used.
#include "vcl/Colors.h"

TColor QorbThemeColor(TColor AColor, TColor AFallback);
// The colour is its own fallback.
TColor QorbThemeColor(TColor AColor);
