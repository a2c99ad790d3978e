#include "logging/Qorb.Main.Logging.h"

#include <algorithm>
#include <iterator>
#include <memory>
#include <utility>

#include "otahelper/Qorb.Main.Theming.h"
#include "rtl/PendingLines.h"
#include "toolsapi/Globals.h"
#include "toolsapi/MessageServices.h"
#include "toolsapi/UIServices.h"
#include "vcl/Canvas.h"

std::atomic<TQorbLogger*> QorbLogger{nullptr};

namespace {

constexpr char16_t kGroupName[] = u"Qorb";

std::unique_ptr<TQorbLogger> loggerOwner;

}  // namespace

const char16_t* QorbLogLevelName(TQorbLogLevel ALevel) noexcept {
  switch (ALevel) {
    case qllDebug:
      return u"Debug";
    case qllWarning:
      return u"Warning";
    case qllError:
      return u"Error";
    default:
      return u"Info";
  }
}

// ---- TQorbLogMessage ----

ComPtr<TQorbLogMessage> TQorbLogMessage::Create(UnicodeStringRef ASource, UnicodeStringRef AMessage,
                                                TQorbLogLevel ALevel) {
  return Create(ASource, AMessage, ALevel, Now());
}

ComPtr<TQorbLogMessage> TQorbLogMessage::Create(UnicodeStringRef ASource, UnicodeStringRef AMessage,
                                                TQorbLogLevel ALevel, TDateTime ATimestamp) {
  const TTextRoom room{static_cast<size_t>(ASource.Length()) + static_cast<size_t>(AMessage.Length())};
  return ComPtr<TQorbLogMessage>::Attach(new (room) TQorbLogMessage(ASource.view(), AMessage.view(), ALevel, ATimestamp));
}

TQorbLogMessage::TQorbLogMessage(std::u16string_view ASource, std::u16string_view AMessage, TQorbLogLevel ALevel,
                                 TDateTime ATimestamp) noexcept
    : FTimestamp(ATimestamp), FLevel(ALevel) {
  // Copies, not shared references: the caller's strings are left alone,
  // whichever threads hold them.
  char16_t* room = reinterpret_cast<char16_t*>(this + 1);
  std::char_traits<char16_t>::copy(room, ASource.data(), ASource.size());
  std::char_traits<char16_t>::copy(room + ASource.size(), AMessage.data(), AMessage.size());
  FSource = std::u16string_view(room, ASource.size());
  FMessage = std::u16string_view(room + ASource.size(), AMessage.size());
}

UnicodeString TQorbLogMessage::LineText() const {
  const size_t length = WriteLineText(nullptr, 0);
  char16_t* text = ustr::Allocate(length);
  WriteLineText(text, length);
  return UnicodeString::Attach(text);
}

size_t TQorbLogMessage::WriteLineText(char16_t* Out, size_t Room) const noexcept {
  int hour, minute, second, msec;
  DecodeTime(FTimestamp, hour, minute, second, msec);
  size_t at = 0;
  auto put = [&](char16_t c) {
    if (at < Room) Out[at] = c;
    ++at;
  };
  auto text = [&](std::u16string_view t) {
    for (const char16_t c : t) put(c);
  };
  // Zero-padded from the digit worth Unit down.
  auto digits = [&](int value, int unit) {
    for (; unit; unit /= 10) put(static_cast<char16_t>(u'0' + value / unit % 10));
  };
  put(u'[');
  digits(hour, 10);
  put(u':');
  digits(minute, 10);
  put(u':');
  digits(second, 10);
  put(u'.');
  digits(msec, 100);
  text(u"] [");
  text(FSource);
  text(u"] [");
  text(QorbLogLevelName(FLevel));
  text(u"] ");
  text(FMessage);
  return at;
}

void TQorbLogMessage::GetLineText(UnicodeString& Result) { Result = LineText(); }

TColor TQorbLogMessage::LevelColor() const {
  TIDEColorId uiColor;
  switch (FLevel) {
    case qllDebug:
      return QorbThemeColor(clGrayText);
    case qllWarning:
      uiColor = icWarningText;
      break;
    case qllError:
      uiColor = icErrorText;
      break;
    default:
      return QorbThemeColor(clWindowText);
  }
  ComPtr<INTAIDEUIServices> ui;
  if (Supports(BorlandIDEServices, ui)) return ui->GetIDEColor(uiColor);
  return QorbThemeColor(clWindowText);
}

void TQorbLogMessage::Draw(TCanvas* Canvas, const TRect& Rect, bool) {
  // No fill: the view's own background and selection show through.
  Canvas->Brush()->SetStyle(bsClear);
  Canvas->Font()->SetStyle(TFontStyles{});
  Canvas->Font()->SetColor(LevelColor());
  Canvas->TextOut(Rect.Left, Rect.Top, LineText());
}

void TQorbLogMessage::CalcRect(TRect& Result, TCanvas* Canvas, int32_t, bool) {
  Result = TRect{0, 0, Canvas->TextWidth(LineText()), Canvas->TextHeight(u"Wp")};
}

