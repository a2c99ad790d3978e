#pragma once
// The reasons qorb-ide gives for a file of the plug-in folder the host did
// not load ("Not loaded:") or never looked at ("Passed over:"), in the order
// the host meets them. Written once here: the output, --help and the guide's
// copy all come from this list.
#include <span>
#include <string>
#include <string_view>

enum class TNotLoaded {
  LinkToNothing,
  LinkLoop,
  NoSuchFile,
  Folder,
  Pipe,
  Socket,
  Device,
  NotALibrary,
  NoExports,
  NoInitPlugin,
  NoShutdown,
  LoaderRefused,
  InitPluginRaised,
  DidNotStayLoaded,
  InSubFolder,
  NotNamedDll,
};

// The text, with "%s" where a detail goes (a path, the loader's words).
struct TNotLoadedReason {
  TNotLoaded Kind;
  const char* Text;
};
std::span<const TNotLoadedReason> NotLoadedReasons();

// The reason's text with its "%s" replaced by Detail.
std::string NotLoadedReason(TNotLoaded Kind, std::string_view Detail = {});

// For --help: one line a reason, "..." for each detail.
std::string FormatNotLoadedReasons(std::string_view Indent);
