#include "workbench/CommandLine.h"

#include <cmath>
#include <optional>

#include "workbench/NotLoadedReasons.h"
#include "workbench/StrictCauses.h"

namespace {

// Each option once: --help prints this text, the guide's copy of it is
// checked against --help, and a test has the parser take every name here.
constexpr TOptionHelp kOptions[] = {
    {"--package PATH", "the package to load (default: Qorb_DelphiMain.bpl beside\nthis program)"},
    {"--lang TAG", "the UI language the IDE reports (default: en)"},
    {"--click PATH", "click a menu item by its captions, e.g. \"Qorb/About Qorb...\";\nrepeatable, in order"},
    {"--welcome", "open the welcome page (asks the add-ins for their views)"},
    {"--options AREA/CAPTION", "open an options page, confirm it, close it accepted;\nrepeatable, in order"},
    {"--pictures DIR", "write PNG pictures of what the IDE shows into DIR (made\nif missing); menu.png shows the main menu "
                       "with the\nQorb menu open"},
    {"--theme light|dark|off", "the IDE theme (default light); off switches theming off"},
    {"--quiet", "print nothing but errors"},
    {"--plugins DIR", "run with DIR as the plug-in folder: the package runs from a\ntemporary folder whose Plugins/ is DIR "
                      "(on Linux links,\nnothing copied; on Windows a copy in %TEMP%)"},
    {"--strict", "exit 1 also for any of the causes below"},
    {"--profile", "after shut-down, what each plug-in cost, in load order:\nprobe, load (its constructors), InitPlugin, "
                  "version\ntexts, icon, unload; with totals"},
    {"--follow", "write each message-view line to standard error as it\nis added (lines logged during Shutdown are "
                 "freed by the\nhost unshown, so they never appear)"},
    {"--wait-for TEXT", "after the last step, keep the IDE's main loop running\nuntil a message-view line containing "
                        "TEXT is added;\nrepeatable, in order (for lines a worker thread logs)"},
    {"--timeout SECONDS", "how long each --wait-for waits (default 10); a wait that\nruns out is exit status 1, naming "
                          "the text and the last\nlines seen"},
    {"--hang-timeout SECONDS", "a call into plug-in code from the IDE's main thread that\nhas not returned by then ends "
                               "the run with what it was\ndoing and every thread's stack, exit status 70\n(default 30)"},
    {"--help", "this text"},
};

constexpr char kAbout[] =
    "Usage: qorb-ide [options]\n"
    "       qorb-ide check FILE...\n"
    "       qorb-ide new NAME [--c] [--options-page]\n"
    "Boots the simulated IDE, loads the host package, prints the main menu (one\n"
    "item a line, indented by level, a separator as \"-\"), the plug-ins loaded\n"
    "from its Plugins/ folder and the *.dll files there that were not (with\n"
    "why, and plug-ins the host never looks at), the message group \"Qorb\",\n"
    "what the welcome page, splash screen, About box and options pages show,\n"
    "the forms shown modally (each closed with OK) and any message boxes, then\n"
    "shuts down and reports anything left alive, named by the plug-in whose\n"
    "code it belonged to.\n";

constexpr char kExitStatus[] =
    "Exit status: 0 when everything went cleanly; 1 when a package failed to load\n"
    "or register, a click (one that raised included), an options page, a\n"
    "picture or a --wait-for failed, or something was left alive, a thread\n"
    "included (reasons on standard error); with --strict also for any of its\n"
    "causes; 2 for a bad command line; 70 for a crash or a hang.\n";

constexpr char kCommands[] =
    "check FILE... reads each file as the host would and runs none of its code:\n"
    "whether the host would load it and, if not, why (in the host's order: name\n"
    "and folder, not a library for this machine, no InitPlugin, a needed library\n"
    "the loader cannot find, with the folders searched, no Shutdown), hints for\n"
    "the usual mistakes, the version texts as the host shows them beside the\n"
    "strings as stored, and the icon. Exit status 0 when every file would load,\n"
    "1 otherwise.\n"
    "\n"
    "new NAME [--c] [--options-page] writes a plug-in project NAME/ that builds\n"
    "against the installed SDK (find_package(Qorb)) and tests itself in this IDE;\n"
    "--c writes it in C, --options-page adds a page to the options dialog.\n"
    "\n"
    "A fault in a plug-in's code inside a call from the IDE or the host becomes\n"
    "the exception the runtime raises for it and is listed under \"Exceptions:\";\n"
    "a fault that cannot be contained ends the IDE with a crash report on\n"
    "standard error and exit status 70.\n";

// "  --name ARG       text", the text's further lines under its first.
std::string FormatOptions() {
  constexpr size_t column = 19;
  std::string out;
  for (const TOptionHelp& o : kOptions) {
    std::string line = std::string("  ") + o.Name;
    if (line.size() + 1 > column) {
      out += line + "\n";
      line.clear();
    }
    line.resize(column, ' ');
    out += line;
    for (const char* c = o.Text; *c; ++c) {
      out += *c;
      if (*c == '\n') out.append(column, ' ');
    }
    out += '\n';
  }
  return out;
}

}  // namespace

