#pragma once
// INTAEnvironmentOptionsServices: the IDE's options dialog. Add-ins register
// pages; opening one makes the page's frame from its frame class on a
// dialog form, reports it to the page, confirms (the page validates) and
// closes the dialog, accepted or not. The form, and the frame with it, go
// when the dialog closes.
#include <functional>
#include <vector>

#include "ide/IDEService.h"
#include "rtl/ComPtr.h"
#include "toolsapi/EnvironmentOptions.h"

struct TOptionsPageInfo {
  UnicodeString Area;
  UnicodeString Caption;
  int32_t HelpContext = 0;
  bool IncludeInIDEInsight = false;
};

// What happened while a page was open.
struct TOptionsPageRun {
  bool Found = false;       // a page with that area and caption exists
  bool FrameCreated = false;
  UnicodeString FrameClassName;
  bool Validated = false;   // the page accepted the confirmation
  bool Accepted = false;    // the dialog closed accepted
};

class TOptionsDialog : public TIDEServiceOf<INTAEnvironmentOptionsServices> {
 public:
  using TIDEServiceOf::TIDEServiceOf;
  ~TOptionsDialog() override;

  void RegisterAddInOptions(INTAAddInOptions* Options) override;
  void UnregisterAddInOptions(INTAAddInOptions* Options) override;

  std::vector<TOptionsPageInfo> Pages();
  // Opens the page shown as Area/Caption (ignoring case). While the frame
  // exists, Shown (may be empty) sees it, after the page was told of it and
  // again after confirming. With Accept the dialog closes accepted when the
  // page validates; otherwise it is cancelled.
  using TShowFrame = std::function<void(TCustomFrame& Frame, const TOptionsPageRun& SoFar)>;
  TOptionsPageRun OpenPage(std::u16string_view Area, std::u16string_view Caption, bool Accept,
                           const TShowFrame& Shown = {});
  // Releases the pages still registered; only while their code is loaded.
  void Clear() noexcept;

 private:
  std::vector<ComPtr<INTAAddInOptions>> pages_;
};
