// The suite's About dialog, loaded by the host for one call of its export
// and unloaded right after: everything it shows is copied out of the
// host's record first.
#include "examples/about/AboutData.h"
#include "examples/about/AboutForm.h"
#include "rtl/Export.h"

extern "C" QORB_DLL_EXPORT int32_t ShowQorbAboutDialog(void* ParentWnd, const QorbAboutInfo* Info) {
  (void)ParentWnd;  // the simulated IDE has no windows to stack on
  // Nothing may leave a foreign library's export but its answer.
  try {
    TAboutData data;
    if (!CopyAboutInfo(Info, data)) return 0;
    CreateAboutForm(data)->ShowModal();
    return 1;
  } catch (...) {
    return 0;
  }
}
