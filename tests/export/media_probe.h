#pragma once
// Reads exported videos back with Debian's ffprobe and ffmpeg: stream facts, decoded RGB
// frames or luma planes and decoded sound, and the PSNR of two pictures.

#include <cctype>
#include <cmath>
#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "apps/run_program.h"

namespace vyr::test {

// ffprobe's flat output: "format.format_name", "streams.stream.0.codec_name", ... unquoted.
inline std::map<std::string, std::string> Probe(const std::string& path) {
  const TRunResult run = RunProgram(
      "/usr/bin/ffprobe",
      {"-v", "error", "-count_frames", "-show_entries",
       "format=format_name,duration:stream=codec_type,codec_name,width,height,r_frame_rate,"
       "nb_read_frames,sample_rate,channels,color_space,color_primaries,color_transfer,"
       "color_range,duration,start_time",
       "-of", "flat", path});
  std::map<std::string, std::string> facts;
  size_t at = 0;
  while (at < run.out.size()) {
    size_t end = run.out.find('\n', at);
    if (end == std::string::npos) end = run.out.size();
    const std::string line = run.out.substr(at, end - at);
    at = end + 1;
    const size_t equals = line.find('=');
    if (equals == std::string::npos) continue;
    std::string value = line.substr(equals + 1);
    if (value.size() >= 2 && value.front() == '"') value = value.substr(1, value.size() - 2);
    facts[line.substr(0, equals)] = value;
  }
  if (run.exitCode != 0) facts["error"] = run.err;
  return facts;
}

// Every picture of the first video stream as RGB rows, in presentation order, converted
// with the BT.709 limited-range matrix.
inline std::vector<std::string> DecodeFrames(const std::string& path, int width, int height) {
  TTempDir dir;
  const std::string raw = dir / "frames.rgb";
  RunProgram("/usr/bin/ffmpeg",
             {"-v", "error", "-i", path, "-map", "0:v:0", "-fps_mode", "passthrough", "-vf",
              "scale=in_color_matrix=bt709:in_range=tv:out_range=pc:flags=accurate_rnd+full_"
              "chroma_int",
              "-f", "rawvideo", "-pix_fmt", "rgb24", raw});
  const std::string bytes = ReadFile(raw);
  const size_t frame = static_cast<size_t>(width) * height * 3;
  std::vector<std::string> frames;
  for (size_t at = 0; frame > 0 && at + frame <= bytes.size(); at += frame)
    frames.push_back(bytes.substr(at, frame));
  return frames;
}

// Every picture's Y plane as coded (the stream's own YUV 4:2:0), in presentation order.
inline std::vector<std::string> DecodeLuma(const std::string& path, int width, int height) {
  TTempDir dir;
  const std::string raw = dir / "frames.yuv";
  RunProgram("/usr/bin/ffmpeg", {"-v", "error", "-i", path, "-map", "0:v:0", "-fps_mode",
                                 "passthrough", "-f", "rawvideo", "-pix_fmt", "yuv420p", raw});
  const std::string bytes = ReadFile(raw);
  const size_t luma = static_cast<size_t>(width) * height, frame = luma * 3 / 2;
  std::vector<std::string> frames;
  for (size_t at = 0; frame > 0 && at + frame <= bytes.size(); at += frame)
    frames.push_back(bytes.substr(at, luma));
  return frames;
}

// The BT.709 limited-range luma of RGB rows, as an encoder computes it.
inline std::string LumaOf(const std::string& rgb) {
  std::string luma;
  luma.reserve(rgb.size() / 3);
  for (size_t at = 0; at + 3 <= rgb.size(); at += 3) {
    const double y = 0.2126 * static_cast<uint8_t>(rgb[at]) +
                     0.7152 * static_cast<uint8_t>(rgb[at + 1]) +
                     0.0722 * static_cast<uint8_t>(rgb[at + 2]);
    luma.push_back(static_cast<char>(std::lround(16 + y * 219 / 255)));
  }
  return luma;
}

// The left channel of the first sound stream, decoded and resampled to rate.
inline std::vector<int16_t> DecodeSound(const std::string& path, int rate = 44100) {
  TTempDir dir;
  const std::string raw = dir / "sound.raw";
  RunProgram("/usr/bin/ffmpeg", {"-v", "error", "-i", path, "-map", "0:a:0", "-f", "s16le", "-ac",
                                 "2", "-ar", std::to_string(rate), raw});
  const std::string bytes = ReadFile(raw);
  std::vector<int16_t> left;
  for (size_t at = 0; at + 4 <= bytes.size(); at += 4)
    left.push_back(static_cast<int16_t>(static_cast<uint8_t>(bytes[at]) |
                                        (static_cast<uint8_t>(bytes[at + 1]) << 8)));
  return left;
}

// Where the sound stream starts after the video stream, in samples at rate: decoded sound
// counts from its own start, which some containers put before the first picture (AAC's
// priming in Matroska).
inline int64_t SoundLead(std::map<std::string, std::string>& facts, int rate = 44100) {
  const double video = std::stod(facts["streams.stream.0.start_time"]);
  const double sound = std::stod(facts["streams.stream.1.start_time"]);
  return std::llround((video - sound) * rate);
}

// The show times of the key frames of the first video stream, in seconds.
inline std::vector<double> KeyFrameTimes(const std::string& path) {
  const TRunResult run = RunProgram(
      "/usr/bin/ffprobe", {"-v", "error", "-select_streams", "v:0", "-skip_frame", "nokey",
                           "-show_entries", "frame=pts_time", "-of", "csv=p=0", path});
  std::vector<double> times;
  size_t at = 0;
  while (at < run.out.size()) {
    size_t end = run.out.find('\n', at);
    if (end == std::string::npos) end = run.out.size();
    const std::string line = run.out.substr(at, end - at);
    at = end + 1;
    if (!line.empty() && std::isdigit(static_cast<unsigned char>(line[0])))
      times.push_back(std::stod(line));
  }
  return times;
}

// The first sample whose magnitude reaches level, or -1.
inline int64_t FirstLoud(const std::vector<int16_t>& samples, int level) {
  for (size_t i = 0; i < samples.size(); ++i)
    if (std::abs(samples[i]) >= level) return static_cast<int64_t>(i);
  return -1;
}

// PSNR in dB of two byte strings of equal length (identical: 99).
inline double Psnr(const std::string& a, const std::string& b) {
  if (a.size() != b.size() || a.empty()) return 0;
  double sum = 0;
  for (size_t i = 0; i < a.size(); ++i) {
    const double d = static_cast<uint8_t>(a[i]) - static_cast<uint8_t>(b[i]);
    sum += d * d;
  }
  const double mse = sum / static_cast<double>(a.size());
  return mse == 0 ? 99 : 10 * std::log10(255.0 * 255.0 / mse);
}

}  // namespace vyr::test
