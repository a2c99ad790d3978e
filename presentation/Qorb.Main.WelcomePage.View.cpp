#include "presentation/Qorb.Main.WelcomePage.View.h"

#include "otahelper/Qorb.Main.Theming.h"
#include "plugins/Qorb.Main.VersionInfo.h"
#include "presentation/Qorb.Main.DesignedLayout.h"
#include "vcl/Bitmap.h"
#include "vcl/Label.h"
#include "vcl/Panel.h"

namespace {

// Main thread only, like every frame that reads it.
TGetWelcomePagePlugins providerSlot;

constexpr int kIconSize = 36;
constexpr int kIconLeft = 8;
constexpr int kTextLeft = 52;
constexpr int kNameTop = 5;
constexpr int kVersionTop = 25;
constexpr int kRightGap = 12;

}  // namespace

void SetWelcomePagePluginsProvider(const TGetWelcomePagePlugins& Provider) { providerSlot = Provider; }

void WelcomePageViewFinalization() { providerSlot = nullptr; }

TQorbWelcomePageFrame::TQorbWelcomePageFrame(TComponent* AOwner) : TFrame(AOwner) {
  ReadDesignedLayout(*this, u"TQORBWELCOMEPAGEFRAME");
  pnlTop = DesignedComponent<TPanel>(*this, u"pnlTop");
  lblTitle = DesignedComponent<TLabel>(*this, u"lblTitle");
  lblVersion = DesignedComponent<TLabel>(*this, u"lblVersion");
  pnlBottom = DesignedComponent<TPanel>(*this, u"pnlBottom");
  lblCopyright = DesignedComponent<TLabel>(*this, u"lblCopyright");
  lbPlugins = DesignedComponent<TListBox>(*this, u"lbPlugins");
  // Not a published property of the library's labels, so not in the layout.
  lblCopyright->SetGlowSize(2);
  lbPlugins->OnDrawItem = BindMethod<&TQorbWelcomePageFrame::lbPluginsDrawItem>(this);

  ApplyTheme();
  // The page's title and version are the caption frame's.
  pnlTop->Hide();

  const TQorbVersionInfo info = GetQorbVersionInfo(UnicodeStringRef());
  lblCopyright->SetCaption(info.Copyright);
  lblCopyright->SetVisible(!info.Copyright.IsEmpty());

  if (providerSlot) providerSlot->Invoke(FPlugins);
  // The provider may keep its array: the rows below get the frame's own
  // icons, so the frame works on a block of its own.
  FPlugins.SetLength(FPlugins.size());

  for (TQorbWelcomePagePlugin& row : FPlugins) {
    if (!row.Graphic) continue;
    auto copy = std::make_unique<TBitmap>();
    copy->Assign(*row.Graphic);
    copy->SetAlphaFormat(afDefined);
    row.Graphic = copy.get();
    FOwnedGraphics.push_back(std::move(copy));
  }
  lbPlugins->SetCount(FPlugins.Length());
}

TQorbWelcomePageFrame::~TQorbWelcomePageFrame() {
  // The rows point at the copies: they go first, then the copies.
  FPlugins.Clear();
  FOwnedGraphics.clear();
}

void TQorbWelcomePageFrame::ApplyTheme() {
  FBg = QorbThemeColor(clWindow);
  FFg = QorbThemeColor(clWindowText);
  FDim = QorbThemeColor(clGrayText);
  for (TPanel* panel : {pnlTop, pnlBottom}) {
    // The IDE's style no longer paints the panels' backgrounds.
    panel->SetStyleElements(panel->StyleElements() - TStyleElements{seClient});
    panel->SetParentBackground(false);
    panel->SetColor(FBg);
  }
  lblTitle->Font()->SetColor(FFg);
  lblVersion->Font()->SetColor(FDim);
  lblCopyright->Font()->SetColor(FDim);
}

void TQorbWelcomePageFrame::lbPluginsDrawItem(TWinControl* Control, int Index, const TRect& Rect, TOwnerDrawState) {
  auto* list = dynamic_cast<TListBox*>(Control);
  if (!list) return;
  TCanvas& canvas = *list->Canvas();
  canvas.Brush()->SetStyle(bsSolid);
  canvas.Brush()->SetColor(FBg);
  canvas.FillRect(Rect);
  if (Index < 0 || Index >= FPlugins.Length()) return;
  const TQorbWelcomePagePlugin& row = FPlugins[static_cast<size_t>(Index)];

  if (row.Graphic) {
    const int top = Rect.Top + (Rect.Height() - kIconSize) / 2;
    canvas.StretchDraw(Bounds(Rect.Left + kIconLeft, top, kIconSize, kIconSize), *row.Graphic);
  }

  // The draw state is not consulted: a selected row looks like any other.
  canvas.Brush()->SetStyle(bsClear);
  TFont& font = *canvas.Font();
  font.SetName(UnicodeString(u"Segoe UI"));
  font.SetStyle({});
  font.SetSize(10);
  font.SetColor(FFg);
  canvas.TextOut(Rect.Left + kTextLeft, Rect.Top + kNameTop, row.Name);

  font.SetSize(8);
  font.SetColor(FDim);
  canvas.TextOut(Rect.Left + kTextLeft, Rect.Top + kVersionTop, row.Version);
  if (!row.UpdateVersion.IsEmpty()) {
    const int w = canvas.TextWidth(row.UpdateVersion);
    canvas.TextOut(Rect.Right - w - kRightGap, Rect.Top + kVersionTop, row.UpdateVersion);
  }
}
