#pragma once
// qorb-ide's command line.
#include <chrono>
#include <filesystem>
#include <span>
#include <string>
#include <vector>

struct TCommandLine {
  std::filesystem::path Package;  // empty: Qorb_DelphiMain.bpl beside the program
  std::string Language = "en";
  std::vector<std::string> Clicks;  // menu paths, in order
  std::filesystem::path Pictures;  // empty: no pictures
  std::string Theme;  // light, dark or off; empty: the IDE's default (light)
  bool Welcome = false;  // open the welcome page
  std::vector<std::string> OptionsPages;  // AREA/CAPTION, in order
  bool Quiet = false;
  std::filesystem::path PluginFolder;  // --plugins; empty: Plugins/ beside the package
  bool Strict = false;
  bool Profile = false;
  bool Follow = false;
  // --wait-for: message-view lines to wait for after the last step, in order.
  std::vector<std::string> WaitFor;
  std::chrono::milliseconds WaitTimeout{10000};  // each --wait-for
  // A call into plug-in code from the main thread that takes longer ends the run.
  std::chrono::milliseconds HangTimeout{30000};
  // "check FILE...": only read these files, run nothing.
  bool Check = false;
  std::vector<std::filesystem::path> CheckFiles;
};

struct TParsedCommandLine {
  TCommandLine Options;
  // -1: run. Otherwise exit with this status after printing Message (to
  // standard output for --help, else to standard error).
  int ExitStatus = -1;
  std::string Message;
};

// Args without the program name. Options take their value as the next
// argument or after "=" (--lang=de-DE).
TParsedCommandLine ParseCommandLine(const std::vector<std::string>& Args);

// --help: what the program does, every option, the --strict causes and the
// reasons a file is not loaded.
std::string QorbIDEUsage();

struct TOptionHelp {
  const char* Name;  // with its argument: "--lang TAG"
  const char* Text;  // its further lines after "\n"
};
std::span<const TOptionHelp> QorbIDEOptions();
