#pragma once
// One observer of this layer's module calls (loading, freeing, version and
// resource reads), told what each call was about, how long it took on a
// monotonic clock and how it ended. A debugger's module window or a profiler
// is such an observer; the calls behave the same with or without one.
#include <chrono>
#include <string_view>

#include "winapi/WinTypes.h"

namespace qorb::winapi {

enum class ModuleCall { Probe, Load, Free, VersionSize, VersionRead, FindResource, LoadResource };

struct ModuleCallReport {
  ModuleCall Call;
  // The file, as given: Path for loads, WidePath for version reads; both
  // empty when only the module is known.
  std::string_view Path;
  std::u16string_view WidePath;
  HMODULE Module;         // what the call answered or was given; 0 if none
  std::chrono::steady_clock::time_point Start;
  std::chrono::nanoseconds Elapsed;
  bool Succeeded;  // set for probes, loads and frees
  // For a failed load: the loader's own text, naming what was missing.
  std::string_view LoaderError;
  // Free: the module's code went out of the process with this call.
  bool Unloaded = false;
};

class ModuleCallObserver {
 public:
  // Called on the thread that made the call, outside this layer's lock.
  // Must not throw and must not call back into module functions.
  virtual void OnModuleCall(const ModuleCallReport& Report) noexcept = 0;

 protected:
  ~ModuleCallObserver() = default;
};

// Installs Observer (null: none) and answers the previous one.
ModuleCallObserver* SetModuleCallObserver(ModuleCallObserver* Observer) noexcept;
ModuleCallObserver* CurrentModuleCallObserver() noexcept;

// Times one call from construction to destruction and reports it, when an
// observer is installed.
// Whether a module is still mapped at Base.
bool IsModuleMappedAt(HMODULE Base) noexcept;

class ModuleCallTimer {
 public:
  explicit ModuleCallTimer(ModuleCall Call) noexcept;
  ~ModuleCallTimer();
  ModuleCallTimer(const ModuleCallTimer&) = delete;
  ModuleCallTimer& operator=(const ModuleCallTimer&) = delete;

  ModuleCallReport& Report() noexcept { return report_; }
  // A load's or a probe's outcome; the texts must outlive the timer.
  void Answered(std::string_view Path, HMODULE Module, std::string_view LoaderError) noexcept {
    report_.Path = Path;
    report_.Module = Module;
    report_.Succeeded = Module != 0;
    report_.LoaderError = LoaderError;
  }

 private:
  ModuleCallObserver* observer_;
  ModuleCallReport report_{};
};

}  // namespace qorb::winapi
