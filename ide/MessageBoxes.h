#pragma once
// Message boxes the IDE showed: kept in order so that people (qorb-ide) and
// tests can see them. Any thread may show one.
#include <cstdint>
#include <mutex>
#include <vector>

#include "rtl/OwnMutex.h"
#include "rtl/UnicodeString.h"

struct TShownMessageBox {
  UnicodeString Caption;
  UnicodeString Text;
  uint32_t Type = 0;  // MB_* flags as passed
};

class TMessageBoxLog {
 public:
  // Records the box; answers the button a user would press first: OK (1).
  int32_t Show(UnicodeStringRef Text, UnicodeStringRef Caption, uint32_t Type);
  std::vector<TShownMessageBox> Shown() const;
  void Clear();

 private:
  mutable TMutex lock_;
  std::vector<TShownMessageBox> shown_;
};
