#include "ide/ForeignExceptionLog.h"

#include "ide/ReportText.h"

TForeignExceptionLog::TForeignExceptionLog() { AddForeignExceptionObserver(&Observe, this); }

TForeignExceptionLog::~TForeignExceptionLog() { RemoveForeignExceptionObserver(&Observe, this); }

void TForeignExceptionLog::Observe(void* Self, const TForeignExceptionNote& Note) {
  auto* log = static_cast<TForeignExceptionLog*>(Self);
  const std::lock_guard lock(log->lock_);
  log->seen_.push_back(Note);
}

std::vector<TForeignExceptionNote> TForeignExceptionLog::Seen() const {
  const std::lock_guard lock(lock_);
  return seen_;
}

std::string FormatForeignExceptions(const std::vector<TForeignExceptionNote>& Seen,
                                    const std::function<std::string(const TForeignExceptionNote&)>& Detail) {
  if (Seen.empty()) return {};
  std::string out = "Exceptions:\n";
  for (const TForeignExceptionNote& e : Seen) {
    out += "  " + e.ClassName.ToUtf8() + ": ";
    AppendIndented(out, e.Message.ToUtf8(), "    ");
    out += "\n    in ";
    out += e.What.ToUtf8();
    if (!e.Subject.IsEmpty()) out += " (" + e.Subject.ToUtf8() + ")";
    if (!e.Module.IsEmpty()) out += ", module " + e.Module.ToUtf8();
    out += '\n';
    if (Detail)
      if (const std::string more = Detail(e); !more.empty()) out += "    " + more + '\n';
  }
  return out;
}
