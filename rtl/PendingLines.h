#pragma once
// Lines on their way to the message view: noted when a logger queues one,
// crossed off once the view has it. A crash report lists those not crossed
// off after the view's own, so that what a plug-in logged just before it
// faulted is not lost with the queue.
//
// Kept in a ring of the newest lines, written without a lock or an
// allocation; a line longer than a slot is kept cut.
#include <cstddef>
#include <cstdint>
#include <string_view>

namespace qorb::rtl {

// What a slot keeps of a line.
inline constexpr size_t PendingLineUnits = 250;

// Any thread. Answers the line's ticket, for crossing it off; 0 when the
// ring had no room for it (it counts as lost).
uint64_t NotePendingLine(std::u16string_view Text) noexcept;
// Any thread; a ticket no longer in the ring is ignored.
void CrossOffPendingLine(uint64_t Ticket) noexcept;

// Async-signal-safe. Copies the oldest line after ticket After that is
// still on its way into Out, zero-terminated and cut to Room - 1 units
// ("…" marks a cut), and moves After to it; false when there is none.
// Start with After = 0. A line being written at that moment is skipped.
bool NextPendingLine(uint64_t& After, char16_t* Out, size_t Room) noexcept;
// Async-signal-safe: lines that left the ring, or never got into it,
// before they were shown.
uint64_t PendingLinesLost() noexcept;

}  // namespace qorb::rtl
