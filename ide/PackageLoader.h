#pragma once
// Loads design-time packages the way the IDE does. Before the first package
// it publishes the global service variables and the wizard registrar; then
// it maps the library and calls its Initialize and Register. A library that
// exports none of the package entries is no package. A failure is reported
// and the package is unloaded again. Unloading releases the
// package's wizards, calls Finalize and unmaps the library; after the last
// package the globals are cleared. Main thread only.
#include <filesystem>
#include <functional>
#include <memory>
#include <vector>

#include "ide/Library.h"
#include "rtl/ComPtr.h"
#include "rtl/UnicodeString.h"
#include "toolsapi/BorlandIDEServices.h"
#include "toolsapi/Wizard.h"

struct TRegisteredWizard {
  std::filesystem::path Package;  // empty: registered outside any package entry
  UnicodeString IDString;
  UnicodeString Name;
};

class TPackageLoader {
 public:
  // How a failure reaches the user.
  using TReport = std::function<void(const UnicodeString& Text)>;

  // Services is what BorlandIDEServices will hold; it must outlive the
  // loader.
  TPackageLoader(IBorlandIDEServices* Services, TReport Report);
  ~TPackageLoader();
  TPackageLoader(const TPackageLoader&) = delete;
  TPackageLoader& operator=(const TPackageLoader&) = delete;

  // True when the package is loaded and registered (or was already).
  bool Load(const std::filesystem::path& Path);
  // Every package, last loaded first; then the globals are cleared.
  void UnloadAll();

  std::vector<std::filesystem::path> Packages() const;
  std::vector<TRegisteredWizard> Wizards() const;
  // What unloading left alive: libraries still mapped, wizards that kept
  // references after the IDE released them. One line each.
  const std::vector<UnicodeString>& Leftovers() const noexcept { return leftovers_; }

 private:
  struct Package;
  static const void* AnyExport(const Package& P);
  struct Wizard {
    ComPtr<IOTAWizard> Intf;
    TRegisteredWizard Info;
  };

  void Publish();
  void Unpublish();
  void AcceptWizard(IOTAWizard* Intf);
  bool CallEntry(Package& P, const char* Name, const char16_t* What);
  void ReleaseWizards(std::vector<Wizard>& Wizards);
  void Unload(Package& P);

  IBorlandIDEServices* services_;
  TReport report_;
  bool published_ = false;
  std::vector<std::unique_ptr<Package>> packages_;
  Package* registering_ = nullptr;
  // A wizard registered while packages go away would outlive its code.
  bool unloading_ = false;
  std::vector<Wizard> looseWizards_;
  std::vector<UnicodeString> leftovers_;
};
