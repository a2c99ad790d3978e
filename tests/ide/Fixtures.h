#pragma once
// The fixture packages and the journal, an IDE service, they note their steps in.
#include <filesystem>
#include <string>
#include <vector>

#include "ide/IDEService.h"
#include "rtl/UnicodeString.h"

struct IFixtureJournal : IInterface {
  using Base = IInterface;
  static constexpr GUID IID = MakeGuid("{D4F383CC-2461-4108-A747-893CC00838F0}");
  virtual void Add(UnicodeStringRef Event) = 0;
};

inline const std::filesystem::path GoodPackage = std::filesystem::path(QORB_IDE_FIXTURES) / "ide_fixture_Package.bpl";
inline const std::filesystem::path RaisingPackage =
    std::filesystem::path(QORB_IDE_FIXTURES) / "ide_fixture_Raising.bpl";
inline const std::filesystem::path MenuPackage = std::filesystem::path(QORB_IDE_FIXTURES) / "ide_fixture_Menu.bpl";

class TJournalService : public TIDEServiceOf<IFixtureJournal> {
 public:
  using TIDEServiceOf::TIDEServiceOf;
  void Add(UnicodeStringRef Event) override { Events.push_back(Event.ToUtf8()); }
  std::vector<std::string> Events;
};
