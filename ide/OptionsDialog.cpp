#include "ide/OptionsDialog.h"

#include <memory>

#include "rtl/ForeignCall.h"
#include "vcl/Forms.h"

TOptionsDialog::~TOptionsDialog() {
  // Pages left registered belong to packages that may be gone already:
  // their references are abandoned rather than released into unloaded code.
  for (ComPtr<INTAAddInOptions>& p : pages_) (void)p.detach();
}

void TOptionsDialog::RegisterAddInOptions(INTAAddInOptions* Options) {
  if (Options) pages_.emplace_back(Options);
}

void TOptionsDialog::UnregisterAddInOptions(INTAAddInOptions* Options) {
  for (auto it = pages_.begin(); it != pages_.end(); ++it)
    if (it->get() == Options) {
      // Released after it left the list, in case its release calls back.
      ComPtr<INTAAddInOptions> gone = std::move(*it);
      pages_.erase(it);
      return;
    }
}

std::vector<TOptionsPageInfo> TOptionsDialog::Pages() {
  std::vector<TOptionsPageInfo> out;
  for (const ComPtr<INTAAddInOptions>& p : pages_) {
    TOptionsPageInfo info;
    p->GetArea(info.Area);
    p->GetCaption(info.Caption);
    info.HelpContext = p->GetHelpContext();
    info.IncludeInIDEInsight = p->IncludeInIDEInsight();
    out.push_back(std::move(info));
  }
  return out;
}

TOptionsPageRun TOptionsDialog::OpenPage(std::u16string_view Area, std::u16string_view Caption, bool Accept,
                                         const TShowFrame& Shown) {
  TOptionsPageRun run;
  ComPtr<INTAAddInOptions> page;
  for (const ComPtr<INTAAddInOptions>& p : pages_) {
    UnicodeString area, caption;
    p->GetArea(area);
    p->GetCaption(caption);
    if (SameText(area.view(), Area) && SameText(caption.view(), Caption)) {
      page = p;
      break;
    }
  }
  if (!page) return run;
  run.Found = true;

  TForm dialog(nullptr);
  dialog.SetBounds(0, 0, 600, 420);
  INTAAddInOptions* const p = page.get();
  const UnicodeString pageName = UnicodeString(Area) + u"/" + UnicodeString(Caption);
  auto call = [&](const char16_t* what, size_t slot, auto&& f) {
    return CallForeign({what, SlotCode(p, slot), pageName.c_str()}, f);
  };
  TCustomFrame* frame = nullptr;
  if (TCustomFrameClass frameClass = call(u"GetFrameClass", 5, [&] { return p->GetFrameClass(); })) {
    frame = CallForeign({u"creating the options frame", reinterpret_cast<const void*>(frameClass), pageName.c_str()},
                        [&] { return frameClass(&dialog); });
    frame->SetParent(&dialog);
    frame->SetAlign(alClient);
    run.FrameClassName = frame->ClassName();
  }
  try {
    call(u"FrameCreated", 6, [&] { p->FrameCreated(frame); });
    run.FrameCreated = frame != nullptr;
    if (frame && Shown) Shown(*frame, run);
    run.Validated = call(u"ValidateContents", 8, [&] { return p->ValidateContents(); });
    run.Accepted = Accept && run.Validated;
    if (frame && Shown) Shown(*frame, run);
  } catch (...) {
    // The dialog goes away: the page must not keep the frame.
    call(u"DialogClosed", 7, [&] { p->DialogClosed(false); });
    throw;
  }
  call(u"DialogClosed", 7, [&] { p->DialogClosed(run.Accepted); });
  return run;
}

void TOptionsDialog::Clear() noexcept { std::vector<ComPtr<INTAAddInOptions>>().swap(pages_); }
