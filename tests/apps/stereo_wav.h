#pragma once
// 16-bit stereo WAV files of generated sounds, for the programs' music and export tests.

#include <cstdint>
#include <functional>
#include <string>

namespace vyr::test {

// frames frames at rate; both channels carry sample(frame).
inline std::string StereoWav(uint32_t rate, uint32_t frames,
                             const std::function<int16_t(uint32_t)>& sample) {
  std::string wav;
  auto put = [&](uint32_t v, int bytes) {
    for (int i = 0; i < bytes; ++i) wav += static_cast<char>((v >> (8 * i)) & 255);
  };
  wav += "RIFF";
  put(36 + frames * 4, 4);
  wav += "WAVEfmt ";
  put(16, 4), put(1, 2), put(2, 2), put(rate, 4), put(rate * 4, 4), put(4, 2), put(16, 2);
  wav += "data";
  put(frames * 4, 4);
  for (uint32_t f = 0; f < frames; ++f) {
    const auto s = static_cast<uint16_t>(sample(f));
    put(s, 2), put(s, 2);
  }
  return wav;
}

}  // namespace vyr::test
