#include "workbench/pictures/BrandingPicture.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "ide/AboutBoxService.h"
#include "ide/IDE.h"
#include "ide/IDEPaintStyle.h"
#include "ide/SplashScreenService.h"
#include "workbench/pictures/TransparentColor.h"
#include "vcl/Bitmap.h"
#include "vcl/Canvas.h"
#include "vcl/PngImage.h"

namespace {

constexpr int kMargin = 8;
constexpr int kPicture = 24;
constexpr int kTextLeft = kMargin + kPicture + 8;
constexpr int kMinWidth = 360;

struct TEntry {
  UnicodeString Title;
  UnicodeString Version;
  std::vector<UnicodeString> Lines;
  std::shared_ptr<const TBitmap> Picture;
};

std::vector<UnicodeString> SplitLines(std::u16string_view text) {
  std::vector<UnicodeString> lines;
  if (text.empty()) return lines;
  for (size_t start = 0;;) {
    const size_t end = text.find(u'\n', start);
    std::u16string_view line = text.substr(start, end == std::u16string_view::npos ? text.npos : end - start);
    if (!line.empty() && line.back() == u'\r') line.remove_suffix(1);
    lines.emplace_back(line);
    if (end == std::u16string_view::npos) return lines;
    start = end + 1;
  }
}

std::vector<TEntry> SplashEntries(TIDE& ide) {
  std::vector<TEntry> out;
  if (auto* splash = ide.Services().Service<TSplashScreenService>())
    for (const TSplashEntry& e : splash->Entries())
      out.push_back({e.Caption, e.LicenseStatus, {}, std::shared_ptr<const TBitmap>(e.Picture())});
  return out;
}

std::vector<TEntry> AboutEntries(TIDE& ide) {
  std::vector<TEntry> out;
  if (auto* about = ide.Services().Service<TAboutBoxService>())
    for (const TAboutBoxEntry& e : about->Entries())
      out.push_back({e.Title, e.LicenseStatus, SplitLines(e.Description),
                     std::shared_ptr<const TBitmap>(CopyBitmapHandle(e.Image))});
  return out;
}

void Paint(TIDE& ide, const std::vector<TEntry>& entries, TBitmap& bitmap) {
  const TIDEPaintColors colors = IDEPaintColors(ide);
  TCanvas measure;
  SetIDEFont(ide, measure);
  const int lineHeight = std::max(measure.TextHeight(u"Wp"), 1);
  const int gap = 6;

  int width = kMinWidth;
  int height = kMargin;
  for (const TEntry& e : entries) {
    width = std::max(width, kTextLeft + measure.TextWidth(e.Title) + gap + measure.TextWidth(e.Version) + kMargin);
    for (const UnicodeString& line : e.Lines) width = std::max(width, kTextLeft + measure.TextWidth(line) + kMargin);
    height += std::max(kPicture, lineHeight * static_cast<int>(1 + e.Lines.size())) + kMargin;
  }
  height = std::max(height, 2 * kMargin + kPicture);

  bitmap.SetPixelFormat(pf24bit);
  bitmap.SetSize(width, height);
  TCanvas canvas(bitmap);
  SetIDEFont(ide, canvas);
  canvas.Brush()->SetColor(colors.Background);
  canvas.FillRect(TRect{0, 0, width, height});
  int top = kMargin;
  for (const TEntry& e : entries) {
    if (e.Picture)
      canvas.StretchDraw(Bounds(kMargin, top, kPicture, kPicture), *WithTransparentColor(*e.Picture, LogoTransparentRgb));
    canvas.Brush()->SetStyle(bsClear);
    canvas.Font()->SetColor(colors.Text);
    canvas.TextOut(kTextLeft, top, e.Title);
    canvas.Font()->SetColor(colors.Dim);
    canvas.TextOut(kTextLeft + canvas.TextWidth(e.Title) + gap, top, e.Version);
    int y = top + lineHeight;
    for (const UnicodeString& line : e.Lines) {
      canvas.TextOut(kTextLeft, y, line);
      y += lineHeight;
    }
    top += std::max(kPicture, lineHeight * static_cast<int>(1 + e.Lines.size())) + kMargin;
  }
}

std::string FormatEntries(const char* heading, const std::vector<TEntry>& entries) {
  if (entries.empty()) return {};
  std::string out = std::string(heading) + ":\n";
  for (const TEntry& e : entries) {
    out += "  " + e.Title.ToUtf8();
    if (!e.Version.IsEmpty()) out += "  " + e.Version.ToUtf8();
    if (e.Picture)
      out += "  [" + std::to_string(e.Picture->Width()) + "x" + std::to_string(e.Picture->Height()) + " picture]";
    else
      out += "  [no picture]";
    out += '\n';
    for (const UnicodeString& line : e.Lines) out += "    " + line.ToUtf8() + '\n';
  }
  return out;
}

}  // namespace

std::unique_ptr<TBitmap> CopyBitmapHandle(void* Handle) {
  BITMAP info{};
  if (!Handle || GetObjectW(Handle, sizeof(info), &info) != sizeof(info) || !info.bmBits) return nullptr;
  if (info.bmBitsPixel != 24 && info.bmBitsPixel != 32) return nullptr;
  auto copy = std::make_unique<TBitmap>();
  copy->SetPixelFormat(info.bmBitsPixel == 32 ? pf32bit : pf24bit);
  copy->SetSize(info.bmWidth, info.bmHeight);
  const size_t rowBytes = static_cast<size_t>(info.bmWidth) * static_cast<size_t>(info.bmBitsPixel / 8);
  for (int y = 0; y < info.bmHeight; ++y)
    std::memcpy(copy->ScanLine(y), static_cast<const uint8_t*>(info.bmBits) + static_cast<size_t>(y) * info.bmWidthBytes,
                rowBytes);
  return copy;
}

void PaintSplashScreen(TIDE& Ide, TBitmap& Bitmap) { Paint(Ide, SplashEntries(Ide), Bitmap); }

void PaintAboutBox(TIDE& Ide, TBitmap& Bitmap) { Paint(Ide, AboutEntries(Ide), Bitmap); }

void SaveSplashScreenPicture(TIDE& Ide, std::u16string_view FileName) {
  TBitmap bitmap;
  PaintSplashScreen(Ide, bitmap);
  SavePngFile(bitmap, FileName);
}

void SaveAboutBoxPicture(TIDE& Ide, std::u16string_view FileName) {
  TBitmap bitmap;
  PaintAboutBox(Ide, bitmap);
  SavePngFile(bitmap, FileName);
}

std::string FormatSplashScreen(TIDE& Ide) { return FormatEntries("Splash screen", SplashEntries(Ide)); }

std::string FormatAboutBox(TIDE& Ide) { return FormatEntries("About box", AboutEntries(Ide)); }
