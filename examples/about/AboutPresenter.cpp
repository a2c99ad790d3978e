#include "examples/about/AboutPresenter.h"

#include <filesystem>
#include <iostream>

#include "examples/about/AboutPicture.h"
#include "examples/about/AboutText.h"
#include "ide/IDE.h"
#include "rtl/Exception.h"
#include "vcl/PngImage.h"

namespace {

constexpr uint32_t kInformationBox = 0x40;  // MB_OK | MB_ICONINFORMATION

}  // namespace

bool PresentAboutDialog(const TAboutData& AData) {
  TIDE* ide = TIDE::Current();
  if (ide && !ide->PicturesDirectory().empty()) {
    const std::unique_ptr<TBitmap> picture = DrawAboutDialog(AData);
    const std::filesystem::path file = ide->PicturesDirectory() / "about-dialog.png";
    try {
      SavePngFile(*picture, Utf8ToUtf16(file.string()));
    } catch (const Exception&) {
      return false;
    }
    return true;
  }
  const std::u16string text = AboutText(AData);
  if (ide) {
    ide->MessageBoxes().Show(UnicodeString(text), UnicodeString(AboutWords(AData).Title), kInformationBox);
    return true;
  }
  std::cout << Utf16ToUtf8(text) << std::endl;
  return true;
}
