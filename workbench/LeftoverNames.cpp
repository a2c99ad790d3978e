#include "workbench/LeftoverNames.h"

#include <filesystem>
#include <map>

#include "winapi/Modules.h"
#include "vcl/Menus.h"
#include "winapi/Gdi.h"
#include "winapi/WindowMessages.h"

namespace {

std::string FileOf(const void* code) {
  std::string path;
  if (!qorb::winapi::FindUnloadedModule(code, path)) return {};
  return std::filesystem::path(path).filename().string();
}

std::string Owners(const std::map<std::string, int>& counts, const char* verb) {
  std::string out;
  for (const auto& [file, n] : counts) {
    out += out.empty() ? std::string(": ") + std::to_string(n) + " " + verb + " by " : ", " + std::to_string(n) + " by ";
    out += file + " (unloaded)";
  }
  return out;
}

void Walk(const TMenuItem& item, const std::u16string& path, const std::set<const TMenuItem*>& atStart,
          std::vector<UnicodeString>& out) {
  for (int i = 0; i < item.Count(); ++i) {
    const TMenuItem* child = item.Items(i);
    const std::u16string childPath = path + (path.empty() ? u"" : u"/") + std::u16string(child->Caption().view());
    if (!atStart.count(child)) {
      std::string line = "menu item \"" + Utf16ToUtf8(childPath) + "\" left in the main menu";
      line += UnloadedCodeNote(reinterpret_cast<const void*>(child->OnClick.Code));
      out.push_back(UnicodeString::FromUtf8(line));
    }
    Walk(*child, childPath, atStart, out);
  }
}

}  // namespace

std::string UnloadedCodeNote(const void* Code) {
  const std::string file = FileOf(Code);
  return file.empty() ? std::string() : " (its handler was in " + file + ", unloaded)";
}

std::vector<UnicodeString> MenuLeftovers(const TMenuItem& Root, const std::set<const TMenuItem*>& AtStart) {
  std::vector<UnicodeString> out;
  Walk(Root, u"", AtStart, out);
  return out;
}

std::string WindowOwners() {
  std::map<std::string, int> counts;
  for (const void* code : LiveWindowHandlers())
    if (std::string file = FileOf(code); !file.empty()) ++counts[file];
  return Owners(counts, "made");
}

std::string GdiObjectOwners() {
  std::map<std::string, int> counts;
  for (const std::vector<void*>& chain : GdiLiveObjectCreators())
    for (const void* frame : chain)
      if (std::string file = FileOf(frame); !file.empty()) {
        ++counts[file];
        break;
      }
  return Owners(counts, "made");
}

namespace {

void FindDangling(const TMenuItem& item, const std::u16string& path, const std::string& library,
                  std::vector<UnicodeString>& out) {
  for (int i = 0; i < item.Count(); ++i) {
    const TMenuItem* child = item.Items(i);
    const std::u16string childPath = path + (path.empty() ? u"" : u"/") + std::u16string(child->Caption().view());
    std::string owner;
    const auto* code = reinterpret_cast<const void*>(child->OnClick.Code);
    if (code && qorb::winapi::FindUnloadedModule(code, owner) && owner == library)
      out.push_back(UnicodeString::FromUtf8("menu item \"" + Utf16ToUtf8(childPath) + "\" stayed in the menu after " +
                                            std::filesystem::path(library).filename().string() +
                                            " was unloaded; its click handler was there"));
    FindDangling(*child, childPath, library, out);
  }
}

}  // namespace

std::vector<UnicodeString> DanglingMenuItems(const TMenuItem& Root, const std::string& Path) {
  std::vector<UnicodeString> out;
  FindDangling(Root, u"", Path, out);
  return out;
}
