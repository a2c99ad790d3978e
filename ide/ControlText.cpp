#include "ide/ControlText.h"

#include <algorithm>
#include <vector>

#include "vcl/Image.h"
#include "vcl/Label.h"
#include "vcl/ListBox.h"
#include "vcl/Panel.h"

void DescribeControl(TControl& Control, const std::string& Indent, std::string& Out) {
  if (!Control.Visible()) return;
  if (auto* label = dynamic_cast<TLabel*>(&Control)) {
    if (!label->Caption().IsEmpty()) Out += Indent + label->Caption().ToUtf8() + '\n';
    return;
  }
  if (auto* image = dynamic_cast<TImage*>(&Control)) {
    if (!image->Picture()->Empty())
      Out += Indent + "[picture " + std::to_string(image->Width()) + "x" + std::to_string(image->Height()) + "]\n";
    return;
  }
  if (auto* list = dynamic_cast<TListBox*>(&Control)) {
    Out += Indent + "list of " + std::to_string(list->Count()) + (list->Count() == 1 ? " row\n" : " rows\n");
    return;
  }
  auto* windowed = dynamic_cast<TWinControl*>(&Control);
  if (!windowed) return;
  if (auto* panel = dynamic_cast<TPanel*>(windowed); panel && panel->ShowCaption() && !panel->Caption().IsEmpty())
    Out += Indent + panel->Caption().ToUtf8() + '\n';
  std::vector<TControl*> children;
  for (int i = 0; i < windowed->ControlCount(); ++i) children.push_back(windowed->Controls(i));
  std::stable_partition(children.begin(), children.end(), [](const TControl* c) { return c->Align() != alBottom; });
  for (TControl* child : children) DescribeControl(*child, Indent, Out);
}
