#include "workbench/MessageViewReport.h"

#include "ide/IDE.h"
#include "ide/MessageView.h"
#include "workbench/pictures/MessageViewPicture.h"
#include "ide/PictureFile.h"
#include "ide/ReportText.h"
#include "ide/ThemingServices.h"

namespace {
constexpr char16_t kGroup[] = u"Qorb";

ComPtr<TMessageGroup> QorbGroup(TIDE& Ide) {
  TMessageView* view = Ide.Services().Service<TMessageView>();
  return view ? view->FindGroup(kGroup) : nullptr;
}
}  // namespace

std::string FormatQorbMessages(TIDE& Ide) {
  ComPtr<TMessageGroup> group = QorbGroup(Ide);
  if (!group) return {};
  std::string out = "Messages (Qorb):\n";
  for (const UnicodeString& line : group->Texts()) {
    out += "  ";
    AppendIndented(out, line.ToUtf8(), "    ");
    out += '\n';
  }
  return out;
}

void SaveMessageViewPicture(TIDE& Ide) {
  if (Ide.PicturesDirectory().empty()) return;
  if (ComPtr<TMessageGroup> group = QorbGroup(Ide)) {
    const std::filesystem::path file = Ide.PicturesDirectory() / "messages.png";
    WritePicture(Ide, file, [&] { SaveMessageGroupPicture(Ide, *group, Utf8ToUtf16(file.string())); });
  }
}

bool SetIDETheme(TIDE& Ide, std::string_view Theme) {
  TThemingServices* theming = Ide.Services().Service<TThemingServices>();
  if (!theming) return false;
  if (Theme == "off") {
    theming->SetThemingEnabled(false);
    return true;
  }
  if (Theme != "light" && Theme != "dark") return false;
  theming->SetThemingEnabled(true);
  return theming->SetActiveTheme(UnicodeString::FromUtf8(Theme));
}
