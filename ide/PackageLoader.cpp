#include "ide/PackageLoader.h"

#include <utility>

#include "rtl/Exception.h"
#include "rtl/FaultHandler.h"
#include "rtl/ForeignCall.h"
#include "toolsapi/Globals.h"
#include "toolsapi/PackageEntry.h"

struct TPackageLoader::Package {
  std::filesystem::path Path;  // as given, made absolute
  std::filesystem::path Identity;  // links resolved
  TLibrary Library;
  // Mapped before the IDE loaded it (a library the process already uses):
  // still being mapped after unloading is then no leftover.
  bool WasMapped = false;
  bool Initialized = false;
  std::vector<Wizard> Wizards;
};

namespace {

std::u16string PathText(const std::filesystem::path& p) { return Utf8ToUtf16(p.string()); }

// "raised exception class EFoo: text." The final period is the IDE's own
// unless the text brings one.
std::u16string Raised(const TPackageEntryError& e) {
  std::u16string s = u"raised exception class ";
  s += e.ClassName.IsEmpty() ? std::u16string_view(u"Exception") : e.ClassName.view();
  s += u": ";
  s += e.Message.view();
  if (s.back() != u'.') s += u'.';
  return s;
}

std::u16string Qualified(const UnicodeString& unit, std::u16string_view proc) {
  if (unit.IsEmpty()) return std::u16string(proc);
  return std::u16string(unit.view()) + u"." + std::u16string(proc);
}

}  // namespace

const void* TPackageLoader::AnyExport(const Package& P) {
  for (const char* name : {PackageInitializeExport, PackageRegisterExport, PackageFinalizeExport})
    if (const void* a = P.Library.OwnExport(name)) return a;
  return nullptr;
}

TPackageLoader::TPackageLoader(IBorlandIDEServices* Services, TReport Report)
    : services_(Services), report_(std::move(Report)) {}

TPackageLoader::~TPackageLoader() { UnloadAll(); }

void TPackageLoader::Publish() {
  if (published_) return;
  BorlandIDEServices = services_;
  // Null when the IDE runs without a splash screen or a welcome page.
  SplashScreenServices = ComPtr<IBorlandIDEServices>(services_).As<IOTASplashScreenServices>();
  WelcomePagePluginService = ComPtr<IBorlandIDEServices>(services_).As<INTAWelcomePagePluginService>();
  SetWizardRegistrar(BindMethod<&TPackageLoader::AcceptWizard>(this));
  published_ = true;
}

void TPackageLoader::Unpublish() {
  if (!published_) return;
  SetWizardRegistrar({});
  WelcomePagePluginService = nullptr;
  SplashScreenServices = nullptr;
  BorlandIDEServices = nullptr;
  published_ = false;
}

void TPackageLoader::AcceptWizard(IOTAWizard* Intf) {
  if (unloading_) return;
  Wizard w{ComPtr<IOTAWizard>(Intf), {}};
  if (registering_) w.Info.Package = registering_->Path;
  try {
    Intf->GetIDString(w.Info.IDString);
    Intf->GetName(w.Info.Name);
  } catch (...) {
    // An unnamed wizard is still kept.
  }
  (registering_ ? registering_->Wizards : looseWizards_).push_back(std::move(w));
}

bool TPackageLoader::CallEntry(Package& P, const char* Name, const char16_t* What) {
  auto proc = reinterpret_cast<TPackageEntryProc>(P.Library.OwnExport(Name));
  if (!proc) return true;
  TPackageEntryError error;
  bool ok = false;
  const std::u16string package = PathText(P.Path);
  // The package is our own code: no containment, but a crash report says so.
  const TForeignActivity running({What, reinterpret_cast<const void*>(proc), package.c_str()});
  try {
    ok = proc(&error);
  } catch (...) {
    CaughtException c = DescribeCurrentException();
    error.ClassName = std::move(c.ClassName);
    error.Message = std::move(c.Message);
  }
  if (ok) return true;

  std::u16string text;
  const std::u16string path = PathText(P.Path);
  if (std::u16string_view(What) == u"Register") {
    text = u"Registration procedure, " + Qualified(error.Unit, u"Register") + u" in package " + path + u" " +
           Raised(error);
  } else {
    text = std::u16string(What) + u" of package " + path + u" failed: " +
           (error.Unit.IsEmpty() ? std::u16string() : u"unit " + std::u16string(error.Unit.view()) + u" ") +
           Raised(error);
  }
  if (report_) report_(UnicodeString(text));
  return false;
}

