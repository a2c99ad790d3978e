#pragma once
// Diagnostic lines from any thread into the IDE's message group "Qorb".
// A line becomes a message object at once, time-stamped, and waits in the
// logger's queue; one window message posted to a hidden window of the IDE's
// main thread hands the whole queue over, and that thread adds the lines to
// the message view in writing order.
#include <atomic>
#include <cstdint>
#include <string_view>
#include <vector>

#include "rtl/Export.h"
#include "logging/Qorb.Main.LogLineMemory.h"
#include "rtl/ComPtr.h"
#include "rtl/DateTime.h"
#include "rtl/InterfacedObject.h"
#include "rtl/UnicodeString.h"
#include "toolsapi/CustomMessage.h"
#include "vcl/Colors.h"
#include "winapi/WindowMessages.h"

enum TQorbLogLevel : uint8_t { qllDebug = 0, qllInfo = 1, qllWarning = 2, qllError = 3 };

// "Debug", "Info", "Warning", "Error"; any other value reads "Info".
const char16_t* QorbLogLevelName(TQorbLogLevel ALevel) noexcept;

// One line. Immutable, so it may be made on one thread and shown on another;
// the visible text is formatted whenever the IDE asks for it. The object and
// copies of its two texts share one allocation: a line costs its writer a
// single carve from the line memory.
class TQorbLogMessage final : public TInterfacedObjectOf<INTACustomDrawMessage> {
 public:
  // Stamped with the current local time.
  static ComPtr<TQorbLogMessage> Create(UnicodeStringRef ASource, UnicodeStringRef AMessage, TQorbLogLevel ALevel);
  static ComPtr<TQorbLogMessage> Create(UnicodeStringRef ASource, UnicodeStringRef AMessage, TQorbLogLevel ALevel,
                                        TDateTime ATimestamp);

  int32_t GetColumnNumber() override { return 0; }
  void GetFileName(UnicodeString& Result) override { Result.Clear(); }
  int32_t GetLineNumber() override { return 0; }
  // "[hh:nn:ss.zzz] [Source] [Level] Message"
  void GetLineText(UnicodeString& Result) override;
  void ShowHelp() override {}
  void Draw(TCanvas* Canvas, const TRect& Rect, bool Wrap) override;
  // The whole line on one row: MaxWidth and Wrap are not used.
  void CalcRect(TRect& Result, TCanvas* Canvas, int32_t MaxWidth, bool Wrap) override;

  TDateTime Timestamp() const noexcept { return FTimestamp; }
  std::u16string_view Source() const noexcept { return FSource; }
  std::u16string_view Message() const noexcept { return FMessage; }
  TQorbLogLevel Level() const noexcept { return FLevel; }
  UnicodeString LineText() const;
  // The line text into Out, cut to Room units; answers its whole length.
  // Allocates nothing.
  size_t WriteLineText(char16_t* Out, size_t Room) const noexcept;
  // The level's colour in the IDE's current theme.
  TColor LevelColor() const;

  // The block goes back as it came, texts included.
  static void operator delete(void* p) noexcept { qorb::logging::FreeLine(p); }

 private:
  struct TTextRoom {
    size_t Units;
  };
  static void* operator new(size_t size, TTextRoom room) {
    return qorb::logging::AllocateLine(size + room.Units * sizeof(char16_t));
  }
  static void operator delete(void* p, TTextRoom) noexcept { qorb::logging::FreeLine(p); }
  // Copies both texts into the room behind the object.
  TQorbLogMessage(std::u16string_view ASource, std::u16string_view AMessage, TQorbLogLevel ALevel,
                  TDateTime ATimestamp) noexcept;

  friend class TQorbLogger;

  TDateTime FTimestamp;
  std::u16string_view FSource;
  std::u16string_view FMessage;
  TQorbLogLevel FLevel;
  // The line written before it, while both wait in a logger's queue.
  TQorbLogMessage* FQueuedAfter = nullptr;
  // Its note among the lines on their way to the view (rtl/PendingLines.h).
  uint64_t FPendingTicket = 0;
};

// The module's one logger. Made on the IDE's main thread, which owns its
// hidden window and so runs every delivery.
class TQorbLogger : public TObject {
 public:
  TQorbLogger();
  // Destroys the window (a wake-up not yet handled is lost), clears the
  // "Qorb" group so the IDE lets go of every delivered line, then drops
  // the lines still waiting.
  ~TQorbLogger() override;
  TQorbLogger(const TQorbLogger&) = delete;
  TQorbLogger& operator=(const TQorbLogger&) = delete;

  // Any thread.
  void Post(UnicodeStringRef ASource, UnicodeStringRef AMessage, TQorbLogLevel ALevel);

  static constexpr UINT WM_QORB_DRAIN = WM_APP + 1;

 private:
  // Lines taken from the queue, oldest first, each holding the queue's
  // reference until delivered; what is not delivered is dropped.
  struct TQueuedLines {
    TQorbLogMessage* Oldest;
    explicit TQueuedLines(TQorbLogMessage* AOldest) noexcept : Oldest(AOldest) {}
    TQueuedLines(const TQueuedLines&) = delete;
    TQueuedLines& operator=(const TQueuedLines&) = delete;
    ~TQueuedLines();
  };

  void WndProc(TMessage& Msg);
  void Drain();
  static void Deliver(TQueuedLines& ALines);

  HWND FWnd = nullptr;
  // The waiting lines, newest first, each holding the queue's reference.
  // The writer that finds it empty starts a burst and posts its one
  // wake-up; the delivery takes the whole list and so ends the burst.
  std::atomic<TQorbLogMessage*> FNewest{nullptr};
};

// The module's logger; null before initialisation and after finalisation.
// Read without a lock by the log functions: writers must be done before the
// package is unloaded.
extern std::atomic<TQorbLogger*> QorbLogger;

// Unit initialisation (creates the logger on the calling, main, thread) and
// finalisation (clears QorbLogger first, then destroys the logger).
void LoggingInitialization();
void LoggingFinalization();

// The package exports these under their own names; any thread. Without a
// logger they do nothing.
#define QORB_LOG_EXPORT QORB_DLL_EXPORT
extern "C" {
QORB_LOG_EXPORT void LogDebug(UnicodeStringRef ASource, UnicodeStringRef AMessage);
QORB_LOG_EXPORT void LogInfo(UnicodeStringRef ASource, UnicodeStringRef AMessage);
QORB_LOG_EXPORT void LogWarning(UnicodeStringRef ASource, UnicodeStringRef AMessage);
QORB_LOG_EXPORT void LogError(UnicodeStringRef ASource, UnicodeStringRef AMessage);
}
