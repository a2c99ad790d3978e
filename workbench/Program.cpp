#include "workbench/Program.h"

#include <optional>
#include <ostream>

#include "workbench/CrashReport.h"
#include "workbench/FaultPlaces.h"
#include "workbench/HangWatch.h"
#include "workbench/LeftAlive.h"
#include "workbench/PluginThreads.h"
#include "ide/ForeignExceptionLog.h"
#include "ide/IDE.h"
#include "workbench/LoadedModules.h"
#include "ide/MainMenu.h"
#include "workbench/pictures/MenuPicture.h"
#include "ide/MessageGroup.h"
#include "ide/MessageView.h"
#include "workbench/MenuTree.h"
#include "workbench/MessageWaits.h"
#include "workbench/MessageViewReport.h"
#include "workbench/PassedOverFiles.h"
#include "workbench/PluginCheck.h"
#include "workbench/PresentationReport.h"
#include "ide/ReportText.h"
#include "workbench/WorkbenchSession.h"
#include "vcl/Menus.h"

namespace {

void PrintMessageBoxes(const std::vector<TShownMessageBox>& boxes, std::ostream& out) {
  if (boxes.empty()) return;
  std::string text = "\nMessage boxes:\n";
  for (const TShownMessageBox& box : boxes) {
    text += "  " + box.Caption.ToUtf8() + ": ";
    AppendIndented(text, box.Text.ToUtf8(), "    ");
    text += '\n';
  }
  out << text;
}

// Why a person could not click the item; null when they could.
const char* Unclickable(const TMenuItem& item) {
  if (item.IsLine()) return "is a separator";
  for (const TMenuItem* i = &item; i->Parent(); i = i->Parent())
    if (!i->Visible()) return "is hidden";
  if (!item.Enabled()) return "is disabled";
  return nullptr;
}

void Click(TIDE& ide, THangWatch& watch, const std::string& path, std::ostream& err, int& status) {
  TMenuItem* item = FindMenuItemByPath(ide.MainMenu(), Utf8ToUtf16(path));
  if (!item) {
    err << "qorb-ide: no menu item \"" << path << "\"\n";
    status = 1;
    return;
  }
  if (const char* why = Unclickable(*item)) {
    err << "qorb-ide: menu item \"" << path << "\" " << why << '\n';
    status = 1;
    return;
  }
  SetCrashActivity("clicking \"" + path + "\"");
  const THangWatch::TStep step(watch);
  const UnicodeString caption = UnicodeString::FromUtf8(path);
  try {
    CallForeign({u"menu click", reinterpret_cast<const void*>(item->OnClick.Code), caption.c_str()},
                [item] { item->Click(); });
  } catch (...) {
    CaughtException e = DescribeCurrentException();
    ide.ReportError(UnicodeString(u"Menu item \"" + Utf8ToUtf16(path) + u"\" raised exception class " +
                                  std::u16string(e.ClassName.view()) + u": " + std::u16string(e.Message.view())));
  }
  ide.MainLoop().RunUntilIdle();
}

}  // namespace

