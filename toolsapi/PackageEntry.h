#pragma once
// The entry points a package exports and the IDE calls. After loading the
// library the IDE calls Initialize (the units' initialisation, in order),
// then Register. At unload it releases the package's wizards, then calls
// Finalize (the finalisation, in reverse order) and unloads the library.
//
// Each entry answers true, or false after it raised: then *Error names the
// unit that raised and the exception (class name and message). No exception
// leaves an entry. Every entry is optional. Finalize is called whenever
// Initialize was, even when Initialize failed (it skips units whose
// initialisation did not run), and also when Register failed.
//
// A package defines them with RunPackageEntry:
//   QORB_PACKAGE_ENTRY bool Register(TPackageEntryError* Error) {
//     return RunPackageEntry(Error, u"Qorb.Main.RegisterUnits", [] { ... });
//   }
#include <string_view>
#include <utility>

#include "rtl/Export.h"
#include "rtl/Exception.h"
#include "rtl/UnicodeString.h"

struct TPackageEntryError {
  // The unit whose code raised ("Qorb.Main.RegisterUnits"); may stay empty.
  UnicodeString Unit;
  UnicodeString ClassName;
  UnicodeString Message;
};

using TPackageEntryProc = bool (*)(TPackageEntryError* Error);

inline constexpr char PackageInitializeExport[] = "Initialize";
inline constexpr char PackageRegisterExport[] = "Register";
inline constexpr char PackageFinalizeExport[] = "Finalize";

#define QORB_PACKAGE_ENTRY extern "C" QORB_DLL_EXPORT

QORB_PACKAGE_ENTRY bool Initialize(TPackageEntryError* Error);
QORB_PACKAGE_ENTRY bool Register(TPackageEntryError* Error);
QORB_PACKAGE_ENTRY bool Finalize(TPackageEntryError* Error);

// Runs Body; whatever it raises becomes false and a description in *Error
// (Error may be null).
template <class F>
bool RunPackageEntry(TPackageEntryError* Error, std::u16string_view Unit, F&& Body) noexcept {
  try {
    std::forward<F>(Body)();
    return true;
  } catch (...) {
    if (Error) {
      try {
        CaughtException caught = DescribeCurrentException();
        Error->Unit = UnicodeString(Unit);
        Error->ClassName = std::move(caught.ClassName);
        Error->Message = std::move(caught.Message);
      } catch (...) {
        // Out of memory while describing: the failure itself still counts.
      }
    }
    return false;
  }
}
