#include "ide/ControlText.h"

#include <algorithm>
#include <vector>

#include "vcl/Image.h"
#include "vcl/Label.h"
#include "vcl/ListBox.h"
#include "vcl/Panel.h"

namespace {

std::string PictureText(const TImage& image) {
  return "[picture " + std::to_string(image.Width()) + "x" + std::to_string(image.Height()) + "]";
}

// A label beside the image, on its row: the image's own caption, such as a
// plug-in's icon beside its name.
bool SideBySide(const TControl& image, const TControl& label) {
  return label.Top() < image.Top() + image.Height() && image.Top() < label.Top() + label.Height() &&
         label.Left() >= image.Left() + image.Width();
}

}  // namespace

void DescribeControl(TControl& Control, const std::string& Indent, std::string& Out) {
  if (!Control.Visible()) return;
  if (auto* label = dynamic_cast<TLabel*>(&Control)) {
    if (!label->Caption().IsEmpty()) Out += Indent + label->Caption().ToUtf8() + '\n';
    return;
  }
  if (auto* image = dynamic_cast<TImage*>(&Control)) {
    if (!image->Picture()->Empty())
      Out += Indent + PictureText(*image) + "\n";
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
  for (size_t i = 0; i < children.size(); ++i) {
    auto* image = dynamic_cast<TImage*>(children[i]);
    auto* label = i + 1 < children.size() ? dynamic_cast<TLabel*>(children[i + 1]) : nullptr;
    if (image && label && image->Visible() && !image->Picture()->Empty() && label->Visible() &&
        !label->Caption().IsEmpty() && SideBySide(*image, *label)) {
      // Read as a person does: the picture, then what it stands beside.
      Out += Indent + PictureText(*image) + " " + label->Caption().ToUtf8() + '\n';
      ++i;
      continue;
    }
    DescribeControl(*children[i], Indent, Out);
  }
}
