#pragma once
// Memory for log lines. A line is made on any thread and freed on the IDE's
// main thread whenever the IDE lets go of it; from the general allocator
// every line would cross threads and make both sides wait on its locks and
// on fresh pages. Lines are carved from 64 KB slabs instead: taking room is
// one atomic addition, giving it back one subtraction, and a slab whose
// lines are all gone is used again.
#include <cstddef>

namespace qorb::logging {

// Room for a line of that many bytes, aligned for any object; raises
// std::bad_alloc when there is none.
void* AllocateLine(size_t bytes);
// Gives back what AllocateLine gave, from any thread.
void FreeLine(void* line) noexcept;

}  // namespace qorb::logging