// ---- TQorbLogger ----

TQorbLogger::TQorbLogger() : FWnd(AllocateHWnd(BindMethod<&TQorbLogger::WndProc>(this))) {}

TQorbLogger::~TQorbLogger() {
  if (FWnd) {
    DeallocateHWnd(FWnd);
    FWnd = nullptr;
  }
  for (TQorbLogMessage* line = FNewest.exchange(nullptr, std::memory_order_acquire); line;)
    std::exchange(line, line->FQueuedAfter)->Release();
  try {
    ComPtr<IOTAMessageServices> messages;
    if (Supports(BorlandIDEServices, messages)) {
      ComPtr<IOTAMessageGroup> group;
      messages->GetGroup(group, UnicodeString(kGroupName));
      if (group) messages->ClearMessageGroup(group.get());
    }
  } catch (...) {
    // The IDE failing to clear its view must not stop the unload.
  }
}

void TQorbLogger::Post(UnicodeStringRef ASource, UnicodeStringRef AMessage, TQorbLogLevel ALevel) {
  TQorbLogMessage* line = TQorbLogMessage::Create(ASource, AMessage, ALevel).detach();
  // Noted before it is queued, so that a crash report finds it even if
  // the view never gets it.
  char16_t text[qorb::rtl::PendingLineUnits + 1];
  const size_t length = line->WriteLineText(text, std::size(text));
  line->FPendingTicket = qorb::rtl::NotePendingLine({text, std::min(length, std::size(text))});
  TQorbLogMessage* newest = FNewest.load(std::memory_order_relaxed);
  do {
    line->FQueuedAfter = newest;
  } while (!FNewest.compare_exchange_weak(newest, line, std::memory_order_release, std::memory_order_relaxed));
  if (!newest) PostMessageW(FWnd, WM_QORB_DRAIN, 0, 0);
}

void TQorbLogger::WndProc(TMessage& Msg) {
  try {
    if (Msg.Msg == WM_QORB_DRAIN)
      Drain();
    else
      Msg.Result = DefWindowProcW(FWnd, Msg.Msg, Msg.WParam, Msg.LParam);
  } catch (...) {
    // Never let a failure escape into the IDE's message loop.
  }
}

void TQorbLogger::Drain() {
  // Taking the list empties the queue: a line that comes in during the
  // delivery below starts a new burst with a fresh wake-up.
  TQorbLogMessage* line = FNewest.exchange(nullptr, std::memory_order_acquire);
  // Newest first as taken; turned round in place into writing order.
  TQorbLogMessage* oldest = nullptr;
  while (line) oldest = std::exchange(line, std::exchange(line->FQueuedAfter, oldest));
  TQueuedLines lines{oldest};
  try {
    Deliver(lines);
  } catch (...) {
    // The rest of this batch is lost; later batches are not affected.
  }
}

TQorbLogger::TQueuedLines::~TQueuedLines() {
  while (Oldest) std::exchange(Oldest, Oldest->FQueuedAfter)->Release();
}

void TQorbLogger::Deliver(TQueuedLines& ALines) {
  ComPtr<IOTAMessageServices> messages;
  if (!Supports(BorlandIDEServices, messages)) return;
  const UnicodeString name(kGroupName);
  ComPtr<IOTAMessageGroup> group;
  messages->GetGroup(group, name);
  if (!group) messages->AddMessageGroup(group, name);
  while (TQorbLogMessage* line = ALines.Oldest) {
    messages->AddCustomMessage(static_cast<IOTACustomMessage*>(line), group.get());
    ALines.Oldest = line->FQueuedAfter;
    qorb::rtl::CrossOffPendingLine(line->FPendingTicket);
    line->Release();  // the queue's reference; the view holds its own
  }
}

// ---- the module's logger ----

void LoggingInitialization() {
  if (loggerOwner) return;
  loggerOwner = std::make_unique<TQorbLogger>();
  QorbLogger.store(loggerOwner.get(), std::memory_order_release);
}

void LoggingFinalization() {
  // Cleared first: log calls from here on do nothing.
  QorbLogger.store(nullptr, std::memory_order_release);
  loggerOwner.reset();
}

namespace {
void PostToLogger(UnicodeStringRef ASource, UnicodeStringRef AMessage, TQorbLogLevel ALevel) {
  if (TQorbLogger* logger = QorbLogger.load(std::memory_order_acquire)) logger->Post(ASource, AMessage, ALevel);
}
}  // namespace

extern "C" {
void LogDebug(UnicodeStringRef ASource, UnicodeStringRef AMessage) { PostToLogger(ASource, AMessage, qllDebug); }
void LogInfo(UnicodeStringRef ASource, UnicodeStringRef AMessage) { PostToLogger(ASource, AMessage, qllInfo); }
void LogWarning(UnicodeStringRef ASource, UnicodeStringRef AMessage) { PostToLogger(ASource, AMessage, qllWarning); }
void LogError(UnicodeStringRef ASource, UnicodeStringRef AMessage) { PostToLogger(ASource, AMessage, qllError); }
}
