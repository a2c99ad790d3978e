#pragma once
// The dialog's words in its two languages, and the dialog as plain text.
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

// One line each: product, version, company, copyright, web address; then
// the plug-ins, one indented line each. No line break at the end.
std::u16string AboutText(const TAboutData& AData);
