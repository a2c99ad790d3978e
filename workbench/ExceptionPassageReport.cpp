#include "workbench/ExceptionPassageReport.h"

#include "rtl/ExceptionPassage.h"
#include "workbench/SignalSafeText.h"

void AddExceptionPassage(TSignalSafeText& Out) noexcept {
  static qorb::rtl::TExceptionPassage passage;
  if (!qorb::rtl::LastExceptionPassage(passage)) return;
  Out.Add("\n  before this, ").Add(passage.Exception)
      .Add("\n    raised out of: ").Add(passage.RaisedOutOf);
  for (int i = 0; i < passage.PassedCount; ++i)
    Out.Add("\n    passed the frames of: ").Add(passage.Passed[i]);
  if (passage.MorePassed)
    Out.Add("\n    and of ").Decimal(static_cast<uint64_t>(passage.MorePassed)).Add(" more calls");
  Out.Add("\n    none of them took it; a lock they held then may still be held");
}
