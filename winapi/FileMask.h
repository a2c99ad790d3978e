#pragma once
// The "*.dll" file mask as Windows applies it to a name: case does not
// matter, and the star may match nothing (".dll" is a match).
#include <string_view>

bool MatchesDllMask(std::u16string_view FileName) noexcept;
