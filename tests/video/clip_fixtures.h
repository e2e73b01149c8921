#pragma once
// Clips made with ffmpeg at test time: frame i shows i as eight large black and white
// blocks (bit k of i in block k, four across and two down), readable after lossy coding.

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

#include "package/package_fixture.h"
#include "scene/video/video_picture.h"

namespace vyr::test {

constexpr int kClipWidth = 160, kClipHeight = 96;

inline bool BitBlockOn(int frame, int x, int y, int width, int height) {
  const int bit = (y * 2 / height) * 4 + x * 4 / width;
  return (frame >> bit) & 1;
}

// White where on(frame, x, y), else black.
using TPattern = std::function<bool(int frame, int x, int y)>;

// Grey frames (0 black, 255 white) of the bit pattern, or of the given pattern.
inline std::string RawFrames(int count, int width, int height, const TPattern& on = {}) {
  std::string raw;
  raw.reserve(static_cast<size_t>(count) * width * height);
  for (int i = 0; i < count; ++i)
    for (int y = 0; y < height; ++y)
      for (int x = 0; x < width; ++x)
        raw.push_back((on ? on(i, x, y) : BitBlockOn(i, x, y, width, height)) ? '\xff' : 0);
  return raw;
}

inline bool Run(const std::string& command) { return std::system(command.c_str()) == 0; }

// Encodes count frames at fps into out with the codec arguments; false when ffmpeg cannot.
inline bool MakeClip(const std::string& out, int count, const std::string& fps,
                     const std::string& codecArgs, int width = kClipWidth, int height = kClipHeight,
                     const TPattern& on = {}) {
  const std::string raw = out + ".gray";
  WriteFile(raw, RawFrames(count, width, height, on));
  const std::string command = "ffmpeg -nostdin -v error -y -f rawvideo -pix_fmt gray -s " +
                              std::to_string(width) + "x" + std::to_string(height) + " -r " + fps +
                              " -i '" + raw + "' " + codecArgs + " '" + out + "'";
  const bool ok = Run(command);
  std::remove(raw.c_str());
  return ok;
}

inline bool HasEncoder(const std::string& name) {
  return Run("ffmpeg -v error -hide_banner -h encoder=" + name +
             " 2>/dev/null | grep -q 'Encoder " + name + "'");
}

// The luma (or, for BGRA, green) at a point.
inline int LumaAt(const TVideoPicture& p, int x, int y) {
  if (p.Kind() == TVideoKind::Rgba) return p.Plane(0)[y * p.Pitch(0) + x * 4 + 1];
  return p.Plane(0)[y * p.Pitch(0) + x];
}

// The number a frame of width x height shows, read as levelAt(x, y) in the middle of each
// block; works on decoded clip frames and on the clip's place in a drawn slide alike.
template <typename LevelAt>
int ShownIndexIn(int width, int height, LevelAt levelAt) {
  int index = 0;
  for (int bit = 0; bit < 8; ++bit) {
    const int x = (bit % 4) * width / 4 + width / 8;
    const int y = (bit / 4) * height / 2 + height / 4;
    if (levelAt(x, y) > 128) index |= 1 << bit;
  }
  return index;
}

// The number a decoded frame shows.
inline int ShownIndex(const TVideoPicture& p) {
  return ShownIndexIn(p.Width(), p.Height(), [&](int x, int y) { return LumaAt(p, x, y); });
}

// A 320 x 192 green slide of 9000 ms with the clip fileName in its middle at 80..240 x
// 48..144, starting at 1000 ms, with a hard blue shadow.
inline std::string ClipOnSlideProject(const std::string& fileName) {
  return "[Main]\r\nopt_scr_width=320\r\nopt_scr_height=192\r\n"
         "[Times]\r\nopt_slidescount=1\r\nopt_synchpos1=9000\r\n"
         "[Slide1]\r\nobject Root:Root\r\n"
         "object ground:Box\r\nGUID={00000000-0000-0000-0000-000000000001}\r\n"
         "Size=320,192\r\nColor1=0,255,0\r\nend\r\n"
         "object clip:Video\r\nGUID={00000000-0000-0000-0000-000000000002}\r\n"
         "FileName=" +
         fileName +
         "\r\nStartVYRTime=1000\r\nDuration=99000\r\n"
         "ShadowEnable=1\r\nShadowDistance=10\r\nShadowAngle=45\r\nShadowSize=0\r\n"
         "ShadowOpacity=100\r\nShadowColor=0,0,255\r\n"
         "object k:KeyPoint\r\nTime=0\r\nScaleX=50\r\nScaleY=50\r\nend\r\n"
         "end\r\nend\r\n";
}

// ffmpeg's own decoding: every frame's Y plane (width x height bytes).
inline std::vector<std::string> FfmpegLuma(const std::string& clip, int width, int height) {
  const std::string out = clip + ".yuv";
  std::vector<std::string> frames;
  if (!Run("ffmpeg -nostdin -v error -y -i '" + clip +
           "' -vsync passthrough -f rawvideo -pix_fmt yuv420p '" + out + "'"))
    return frames;
  const std::string all = ReadFile(out);
  std::remove(out.c_str());
  const size_t frameBytes = static_cast<size_t>(width) * height * 3 / 2;
  for (size_t at = 0; at + frameBytes <= all.size(); at += frameBytes)
    frames.push_back(all.substr(at, static_cast<size_t>(width) * height));
  return frames;
}

// Largest difference between a picture's Y plane and ffmpeg's.
inline int LumaDifference(const TVideoPicture& p, const std::string& luma) {
  int worst = 0;
  for (int y = 0; y < p.Height(); ++y)
    for (int x = 0; x < p.Width(); ++x)
      worst = std::max(worst, std::abs(p.Plane(0)[y * p.Pitch(0) + x] -
                                       static_cast<uint8_t>(luma[y * p.Width() + x])));
  return worst;
}

}  // namespace vyr::test
