#pragma once
// The state a wizard reports: a set of two flags in one byte, returned in a
// register like any small set.
#include <cstdint>
#include <initializer_list>
#include <type_traits>

enum TWizardStateItem : uint8_t { wsEnabled = 0, wsChecked = 1 };

struct TWizardState {
  uint8_t Bits = 0;

  constexpr TWizardState() noexcept = default;
  constexpr TWizardState(std::initializer_list<TWizardStateItem> items) noexcept {
    for (TWizardStateItem i : items) Bits = static_cast<uint8_t>(Bits | (1u << i));
  }
  constexpr bool Contains(TWizardStateItem i) const noexcept { return (Bits >> i) & 1u; }
  friend constexpr bool operator==(TWizardState a, TWizardState b) noexcept { return a.Bits == b.Bits; }
};
static_assert(sizeof(TWizardState) == 1 && std::is_trivially_copyable_v<TWizardState>);
