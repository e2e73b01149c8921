// The container from the output's extension, the codec by name or the container's
// default, and the quality checked against the codec's scale.
#include "export/output_format.h"

#include <gtest/gtest.h>

#include <stdexcept>

namespace vyr::exporting {
namespace {

TEST(OutputFormat, ContainerCodecAndSoundFollowTheExtension) {
  struct Case {
    const char* path;
    const char* codec;
    const char* muxer;
    const char* encoder;
    const char* sound;
    int rate, quality;
    bool faststart;
  };
  const Case cases[] = {
      {"out/a.mp4", "", "mp4", "libx264", "aac", 44100, 18, true},
      {"A.MP4", "hevc", "mp4", "libx265", "aac", 44100, 20, true},
      {"a.mkv", "", "matroska", "libx264", "aac", 44100, 18, false},
      {"a.mkv", "H265", "matroska", "libx265", "aac", 44100, 20, false},
      {"a.webm", "", "webm", "libvpx-vp9", "libopus", 48000, 24, false},
      {"a.webm", "av1", "webm", "libsvtav1", "libopus", 48000, 28, false},
  };
  for (const Case& c : cases) {
    const TOutputFormat f = ChooseOutputFormat(c.path, c.codec, std::nullopt);
    EXPECT_EQ(f.muxer, c.muxer) << c.path;
    EXPECT_EQ(f.videoEncoder, c.encoder) << c.path << " " << c.codec;
    EXPECT_EQ(f.audioEncoder, c.sound) << c.path;
    EXPECT_EQ(f.audioRate, c.rate) << c.path;
    EXPECT_EQ(f.quality, c.quality) << c.path << " " << c.codec;
    EXPECT_EQ(f.faststart, c.faststart) << c.path;
  }
  EXPECT_EQ(ChooseOutputFormat("a.mp4", "", 30).quality, 30);
}

TEST(OutputFormat, RefusesWhatTheContainerOrCodecCannotTake) {
  struct Case {
    const char* path;
    const char* codec;
    int quality;
  };
  const Case cases[] = {
      {"a.avi", "", 20},    {"a", "", 20},          {"a.mp4.tmp", "", 20},
      {"a.mp4", "vp9", 20}, {"a.webm", "h264", 20}, {"a.mp4", "mpeg2", 20},
      {"a.mp4", "", 52},    {"a.webm", "", 64},     {"a.webm", "av1", 0},
  };
  for (const Case& c : cases)
    EXPECT_THROW(ChooseOutputFormat(c.path, c.codec, c.quality), std::invalid_argument)
        << c.path << " " << c.codec << " " << c.quality;
  EXPECT_NO_THROW(ChooseOutputFormat("a.webm", "", 63));
  EXPECT_NE(OutputFormatHelp().find(
                ".webm vp9 (libvpx-vp9, 24 of 0-63), av1 (libsvtav1, 28 of 1-63); sound Opus"),
            std::string::npos);
}

}  // namespace
}  // namespace vyr::exporting
