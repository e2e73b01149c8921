#include "audio/decode/mpeg_info.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace vyr {

namespace {

uint32_t BigEndian32(const uint8_t* b) {
  return (uint32_t{b[0]} << 24) | (uint32_t{b[1]} << 16) | (uint32_t{b[2]} << 8) | b[3];
}

// Bytes of an ID3v2 tag (header included) at the start of the stream, 0 when there is none.
int64_t Id3v2Size(TByteWindow& window) {
  uint8_t b[10];
  if (window.Get(0, b, 10) != 10 || std::memcmp(b, "ID3", 3) != 0) return 0;
  if (b[3] == 0xFF || b[4] == 0xFF || b[5] == 0xFF) return 0;
  if ((b[6] | b[7] | b[8] | b[9]) & 0x80) return 0;
  const int64_t size = (int64_t{b[6]} << 21) | (int64_t{b[7]} << 14) | (b[8] << 7) | b[9];
  return 10 + size;
}

int VbrHeaderOffset(const TMpegHeader& h) {
  if (h.IsMpeg1()) return h.IsMono() ? 21 : 36;
  return h.IsMono() ? 13 : 21;
}

}  // namespace

bool TMpegInfo::Read(TStream& stream, int riffBitrateKbps) {
  const int64_t size = stream.Size();
  TByteWindow window(stream, size);
  dataSize = size;
  id3Size = Id3v2Size(window);
  if (id3Size > 0) dataSize -= id3Size;

  firstFrame = FindMpegFrame(window, id3Size, size, false, &header);
  if (firstFrame < 0) return false;
  dataSize -= firstFrame - id3Size;

  uint8_t tag[16];
  const int64_t vbrAt = firstFrame + VbrHeaderOffset(header);
  if (window.Get(vbrAt, tag, 16) == 16) {
    if (std::memcmp(tag, "Xing", 4) == 0) {
      vbrKind = "Xing";
      vbrFrames = BigEndian32(tag + 8);
      vbrBytes = BigEndian32(tag + 12);
    }
  }
  uint8_t vbri[18];
  if (vbrKind.empty() && window.Get(vbrAt, vbri, 18) == 18 && std::memcmp(vbri, "VBRI", 4) == 0) {
    vbrKind = "VBRI";
    vbrBytes = BigEndian32(vbri + 10);
    vbrFrames = BigEndian32(vbri + 14);
  }

  if (size >= 128 && window.Get(size - 128, tag, 3) == 3 && std::memcmp(tag, "TAG", 3) == 0)
    dataSize -= 128;
  dataSize = std::max<int64_t>(dataSize, 0);

  largestFrame = header.frameLength;
  TMpegHeader next;
  int64_t at = firstFrame + header.frameLength;
  for (int i = 1; i < 3 && MpegHeaderAt(window, at, next); ++i) {
    largestFrame = std::max(largestFrame, next.frameLength);
    at += next.frameLength;
  }

  const bool vbr = !vbrKind.empty() && vbrFrames > 0;
  if (vbr) {
    duration = static_cast<int32_t>(
        std::lround(8.0 * header.coefficient * vbrFrames / header.sampleRate * 1000.0));
    msPerFrame = static_cast<double>(duration) / vbrFrames;
  } else {
    const int64_t kbps = riffBitrateKbps > 0 ? riffBitrateKbps : header.bitrate;
    duration = static_cast<int32_t>(std::min<int64_t>(dataSize * 8 / kbps, INT32_MAX));
    msPerFrame = dataSize > 0 ? static_cast<double>(duration) / dataSize * largestFrame : 26;
  }
  if (msPerFrame <= 0) msPerFrame = 26;
  return true;
}

void TMpegInfo::FillRecord(TMediaInfo& info) const {
  info.kind = TFormatKind::Mpeg;
  info.wave = MakePcmFormat(header.IsMono() ? 1 : 2, header.sampleRate, 16);
  info.dataStart = static_cast<int32_t>(std::min<int64_t>(firstFrame, INT32_MAX));
  info.dataLength = static_cast<uint32_t>(std::min<int64_t>(dataSize, UINT32_MAX));
  info.duration = duration;
  info.frameLength = largestFrame;
  info.msPerFrame = msPerFrame;
  info.SetVbrFlag(!vbrKind.empty() && vbrFrames > 0 ? -1 : 0);
}

}  // namespace vyr
