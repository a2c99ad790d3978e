#include "workbench/FaultPlaces.h"

#include <cstdio>
#include <regex>

#include "workbench/FileNamePart.h"
#include "workbench/PluginThreads.h"
#include "workbench/SignalSafeSymbols.h"

TFaultPlaces::TFaultPlaces() { AddForeignExceptionObserver(&Observe, this); }

TFaultPlaces::~TFaultPlaces() { RemoveForeignExceptionObserver(&Observe, this); }

void TFaultPlaces::Observe(void* Self, const TForeignExceptionNote& Note) {
  // The runtime's text for a fault: "... at address 00007F12345678AB ...".
  static const std::regex address("at address ([0-9A-F]{16})");
  try {
    const std::string message = Note.Message.ToUtf8();
    std::smatch found;
    if (!std::regex_search(message, found, address)) return;
    auto& self = *static_cast<TFaultPlaces*>(Self);
    const std::lock_guard guard(self.lock_);  // the symbol reader's buffers are shared
    static TCodePlace place;
    const uintptr_t at = std::stoull(found[1].str(), nullptr, 16);
    if (!FindCodePlace(at, place)) {
      if (const char* gone = UnloadedLibraryAt(at)) {
        const std::string library = gone;
        self.places_.emplace_back(std::u16string(Note.Message.view()),
                                  "in " + std::string(FileNamePart(library)) + ", unloaded");
      }
      return;
    }
    if (!place.Symbol[0]) return;
    const std::string module = place.Module;
    char offset[24];
    std::snprintf(offset, sizeof offset, "+0x%04zX", static_cast<size_t>(place.Offset));
    self.places_.emplace_back(std::u16string(Note.Message.view()), "at " + std::string(place.Symbol) + offset +
                                                                        " in " + std::string(FileNamePart(module)));
  } catch (...) {
    // Observers must not raise; the entry is then listed without its place.
  }
}

std::string TFaultPlaces::PlaceOf(const TForeignExceptionNote& Note) const {
  const std::lock_guard guard(lock_);
  for (const auto& [message, place] : places_)
    if (message == Note.Message.view()) return place;
  return {};
}
