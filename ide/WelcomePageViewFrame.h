#pragma once
// The frame the welcome page makes for a plug-in's view: a caption strip
// along the top and a content area below it. The frames put into the two
// slots stay their owners'; the view frame only places them, and forgets a
// slot's frame once that frame is freed or moved elsewhere.
#include "toolsapi/ObjectInterfaces.h"
#include "toolsapi/WelcomePage.h"
#include "vcl/Forms.h"

class TWelcomePageViewFrame : public TFrame, public TObjectInterfaces<INTAWelcomePageCaptionFrame> {
 public:
  static constexpr int32_t DefaultCaptionHeight = 38;

  TWelcomePageViewFrame(TComponent* AOwner, UnicodeString APluginID);

  void GetPluginID(UnicodeString& Result) override { Result = FPluginID; }
  int32_t GetCaptionHeight() override { return FCaptionHeight; }
  void SetCaptionHeight(int32_t Value) override;
  bool GetCaptionVisible() override { return FCaptionVisible; }
  void SetCaptionVisible(bool Value) override;
  TFrame* GetCaptionFrame() override { return Placed(FCaptionFrame); }
  void SetCaptionFrame(TFrame* AFrame) override;
  TFrame* GetContentFrame() override { return Placed(FContentFrame); }
  void SetContentFrame(TFrame* AFrame) override;

 private:
  // Slot's frame while it is still one of this frame's children; compared
  // by address only, so a freed frame is never touched.
  TFrame* Placed(TFrame* Slot) const noexcept;
  void Place(TFrame*& Slot, TFrame* AFrame, TAlign AAlign);

  UnicodeString FPluginID;
  int32_t FCaptionHeight = DefaultCaptionHeight;
  bool FCaptionVisible = true;
  TFrame* FCaptionFrame = nullptr;
  TFrame* FContentFrame = nullptr;
};
