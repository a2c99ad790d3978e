#pragma once
// Private read-write pages straight from the system, beside the general
// heap. Pointers to the general heap kept in them keep their blocks alive
// for the leak checker.
#include <cstddef>

namespace qorb::winapi {

// Throws std::bad_alloc when the system has none.
void* MapPages(size_t Size);
void UnmapPages(void* Pages, size_t Size) noexcept;
// Makes mapped pages about to be written present in one call, instead of a
// fault on the first write to each; nothing where the system has no call
// for it.
void TouchPages(void* Pages, size_t Size) noexcept;

}  // namespace qorb::winapi
