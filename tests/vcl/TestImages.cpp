#include "TestImages.h"

#include <fstream>
#include <iterator>
#include <stdexcept>

namespace {

uint32_t Crc32(const uint8_t* p, size_t n) {
  uint32_t c = 0xffffffffu;
  for (size_t i = 0; i < n; ++i) {
    c ^= p[i];
    for (int k = 0; k < 8; ++k) c = (c >> 1) ^ (0xedb88320u & (0u - (c & 1u)));
  }
  return ~c;
}

void PutBigEndian(uint8_t* p, uint32_t v) {
  p[0] = static_cast<uint8_t>(v >> 24);
  p[1] = static_cast<uint8_t>(v >> 16);
  p[2] = static_cast<uint8_t>(v >> 8);
  p[3] = static_cast<uint8_t>(v);
}

}  // namespace

std::vector<uint8_t> ReadFixture(const char* name) {
  std::ifstream f(std::string(QORB_TEST_IMAGES_DIR) + "/" + name, std::ios::binary);
  if (!f) throw std::runtime_error(std::string("missing fixture ") + name);
  return std::vector<uint8_t>(std::istreambuf_iterator<char>(f), {});
}

std::u16string FixturePath(const char* name) {
  return Utf8ToUtf16(std::string(QORB_TEST_IMAGES_DIR) + "/" + name);
}

void FillStream(TMemoryStream& stream, const std::vector<uint8_t>& bytes) {
  stream.Clear();
  stream.WriteBuffer(bytes.data(), static_cast<int64_t>(bytes.size()));
  stream.SetPosition(0);
}

void SetHeaderSize(std::vector<uint8_t>& png, uint32_t width, uint32_t height) {
  // Signature (8), IHDR length (4) and type (4), then width and height;
  // the CRC covers type and data (4 + 13 bytes).
  PutBigEndian(&png[16], width);
  PutBigEndian(&png[20], height);
  PutBigEndian(&png[29], Crc32(&png[12], 17));
}
