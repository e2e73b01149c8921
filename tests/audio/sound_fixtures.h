#pragma once
// Sounds for the audio tests: files written by code or made by sox and ffmpeg in a
// temporary folder, and measurements of decoded PCM.

#include <gtest/gtest.h>
#include <stdlib.h>

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "audio/decode/wav_converter.h"
#include "audio/decode/wave_format.h"

namespace vyr::test {

class TSoundDir {
 public:
  TSoundDir() {
    std::string pattern = (std::filesystem::temp_directory_path() / "vyr_audio_XXXXXX").string();
    path_ = mkdtemp(pattern.data());
  }
  ~TSoundDir() {
    std::error_code ec;
    std::filesystem::remove_all(path_, ec);
  }
  std::string operator/(const std::string& name) const { return path_ + "/" + name; }

 private:
  std::string path_;
};

// Runs a shell command of the test's own making (tools with fixed arguments).
inline bool RunTool(const std::string& command) {
  return std::system((command + " >/dev/null 2>&1").c_str()) == 0;
}

inline std::vector<uint8_t> ReadFileBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

inline void WriteFileBytes(const std::string& path, const std::vector<uint8_t>& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(bytes.data()),
            static_cast<std::streamsize>(bytes.size()));
}

inline void PutLe(std::vector<uint8_t>& b, uint32_t v, int bytes) {
  for (int i = 0; i < bytes; ++i) b.push_back(static_cast<uint8_t>(v >> (8 * i)));
}
inline void PutId(std::vector<uint8_t>& b, const char* id) { b.insert(b.end(), id, id + 4); }

// A RIFF WAVE file: optional chunks before "fmt ", the format, then "data".
inline std::vector<uint8_t> MakeWav(const TWaveFormat& f, const std::vector<uint8_t>& data,
                                    const std::vector<uint8_t>& chunksBeforeFmt = {}) {
  std::vector<uint8_t> b;
  PutId(b, "RIFF");
  PutLe(b, static_cast<uint32_t>(4 + chunksBeforeFmt.size() + 24 + 8 + data.size()), 4);
  PutId(b, "WAVE");
  b.insert(b.end(), chunksBeforeFmt.begin(), chunksBeforeFmt.end());
  PutId(b, "fmt ");
  PutLe(b, 16, 4);
  PutLe(b, f.formatTag, 2);
  PutLe(b, f.channels, 2);
  PutLe(b, f.samplesPerSec, 4);
  PutLe(b, f.avgBytesPerSec, 4);
  PutLe(b, f.blockAlign, 2);
  PutLe(b, f.bitsPerSample, 2);
  PutId(b, "data");
  PutLe(b, static_cast<uint32_t>(data.size()), 4);
  b.insert(b.end(), data.begin(), data.end());
  return b;
}

inline std::vector<uint8_t> Samples16(const std::vector<int16_t>& values) {
  std::vector<uint8_t> b;
  for (int16_t v : values) PutLe(b, static_cast<uint16_t>(v), 2);
  return b;
}

inline std::vector<int16_t> AsSamples16(const uint8_t* bytes, size_t count) {
  std::vector<int16_t> s(count / 2);
  std::memcpy(s.data(), bytes, s.size() * 2);
  return s;
}

// Everything a converter delivers, in pieces of piece bytes, up to limit bytes. With
// keepLast the piece of the Fill that reported the end is kept too (a mix's last block).
inline std::vector<int16_t> DecodeAll(TWavConverter& converter, size_t limit, size_t piece = 17640,
                                      bool keepLast = false) {
  std::vector<int16_t> all;
  while (all.size() * 2 < limit) {
    const bool more = converter.Fill(piece);
    if (!more && !keepLast) break;
    const auto s = AsSamples16(converter.Output().Data(), piece);
    all.insert(all.end(), s.begin(), s.end());
    converter.Output().Consume(piece);
    if (!more) break;
  }
  return all;
}

// 16-bit interleaved PCM of a file as decoded by ffmpeg.
inline std::vector<int16_t> FfmpegS16(const std::string& path, int channels, int rate) {
  const std::string raw = path + ".raw";
  if (!RunTool("ffmpeg -y -v error -i '" + path + "' -f s16le -acodec pcm_s16le -ac " +
               std::to_string(channels) + " -ar " + std::to_string(rate) + " '" + raw + "'"))
    return {};
  const auto bytes = ReadFileBytes(raw);
  return AsSamples16(bytes.data(), bytes.size());
}

// Amplitude (0..32767 scale) of the frequency in one channel, by the Goertzel recurrence.
inline double ToneAmplitude(const std::vector<int16_t>& samples, int channels, int channel,
                            double frequency, int rate, size_t firstFrame = 0,
                            size_t frames = SIZE_MAX) {
  const size_t total = samples.size() / channels;
  const size_t end = frames == SIZE_MAX ? total : std::min(total, firstFrame + frames);
  const double w = 2 * M_PI * frequency / rate;
  double s1 = 0, s2 = 0;
  for (size_t i = firstFrame; i < end; ++i) {
    const double s0 = samples[i * channels + channel] + 2 * std::cos(w) * s1 - s2;
    s2 = s1;
    s1 = s0;
  }
  const double n = static_cast<double>(end - firstFrame);
  const double power = s1 * s1 + s2 * s2 - 2 * std::cos(w) * s1 * s2;
  return n > 0 ? 2 * std::sqrt(std::max(power, 0.0)) / n : 0;
}

}  // namespace vyr::test
