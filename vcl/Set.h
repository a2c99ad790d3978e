#pragma once
// A set of enumeration values (below 64), as the component library's set
// types are: font styles, draw states, anchors, style elements.
#include <cstdint>
#include <initializer_list>

template <class E>
class TSet {
 public:
  constexpr TSet() noexcept = default;
  constexpr TSet(std::initializer_list<E> Items) noexcept {
    for (E e : Items) bits_ |= Bit(e);
  }

  constexpr bool Contains(E e) const noexcept { return (bits_ & Bit(e)) != 0; }
  constexpr bool Empty() const noexcept { return bits_ == 0; }
  constexpr TSet& Include(E e) noexcept {
    bits_ |= Bit(e);
    return *this;
  }
  constexpr TSet& Exclude(E e) noexcept {
    bits_ &= ~Bit(e);
    return *this;
  }

  friend constexpr TSet operator+(TSet a, TSet b) noexcept { return FromBits(a.bits_ | b.bits_); }
  friend constexpr TSet operator-(TSet a, TSet b) noexcept { return FromBits(a.bits_ & ~b.bits_); }
  friend constexpr TSet operator*(TSet a, TSet b) noexcept { return FromBits(a.bits_ & b.bits_); }
  friend constexpr bool operator==(TSet a, TSet b) noexcept { return a.bits_ == b.bits_; }

 private:
  static constexpr uint64_t Bit(E e) noexcept { return uint64_t{1} << static_cast<unsigned>(e); }
  static constexpr TSet FromBits(uint64_t b) noexcept {
    TSet s;
    s.bits_ = b;
    return s;
  }
  uint64_t bits_ = 0;
};
