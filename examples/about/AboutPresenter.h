#pragma once
// Where the dialog appears: as text in a message box, and in the simulated
// IDE also as a picture when it was asked for pictures; without an IDE the
// text goes to standard output.
#include "examples/about/AboutData.h"

// False when the picture could not be written.
bool PresentAboutDialog(const TAboutData& AData);
