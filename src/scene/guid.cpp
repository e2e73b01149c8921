#include "scene/guid.h"

#include <cstdint>
#include <random>

namespace vyr {

std::string NewGuidText() {
  thread_local std::mt19937_64 generator{std::random_device{}()};
  uint8_t bytes[16];
  for (int i = 0; i < 16; i += 8) {
    const uint64_t r = generator();
    for (int k = 0; k < 8; ++k) bytes[i + k] = static_cast<uint8_t>(r >> (8 * k));
  }
  bytes[6] = (bytes[6] & 0x0F) | 0x40;  // version 4
  bytes[8] = (bytes[8] & 0x3F) | 0x80;  // variant 1
  static const char kHex[] = "0123456789ABCDEF";
  std::string text = "{";
  for (int i = 0; i < 16; ++i) {
    if (i == 4 || i == 6 || i == 8 || i == 10) text += '-';
    text += kHex[bytes[i] >> 4];
    text += kHex[bytes[i] & 15];
  }
  return text + "}";
}

}  // namespace vyr
