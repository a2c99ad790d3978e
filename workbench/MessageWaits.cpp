#include "workbench/MessageWaits.h"

#include <algorithm>
#include <cstdio>

#include "ide/IDE.h"
#include "ide/MessageGroup.h"
#include "ide/MessageView.h"

TMessageWaits::TMessageWaits(TIDE& Ide) : ide_(Ide) {
  TMessageView* view = Ide.Services().Service<TMessageView>();
  if (!view) return;
  auto previous = std::move(view->OnMessageAdded);
  view->OnMessageAdded = [seen = seen_, previous = std::move(previous)](TMessageGroup& Group,
                                                                        IOTACustomMessage* Line) {
    if (previous) previous(Group, Line);
    UnicodeString text;
    if (Line) Line->GetLineText(text);
    const std::lock_guard guard(seen->lock);
    seen->lines.push_back(text.ToUtf8());
  };
}

bool TMessageWaits::Found(const std::string& Text) {
  const std::lock_guard guard(seen_->lock);
  const std::vector<std::string>& lines = seen_->lines;
  for (size_t i = next_; i < lines.size(); ++i)
    if (lines[i].find(Text) != std::string::npos) {
      next_ = i + 1;
      return true;
    }
  return false;
}

std::string TMessageWaits::WaitFor(const std::string& Text, std::chrono::milliseconds Timeout,
                                   const std::function<void()>& RunWork) {
  // What is already posted counts before anything is waited for.
  RunWork();
  const auto deadline = std::chrono::steady_clock::now() + Timeout;
  while (!Found(Text)) {
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
    if (left.count() <= 0) return Failure(Text, Timeout);
    if (ide_.MainLoop().WaitForWork(left)) RunWork();
  }
  return {};
}

std::string TMessageWaits::Failure(const std::string& Text, std::chrono::milliseconds Timeout) const {
  char seconds[32];
  std::snprintf(seconds, sizeof seconds, "%g", static_cast<double>(Timeout.count()) / 1000);
  std::string text = "--wait-for \"" + Text + "\": no message-view line contained it within " + seconds + " s";
  const std::lock_guard guard(seen_->lock);
  const std::vector<std::string>& lines = seen_->lines;
  const size_t first = lines.size() - std::min(lines.size(), LinesShownOnFailure);
  if (first == lines.size()) return text + "; no line was added at all";
  text += "; the last lines were:";
  for (size_t i = first; i < lines.size(); ++i) text += "\n  " + lines[i];
  return text;
}
