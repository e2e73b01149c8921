// A packed show whose clip and music are playlists naming a web address on this machine and
// a media file outside the show: --frame, --thumbnail and --export draw the clip's
// placeholder, play silence, and neither connect nor show or sound the outside file.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "export/media_probe.h"
#include "imaging/bitmap/pixel_format.h"
#include "imaging/decode/decoder_registry.h"
#include "media/hostile_media.h"
#include "media/loopback_listener.h"
#include "program_output.h"
#include "run_program.h"
#include "video/clip_fixtures.h"

namespace vyr {
namespace {

int RedPixelsIn(const std::vector<std::string>& rgbFrames) {
  int red = 0;
  for (const std::string& rgb : rgbFrames)
    for (size_t at = 0; at + 3 <= rgb.size(); at += 3)
      red += test::IsRed(static_cast<uint8_t>(rgb[at]), static_cast<uint8_t>(rgb[at + 1]),
                         static_cast<uint8_t>(rgb[at + 2]));
  return red;
}

TEST(HostileMedia, PlaylistClipAndMusicOpenNothingInFramesThumbnailsAndExports) {
  test::TLoopbackListener listener;
  ASSERT_TRUE(listener.Listening());
  test::TTempDir dir;
  const std::string outside = dir / "outside.ts";
  ASSERT_TRUE(test::MakeRedToneStream(outside));
  const std::string playlist = test::HlsPlaylist({listener.Url("segment.ts"), outside});
  test::WriteFile(dir / "show/clip.m3u8", playlist);
  test::WriteFile(dir / "show/music.m3u8", playlist);
  std::string project = test::ClipOnSlideProject("clip.m3u8");
  project.insert(project.find("[Times]"),
                 "object M:Music\r\nobject T1:TMusicTrack\r\nobject A:TMusicItem\r\n"
                 "FileName=music.m3u8\r\nDuration=9000\r\nend\r\nend\r\nend\r\n");
  test::WriteFile(dir / "show/Project.vyr", project);
  const std::string show = dir / "show.vyshow";
  ASSERT_EQ(test::RunProgram(VYRPACK_PATH, {"create", show, dir / "show/Project.vyr"}).exitCode, 0);

  const std::string frame = dir / "frame.png";
  test::TRunResult run =
      test::RunProgram(VYRVIEWER_PATH, {"--frame", "2000", "--out", frame, show});
  ASSERT_EQ(run.exitCode, 0) << run.err;
  const std::string rgb = test::RgbOf(frame);
  ASSERT_EQ(rgb.size(), 320u * 192 * 3);
  EXPECT_EQ(RedPixelsIn({rgb}), 0);
  int placeholder = 0;  // its text where the clip would be, on the green slide
  for (int y = 48; y < 144; ++y)
    for (int x = 80; x < 240; ++x)
      placeholder += static_cast<uint8_t>(rgb[(y * 320 + x) * 3 + 1]) < 200;
  EXPECT_GT(placeholder, 40);

  const std::string thumbnail = dir / "thumbnail.png";
  run = test::RunProgram(VYRVIEWER_PATH, {"--thumbnail", "160", "--out", thumbnail, show});
  ASSERT_EQ(run.exitCode, 0) << run.err;
  const std::string small = test::RgbOf(thumbnail);
  ASSERT_FALSE(small.empty());
  EXPECT_EQ(RedPixelsIn({small}), 0);

  const std::string video = dir / "show.mp4";
  run = test::RunProgram(VYRVIEWER_PATH,
                         {"--export", video, "--fps", "5", "--from", "1000", "--to", "3000", show});
  ASSERT_EQ(run.exitCode, 0) << run.err;
  const std::vector<std::string> frames = test::DecodeFrames(video, 320, 192);
  EXPECT_EQ(frames.size(), 10u);
  EXPECT_EQ(RedPixelsIn(frames), 0);
  EXPECT_EQ(test::FirstLoud(test::DecodeSound(video), 500), -1) << "the outside tone sounds";

  EXPECT_EQ(listener.Connections(), 0);
}

}  // namespace
}  // namespace vyr
