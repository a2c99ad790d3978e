#include "workbench/MessageViewSoFar.h"

#include <iterator>

#include "rtl/PendingLines.h"
#include "workbench/CrashReport.h"
#include "workbench/SignalSafeText.h"

void WriteMessageViewSoFar(TSignalSafeText& Out) noexcept {
  WriteMessageJournal(Out);
  if (const uint64_t lost = qorb::rtl::PendingLinesLost())
    Out.Add("  (").Decimal(lost).Add(lost == 1 ? " earlier line" : " earlier lines")
        .Add(" on the way to the view were not kept for this report)\n");
  static char16_t line[qorb::rtl::PendingLineUnits + 1];
  uint64_t after = 0;
  while (qorb::rtl::NextPendingLine(after, line, std::size(line))) {
    // As the journal writes them: a line's own breaks continue indented.
    Out.Add("  ");
    char16_t* part = line;
    for (char16_t* c = line;; ++c) {
      if (*c == u'\r') *c = u' ';
      if (*c != u'\n' && *c != 0) continue;
      const bool end = *c == 0;
      *c = 0;
      Out.Add(part);
      if (end) break;
      Out.Add("\n    ");
      part = c + 1;
    }
    Out.Add("\n");
  }
}
