#include "ide/AboutBoxService.h"

#include <algorithm>

int32_t TAboutBoxService::AddPluginInfo(UnicodeStringRef Title, UnicodeStringRef Description, HBITMAP Image,
                                        bool IsUnregistered, UnicodeStringRef LicenseStatus,
                                        UnicodeStringRef SKUName, bool IsTrial) {
  std::lock_guard lock(lock_);
  const int32_t index = nextIndex_++;
  entries_.push_back({index, UnicodeString(Title), UnicodeString(Description), Image, IsUnregistered,
                      UnicodeString(LicenseStatus), UnicodeString(SKUName), IsTrial});
  return index;
}

void TAboutBoxService::RemovePluginInfo(int32_t Index) {
  std::lock_guard lock(lock_);
  std::erase_if(entries_, [Index](const TAboutBoxEntry& e) { return e.Index == Index; });
}

void TAboutBoxService::UpdatePluginInfo(int32_t Index, UnicodeStringRef Title, UnicodeStringRef Description) {
  std::lock_guard lock(lock_);
  for (TAboutBoxEntry& e : entries_) {
    if (e.Index != Index) continue;
    e.Title = UnicodeString(Title);
    e.Description = UnicodeString(Description);
  }
}

std::vector<TAboutBoxEntry> TAboutBoxService::Entries() const {
  std::lock_guard lock(lock_);
  return entries_;
}
