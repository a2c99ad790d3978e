#include "workbench/FollowMessages.h"

#include <mutex>
#include <ostream>

#include "ide/IDE.h"
#include "ide/MessageView.h"
#include "rtl/OwnMutex.h"

void FollowMessages(TIDE& Ide, std::ostream& Out) {
  TMessageView* view = Ide.Services().Service<TMessageView>();
  if (!view) return;
  auto previous = std::move(view->OnMessageAdded);
  view->OnMessageAdded = [previous = std::move(previous), &Out](TMessageGroup& Group, IOTACustomMessage* Line) {
    static TMutex lock;
    if (previous) previous(Group, Line);
    UnicodeString text;
    if (Line) Line->GetLineText(text);
    const std::string line = "[" + Group.Name().ToUtf8() + "] " + text.ToUtf8() + "\n";
    const std::lock_guard guard(lock);
    Out << line << std::flush;
  };
}
