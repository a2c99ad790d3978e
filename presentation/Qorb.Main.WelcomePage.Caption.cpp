#include "presentation/Qorb.Main.WelcomePage.Caption.h"

#include "otahelper/Qorb.Main.Theming.h"
#include "plugins/Qorb.Main.VersionInfo.h"
#include "presentation/Qorb.Main.DesignedLayout.h"
#include "rtl/ComPtr.h"
#include "toolsapi/Globals.h"
#include "toolsapi/WelcomePage.h"
#include "vcl/Canvas.h"
#include "vcl/Label.h"

namespace {
// How strongly the page's shading covers the strip's colour.
constexpr uint8_t kShading = 64;
}  // namespace

TQorbWelcomePageCaptionFrame::TQorbWelcomePageCaptionFrame(TComponent* AOwner) : TFrame(AOwner) {
  ReadDesignedLayout(*this, u"TQORBWELCOMEPAGECAPTIONFRAME");
  lblCaption = DesignedComponent<TLabel>(*this, u"lblCaption");
  lblVersion = DesignedComponent<TLabel>(*this, u"lblVersion");

  // Resolved once; a later theme change does not recolour the labels.
  lblCaption->Font()->SetColor(QorbThemeColor(clWindowText));
  lblVersion->Font()->SetColor(QorbThemeColor(clGrayText));

  const TQorbVersionInfo info = GetQorbVersionInfo(UnicodeStringRef());
  UnicodeString version(u"v");
  version += info.Version.view();
  lblVersion->SetCaption(version);
}

void TQorbWelcomePageCaptionFrame::PaintWindow(HDC DC) {
  TFrame::PaintWindow(DC);
  TCanvas canvas;
  // Detached again (DC stays the caller's) also when the IDE's painter raises.
  TCanvasHandleScope attached(canvas, DC);
  const TColor color = QorbThemeColor(Color(), clDefault);
  ComPtr<INTAWelcomePagePainter> painter;
  if (Supports(WelcomePagePluginService, painter)) painter->PaintBackground(&canvas, this, color, kShading);
}
