#include "workbench/NotLoadedReasons.h"

namespace {

constexpr TNotLoadedReason kReasons[] = {
    {TNotLoaded::LinkToNothing, "a link to %s, which does not exist"},
    {TNotLoaded::LinkLoop, "a link that goes round in a loop"},
    {TNotLoaded::NoSuchFile, "no such file"},
    {TNotLoaded::Folder, "a folder, not a file"},
    {TNotLoaded::Pipe, "a named pipe, not a file"},
    {TNotLoaded::Socket, "a socket, not a file"},
    {TNotLoaded::Device, "a device, not a file"},
    {TNotLoaded::NotALibrary, "not a library this IDE can load: %s"},
    {TNotLoaded::NoExports, "exports neither InitPlugin nor Shutdown"},
    {TNotLoaded::NoInitPlugin, "exports no InitPlugin"},
    {TNotLoaded::NoShutdown, "exports no Shutdown"},
    {TNotLoaded::LoaderRefused, "the loader refused it: %s"},
    {TNotLoaded::InitPluginRaised, "did not stay loaded: its InitPlugin raised%s"},
    {TNotLoaded::DidNotStayLoaded, "did not stay loaded: a library it needs is missing, or its InitPlugin raised"},
    {TNotLoaded::InSubFolder, "in a sub-folder: the host looks only directly in %s/"},
    {TNotLoaded::NotNamedDll, "exports InitPlugin but is not named *.dll: the host looks only at those"},
};

}  // namespace

std::span<const TNotLoadedReason> NotLoadedReasons() { return kReasons; }

std::string NotLoadedReason(TNotLoaded Kind, std::string_view Detail) {
  for (const TNotLoadedReason& r : kReasons) {
    if (r.Kind != Kind) continue;
    std::string text = r.Text;
    if (const size_t at = text.find("%s"); at != std::string::npos) text.replace(at, 2, Detail);
    return text;
  }
  return {};
}

std::string FormatNotLoadedReasons(std::string_view Indent) {
  std::string out;
  for (const TNotLoadedReason& r : kReasons) {
    std::string text = r.Text;
    // A raised exception's name follows after a space.
    if (const size_t at = text.find("%s"); at != std::string::npos)
      text.replace(at, 2, r.Kind == TNotLoaded::InitPluginRaised ? " ..." : "...");
    out.append(Indent).append(text).append("\n");
  }
  return out;
}
