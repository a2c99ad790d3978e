#include "winapi/MulDiv.h"

#include <cstdint>
#include <limits>

int MulDiv(int a, int b, int c) noexcept {
  if (c == 0) return -1;
  const int64_t product = int64_t{a} * b;
  const bool negative = (product < 0) != (c < 0);
  // Magnitudes fit easily: |a * b| <= 2^62, |c| <= 2^31.
  const uint64_t num = product < 0 ? uint64_t(0) - static_cast<uint64_t>(product) : static_cast<uint64_t>(product);
  const uint64_t den = c < 0 ? uint64_t(0) - static_cast<uint64_t>(int64_t{c}) : static_cast<uint64_t>(c);
  const uint64_t q = (num + den / 2) / den;
  const uint64_t limit = negative ? uint64_t{1} << 31 : uint64_t{std::numeric_limits<int>::max()};
  if (q > limit) return -1;
  return negative ? static_cast<int>(-static_cast<int64_t>(q)) : static_cast<int>(q);
}
