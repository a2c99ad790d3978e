#include "rtl/DivideFault.h"

#include <cstdint>
#include <cstring>

namespace {

uint64_t Register(const uint64_t (&registers)[16], int number) { return registers[number & 15]; }

}  // namespace

bool DivisionOverflowed(const uint8_t* Instruction, const uint64_t (&Context)[16]) noexcept {
  const uint8_t* p = Instruction;
  if (!p) return false;
  int operandBytes = 4;
  uint8_t rex = 0;
  for (int prefixes = 0; prefixes < 4; ++prefixes, ++p) {
    if (*p == 0x66)
      operandBytes = 2;
    else if (*p != 0xF2 && *p != 0xF3)
      break;
  }
  if ((*p & 0xF0) == 0x40) rex = *p++;
  if (rex & 0x08) operandBytes = 8;
  if (*p == 0xF6)
    operandBytes = 1;
  else if (*p != 0xF7)
    return false;
  const uint8_t modrm = *++p;
  const int mod = modrm >> 6, reg = (modrm >> 3) & 7, rm = modrm & 7;
  if (reg != 6 && reg != 7) return false;  // div, idiv
  ++p;
  uint64_t divisor = 0;
  if (mod == 3) {
    const int number = rm | ((rex & 1) << 3);
    if (operandBytes == 1 && !rex && number >= 4)  // ah, ch, dh, bh
      divisor = (Register(Context, number - 4) >> 8) & 0xFF;
    else
      divisor = Register(Context, number);
  } else {
    uint64_t address = 0;
    if (rm == 4) {
      const uint8_t sib = *p++;
      const int scale = sib >> 6, index = ((sib >> 3) & 7) | ((rex & 2) << 2), base = (sib & 7) | ((rex & 1) << 3);
      if (index != 4) address += Register(Context, index) << scale;
      if ((base & 7) == 5 && mod == 0) {
        int32_t displacement;
        std::memcpy(&displacement, p, 4);
        p += 4;
        address += static_cast<uint64_t>(static_cast<int64_t>(displacement));
      } else {
        address += Register(Context, base);
      }
    } else if (rm == 5 && mod == 0) {
      int32_t displacement;
      std::memcpy(&displacement, p, 4);
      p += 4;
      // Relative to the next instruction: a division has no immediate.
      address = reinterpret_cast<uint64_t>(p) + static_cast<uint64_t>(static_cast<int64_t>(displacement));
    } else {
      address += Register(Context, rm | ((rex & 1) << 3));
    }
    if (mod == 1) {
      address += static_cast<uint64_t>(static_cast<int64_t>(static_cast<int8_t>(*p)));
    } else if (mod == 2) {
      int32_t displacement;
      std::memcpy(&displacement, p, 4);
      address += static_cast<uint64_t>(static_cast<int64_t>(displacement));
    }
    // The processor read it before it faulted: it is mapped.
    std::memcpy(&divisor, reinterpret_cast<const void*>(address), static_cast<size_t>(operandBytes));
  }
  if (operandBytes < 8) divisor &= (uint64_t{1} << (8 * operandBytes)) - 1;
  return divisor != 0;
}
