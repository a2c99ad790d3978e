#include "vcl/Label.h"

#include <algorithm>
#include <vector>

namespace {

std::vector<std::u16string_view> Lines(std::u16string_view text) {
  std::vector<std::u16string_view> lines;
  size_t start = 0;
  for (;;) {
    const size_t end = text.find_first_of(u"\r\n", start);
    lines.push_back(text.substr(start, end == std::u16string_view::npos ? std::u16string_view::npos : end - start));
    if (end == std::u16string_view::npos) break;
    start = end + ((text[end] == u'\r' && end + 1 < text.size() && text[end + 1] == u'\n') ? 2 : 1);
  }
  return lines;
}

}  // namespace

TLabel::TLabel(TComponent* AOwner) : TGraphicControl(AOwner) {
  SetBounds(0, 0, 65, 17);
}

void TLabel::SetAutoSize(bool AValue) {
  if (AValue == FAutoSize) return;
  FAutoSize = AValue;
  AdjustBounds();
}

void TLabel::SetAlignment(TAlignment AValue) { FAlignment = AValue; }

void TLabel::AdjustBounds() {
  if (!FAutoSize || Align() == alClient || Destroying()) return;
  Canvas()->Font()->Assign(*Font());
  int w = 0;
  const auto lines = Lines(Caption().view());
  for (std::u16string_view line : lines) w = std::max(w, Canvas()->TextWidth(line));
  // An empty caption still has the size of one blank.
  if (Caption().IsEmpty()) w = Canvas()->TextWidth(u" ");
  const int h = Canvas()->TextHeight(u"Wp") * static_cast<int>(lines.size());
  int left = Left();
  if (Align() == alTop || Align() == alBottom) w = Width();
  if (Align() == alLeft || Align() == alRight) {
    SetBounds(left, Top(), w, Height());
    return;
  }
  if (FAlignment == taRightJustify) left += Width() - w;
  SetBounds(left, Top(), w, h);
}

void TLabel::Paint() {
  TCanvas& canvas = *Canvas();
  const TRect client = ClientRect();
  if (!FTransparent) {
    canvas.Brush()->SetColor(Color());
    canvas.FillRect(client);
  }
  canvas.Brush()->SetStyle(bsClear);
  canvas.Font()->Assign(*Font());
  const auto lines = Lines(Caption().view());
  const int lineHeight = canvas.TextHeight(u"Wp");
  const int total = lineHeight * static_cast<int>(lines.size());
  int y = FLayout == tlTop ? 0 : FLayout == tlCenter ? (client.Height() - total) / 2 : client.Height() - total;
  for (std::u16string_view line : lines) {
    const int w = canvas.TextWidth(line);
    const int x = FAlignment == taLeftJustify ? 0 : FAlignment == taCenter ? (client.Width() - w) / 2 : client.Width() - w;
    canvas.TextOut(x, y, line);
    y += lineHeight;
  }
}
