#pragma once
// IOTAAboutBoxServices: the add-ins' entries in the IDE's About box. The
// IDE keeps each entry's picture handle (it does not copy it) and draws
// from it whenever the box shows, so the add-in must keep it alive.
#include <mutex>
#include <vector>

#include "ide/IDEService.h"
#include "rtl/OwnMutex.h"
#include "toolsapi/AboutBoxServices.h"

struct TAboutBoxEntry {
  int32_t Index = -1;
  UnicodeString Title;
  UnicodeString Description;
  HBITMAP Image = nullptr;  // the add-in's
  bool IsUnregistered = false;
  UnicodeString LicenseStatus;
  UnicodeString SKUName;
  bool IsTrial = false;
};

class TAboutBoxService : public TIDEServiceOf<IOTAAboutBoxServices> {
 public:
  using TIDEServiceOf::TIDEServiceOf;

  int32_t AddPluginInfo(UnicodeStringRef Title, UnicodeStringRef Description, HBITMAP Image, bool IsUnregistered,
                        UnicodeStringRef LicenseStatus, UnicodeStringRef SKUName, bool IsTrial) override;
  void RemovePluginInfo(int32_t Index) override;
  void UpdatePluginInfo(int32_t Index, UnicodeStringRef Title, UnicodeStringRef Description) override;

  // The entries in the order they were added.
  std::vector<TAboutBoxEntry> Entries() const;

 private:
  mutable TMutex lock_;
  std::vector<TAboutBoxEntry> entries_;
  // Indexes are never reused, so a stale one cannot remove a newer entry.
  int32_t nextIndex_ = 0;
};
