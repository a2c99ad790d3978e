#pragma once
// The version block: a tree of nodes (wLength, wValueLength, wType, key,
// value, children), each DWORD-aligned from the start of the block. Its root
// holds the fixed file information; below it "StringFileInfo" holds string
// tables per translation and "VarFileInfo" the translation table.
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "winapi/WinTypes.h"

namespace qorb::winapi {

// Finds the value at path ("\", "\VarFileInfo\Translation",
// "\StringFileInfo\040904b0\ProductName"; keys match without regard to case)
// within the bytes of a block. The length is in characters for text values,
// counting their terminating zero, and in bytes otherwise. False when the
// path is missing or any length on the way points outside its parent.
bool QueryVersionValue(std::span<const uint8_t> block, std::u16string_view path, const void*& value,
                       UINT& length) noexcept;

// The keys of the nodes directly below the node at path ("\StringFileInfo":
// its string tables, "040904b0", ...), as stored and in their order; empty
// when the path is missing or the block is damaged on the way.
std::vector<std::u16string> VersionChildKeys(std::span<const uint8_t> block, std::u16string_view path);

// The extent of a block as its root node declares it, or 0 when the root
// does not fit the bytes.
size_t VersionBlockLength(std::span<const uint8_t> block) noexcept;

}  // namespace qorb::winapi
