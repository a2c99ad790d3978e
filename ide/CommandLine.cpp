#include "ide/CommandLine.h"

#include <optional>

const char* const QorbIDEUsage =
    "Usage: qorb-ide [options]\n"
    "Boots the simulated IDE, loads the host package, prints the main menu (one\n"
    "item a line, indented by level, a separator as \"-\"), the plug-ins loaded\n"
    "from its Plugins/ folder and the *.dll files there that were not (with\n"
    "why), the message group \"Qorb\", what the welcome page,\n"
    "splash screen, About box and options pages show, the forms shown modally\n"
    "(each closed with OK) and any message boxes, then shuts down and reports\n"
    "anything left alive.\n"
    "\n"
    "  --package PATH   the package to load (default: Qorb_DelphiMain.bpl beside\n"
    "                   this program)\n"
    "  --lang TAG       the UI language the IDE reports (default: en)\n"
    "  --click PATH     click a menu item by its captions, e.g. \"Qorb/About Qorb...\";\n"
    "                   repeatable, in order\n"
    "  --welcome        open the welcome page (asks the add-ins for their views)\n"
    "  --options AREA/CAPTION\n"
    "                   open an options page, confirm it, close it accepted;\n"
    "                   repeatable, in order\n"
    "  --pictures DIR   write PNG pictures of what the IDE shows into DIR (made\n"
    "                   if missing)\n"
    "  --theme light|dark|off\n"
    "                   the IDE theme (default light); off switches theming off\n"
    "  --quiet          print nothing but errors\n"
    "  --help           this text\n"
    "\n"
    "Exit status: 0 when everything went cleanly; 1 when a package failed to load\n"
    "or register, a click, an options page or a picture failed, an add-in raised\n"
    "an exception, or something was left alive (reasons on standard error); 2\n"
    "for a bad command line.\n";

namespace {

TParsedCommandLine Fail(std::string message) {
  TParsedCommandLine r;
  r.ExitStatus = 2;
  r.Message = "qorb-ide: " + message + "\nTry 'qorb-ide --help'.\n";
  return r;
}

}  // namespace

TParsedCommandLine ParseCommandLine(const std::vector<std::string>& Args) {
  TParsedCommandLine r;

  for (size_t i = 0; i < Args.size(); ++i) {
    std::string name = Args[i];
    std::optional<std::string> inlineValue;
    if (const size_t eq = name.find('='); name.rfind("--", 0) == 0 && eq != std::string::npos) {
      inlineValue = name.substr(eq + 1);
      name.resize(eq);
    }
    auto value = [&]() -> std::optional<std::string> {
      if (inlineValue) return inlineValue;
      if (i + 1 < Args.size()) return Args[++i];
      return std::nullopt;
    };
    auto flag = [&]() { return !inlineValue; };

    if (name == "--help" || name == "-h") {
      if (!flag()) return Fail(name + " takes no value");
      r.ExitStatus = 0;
      r.Message = QorbIDEUsage;
      return r;
    }
    if (name == "--quiet") {
      if (!flag()) return Fail(name + " takes no value");
      r.Options.Quiet = true;
      continue;
    }
    if (name == "--welcome") {
      if (!flag()) return Fail(name + " takes no value");
      r.Options.Welcome = true;
      continue;
    }
    if (name == "--theme") {
      std::optional<std::string> v = value();
      if (!v || (*v != "light" && *v != "dark" && *v != "off")) return Fail(name + " takes light, dark or off");
      r.Options.Theme = *v;
      continue;
    }
    if (name == "--package" || name == "--lang" || name == "--click" || name == "--pictures" || name == "--options") {
      std::optional<std::string> v = value();
      if (!v || v->empty()) return Fail(name + " needs a value");
      if (name == "--package")
        r.Options.Package = *v;
      else if (name == "--lang")
        r.Options.Language = *v;
      else if (name == "--pictures")
        r.Options.Pictures = *v;
      else if (name == "--options")
        r.Options.OptionsPages.push_back(*v);
      else
        r.Options.Clicks.push_back(*v);
      continue;
    }
    if (Args[i].empty() || Args[i][0] != '-') return Fail("unexpected argument '" + Args[i] + "'");
    return Fail("unknown option '" + Args[i] + "'");
  }
  return r;
}
