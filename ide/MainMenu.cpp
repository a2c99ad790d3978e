#include "ide/MainMenu.h"

#include "vcl/Menus.h"

namespace {

struct TopLevel {
  const char16_t* Name;
  const char16_t* Caption;
};
constexpr TopLevel kTopLevel[] = {
    {u"FileMenu", u"File"},       {u"EditMenu", u"Edit"},       {u"SearchMenu", u"Search"},
    {u"ViewMenu", u"View"},       {u"RefactorMenu", u"Refactor"}, {u"ProjectMenu", u"Project"},
    {u"RunMenu", u"Run"},         {u"ComponentMenu", u"Component"}, {u"ToolsMenu", u"Tools"},
    {u"WindowMenu", u"Window"},   {u"HelpMenu", u"Help"},
};

TMenuItem* FindByName(TMenuItem* parent, std::u16string_view name) {
  for (int i = 0; i < parent->Count(); ++i) {
    TMenuItem* item = parent->Items(i);
    if (SameText(item->Name().view(), name)) return item;
    if (TMenuItem* found = FindByName(item, name)) return found;
  }
  return nullptr;
}

TMenuItem* FindAt(TMenuItem* parent, const void* address) {
  for (int i = 0; i < parent->Count(); ++i) {
    TMenuItem* item = parent->Items(i);
    if (item == address) return item;
    if (TMenuItem* found = FindAt(item, address)) return found;
  }
  return nullptr;
}

std::u16string WithoutAccelerators(std::u16string_view s) {
  std::u16string r;
  for (size_t i = 0; i < s.size(); ++i) {
    if (s[i] == u'&') {
      if (i + 1 < s.size() && s[i + 1] == u'&') r += u'&', ++i;  // "&&" is a literal &
      continue;
    }
    r += s[i];
  }
  return r;
}

}  // namespace

void BuildStandardMainMenu(TMainMenu& Menu) {
  for (const TopLevel& t : kTopLevel) {
    auto* item = new TMenuItem(&Menu);  // owned by the menu
    item->SetName(UnicodeString(t.Name));
    item->SetCaption(UnicodeString(t.Caption));
    Menu.Items()->Add(item);
  }
}

TMenuItem* FindMenuItemByName(const TMainMenu& Menu, std::u16string_view Name) {
  if (Name.empty()) return nullptr;
  return FindByName(Menu.Items(), Name);
}

TMenuItem* FindMenuItemByPath(const TMainMenu& Menu, std::u16string_view Path) {
  TMenuItem* current = Menu.Items();
  while (current) {
    const size_t slash = Path.find(u'/');
    const std::u16string_view step = Path.substr(0, slash);
    if (step.empty()) return nullptr;
    TMenuItem* next = nullptr;
    for (int i = 0; i < current->Count() && !next; ++i) {
      const std::u16string_view caption = current->Items(i)->Caption().view();
      if (SameText(caption, step) || SameText(WithoutAccelerators(caption), step)) next = current->Items(i);
    }
    if (!next || slash == std::u16string_view::npos) return next;
    current = next;
    Path.remove_prefix(slash + 1);
  }
  return nullptr;
}

TMenuItem* FindMenuItemAt(const TMainMenu& Menu, const void* Address) {
  return Address ? FindAt(Menu.Items(), Address) : nullptr;
}
