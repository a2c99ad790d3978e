#pragma once
// What qorb-ide shows of the message view and how it sets the IDE's theme.
#include <string>
#include <string_view>

class TIDE;

// The "Qorb" group as the view shows it, one line each under the heading
// "Messages (Qorb)"; a line's own line breaks continue indented. Empty
// when the group does not exist.
std::string FormatQorbMessages(TIDE& Ide);
// messages.png in the IDE's pictures folder, when there is one and the
// group exists; a failure to write it is reported.
void SaveMessageViewPicture(TIDE& Ide);
// "light", "dark" or "off" (theming switched off); false for anything else.
bool SetIDETheme(TIDE& Ide, std::string_view Theme);
