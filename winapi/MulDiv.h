#pragma once
// a * b / c with a 64-bit intermediate, rounded half away from zero; -1 for
// c == 0 or a result outside 32 bits.
int MulDiv(int a, int b, int c) noexcept;
