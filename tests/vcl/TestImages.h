#pragma once
// The committed PNG fixtures and helpers to make broken variants of them.
#include <cstdint>
#include <string>
#include <vector>

#include "vcl/MemoryStream.h"

std::vector<uint8_t> ReadFixture(const char* name);
std::u16string FixturePath(const char* name);
void FillStream(TMemoryStream& stream, const std::vector<uint8_t>& bytes);
// Sets the IHDR width and height of a PNG and fixes the chunk's CRC.
void SetHeaderSize(std::vector<uint8_t>& png, uint32_t width, uint32_t height);
