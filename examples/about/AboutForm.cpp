#include "examples/about/AboutForm.h"

#include <algorithm>

#include "examples/about/AboutText.h"
#include "vcl/Image.h"
#include "vcl/Label.h"
#include "vcl/Panel.h"

namespace {

constexpr int kWidth = 480;
constexpr int kMargin = 16;
constexpr int kListTop = 170;
constexpr int kRowHeight = 44;
constexpr int kIconSize = 32;
constexpr TColor kLinkColor = ColorOf(0xCC6600);

TLabel* AddLabel(TWinControl* AParent, int ALeft, int ATop, const std::u16string& AText, int ASize,
                 TColor AColor = clWindowText, TFontStyles AStyle = {}) {
  auto* label = new TLabel(AParent);  // owned by its parent, and so by the form
  label->SetParent(AParent);
  label->Font()->SetSize(ASize);
  label->Font()->SetColor(AColor);
  label->Font()->SetStyle(AStyle);
  label->SetCaption(UnicodeString(AText));
  label->SetLeft(ALeft);
  label->SetTop(ATop);
  return label;
}

void AddPluginRow(TPanel* AList, int ATop, const TAboutPlugin& APlugin) {
  if (APlugin.Icon) {
    auto* icon = new TImage(AList);
    icon->SetParent(AList);
    icon->SetBounds(6, ATop + (kRowHeight - kIconSize) / 2, kIconSize, kIconSize);
    icon->SetStretch(true);
    icon->Picture()->Assign(*APlugin.Icon);
  }
  constexpr int textLeft = 6 + kIconSize + 10;
  AddLabel(AList, textLeft, ATop + 5, APlugin.Name, 9, clWindowText, {fsBold});
  std::u16string detail = APlugin.Version;
  if (!APlugin.WebURL.empty()) detail += (detail.empty() ? u"" : u"  -  ") + APlugin.WebURL;
  if (!detail.empty()) AddLabel(AList, textLeft, ATop + 23, detail, 8, clGrayText);
}

}  // namespace

std::unique_ptr<TForm> CreateAboutForm(const TAboutData& AData) {
  const TAboutWords words = AboutWords(AData);
  const int rows = std::max<int>(1, static_cast<int>(AData.Plugins.size()));
  const int height = kListTop + rows * kRowHeight + 60;

  auto form = std::make_unique<TForm>(nullptr);
  form->SetName(u"AboutDialog");
  form->SetCaption(UnicodeString(words.Title));
  form->SetBounds(0, 0, kWidth, height);

  AddLabel(form.get(), kMargin, kMargin, AData.ProductName, 14, clWindowText, {fsBold});
  int y = kMargin + 34;
  AddLabel(form.get(), kMargin, y, words.VersionLabel + u" " + AData.Version, 9);
  for (const std::u16string* line : {&AData.Company, &AData.Copyright})
    if (!line->empty()) AddLabel(form.get(), kMargin, y += 20, *line, 9);
  if (!AData.Website.empty()) AddLabel(form.get(), kMargin, y += 20, AData.Website, 9, kLinkColor, {fsUnderline});

  AddLabel(form.get(), kMargin, kListTop - 22, words.PluginsHeading, 9, clWindowText, {fsBold});
  auto* list = new TPanel(form.get());
  list->SetParent(form.get());
  list->SetBounds(kMargin, kListTop, kWidth - 2 * kMargin, rows * kRowHeight + 2);
  list->SetBevelOuter(bvLowered);
  list->SetShowCaption(false);
  list->SetParentBackground(false);
  list->SetColor(clWindow);
  if (AData.Plugins.empty()) AddLabel(list, 10, 14, words.NoPlugins, 9, clGrayText);
  int rowTop = 1;
  for (const TAboutPlugin& plugin : AData.Plugins) {
    AddPluginRow(list, rowTop, plugin);
    rowTop += kRowHeight;
  }

  auto* close = new TPanel(form.get());
  close->SetParent(form.get());
  close->SetBounds(kWidth - kMargin - 90, height - 42, 90, 26);
  close->SetCaption(UnicodeString(words.Close));
  return form;
}
