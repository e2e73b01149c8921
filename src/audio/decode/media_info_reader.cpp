#include "audio/decode/media_info_reader.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "audio/decode/decoder_library.h"
#include "audio/decode/media_library.h"
#include "audio/decode/mpeg_info.h"

namespace vyr {

namespace {

bool ReadAt(TStream& stream, int64_t position, void* out, int64_t count) {
  if (position < 0 || stream.Seek(position) != position) return false;
  auto* bytes = static_cast<uint8_t*>(out);
  int64_t done = 0;
  while (done < count) {
    const int64_t got = stream.Read(bytes + done, count - done);
    if (got <= 0) return false;
    done += got;
  }
  return true;
}

uint16_t Le16(const uint8_t* b) { return static_cast<uint16_t>(b[0] | (b[1] << 8)); }
uint32_t Le32(const uint8_t* b) {
  return uint32_t{b[0]} | (uint32_t{b[1]} << 8) | (uint32_t{b[2]} << 16) | (uint32_t{b[3]} << 24);
}

TWaveFormat FormatFrom(const uint8_t* b) {
  TWaveFormat f;
  f.formatTag = Le16(b);
  f.channels = Le16(b + 2);
  f.samplesPerSec = Le32(b + 4);
  f.avgBytesPerSec = Le32(b + 8);
  f.blockAlign = Le16(b + 12);
  f.bitsPerSample = Le16(b + 14);
  return f;
}

// Formats the converters can turn into PCM; anything else is left to the media library.
bool IsPlayableWave(const TWaveFormat& f) {
  if (f.channels == 0 || f.samplesPerSec == 0 || f.avgBytesPerSec == 0 || f.blockAlign == 0)
    return false;
  switch (f.formatTag) {
    case kWaveFormatPcm: {
      const int bits = f.bitsPerSample;
      if (bits != 8 && bits != 16 && bits != 24 && bits != 32) return false;
      if (f.blockAlign != f.channels * bits / 8) return false;
      return f.channels <= 2 || (f.channels == 6 && bits == 16);
    }
    case kWaveFormatFloat:
      return f.bitsPerSample == 32 && f.channels <= 2 && f.blockAlign == f.channels * 4;
    case kWaveFormatAdpcm:
      return f.channels <= 2 && f.bitsPerSample == 4;
    default:
      return false;
  }
}

}  // namespace

std::string LowerExtension(const std::string& extension) {
  std::string lower = extension;
  for (char& c : lower)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  return lower;
}

bool TMediaInfoExtractor::Read(const TRef<TStream>& stream, const std::string& extension,
                               TMediaInfo& info) {
  info = TMediaInfo{};
  if (!stream) return false;
  bool ok = false;
  try {
    uint8_t head[8];
    if (!ReadAt(*stream, 0, head, 8)) return false;
    const std::string ext = LowerExtension(extension);
    if (std::memcmp(head, "RIFF", 4) == 0) {
      ok = ReadRiffWave(*stream, info);
      if (!ok) {
        info = TMediaInfo{};
        ok = ReadByExtension(stream, extension, info);
      }
    } else if (ext == ".mp3" || ext == ".mp2" || ext == ".mp1") {
      ok = ReadMpeg(*stream, info);
    } else {
      ok = ReadByExtension(stream, extension, info);
    }
  } catch (const std::exception&) {
    ok = false;
  }
  if (!ok) info = TMediaInfo{};
  return ok;
}

bool TMediaInfoExtractor::ReadRiffWave(TStream& stream, TMediaInfo& info) {
  const int64_t size = stream.Size();
  uint8_t chunk[28];
  if (!ReadAt(stream, 8, chunk, 28) || std::memcmp(chunk, "WAVE", 4) != 0) return false;
  int64_t chunkStart = 12;
  uint8_t* header = chunk + 4;  // id, size, then 16 bytes of data
  while (std::memcmp(header, "fmt ", 4) != 0) {
    chunkStart += 8 + int64_t{Le32(header + 4)};
    if (chunkStart >= size || !ReadAt(stream, chunkStart, header, 24)) return false;
  }
  const int64_t fmtSize = Le32(header + 4);
  const TWaveFormat format = FormatFrom(header + 8);

  if (format.formatTag == kWaveFormatMpeg) {
    const int kbps = static_cast<int>(int64_t{format.avgBytesPerSec} * 8 / 1000);
    if (!ReadMpeg(stream, info, kbps)) return false;
    info.mpegInRiff = 1;
    return true;
  }
  if (!IsPlayableWave(format)) return false;
  info.wave = format;
  info.kind = static_cast<TFormatKind>(format.formatTag);
  if (format.formatTag == kWaveFormatAdpcm) {
    info.wave.extraSize = 32;
    if (!ReadAt(stream, chunkStart + 8 + 18, info.extra.data(), 32)) return false;
  }

  int64_t at = chunkStart + 8 + fmtSize;
  uint8_t h[8];
  for (;;) {
    if (at >= size || !ReadAt(stream, at, h, 8)) return false;
    if (std::memcmp(h, "data", 4) == 0) break;
    at += 8 + int64_t{Le32(h + 4)};
  }
  const int64_t dataStart = at + 8;
  // A size beyond the file (truncated or streamed writes) counts only the bytes there.
  const int64_t length = std::min<int64_t>(Le32(h + 4), std::max<int64_t>(size - dataStart, 0));
  if (dataStart > INT32_MAX) return false;
  info.dataStart = static_cast<int32_t>(dataStart);
  info.dataLength = static_cast<uint32_t>(length);
  info.duration = static_cast<int32_t>(
      std::llround(static_cast<double>(length) / format.avgBytesPerSec * 1000.0));
  return true;
}

bool TMediaInfoExtractor::ReadMpeg(TStream& stream, TMediaInfo& info, int riffBitrateKbps) {
  TMpegInfo mpeg;
  if (!mpeg.Read(stream, riffBitrateKbps)) return false;
  mpeg.FillRecord(info);
  return true;
}

bool TMediaInfoExtractor::ReadByExtension(const TRef<TStream>& stream, const std::string& extension,
                                          TMediaInfo& info) {
  const std::string ext = LowerExtension(extension);
  TDllDec* library = ext == ".ogg" ? &TDllDec::Ogg() : ext == ".wma" ? &TDllDec::Wma() : nullptr;
  if (library && library->IsUsable()) {
    int32_t duration = 0, dataStart = 0;
    TWaveFormat wave;
    if (library->GetMediaInfo(stream, duration, dataStart, wave)) {
      info.kind = ext == ".ogg" ? TFormatKind::Ogg : TFormatKind::Wma;
      info.duration = duration;
      info.dataStart = dataStart;
      info.wave = wave;
      return true;
    }
  }
  if (!TMediaLibraryFile::IsLoaded()) return false;
  TMediaLibraryFile media;
  if (!media.Open(stream, "qwe" + extension) || media.AudioStreamCount() == 0) return false;
  info.kind = TFormatKind::MediaLibrary;
  info.duration = static_cast<int32_t>(std::llround(media.DurationUs() / 1000.0));
  info.wave = MixingFormat();
  return true;
}

}  // namespace vyr
