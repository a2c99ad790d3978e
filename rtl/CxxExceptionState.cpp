#include "rtl/CxxExceptionState.h"

#include <cxxabi.h>

#include "rtl/ForeignCall.h"

namespace qorb::rtl {

constinit thread_local TCxxExceptionState* CxxExceptions QORB_HANDLER_TLS = nullptr;

void FindCxxExceptionState() noexcept {
  CxxExceptions = reinterpret_cast<TCxxExceptionState*>(abi::__cxa_get_globals());
}

void RestoreCxxExceptionState(void* Caught, uint32_t Uncaught) noexcept {
  TCxxExceptionState* state = CxxExceptions;
  if (!state) return;
  // The exception those frames were unwinding is lost with them.
  state->Uncaught = Uncaught;
  // Bounded: a chain the plug-in corrupted is cut rather than followed.
  for (int i = 0; i < 64 && state->Caught && state->Caught != Caught; ++i) {
    try {
      CallForeign({u"destroying an exception a fault abandoned"}, [] { abi::__cxa_end_catch(); });
    } catch (...) {
      // Noted already; the next round ends what is left.
    }
  }
  state->Caught = Caught;
}

}  // namespace qorb::rtl
