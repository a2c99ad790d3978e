#pragma once
// Foreign code that our objects keep to call later: an event handler, an
// object registered for look-ups. A holder says so with a TForeignHold for
// as long as it keeps it. Whoever names what a library left behind when it
// goes (a debugger, qorb-ide) lists the holds; the holders name nothing.
#include <string>
#include <vector>

#include "rtl/Guid.h"

namespace qorb::rtl {

enum class THoldKind { Subscription, Registration };

struct THeldCode {
  THoldKind Kind;
  // Where the kept code lies: a handler, the first slot of a method table.
  const void* Code;
  // A subscription's handler name and event identifier; empty otherwise.
  std::string Name;
  GUID Event;
};

class TForeignHold {
 public:
  explicit TForeignHold(THeldCode Held);
  ~TForeignHold();
  TForeignHold(const TForeignHold&) = delete;
  TForeignHold& operator=(const TForeignHold&) = delete;

 private:
  friend std::vector<THeldCode> ForeignHolds();
  THeldCode held_;
  TForeignHold* prev_ = nullptr;
  TForeignHold* next_ = nullptr;
};

// Every hold alive now, oldest first. Any thread.
std::vector<THeldCode> ForeignHolds();

}  // namespace qorb::rtl
