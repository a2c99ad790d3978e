#pragma once
// qorb-ide --follow: each line the message view gains, written to a stream
// the moment it is added, so that nothing is lost when a run ends early.
#include <iosfwd>

class TIDE;

// Until the IDE goes. Lines come from any thread; each is written whole.
void FollowMessages(TIDE& Ide, std::ostream& Out);
