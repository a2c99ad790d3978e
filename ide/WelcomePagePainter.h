#pragma once
// INTAWelcomePagePainter: backgrounds in the welcome page's look for frames
// that sit on the page. Reached by asking the welcome-page service (or the
// services object) for it; switching it off leaves the page without one.
#include "ide/IDEService.h"
#include "toolsapi/WelcomePage.h"

class TWelcomePagePainter : public TIDEServiceOf<INTAWelcomePagePainter> {
 public:
  using TIDEServiceOf::TIDEServiceOf;

  // The window colour of the style the IDE paints with.
  TColor GetBackgroundColor() override;
  // The colour (resolved through the style), washed with the style's
  // highlight colour at AAlpha, over a 2-pixel highlight line at the bottom.
  void PaintBackground(TCanvas* ACanvas, TWinControl* AControl, TColor AColor, uint8_t AAlpha) override;

  // What the painter was asked to do, last call first.
  struct TCall {
    TWinControl* Control = nullptr;
    TColor Color = 0;
    uint8_t Alpha = 0;
  };
  int CallCount() const noexcept { return calls_; }
  TCall LastCall() const noexcept { return last_; }

 private:
  TColor StyleColor(TColor Color);

  int calls_ = 0;
  TCall last_;
};
