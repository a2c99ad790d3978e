#include "rtl/ExceptionPassage.h"

#include <algorithm>
#include <atomic>
#include <cstring>
#include <mutex>
#include <string>

#include "rtl/AddressInfo.h"
#include "rtl/Exception.h"
#include "rtl/ForeignCall.h"
#include "rtl/OwnMutex.h"

namespace {

using qorb::rtl::TExceptionPassage;

// Two copies, so that a report never reads the one being written.
struct TKept {
  TExceptionPassage Copies[2] = {};
  std::atomic<int> Current{-1};
  uint64_t Serial = 0;
};
TKept kept;
TMutex writing;

template <size_t N>
void Put(char (&to)[N], const std::string& text) {
  const size_t n = std::min(text.size(), N - 1);
  std::memcpy(to, text.data(), n);
  to[n] = 0;
}

std::string CallText(const char16_t* what, const char16_t* subject, const void* code) {
  std::string text = UnicodeString(what ? what : u"foreign code").ToUtf8();
  if (subject && *subject) text += " (" + UnicodeString(subject).ToUtf8() + ")";
  if (const std::string module = code ? ModulePathOf(code) : std::string(); !module.empty()) text += " in " + module;
  return text;
}

}  // namespace

namespace qorb::rtl {

void NoteExceptionPassage(uint64_t Serial, const char16_t* RaisedWhat, const void* RaisedCode, const TForeignCall& Passed,
                          const std::exception_ptr& E) {
  const CaughtException caught = DescribeException(E);
  const std::string passed = CallText(Passed.What, Passed.Subject, Passed.Code);
  const std::lock_guard lock(writing);
  const int current = kept.Current.load();
  const int next = current == 0 ? 1 : 0;
  TExceptionPassage& to = kept.Copies[next];
  if (current >= 0 && kept.Serial == Serial) {
    // The same exception, one call further out.
    to = kept.Copies[current];
    if (to.PassedCount < TExceptionPassage::kMaxPassed)
      Put(to.Passed[to.PassedCount++], passed);
    else
      ++to.MorePassed;
  } else {
    Put(to.Exception, "an exception of class " + caught.ClassName.ToUtf8() + ": " + caught.Message.ToUtf8());
    Put(to.RaisedOutOf, CallText(RaisedWhat, nullptr, RaisedCode));
    Put(to.Passed[0], passed);
    to.PassedCount = 1;
    to.MorePassed = 0;
    kept.Serial = Serial;
  }
  kept.Current.store(next);
}

bool LastExceptionPassage(TExceptionPassage& Out) noexcept {
  const int current = kept.Current.load();
  if (current < 0) return false;
  std::memcpy(&Out, &kept.Copies[current], sizeof Out);
  // Torn only by two writers in the time of one copy: still ended texts.
  Out.Exception[sizeof Out.Exception - 1] = 0;
  Out.RaisedOutOf[sizeof Out.RaisedOutOf - 1] = 0;
  for (auto& passed : Out.Passed) passed[sizeof passed - 1] = 0;
  Out.PassedCount = std::clamp(Out.PassedCount, 0, TExceptionPassage::kMaxPassed);
  return true;
}

}  // namespace qorb::rtl
