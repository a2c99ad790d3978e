#pragma once
// The exceptions that left foreign code and were caught by ours, as a
// debugger lists first-chance exceptions: the runtime tells the IDE of each
// while the log lives.
#include <functional>
#include <mutex>
#include <string>
#include <vector>

#include "rtl/ForeignCall.h"
#include "rtl/OwnMutex.h"

class TForeignExceptionLog {
 public:
  TForeignExceptionLog();
  ~TForeignExceptionLog();
  TForeignExceptionLog(const TForeignExceptionLog&) = delete;
  TForeignExceptionLog& operator=(const TForeignExceptionLog&) = delete;

  std::vector<TForeignExceptionNote> Seen() const;

 private:
  static void Observe(void* Self, const TForeignExceptionNote& Note);
  mutable TMutex lock_;
  std::vector<TForeignExceptionNote> seen_;
};

// "Exceptions:" and one entry per exception; empty when there is none.
// Detail, when given, adds a line below an entry (none when it answers "").
std::string FormatForeignExceptions(const std::vector<TForeignExceptionNote>& Seen,
                                    const std::function<std::string(const TForeignExceptionNote&)>& Detail = {});
