#include "rtl/PendingLines.h"

#include <algorithm>
#include <atomic>

namespace qorb::rtl {
namespace {

constexpr uint64_t kSlots = 1024;

// A slot's State is 2 * ticket + 1 while its line is written and
// 2 * ticket + 2 once it is whole; a reader that sees the same whole state
// before and after copying has copied that line. Every field is atomic, so
// a reader racing a writer reads stale units, never torn memory; a unit
// read from a later writer's release store makes the state read after it
// show that writer.
struct TSlot {
  std::atomic<uint64_t> State{0};
  std::atomic<uint64_t> Shown{0};
  std::atomic<uint32_t> Units{0};
  std::atomic<bool> Cut{false};
  char16_t Text[PendingLineUnits] = {};
};

constinit TSlot slots[kSlots];
constinit std::atomic<uint64_t> lastTicket{0};
constinit std::atomic<uint64_t> lost{0};

constexpr uint64_t Whole(uint64_t ticket) noexcept { return 2 * ticket + 2; }

bool Copy(uint64_t ticket, char16_t* out, size_t room) noexcept {
  TSlot& s = slots[ticket % kSlots];
  const uint64_t state = s.State.load(std::memory_order_acquire);
  if (state != Whole(ticket) || s.Shown.load(std::memory_order_acquire) == ticket) return false;
  const size_t units = s.Units.load(std::memory_order_acquire);
  const size_t n = std::min(units, room - 1);
  for (size_t i = 0; i < n; ++i) out[i] = std::atomic_ref<char16_t>(s.Text[i]).load(std::memory_order_acquire);
  if (n && (n < units || s.Cut.load(std::memory_order_acquire))) out[n - 1] = u'\u2026';
  out[n] = 0;
  return s.State.load(std::memory_order_relaxed) == state;
}

}  // namespace

uint64_t NotePendingLine(std::u16string_view Text) noexcept {
  const uint64_t ticket = lastTicket.fetch_add(1, std::memory_order_acq_rel) + 1;
  TSlot& s = slots[ticket % kSlots];
  uint64_t before = s.State.load(std::memory_order_relaxed);
  // One writer a slot at a time: a writer a whole ring later that took it
  // first, or is still writing it, keeps it, and this line is lost.
  if (before % 2 || before > Whole(ticket) ||
      !s.State.compare_exchange_strong(before, Whole(ticket) - 1, std::memory_order_relaxed)) {
    lost.fetch_add(1, std::memory_order_relaxed);
    return 0;
  }
  if (before && s.Shown.load(std::memory_order_relaxed) != before / 2 - 1) lost.fetch_add(1, std::memory_order_relaxed);
  const size_t n = std::min(Text.size(), PendingLineUnits);
  for (size_t i = 0; i < n; ++i) std::atomic_ref<char16_t>(s.Text[i]).store(Text[i], std::memory_order_release);
  s.Units.store(static_cast<uint32_t>(n), std::memory_order_release);
  s.Cut.store(n < Text.size(), std::memory_order_release);
  s.State.store(Whole(ticket), std::memory_order_release);
  return ticket;
}

void CrossOffPendingLine(uint64_t Ticket) noexcept {
  if (Ticket) slots[Ticket % kSlots].Shown.store(Ticket, std::memory_order_release);
}

bool NextPendingLine(uint64_t& After, char16_t* Out, size_t Room) noexcept {
  if (!Room) return false;
  const uint64_t last = lastTicket.load(std::memory_order_acquire);
  for (uint64_t t = std::max(After + 1, last > kSlots ? last - kSlots + 1 : 1); t <= last; ++t)
    if (Copy(t, Out, Room)) {
      After = t;
      return true;
    }
  After = last;
  return false;
}

uint64_t PendingLinesLost() noexcept { return lost.load(std::memory_order_relaxed); }

}  // namespace qorb::rtl
