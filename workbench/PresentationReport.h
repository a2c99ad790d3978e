#pragma once
// What qorb-ide shows of add-ins beyond the menu: the welcome page (once
// opened), the splash-screen and About-box entries, and options pages.
#include <string>
#include <vector>

class TIDE;

// Opens the welcome page: every content plug-in is asked for its view.
void OpenWelcomePage(TIDE& Ide);

// The sections in the order a person looks at them, each after an empty
// line; sections without entries are left out (the welcome page only when
// it was opened).
std::string FormatPresentation(TIDE& Ide, bool WelcomePageOpened);

// welcome-page.png (when opened), splash-screen.png and about-box.png (when
// they have entries) in the IDE's pictures folder; nothing without one. One
// that cannot be written is reported and the others are still written.
void SavePresentationPictures(TIDE& Ide, bool WelcomePageOpened);

// Opens each page (AREA/CAPTION), confirms and closes it; its picture goes
// to options-AREA-CAPTION.png in the pictures folder. Answers the text, and
// adds an error line for each page that does not exist.
std::string ShowOptionsPages(TIDE& Ide, const std::vector<std::string>& Pages, std::vector<std::string>& Errors);
