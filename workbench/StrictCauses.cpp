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

std::vector<std::string> StrictCauses(const TStrictInputs& Inputs) {
  std::vector<std::string> causes;
  for (const TSkippedFile& f : Inputs.NotLoaded) causes.push_back("not loaded: " + (f.Path.is_absolute() ? f.Path.filename() : f.Path).string() + ": " + f.Reason);
  for (const std::string& e : Inputs.CaughtExceptions) causes.push_back("exception caught: " + e);
  for (const std::string& l : Inputs.ErrorLines) causes.push_back("error logged: " + l);
  for (const std::string& m : Inputs.ResourceMistakes) causes.push_back("resource mistake: " + m);
  for (const std::string& t : Inputs.FaultHandlingTaken) causes.push_back("fault handling taken: " + t);
  return causes;
}
