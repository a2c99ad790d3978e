#pragma once
// An exception our code raised into foreign code (a fault contained in a
// call, or what a call left) that came back out of the foreign call around
// it: on its way it passed that code's frames, and none of them took it.
// C frames let it pass without a word, and a lock they held stays held; a
// hang or crash long after is then reported with both sides named. The
// last such exception is kept, with every call it passed on its way out.
#include <cstdint>
#include <exception>

struct TForeignCall;

namespace qorb::rtl {

struct TExceptionPassage {
  static constexpr int kMaxPassed = 4;
  char Exception[512];  // "an exception of class E: message"
  char RaisedOutOf[320];  // the call it was raised out of: "QueryInterface (path)"
  char Passed[kMaxPassed][320];  // the calls whose frames it passed, innermost first
  int PassedCount;
  int MorePassed;  // passed after the last kept
};

// Where a foreign call lets through again an exception raised at an inner
// one: Serial tells one exception from the next, RaisedWhat and RaisedCode
// are the inner call's (What a literal). Passed is the outer call.
void NoteExceptionPassage(uint64_t Serial, const char16_t* RaisedWhat, const void* RaisedCode, const TForeignCall& Passed,
                          const std::exception_ptr& E);

// A copy of the last one into Out; false when there was none. Signal-safe.
bool LastExceptionPassage(TExceptionPassage& Out) noexcept;

}  // namespace qorb::rtl
