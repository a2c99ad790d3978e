#include "examples/about/AboutText.h"

TAboutWords AboutWords(const TAboutData& AData) {
  if (AData.German)
    return {u"Ueber " + AData.ProductName, u"Version", u"Geladene Plug-ins", u"Keine Plug-ins geladen", u"Schliessen"};
  return {u"About " + AData.ProductName, u"Version", u"Loaded plug-ins", u"No plug-ins loaded", u"Close"};
}

std::u16string AboutText(const TAboutData& AData) {
  const TAboutWords words = AboutWords(AData);
  std::u16string text = AData.ProductName + u"\n";
  text += words.VersionLabel + u" " + AData.Version + u"\n";
  for (const std::u16string* line : {&AData.Company, &AData.Copyright, &AData.Website})
    if (!line->empty()) text += *line + u"\n";
  text += u"\n" + words.PluginsHeading + u":";
  if (AData.Plugins.empty()) text += u"\n  " + words.NoPlugins;
  for (const TAboutPlugin& plugin : AData.Plugins) {
    text += u"\n  " + plugin.Name;
    if (!plugin.Version.empty()) text += u" " + plugin.Version;
    if (!plugin.WebURL.empty()) text += u" (" + plugin.WebURL + u")";
    if (plugin.Icon) text += u" [icon]";
  }
  return text;
}
