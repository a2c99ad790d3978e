#pragma once
// The caption strip of the host's welcome page: the suite's name on the
// left, the host package's version at the top right, over a background that
// the IDE's welcome page paints.
#include "vcl/Forms.h"

class TLabel;

class TQorbWelcomePageCaptionFrame : public TFrame {
 public:
  explicit TQorbWelcomePageCaptionFrame(TComponent* AOwner);

  // Designed components.
  TLabel* lblCaption = nullptr;
  TLabel* lblVersion = nullptr;

 protected:
  // After the inherited painting, the IDE's welcome-page painter fills the
  // strip; the labels are painted over it.
  void PaintWindow(HDC DC) override;
};