bool TPackageLoader::Load(const std::filesystem::path& Path) {
  std::error_code ec;
  std::filesystem::path full = std::filesystem::absolute(Path, ec);
  if (ec) full = Path;
  // One package under two names (a link) must not be initialised twice.
  std::filesystem::path identity = std::filesystem::weakly_canonical(full, ec);
  if (ec) identity = full;
  for (const auto& p : packages_)
    if (p->Identity == identity) return true;

  Publish();
  auto pkg = std::make_unique<Package>();
  pkg->Path = full;
  pkg->Identity = identity;
  std::string error;
  pkg->WasMapped = IsLibraryMapped(full);
  pkg->Library = TLibrary::Open(full, error);
  if (pkg->Library.IsOpen() && !pkg->Library.OwnExport(PackageInitializeExport) &&
      !pkg->Library.OwnExport(PackageRegisterExport) && !pkg->Library.OwnExport(PackageFinalizeExport)) {
    pkg->Library.Close();
    error = "It is not a package: it exports no Initialize, Register or Finalize.";
  }
  if (!pkg->Library.IsOpen()) {
    if (report_) report_(UnicodeString(u"Can't load package " + PathText(full) + u".\n" + Utf8ToUtf16(error)));
    if (packages_.empty()) Unpublish();
    return false;
  }

  // The package is ours: a fault in its code is never contained.
  MarkOwnModule(AnyExport(*pkg));
  Package& p = *pkg;
  packages_.push_back(std::move(pkg));
  registering_ = &p;
  p.Initialized = true;
  const bool ok = CallEntry(p, PackageInitializeExport, u"Initialization") &&
                  CallEntry(p, PackageRegisterExport, u"Register");
  registering_ = nullptr;
  if (ok) return true;

  Unload(p);
  packages_.pop_back();
  if (packages_.empty()) Unpublish();
  return false;
}

void TPackageLoader::ReleaseWizards(std::vector<Wizard>& Wizards) {
  while (!Wizards.empty()) {
    Wizard w = std::move(Wizards.back());
    Wizards.pop_back();
    try {
      w.Intf->Destroyed();
    } catch (...) {
      // The IDE lets go of it all the same.
    }
    const int32_t left = w.Intf.detach()->Release();
    if (left > 0) {
      leftovers_.push_back(UnicodeString(u"wizard " + std::u16string(w.Info.IDString.view()) +
                                         u" is still referenced " + Utf8ToUtf16(std::to_string(left)) +
                                         u" time(s) after the IDE released it"));
    }
  }
}

void TPackageLoader::Unload(Package& P) {
  unloading_ = true;
  ReleaseWizards(P.Wizards);
  if (P.Initialized) {
    P.Initialized = false;
    CallEntry(P, PackageFinalizeExport, u"Finalization");
  }
  UnmarkOwnModule(AnyExport(P));
  P.Library.Close();
  unloading_ = false;
  if (!P.WasMapped && IsLibraryMapped(P.Path))
    leftovers_.push_back(UnicodeString(u"package " + PathText(P.Path) + u" is still loaded after unloading"));
}

void TPackageLoader::UnloadAll() {
  unloading_ = true;
  ReleaseWizards(looseWizards_);
  unloading_ = false;
  while (!packages_.empty()) {
    Unload(*packages_.back());
    packages_.pop_back();
  }
  Unpublish();
}

std::vector<std::filesystem::path> TPackageLoader::Packages() const {
  std::vector<std::filesystem::path> r;
  for (const auto& p : packages_) r.push_back(p->Path);
  return r;
}

std::vector<TRegisteredWizard> TPackageLoader::Wizards() const {
  std::vector<TRegisteredWizard> r;
  for (const Wizard& w : looseWizards_) r.push_back(w.Info);
  for (const auto& p : packages_)
    for (const Wizard& w : p->Wizards) r.push_back(w.Info);
  return r;
}
