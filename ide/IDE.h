#pragma once
// The simulated IDE: main menu, services object, main-thread loop, message
// boxes and the package loader, all open to inspection. One lives at a time
// (it owns the global service variables while packages are loaded).
#include <filesystem>
#include <functional>
#include <memory>
#include <set>
#include <vector>

#include "ide/ForeignExceptionLog.h"
#include "ide/IDEServices.h"
#include "ide/MainLoop.h"
#include "ide/MessageBoxes.h"
#include "ide/ModalForms.h"
#include "winapi/MessageBox.h"
#include "ide/PackageLoader.h"
#include "rtl/UnicodeString.h"
#include "winapi/Hwnd.h"

class TMainMenu;
class TMenuItem;

// How what unloaded packages and plug-ins left behind is named. The IDE
// counts leftovers itself; whoever knows which library code belonged to
// (a debugger, qorb-ide's workbench) names them. Unset parts name nothing.
struct TLeftoverNaming {
  // Items under Root that were not there at start, one line each.
  std::function<std::vector<UnicodeString>(const TMenuItem& Root, const std::set<const TMenuItem*>& AtStart)>
      MenuItems;
  // Items under Root whose click handler lay in the library at Path, which
  // has just been unloaded.
  std::function<std::vector<UnicodeString>(const TMenuItem& Root, const std::string& Path)> DanglingMenuItems;
  // ": 1 made by x.dll (unloaded)" for the live windows and GDI objects.
  std::function<std::string()> WindowOwners;
  std::function<std::string()> GdiObjectOwners;
};

struct TIDEOptions {
  UnicodeString UILanguage{u"en"};
  // Where the IDE's directories lie; empty: the running executable's.
  std::filesystem::path RootDirectory;
  // Where pictures of what the IDE shows are written; empty: none are.
  std::filesystem::path PicturesDirectory;
};

class TIDE {
 public:
  // Raises std::logic_error while another TIDE lives.
  explicit TIDE(TIDEOptions Options = {});
  // Shuts down first when that has not happened yet.
  ~TIDE();
  TIDE(const TIDE&) = delete;
  TIDE& operator=(const TIDE&) = delete;

  static TIDE* Current() noexcept;

  TMainMenu& MainMenu() const noexcept { return *mainMenu_; }
  TMessageBoxLog& MessageBoxes() noexcept { return messageBoxes_; }
  TModalFormLog& ModalForms() noexcept { return modalForms_; }
  TMainLoop& MainLoop() noexcept { return mainLoop_; }
  // What foreign code raised and our code caught while this IDE lived.
  const TForeignExceptionLog& ForeignExceptions() const noexcept { return foreignExceptions_; }

  const UnicodeString& UILanguage() const noexcept { return language_; }
  void SetUILanguage(UnicodeString Tag) { language_ = std::move(Tag); }
  // The main window, as add-ins see it.
  HWND ParentHandle() const noexcept { return parentHandle_; }
  void SetParentHandle(HWND Handle) noexcept { parentHandle_ = Handle; }
  const std::filesystem::path& RootDirectory() const noexcept { return rootDirectory_; }
  // Empty when no pictures are asked for.
  const std::filesystem::path& PicturesDirectory() const noexcept { return picturesDirectory_; }

  // The table of services, to add or switch one off.
  TIDEServices& Services() noexcept { return *services_; }
  ComPtr<IBorlandIDEServices> ServicesObject() const { return ComPtr<IBorlandIDEServices>(services_); }

  // Loads and registers a package; a failure is reported (ReportError) and
  // answers false.
  bool LoadPackage(const std::filesystem::path& Path);
  std::vector<std::filesystem::path> Packages() const { return loader_->Packages(); }
  std::vector<TRegisteredWizard> Wizards() const { return loader_->Wizards(); }

  // Shows Text in an error message box and keeps it in Errors().
  void ReportError(const UnicodeString& Text);
  // Where the platform's MessageBoxW lands while this IDE lives.
  int ShowMessageBox(HWND Owner, LPCWSTR Text, LPCWSTR Caption, UINT Type);
  // Where TCustomForm::ShowModal lands while this IDE lives.
  TModalResult ShowModalForm(TCustomForm* Form);
  const std::vector<UnicodeString>& Errors() const noexcept { return errors_; }

  // Unloads every package, clears the globals, detaches the services object
  // and answers what is left alive (one line each; empty when clean).
  // Later calls answer the same.
  const std::vector<UnicodeString>& Shutdown();
  bool IsShutDown() const noexcept { return shutDown_; }

  void SetLeftoverNaming(TLeftoverNaming Naming) { naming_ = std::move(Naming); }
  // Main thread: a library's code has left the process; menu items that
  // would call into it are noted for the leftovers.
  void LibraryUnloaded(const std::string& Path);

  static constexpr uint32_t ErrorBoxType = 0x10;  // MB_OK | MB_ICONERROR

 private:
  TForeignExceptionLog foreignExceptions_;
  UnicodeString language_;
  std::filesystem::path rootDirectory_;
  std::filesystem::path picturesDirectory_;
  TLeftoverNaming naming_;
  HWND parentHandle_;
  std::unique_ptr<TMainMenu> mainMenu_;
  int menuItemsAtStart_ = 0;
  std::set<const TMenuItem*> menuAtStart_;
  // Found while plug-ins unloaded, reported with the other leftovers.
  std::vector<UnicodeString> danglingItems_;
  size_t gdiObjectsAtStart_ = 0;
  int windowsAtStart_ = 0;
  TMessageBoxLog messageBoxes_;
  TMessageBoxHandler previousMessageBoxHandler_;
  TModalFormLog modalForms_;
  TModalFormHandler previousModalFormHandler_;
  TMainLoop mainLoop_;
  ComPtr<TIDEServices> services_;
  std::unique_ptr<TPackageLoader> loader_;
  std::vector<UnicodeString> errors_;
  std::vector<UnicodeString> leftovers_;
  bool shutDown_ = false;
  // The main window's identity until real windows exist.
  char mainWindowTag_ = 0;
};
