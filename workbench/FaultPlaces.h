#pragma once
// Where in a plug-in's code each contained fault happened, as the crash
// report names it: the nearest symbol and the offset from it, found when the
// runtime tells of the exception, while the library is still loaded.
#include <mutex>
#include <string>
#include <utility>
#include <vector>

#include "rtl/ForeignCall.h"

class TFaultPlaces {
 public:
  TFaultPlaces();
  ~TFaultPlaces();
  TFaultPlaces(const TFaultPlaces&) = delete;
  TFaultPlaces& operator=(const TFaultPlaces&) = delete;

  // "at Symbol+0x001C in x.dll" for a fault the runtime raised as Note, or
  // "in x.dll, unloaded" for one in a library already gone; empty for other
  // exceptions or a place without a symbol.
  std::string PlaceOf(const TForeignExceptionNote& Note) const;

 private:
  static void Observe(void* Self, const TForeignExceptionNote& Note);
  mutable std::mutex lock_;
  // Message -> place, for the faults seen.
  std::vector<std::pair<std::u16string, std::string>> places_;
};
