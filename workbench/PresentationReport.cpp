#include "workbench/PresentationReport.h"

#include "workbench/pictures/BrandingPicture.h"
#include "ide/IDE.h"
#include "workbench/OptionsPageShow.h"
#include "ide/PictureFile.h"
#include "workbench/pictures/WelcomePagePicture.h"
#include "ide/WelcomePageService.h"

namespace {

void Picture(TIDE& Ide, const char* Name, void (*Save)(TIDE&, std::u16string_view)) {
  const std::filesystem::path file = Ide.PicturesDirectory() / Name;
  WritePicture(Ide, file, [&] { Save(Ide, Utf8ToUtf16(file.string())); });
}

}  // namespace

void OpenWelcomePage(TIDE& Ide) {
  if (TWelcomePageService* page = Ide.Services().Service<TWelcomePageService>()) page->ShowWelcomePage();
}

std::string FormatPresentation(TIDE& Ide, bool WelcomePageOpened) {
  std::string out;
  for (const std::string& section : {WelcomePageOpened ? FormatWelcomePage(Ide) : std::string(),
                                     FormatSplashScreen(Ide), FormatAboutBox(Ide)})
    if (!section.empty()) out += '\n' + section;
  return out;
}

void SavePresentationPictures(TIDE& Ide, bool WelcomePageOpened) {
  if (Ide.PicturesDirectory().empty()) return;
  if (WelcomePageOpened) Picture(Ide, "welcome-page.png", &SaveWelcomePagePicture);
  if (!FormatSplashScreen(Ide).empty()) Picture(Ide, "splash-screen.png", &SaveSplashScreenPicture);
  if (!FormatAboutBox(Ide).empty()) Picture(Ide, "about-box.png", &SaveAboutBoxPicture);
}

std::string ShowOptionsPages(TIDE& Ide, const std::vector<std::string>& Pages, std::vector<std::string>& Errors) {
  std::string out;
  for (const std::string& page : Pages) {
    const TOptionsPageShowing showing = ShowOptionsPage(Ide, page, NamedPicturePath(Ide, "options", page));
    if (!showing.Found) Errors.push_back("no options page \"" + page + "\"");
    out += '\n' + showing.Text;
  }
  return out;
}