std::span<const TOptionHelp> QorbIDEOptions() { return kOptions; }

std::string QorbIDEUsage() {
  return std::string(kAbout) + "\n" + FormatOptions() + "\n" +
         "--strict causes, each on standard error after \"qorb-ide: strict: \":\n" + FormatStrictCauseKinds("  ") +
         "\n" + "Not loaded and passed over: the reasons, in the order the host meets them:\n" +
         FormatNotLoadedReasons("  ") + "\n" + kExitStatus + "\n" + kCommands;
}

namespace {

// Seconds as a person writes them ("10", "0.5"); nothing for anything else.
std::optional<std::chrono::milliseconds> Seconds(const std::string& text) {
  size_t used = 0;
  double value = 0;
  try {
    value = std::stod(text, &used);
  } catch (const std::exception&) {
    return std::nullopt;
  }
  if (used != text.size() || !std::isfinite(value) || value <= 0 || value > 86400) return std::nullopt;
  return std::chrono::milliseconds(static_cast<long long>(std::ceil(value * 1000)));
}

TParsedCommandLine Fail(std::string message) {
  TParsedCommandLine r;
  r.ExitStatus = 2;
  r.Message = "qorb-ide: " + message + "\nTry 'qorb-ide --help'.\n";
  return r;
}

}  // namespace

TParsedCommandLine ParseCommandLine(const std::vector<std::string>& Args) {
  TParsedCommandLine r;
  if (!Args.empty() && Args[0] == "check") {
    r.Options.Check = true;
    for (size_t i = 1; i < Args.size(); ++i) r.Options.CheckFiles.emplace_back(Args[i]);
    if (r.Options.CheckFiles.empty()) return Fail("check needs at least one file");
    return r;
  }

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
      r.Message = QorbIDEUsage();
      return r;
    }
    if (name == "--quiet") {
      if (!flag()) return Fail(name + " takes no value");
      r.Options.Quiet = true;
      continue;
    }
    if (name == "--strict" || name == "--profile" || name == "--follow") {
      if (!flag()) return Fail(name + " takes no value");
      (name == "--strict" ? r.Options.Strict : name == "--profile" ? r.Options.Profile : r.Options.Follow) = true;
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
    if (name == "--timeout" || name == "--hang-timeout") {
      std::optional<std::string> v = value();
      const std::optional<std::chrono::milliseconds> seconds = v ? Seconds(*v) : std::nullopt;
      if (!seconds) return Fail(name + " takes a number of seconds above 0");
      (name == "--timeout" ? r.Options.WaitTimeout : r.Options.HangTimeout) = *seconds;
      continue;
    }
    if (name == "--wait-for") {
      std::optional<std::string> v = value();
      if (!v || v->empty()) return Fail(name + " needs a text");
      r.Options.WaitFor.push_back(*v);
      continue;
    }
    if (name == "--package" || name == "--lang" || name == "--click" || name == "--pictures" || name == "--options" ||
        name == "--plugins") {
      std::optional<std::string> v = value();
      if (!v || v->empty()) return Fail(name + " needs a value");
      if (name == "--package")
        r.Options.Package = *v;
      else if (name == "--lang")
        r.Options.Language = *v;
      else if (name == "--pictures")
        r.Options.Pictures = *v;
      else if (name == "--plugins")
        r.Options.PluginFolder = *v;
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
