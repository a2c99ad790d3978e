#pragma once
// qorb-ide --follow: each line the message view gains, written to a stream
// the moment it is added, so that a run that ends early in a crash still
// shows it. Lines logged during shut-down never reach the view.
#include <iosfwd>

class TIDE;

// Until the IDE goes. Lines come from any thread; each is written whole.
void FollowMessages(TIDE& Ide, std::ostream& Out);
