#include "audio/decode/mpeg_header.h"

namespace vyr {

namespace {

// kbit/s by [MPEG-1 ? 0 : 1][layer - 1][index].
constexpr int kBitrates[2][3][16] = {
    {{0, 32, 64, 96, 128, 160, 192, 224, 256, 288, 320, 352, 384, 416, 448, 0},
     {0, 32, 48, 56, 64, 80, 96, 112, 128, 160, 192, 224, 256, 320, 384, 0},
     {0, 32, 40, 48, 56, 64, 80, 96, 112, 128, 160, 192, 224, 256, 320, 0}},
    {{0, 32, 48, 56, 64, 80, 96, 112, 128, 144, 160, 176, 192, 224, 256, 0},
     {0, 8, 16, 24, 32, 40, 48, 56, 64, 80, 96, 112, 128, 144, 160, 0},
     {0, 8, 16, 24, 32, 40, 48, 56, 64, 80, 96, 112, 128, 144, 160, 0}}};

constexpr int kSampleRates[3] = {44100, 48000, 32000};

}  // namespace

bool ParseMpegHeader(const uint8_t* b, TMpegHeader& h) {
  if (b[0] != 0xFF || b[1] < 0xE0) return false;
  const int version = (b[1] >> 3) & 3;
  const int layerBits = (b[1] >> 1) & 3;
  if (version == 1 || layerBits == 0) return false;
  if (b[2] >= 0xF0 || b[2] <= 0x0F) return false;
  const int rateIndex = (b[2] >> 2) & 3;
  if (rateIndex == 3 || (b[3] & 3) == 2) return false;

  h.versionBits = version;
  h.layer = 4 - layerBits;
  h.protection = (b[1] & 1) == 0;
  h.bitrateIndex = b[2] >> 4;
  h.sampleRateIndex = rateIndex;
  h.padding = (b[2] >> 1) & 1;
  h.privateBit = (b[2] & 1) != 0;
  h.channelMode = b[3] >> 6;
  h.modeExtension = (b[3] >> 4) & 3;
  h.copyright = (b[3] & 8) != 0;
  h.original = (b[3] & 4) != 0;
  h.emphasis = b[3] & 3;

  const bool mpeg1 = version == 3;
  h.bitrate = kBitrates[mpeg1 ? 0 : 1][h.layer - 1][h.bitrateIndex];
  h.sampleRate = kSampleRates[rateIndex] >> (mpeg1 ? 0 : version == 2 ? 1 : 2);
  // Layer I frames hold 384 samples and layer II frames 1152 in every MPEG version;
  // only layer III halves its frame (576 samples) below MPEG-1.
  h.coefficient = h.layer == 1 ? 48 : (h.layer == 3 && !mpeg1) ? 72 : 144;
  const int64_t bytes = static_cast<int64_t>(h.coefficient) * h.bitrate * 1000 / h.sampleRate;
  h.frameLength = static_cast<int>(bytes) + (h.padding ? (h.layer == 1 ? 4 : 1) : 0);
  return true;
}

bool MpegHeaderAt(TByteWindow& window, int64_t offset, TMpegHeader& header) {
  uint8_t b[4];
  return window.Get(offset, b, 4) == 4 && ParseMpegHeader(b, header);
}

int64_t FindMpegFrame(TByteWindow& window, int64_t from, int64_t end, bool acceptLastFrame,
                      TMpegHeader* header) {
  TMpegHeader h, next;
  for (int64_t at = from; at + 4 <= end; ++at) {
    uint8_t first;
    if (window.Get(at, &first, 1) != 1) return -1;
    if (first != 0xFF || !MpegHeaderAt(window, at, h)) continue;
    const int64_t follower = at + h.frameLength;
    const bool found = (acceptLastFrame && follower + 4 > end) ||
                       (follower + 4 <= end && MpegHeaderAt(window, follower, next));
    if (found) {
      if (header) *header = h;
      return at;
    }
  }
  return -1;
}

}  // namespace vyr
