#include "examples/about/AboutPresenter.h"

#include <filesystem>

#include "examples/about/AboutPicture.h"
#include "examples/about/AboutText.h"
#include "ide/IDE.h"
#include "rtl/Exception.h"
#include "vcl/PngImage.h"
#include "winapi/MessageBox.h"

bool PresentAboutDialog(const TAboutData& AData) {
  const std::u16string text = AboutText(AData);
  const UnicodeString title(AboutWords(AData).Title);
  MessageBoxW(nullptr, text.c_str(), title.c_str(), MB_OK | MB_ICONINFORMATION);

  TIDE* ide = TIDE::Current();
  if (!ide || ide->PicturesDirectory().empty()) return true;
  const std::unique_ptr<TBitmap> picture = DrawAboutDialog(AData);
  const std::filesystem::path file = ide->PicturesDirectory() / "about-dialog.png";
  try {
    SavePngFile(*picture, Utf8ToUtf16(file.string()));
  } catch (const Exception&) {
    return false;
  }
  return true;
}
