#include "ide/PictureFile.h"

#include <cctype>

#include "ide/IDE.h"
#include "rtl/Exception.h"

bool WritePicture(TIDE& Ide, const std::filesystem::path& File, const std::function<void()>& Write) {
  try {
    Write();
    return true;
  } catch (...) {
    const CaughtException e = DescribeCurrentException();
    Ide.ReportError(UnicodeString(u"Cannot write the picture " + Utf8ToUtf16(File.string()) + u": " +
                                  std::u16string(e.Message.view())));
    return false;
  }
}

std::filesystem::path NamedPicturePath(TIDE& Ide, std::string_view Kind, const std::string& Name) {
  if (Ide.PicturesDirectory().empty()) return {};
  std::string file(Kind);
  file += '-';
  for (unsigned char c : Name) file += std::isalnum(c) ? static_cast<char>(c) : '-';
  return Ide.PicturesDirectory() / (file + ".png");
}
