#include "examples/about/AboutText.h"

TAboutWords AboutWords(const TAboutData& AData) {
  if (AData.German)
    return {u"Ueber " + AData.ProductName, u"Version", u"Geladene Plug-ins", u"Keine Plug-ins geladen", u"Schliessen"};
  return {u"About " + AData.ProductName, u"Version", u"Loaded plug-ins", u"No plug-ins loaded", u"Close"};
}
