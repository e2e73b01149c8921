// The frame sources: every codec and container gives ffmpeg's own frames, by sequential and
// random indexes; the 24-bit path; full-range, interlaced, aspect-coded and GIF clips; bad
// input.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>

#include "clip_fixtures.h"
#include "foundation/stream.h"
#include "imaging/bitmap/bitmap_factory.h"
#include "imaging/bitmap/pixel_format.h"
#include "video/ffmpeg_video_source.h"
#include "video/frame_source_factory.h"
#include "video/gif_video_source.h"

namespace vyr {
namespace {

using test::kClipHeight;
using test::kClipWidth;

TRef<TStream> OpenFile(const std::string& path) {
  return TFileStream::TryOpen(path, TFileStream::Mode::Read);
}

TRef<TFrameSource> OpenClip(const std::string& path) {
  return MakeFrameSource(OpenFile(path), path, "");
}

TRef<TVideoPicture> PictureFor(const TFrameSource& source) {
  const TVideoSourceInfo& p = source.Params();
  return MakeRef<TVideoPicture>(p.width, p.height, p.rgba ? TVideoKind::Rgba : TVideoKind::Yuv420);
}

struct TCodecCase {
  const char* name;
  const char* encoder;
  const char* file;
  const char* args;
  int tolerance;  // against ffmpeg's own yuv420p output
};

class CodecContainer : public ::testing::TestWithParam<TCodecCase> {};

TEST_P(CodecContainer, SameFramesAsFfmpegSequentiallyAndAfterJumps) {
  const TCodecCase& c = GetParam();
  if (!test::HasEncoder(c.encoder)) GTEST_SKIP() << "ffmpeg has no " << c.encoder;
  test::TTempDir dir;
  const std::string clip = dir / c.file;
  ASSERT_TRUE(test::MakeClip(clip, 40, "25", c.args));
  TRef<TFrameSource> source = OpenClip(clip);
  ASSERT_TRUE(source);
  const TVideoSourceInfo& p = source->Params();
  EXPECT_EQ(p.width, kClipWidth);
  EXPECT_EQ(p.height, kClipHeight);
  EXPECT_EQ(p.frameCount, 40);
  EXPECT_NEAR(p.fps, 25, 0.01);
  EXPECT_FALSE(p.rgba);
  const std::vector<std::string> reference = test::FfmpegLuma(clip, kClipWidth, kClipHeight);
  ASSERT_EQ(reference.size(), 40u);
  TRef<TVideoPicture> picture = PictureFor(*source);
  for (int i = 0; i < 40; ++i) {
    ASSERT_TRUE(source->GetFrame(i, *picture)) << "frame " << i;
    EXPECT_EQ(test::ShownIndex(*picture), i);
    EXPECT_LE(test::LumaDifference(*picture, reference[i]), c.tolerance) << "frame " << i;
  }
  // Backwards, far forwards, the last frame, the first, neighbours after a jump.
  for (int i : {30, 5, 39, 0, 17, 16, 38, 12, 13, 2}) {
    ASSERT_TRUE(source->GetFrame(i, *picture)) << "frame " << i;
    EXPECT_EQ(test::ShownIndex(*picture), i);
    EXPECT_LE(test::LumaDifference(*picture, reference[i]), c.tolerance) << "frame " << i;
  }
  EXPECT_FALSE(source->GetFrame(40, *picture));
  EXPECT_FALSE(source->GetFrame(-1, *picture));
}

INSTANTIATE_TEST_SUITE_P(
    Formats, CodecContainer,
    ::testing::Values(
        TCodecCase{"H264Mp4", "libx264", "clip.mp4",
                   "-c:v libx264 -pix_fmt yuv420p -g 12 -bf 2 -crf 18", 1},
        TCodecCase{"HevcMkv", "libx265", "clip.mkv",
                   "-c:v libx265 -pix_fmt yuv420p -x265-params log-level=none:keyint=12", 1},
        TCodecCase{"Mpeg4Avi", "mpeg4", "clip.avi", "-c:v mpeg4 -pix_fmt yuv420p -q:v 3 -g 12", 1},
        TCodecCase{"Mpeg2Ps", "mpeg2video", "clip.mpg",
                   "-c:v mpeg2video -pix_fmt yuv420p -q:v 3 -g 12 -f vob", 1},
        TCodecCase{"Vp8Webm", "libvpx", "clip.webm", "-c:v libvpx -pix_fmt yuv420p -b:v 1M -g 12",
                   1},
        TCodecCase{"Vp9Webm", "libvpx-vp9", "clip.webm",
                   "-c:v libvpx-vp9 -pix_fmt yuv420p -b:v 1M -g 12", 1},
        TCodecCase{"Av1Mkv", "libaom-av1", "clip.mkv",
                   "-c:v libaom-av1 -pix_fmt yuv420p -cpu-used 8 -b:v 400k -g 12", 1},
        // Full-range Motion JPEG: ffmpeg's limited-range output and ours round apart.
        TCodecCase{"MjpegAvi", "mjpeg", "clip.avi", "-c:v mjpeg -q:v 3 -pix_fmt yuvj420p", 2}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(FrameSource, TheTwentyFourBitPathGivesFfmpegsOwnRgb) {
  test::TTempDir dir;
  const std::string clip = dir / "clip.mp4";
  ASSERT_TRUE(test::MakeClip(clip, 20, "25", "-c:v libx264 -pix_fmt yuv420p"));
  ASSERT_TRUE(test::Run("ffmpeg -nostdin -v error -y -i '" + clip +
                        "' -vsync passthrough -f rawvideo -pix_fmt rgb24 '" + (dir / "rgb") + "'"));
  const std::string rgb = test::ReadFile(dir / "rgb");
  const size_t frameBytes = size_t{kClipWidth} * kClipHeight * 3;
  ASSERT_EQ(rgb.size(), 20 * frameBytes);
  TRef<TWinVideoSource> source = TWinVideoSource::Open(OpenFile(clip), clip);
  ASSERT_TRUE(source);
  TRef<TSysBitmap> bitmap = CreateSysBitmap(kClipWidth, kClipHeight, pf::R8G8B8());
  for (int i : {0, 1, 13, 4, 19}) {
    ASSERT_TRUE(source->GetFrame24(i, *bitmap)) << "frame " << i;
    EXPECT_EQ(test::ShownIndexIn(kClipWidth, kClipHeight,
                                 [&](int x, int y) { return int{bitmap->Row(y)[x * 3 + 1]}; }),
              i);
    int worst = 0;
    for (int y = 0; y < kClipHeight; ++y)
      for (int x = 0; x < kClipWidth; ++x)
        for (int c = 0; c < 3; ++c) {
          // ffmpeg writes red, green, blue; the bitmap holds blue, green, red.
          const int want = static_cast<uint8_t>(rgb[i * frameBytes + (y * kClipWidth + x) * 3 + c]);
          worst = std::max(worst, std::abs(bitmap->Row(y)[x * 3 + 2 - c] - want));
        }
    EXPECT_LE(worst, 4) << "frame " << i;
  }
  EXPECT_FALSE(source->GetFrame24(20, *bitmap));
  TRef<TSysBitmap> wide = CreateSysBitmap(kClipWidth, kClipHeight, pf::A8R8G8B8());
  EXPECT_FALSE(source->GetFrame24(0, *wide)) << "only 24-bit bitmaps";
}

TEST(FrameSource, FullRangeMotionJpegKeepsBlacksAndWhites) {
  test::TTempDir dir;
  const std::string clip = dir / "full.avi";
  ASSERT_TRUE(test::MakeClip(clip, 4, "25", "-c:v mjpeg -q:v 2 -pix_fmt yuvj420p"));
  TRef<TFrameSource> source = OpenClip(clip);
  ASSERT_TRUE(source);
  TRef<TVideoPicture> picture = PictureFor(*source);
  ASSERT_TRUE(source->GetFrame(1, *picture));  // block 0 white, the rest black
  // Delivered as limited range: black 16 and white 235, neither clipped nor squeezed twice.
  EXPECT_NEAR(test::LumaAt(*picture, kClipWidth / 8, kClipHeight / 4), 235, 3);
  EXPECT_NEAR(test::LumaAt(*picture, kClipWidth * 5 / 8, kClipHeight * 3 / 4), 16, 3);
}

TEST(FrameSource, InterlacedMpeg2ReportsItsFieldOrder) {
  test::TTempDir dir;
  const std::string tff = dir / "tff.mpg", bff = dir / "bff.mpg";
  ASSERT_TRUE(
      test::MakeClip(tff, 6, "25", "-c:v mpeg2video -flags +ilme+ildct -top 1 -q:v 2 -f vob"));
  ASSERT_TRUE(
      test::MakeClip(bff, 6, "25", "-c:v mpeg2video -flags +ilme+ildct -top 0 -q:v 2 -f vob"));
  TRef<TFrameSource> top = OpenClip(tff), bottom = OpenClip(bff);
  ASSERT_TRUE(top && bottom);
  EXPECT_TRUE(top->Params().interlaced);
  EXPECT_TRUE(top->Params().topFieldFirst);
  EXPECT_TRUE(bottom->Params().interlaced);
  EXPECT_FALSE(bottom->Params().topFieldFirst);
  EXPECT_EQ(top->CodecName(), "MPEG2");
}

TEST(FrameSource, AspectCodesOfTheDisplayAspect) {
  test::TTempDir dir;
  struct Case {
    const char* aspect;
    int code;
  };
  for (const Case& c : {Case{"", 0}, Case{"-aspect 4:3", 1}, Case{"-aspect 16:9", 2}}) {
    const std::string clip = dir / ("aspect" + std::to_string(c.code) + ".mp4");
    ASSERT_TRUE(
        test::MakeClip(clip, 3, "25", std::string("-c:v libx264 -pix_fmt yuv420p ") + c.aspect));
    TRef<TFrameSource> source = OpenClip(clip);
    ASSERT_TRUE(source);
    EXPECT_EQ(source->Params().aspectCode, c.code) << c.aspect;
    EXPECT_EQ(source->CodecName(), "H264");
  }
}

TEST(FrameSource, AnimatedGifFramesAsAClip) {
  test::TTempDir dir;
  const std::string gif = dir / "anim.GIF";
  ASSERT_TRUE(test::MakeClip(gif, 10, "10", "-f gif"));
  TRef<TFrameSource> source = OpenClip(gif);
  ASSERT_TRUE(source);
  ASSERT_TRUE(dynamic_cast<TGifVideoSource*>(source.Get()));
  const TVideoSourceInfo& p = source->Params();
  EXPECT_TRUE(p.rgba);
  EXPECT_EQ(p.frameCount, 10);
  EXPECT_NEAR(p.fps, 10, 0.01);
  TRef<TVideoPicture> picture = PictureFor(*source);
  for (int i : {0, 1, 7, 3, 9}) {
    ASSERT_TRUE(source->GetFrame(i, *picture));
    EXPECT_EQ(test::ShownIndex(*picture), i);
  }
}

TEST(FrameSource, BadInputIsRefusedOrDecodesWhatItCan) {
  test::TTempDir dir;
  // Not a video at all.
  test::WriteFile(dir / "text.mp4", std::string(5000, 'x'));
  EXPECT_FALSE(OpenClip(dir / "text.mp4"));
  EXPECT_FALSE(MakeFrameSource(nullptr, "none.mp4", ""));
  // An absurd frame size is refused before anything is allocated for it.
  test::WriteFile(dir / "huge.y4m", "YUV4MPEG2 W100000 H100000 F25:1 Ip A1:1 C420jpeg\nFRAME\n" +
                                        std::string(4096, '\x80'));
  EXPECT_FALSE(OpenClip(dir / "huge.y4m"));
  // Corrupt packets in the middle: every frame asked for returns, the clip plays on.
  const std::string clip = dir / "corrupt.avi";
  ASSERT_TRUE(test::MakeClip(clip, 40, "25", "-c:v mpeg4 -q:v 3 -g 10"));
  std::string bytes = test::ReadFile(clip);
  for (size_t at = bytes.size() / 3; at < bytes.size() / 3 + 3000 && at < bytes.size(); at += 7)
    bytes[at] = static_cast<char>(bytes[at] ^ 0x5A);
  test::WriteFile(clip, bytes);
  if (TRef<TFrameSource> source = OpenClip(clip)) {
    TRef<TVideoPicture> picture = PictureFor(*source);
    int decoded = 0;
    for (int i = 0; i < source->Params().frameCount; ++i) decoded += source->GetFrame(i, *picture);
    for (int i : {39, 3, 25}) decoded += source->GetFrame(i, *picture);
    EXPECT_GT(decoded, 10);
    ASSERT_TRUE(source->GetFrame(0, *picture));
    EXPECT_EQ(test::ShownIndex(*picture), 0);
  }
  // A truncated clip: what is left still plays.
  const std::string cut = dir / "cut.mkv";
  ASSERT_TRUE(test::MakeClip(cut, 40, "25", "-c:v libx264 -pix_fmt yuv420p -g 10"));
  const std::string whole = test::ReadFile(cut);
  test::WriteFile(cut, whole.substr(0, whole.size() * 2 / 3));
  TRef<TFrameSource> source = OpenClip(cut);
  ASSERT_TRUE(source);
  TRef<TVideoPicture> picture = PictureFor(*source);
  ASSERT_TRUE(source->GetFrame(source->Params().frameCount - 1, *picture));
  ASSERT_TRUE(source->GetFrame(2, *picture));
  EXPECT_EQ(test::ShownIndex(*picture), 2);
}

}  // namespace
}  // namespace vyr
