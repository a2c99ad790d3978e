#pragma once
// qorb-ide check: would the host load a file as a plug-in, and if not, why.
// The file is only read (the platform's probe, libelf, the version and
// resource functions); none of its code runs.
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "plugins/Qorb.Main.VersionInfo.h"

struct TRawVersionString {
  std::string Key;
  std::u16string Value;  // as stored, untrimmed
};

// One string table of the version resource, with every string it holds.
struct TStringBlock {
  std::string Key;  // as stored: "040904B0"
  bool ReadByHost = false;
  std::vector<TRawVersionString> Strings;
};

struct TPluginCheck {
  std::filesystem::path File;
  // Every reason it would not load, in the order the host meets them; empty
  // when it would load.
  std::vector<std::string> Reasons;
  std::vector<std::string> Hints;
  bool IsLibrary = false;  // the probe read it; the rest below is then set
  TQorbVersionInfo Version;  // as the host shows it
  std::string FixedVersion;  // the fixed file information, raw; empty if absent
  std::vector<TRawVersionString> RawStrings;  // of the first translation
  std::vector<TStringBlock> StringBlocks;     // in stored order
  // The block the host reads, named by the first Translation entry
  // ("040904b0"); empty when there is no Translation entry.
  std::string HostBlock;
  bool HostBlockMissing() const;
  uint32_t IconBytes = 0;  // 0: no QORBPLUGINICON resource
  int IconWidth = 0, IconHeight = 0;  // 0: it does not decode
  std::string CRuntime;  // CRuntimeOf the libraries it needs
  bool WouldLoad() const { return Reasons.empty(); }
};

TPluginCheck CheckPluginFile(const std::filesystem::path& File);

// Why File does not export InitPlugin or Shutdown as far as its symbols
// tell (a C++ name, a hidden symbol, another spelling); empty when they
// say nothing.
std::vector<std::string> ExportHints(const std::filesystem::path& File);

// What the host shows wrongly because of how the file's resources are
// made (version texts empty for want of the block the host reads, an icon
// that is not a PNG), one line each; empty when nothing.
std::vector<std::string> ResourceMistakes(const TPluginCheck& Check);

// What "qorb-ide check" prints for one file.
std::string FormatPluginCheck(const TPluginCheck& Check);

// Checks each file, prints to Out; answers the exit status (0: all load).
int RunPluginCheck(const std::vector<std::filesystem::path>& Files, std::ostream& Out, std::ostream& Err);
