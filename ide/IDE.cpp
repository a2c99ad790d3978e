#include "ide/IDE.h"

#include <algorithm>
#include <atomic>
#include <stdexcept>
#include <string>

#include "ide/ExecutableDirectory.h"
#include "ide/MainMenu.h"
#include "ide/StandardServices.h"
#include "vcl/Menus.h"
#include "winapi/Gdi.h"
#include "winapi/WindowMessages.h"

namespace {

std::atomic<TIDE*> current{nullptr};

int CountItems(const TMenuItem& item) {
  int n = item.Count();
  for (int i = 0; i < item.Count(); ++i) n += CountItems(*item.Items(i));
  return n;
}

std::u16string Number(long long n) { return Utf8ToUtf16(std::to_string(n)); }

void Collect(const TMenuItem& item, std::set<const TMenuItem*>& out) {
  for (int i = 0; i < item.Count(); ++i) {
    out.insert(item.Items(i));
    Collect(*item.Items(i), out);
  }
}

}  // namespace

TIDE* TIDE::Current() noexcept { return current.load(); }

TIDE::TIDE(TIDEOptions Options)
    : language_(std::move(Options.UILanguage)),
      rootDirectory_(Options.RootDirectory.empty() ? ExecutableDirectory() : std::move(Options.RootDirectory)),
      picturesDirectory_(std::move(Options.PicturesDirectory)),
      parentHandle_(reinterpret_cast<HWND>(&mainWindowTag_)) {
  TIDE* expected = nullptr;
  if (!current.compare_exchange_strong(expected, this))
    throw std::logic_error("another simulated IDE is still alive");
  try {
    GdiRecordCreators(true);
    gdiObjectsAtStart_ = GdiLiveObjectCount();
    windowsAtStart_ = LiveWindowCount();
    mainMenu_ = std::make_unique<TMainMenu>(nullptr);
    mainMenu_->SetName(u"MainMenu1");
    BuildStandardMainMenu(*mainMenu_);
    menuItemsAtStart_ = CountItems(*mainMenu_->Items());
    Collect(*mainMenu_->Items(), menuAtStart_);
    services_ = Make<TIDEServices>(*this);
    AddStandardServices(*services_);
    loader_ = std::make_unique<TPackageLoader>(services_.get(), [this](const UnicodeString& Text) { ReportError(Text); });
    // The main thread's window messages (hidden windows of the host).
    mainLoop_.AddWorkSource([] { return static_cast<size_t>(std::max(ProcessMessages(), 0)); },
                            [] { return PendingMessageCount() > 0; });
    previousMessageBoxHandler_ = SetMessageBoxHandler(BindMethod<&TIDE::ShowMessageBox>(this));
    previousModalFormHandler_ = SetModalFormHandler(BindMethod<&TIDE::ShowModalForm>(this));
    mainLoop_.SetErrorHandler([this](const CaughtException& e) {
      ReportError(UnicodeString(u"Exception " + std::u16string(e.ClassName.view()) + u" in the main thread: " +
                                std::u16string(e.Message.view())));
    });
  } catch (...) {
    SetMessageBoxHandler(previousMessageBoxHandler_);
    SetModalFormHandler(previousModalFormHandler_);
    GdiRecordCreators(false);
    current.store(nullptr);
    throw;
  }
}

TIDE::~TIDE() {
  Shutdown();
  SetMessageBoxHandler(previousMessageBoxHandler_);
  SetModalFormHandler(previousModalFormHandler_);
  mainLoop_.SetErrorHandler({});
  loader_.reset();
  services_.reset();
  mainMenu_.reset();
  GdiRecordCreators(false);
  current.store(nullptr);
}

void TIDE::LibraryUnloaded(const std::string& Path) {
  // Only now: the package frees its own menu, with the item, later.
  if (naming_.DanglingMenuItems && mainMenu_)
    for (UnicodeString& line : naming_.DanglingMenuItems(*mainMenu_->Items(), Path))
      danglingItems_.push_back(std::move(line));
}

bool TIDE::LoadPackage(const std::filesystem::path& Path) {
  if (shutDown_) {
    ReportError(UnicodeString(u"The IDE has shut down; cannot load " + Utf8ToUtf16(Path.string())));
    return false;
  }
  return loader_->Load(Path);
}

int TIDE::ShowMessageBox(HWND, LPCWSTR Text, LPCWSTR Caption, UINT Type) {
  return messageBoxes_.Show(UnicodeString(Text), UnicodeString(Caption), Type);
}

TModalResult TIDE::ShowModalForm(TCustomForm* Form) { return modalForms_.Show(*this, *Form); }

void TIDE::ReportError(const UnicodeString& Text) {
  errors_.push_back(Text);
  messageBoxes_.Show(Text, UnicodeString(u"Error"), ErrorBoxType);
}

const std::vector<UnicodeString>& TIDE::Shutdown() {
  if (shutDown_) return leftovers_;
  shutDown_ = true;
  loader_->UnloadAll();
  services_->Detach();
  leftovers_ = loader_->Leftovers();
  leftovers_.insert(leftovers_.end(), danglingItems_.begin(), danglingItems_.end());

  const int32_t holders = services_->RefCount() - 1;
  if (holders > 0)
    leftovers_.push_back(UnicodeString(u"the IDE services object is still referenced " + Number(holders) +
                                       u" time(s) after unloading"));
  const int extraItems = CountItems(*mainMenu_->Items()) - menuItemsAtStart_;
  if (extraItems > 0) {
    leftovers_.push_back(UnicodeString(u"the main menu holds " + Number(extraItems) +
                                       u" item(s) that unloaded packages left behind"));
    if (naming_.MenuItems)
      for (UnicodeString& item : naming_.MenuItems(*mainMenu_->Items(), menuAtStart_)) leftovers_.push_back(std::move(item));
  }
  const size_t gdi = GdiLiveObjectCount();
  if (gdi > gdiObjectsAtStart_)
    leftovers_.push_back(UnicodeString(Number(static_cast<long long>(gdi - gdiObjectsAtStart_)) +
                                       u" GDI object(s) left alive" +
                                       Utf8ToUtf16(naming_.GdiObjectOwners ? naming_.GdiObjectOwners() : "")));
  const int windows = LiveWindowCount();
  if (windows > windowsAtStart_)
    leftovers_.push_back(UnicodeString(Number(windows - windowsAtStart_) + u" window(s) left alive" +
                                       Utf8ToUtf16(naming_.WindowOwners ? naming_.WindowOwners() : "")));
  return leftovers_;
}
