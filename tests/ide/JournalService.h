#pragma once
// The journal a fixture package writes to, as one more IDE service.
#include <string>
#include <vector>

#include "ide/IDEService.h"
#include "tests/ide/fixtures/Journal.h"

class TJournalService : public TIDEServiceOf<IFixtureJournal> {
 public:
  using TIDEServiceOf::TIDEServiceOf;
  void Add(UnicodeStringRef Event) override { Events.push_back(Event.ToUtf8()); }
  std::vector<std::string> Events;
};
