#include "workbench/StrictCauses.h"

#include "ide/IDE.h"
#include "ide/MessageView.h"

void TErrorLines::Watch(TIDE& Ide) {
  TMessageView* view = Ide.Services().Service<TMessageView>();
  if (!view) return;
  auto previous = std::move(view->OnMessageAdded);
  view->OnMessageAdded = [previous = std::move(previous), shared = shared_](TMessageGroup& Group,
                                                                            IOTACustomMessage* Line) {
    if (previous) previous(Group, Line);
    UnicodeString text;
    if (Line) Line->GetLineText(text);
    std::string line = text.ToUtf8();
    // "[hh:nn:ss.zzz] [Source] [Error] Message", the logger's line
    if (line.find("] [Error] ") == std::string::npos) return;
    const std::lock_guard lock(shared->Lock);
    shared->Lines.push_back(std::move(line));
  };
}

std::vector<std::string> TErrorLines::Lines() const {
  const std::lock_guard lock(shared_->Lock);
  return shared_->Lines;
}

namespace {

enum { kNotLoadedCause, kPassedOverCause, kExceptionCause, kErrorLineCause, kResourceMistakeCause, kFaultHandlingCause,
       kLeftBehindCause };

constexpr TStrictCauseKind kKinds[] = {
    {"not loaded", "a *.dll of the plug-in folder the host did not load"},
    {"passed over", "a plug-in in a sub-folder, or not named *.dll"},
    {"exception caught", "an exception that left plug-in code (\"Exceptions:\")"},
    {"error logged", "a message-view line logged at the error level"},
    {"resource mistake", "version texts or an icon the host cannot show"},
    {"fault handling taken", "a plug-in's own fault signal handler, alternate stack or unhandled-exception filter, taken back"},
    {"left behind", "an event subscription or registered interface of an unloaded plug-in (\"Left alive:\")"},
};

std::string Cause(int kind, const std::string& text) { return std::string(kKinds[kind].Name) + ": " + text; }

std::string FileAndReason(const TSkippedFile& f) {
  return (f.Path.is_absolute() ? f.Path.filename() : f.Path).string() + ": " + f.Reason;
}

}  // namespace

std::span<const TStrictCauseKind> StrictCauseKinds() { return kKinds; }

std::string FormatStrictCauseKinds(std::string_view Indent) {
  std::string out;
  for (const TStrictCauseKind& k : kKinds) out.append(Indent).append(k.Name).append(": ").append(k.Meaning).append("\n");
  return out;
}

std::vector<std::string> StrictCauses(const TStrictInputs& Inputs) {
  std::vector<std::string> causes;
  for (const TSkippedFile& f : Inputs.NotLoaded) causes.push_back(Cause(kNotLoadedCause, FileAndReason(f)));
  for (const TSkippedFile& f : Inputs.PassedOver) causes.push_back(Cause(kPassedOverCause, FileAndReason(f)));
  for (const std::string& e : Inputs.CaughtExceptions) causes.push_back(Cause(kExceptionCause, e));
  for (const std::string& l : Inputs.ErrorLines) causes.push_back(Cause(kErrorLineCause, l));
  for (const std::string& m : Inputs.ResourceMistakes) causes.push_back(Cause(kResourceMistakeCause, m));
  for (const std::string& t : Inputs.FaultHandlingTaken) causes.push_back(Cause(kFaultHandlingCause, t));
  for (const std::string& l : Inputs.LeftBehind) causes.push_back(Cause(kLeftBehindCause, l));
  return causes;
}
