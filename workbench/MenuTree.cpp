#include "workbench/MenuTree.h"

#include "vcl/Menus.h"

namespace {
void Append(std::string& out, const TMenuItem& parent, int depth) {
  for (int i = 0; i < parent.Count(); ++i) {
    const TMenuItem& item = *parent.Items(i);
    out.append(static_cast<size_t>(depth) * 2, ' ');
    out += item.IsLine() ? std::string("-") : item.Caption().ToUtf8();
    out += '\n';
    Append(out, item, depth + 1);
  }
}
}  // namespace

std::string FormatMenuTree(const TMainMenu& Menu) {
  std::string out;
  Append(out, *Menu.Items(), 0);
  return out;
}
