#pragma once
// Memory apart from the general heap, for what we keep per library. The
// loader keeps its records of every loaded library on the general heap and
// walks all of them on every load and unload; whatever we keep there
// between two loads pushes its records apart, onto more pages, and every
// walk gets slower (2 KB per library: 15%).
#include <cstddef>
#include <memory_resource>

namespace qorb::winapi {

// Thread-safe. Blocks up to kSideHeapLargest bytes are kept for reuse and
// never given back to the system; larger ones are mappings of their own.
std::pmr::memory_resource& SideHeap() noexcept;
inline constexpr size_t kSideHeapLargest = 16 * 1024;

}  // namespace qorb::winapi
