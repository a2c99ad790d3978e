#pragma once
// Where the dialog appears: the simulated IDE shows it as a picture when it
// was asked for pictures, otherwise as text in a message box; without an
// IDE the text goes to standard output.
#include "examples/about/AboutData.h"

// False when the picture could not be written.
bool PresentAboutDialog(const TAboutData& AData);