int RunQorbIDE(const TCommandLine& Options, std::ostream& Out, std::ostream& Err) {
  if (Options.Check) return RunPluginCheck(Options.CheckFiles, Out, Err);
  int status = 0;
  TWorkbenchSession session(Options);
  TIDEOptions ideOptions;
  ideOptions.UILanguage = UnicodeString::FromUtf8(Options.Language);
  if (!Options.Pictures.empty()) {
    std::error_code ec;
    std::filesystem::create_directories(Options.Pictures, ec);
    if (ec) {
      Err << "qorb-ide: cannot make the pictures folder " << Options.Pictures.string() << ": " << ec.message() << '\n';
      return 1;
    }
    ideOptions.PicturesDirectory = Options.Pictures;
  }
  InstallCrashReport();
  SetCrashActivity("starting");
  // Before the IDE, so that they see every unload and outlive its shut-down.
  TPluginThreads pluginThreads;
  TFaultPlaces faultPlaces;
  THangWatch hangWatch(Options.HangTimeout);
  TIDE ide(std::move(ideOptions));
  if (!Options.Theme.empty()) SetIDETheme(ide, Options.Theme);
  if (TMessageView* view = ide.Services().Service<TMessageView>())
    view->OnMessageAdded = [](TMessageGroup&, IOTACustomMessage* line) {
      UnicodeString text;
      line->GetLineText(text);
      JournalMessageLine(text.ToUtf8());
    };
  TMessageWaits waits(ide);

  const std::filesystem::path package = session.PackageToLoad(
      Options.Package.empty() ? ide.RootDirectory() / DefaultPackageName : Options.Package);
  if (const std::string error = session.Error(); !error.empty()) {
    Err << "qorb-ide: --plugins: " << error << '\n';
    return 1;
  }
  session.Started(ide, Err);
  {
    const THangWatch::TStep step(hangWatch);
    SetCrashActivity("loading the package " + package.string());
    ide.LoadPackage(package);
    SetCrashActivity("running its main loop after loading the package");
    ide.MainLoop().RunUntilIdle();
  }
  session.Loaded();

  for (const std::string& path : Options.Clicks) Click(ide, hangWatch, path, Err, status);
  std::string optionsPages;
  auto runWork = [&] {
    const THangWatch::TStep step(hangWatch);
    ide.MainLoop().RunUntilIdle();
  };
  try {
    std::optional<THangWatch::TStep> step(std::in_place, hangWatch);
    SetCrashActivity("opening the welcome page");
    if (Options.Welcome) OpenWelcomePage(ide);
    SetCrashActivity("opening options pages");
    std::vector<std::string> pageErrors;
    optionsPages = ShowOptionsPages(ide, Options.OptionsPages, pageErrors);
    for (const std::string& e : pageErrors) {
      Err << "qorb-ide: " << e << '\n';
      status = 1;
    }
    ide.MainLoop().RunUntilIdle();
    step.reset();
    for (const std::string& text : Options.WaitFor) {
      SetCrashActivity("waiting for a message-view line containing \"" + text + "\"");
      if (const std::string failed = waits.WaitFor(text, Options.WaitTimeout, runWork); !failed.empty()) {
        Err << "qorb-ide: " << failed << '\n';
        status = 1;
        break;
      }
    }
    step.emplace(hangWatch);
    SavePresentationPictures(ide, Options.Welcome);
    SaveMessageViewPicture(ide);
    SaveMainMenuPicture(ide);
  } catch (...) {
    CaughtException e = DescribeCurrentException();
    ide.ReportError(UnicodeString(u"Showing the add-ins' pages raised exception class " +
                                  std::u16string(e.ClassName.view()) + u": " + std::u16string(e.Message.view())));
  }

  // Every wake-up already posted is handled before anything is printed.
  runWork();
  const std::filesystem::path folder = package.parent_path() / "Plugins";
  const std::vector<TLoadedModule> plugins =
      LoadedModulesIn(folder, Options.Quiet ? TModuleTexts::Skip : TModuleTexts::Read);
  std::vector<TSkippedFile> notLoaded = SkippedFilesIn(folder, plugins, session.LoadOutcome());
  for (TSkippedFile& f : notLoaded)
    for (const std::string& hint : ExportHints(f.Path)) f.Reason += "; " + hint;
  const std::vector<TSkippedFile> passedOver = PassedOverFilesIn(folder);
  std::optional<THangWatch::TStep> printing;
  if (!Options.Quiet) {
    // A plug-in's thread may hold standard output.
    SetCrashActivity("printing what the IDE shows");
    printing.emplace(hangWatch);
    Out << FormatMenuTree(ide.MainMenu());
    if (const std::string loaded = FormatLoadedModules(plugins); !loaded.empty()) Out << '\n' << loaded;
    if (const std::string skipped = FormatSkippedFiles(notLoaded); !skipped.empty()) Out << '\n' << skipped;
    if (const std::string passed = FormatPassedOverFiles(passedOver); !passed.empty()) Out << '\n' << passed;
    if (const std::string messages = FormatQorbMessages(ide); !messages.empty()) Out << '\n' << messages;
    Out << FormatPresentation(ide, Options.Welcome) << optionsPages;
    if (const std::string forms = FormatShownForms(ide.ModalForms().Shown()); !forms.empty()) Out << '\n' << forms;
    PrintMessageBoxes(ide.MessageBoxes().Shown(), Out);
    Out.flush();
    if (!Out) {
      Err << "qorb-ide: cannot write the report to standard output\n";
      status = 1;
    }
  }

  printing.reset();
  SetCrashActivity("shutting down");
  session.ShuttingDown();
  std::vector<UnicodeString> leftovers;
  {
    const THangWatch::TStep step(hangWatch);
    leftovers = ide.Shutdown();
  }
  SetCrashActivity("reporting on the run");
  std::optional<THangWatch::TStep> reporting(std::in_place, hangWatch);
  const std::vector<TLeftThread> leftThreads = pluginThreads.Left();
  if (!Options.Quiet)
    if (const std::string left = FormatLeftAlive(leftThreads, session.LeftHolds()); !left.empty())
      Out << '\n' << left << std::flush;
  // After shutting down, so that what Shutdown and unloading raised is there.
  if (!Options.Quiet)
    if (const std::string seen = FormatForeignExceptions(
            ide.ForeignExceptions().Seen(), [&](const TForeignExceptionNote& n) { return faultPlaces.PlaceOf(n); });
        !seen.empty())
      Out << '\n' << seen << std::flush;
  for (const UnicodeString& e : ide.Errors()) {
    Err << "qorb-ide: " << e.ToUtf8() << '\n';
    status = 1;
  }
  for (const UnicodeString& l : leftovers) {
    Err << "qorb-ide: left alive: " << l.ToUtf8() << '\n';
    status = 1;
  }
  for (const TLeftThread& t : leftThreads) {
    Err << "qorb-ide: left alive: " << DescribeLeftThread(t) << '\n';
    status = 1;
  }
  if (session.Finish(folder, plugins, notLoaded, passedOver, Out, Err) != 0)
    status = 1;
  return status;
}
