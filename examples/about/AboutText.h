#pragma once
// The dialog's words in its two languages.
#include <string>

#include "examples/about/AboutData.h"

struct TAboutWords {
  std::u16string Title;  // the window caption
  std::u16string VersionLabel;
  std::u16string PluginsHeading;
  std::u16string NoPlugins;
  std::u16string Close;
};

TAboutWords AboutWords(const TAboutData& AData);
