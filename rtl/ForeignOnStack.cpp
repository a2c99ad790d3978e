#include "rtl/ForeignOnStack.h"

#include <thread>

#include "rtl/OwnModules.h"

namespace {
// The program's libraries are set up on its main thread.
const std::thread::id mainThread = std::this_thread::get_id();
}  // namespace

bool ForeignCodeMayBeOnStack() noexcept {
  if (std::this_thread::get_id() != mainThread) return true;
  // A package of ours entered as the IDE enters any package is no plug-in;
  // a call whose code is unknown may be one.
  for (const qorb::rtl::TForeignFrame* f = qorb::rtl::ForeignTop; f; f = f->Outer)
    if (f->Call && (!f->Call->Code || !qorb::rtl::IsOwnCode(reinterpret_cast<uintptr_t>(f->Call->Code)))) return true;
  return false;
}
