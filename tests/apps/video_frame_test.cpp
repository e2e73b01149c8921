// vyrviewer --frame on shows with video clips: the exact clip frame of each time at the
// object's place, its drop shadow, and the placeholder of a missing clip.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "imaging/bitmap/pixel_format.h"
#include "imaging/decode/decoder_registry.h"
#include "run_program.h"
#include "video/clip_fixtures.h"

namespace vyr {
namespace {

struct TPixel {
  int r = 0, g = 0, b = 0;
};

TPixel At(const TBitmap& bitmap, int x, int y) {
  const TRef<TBitmap> rgb = MakeRef<TDirectBitmap>(1, 1, pf::A8R8G8B8());
  rgb->CopyRect(TRect{0, 0, 1, 1}, bitmap, TPoint{x, y});
  const uint8_t* p = rgb->Row(0);
  return TPixel{p[2], p[1], p[0]};
}

// The number the clip shows at its place in a frame of the clip's slide.
int ShownIndexAt(const TBitmap& frame, int left, int top) {
  return test::ShownIndexIn(test::kClipWidth, test::kClipHeight,
                            [&](int x, int y) { return At(frame, left + x, top + y).g; });
}

TEST(VideoFrame, TheExactClipFrameAtTheObjectsPlace) {
  test::TTempDir dir;
  ASSERT_TRUE(test::MakeClip(dir / "show/clip.mp4", 150, "25",
                             "-c:v libx264 -pix_fmt yuv420p -g 30 -bf 2"));
  test::WriteFile(dir / "show/Project.vyr", test::ClipOnSlideProject("clip.mp4"));
  const std::string package = dir / "show.vyshow";
  ASSERT_EQ(test::RunProgram(VYRPACK_PATH, {"create", package, dir / "show/Project.vyr"}).exitCode,
            0);
  struct Case {
    int ms, frame;
  };
  for (const Case& c : {Case{500, 0}, Case{1040, 1}, Case{1060, 2}, Case{3000, 50}, Case{2000, 25},
                        Case{4960, 99}, Case{8000, 149}}) {
    const std::string out = dir / ("frame" + std::to_string(c.ms) + ".png");
    const test::TRunResult run =
        test::RunProgram(VYRVIEWER_PATH, {"--frame", std::to_string(c.ms), "--out", out, package});
    ASSERT_EQ(run.exitCode, 0) << run.err;
    TRef<TImage> image = OpenPicture(out);
    ASSERT_TRUE(image);
    TRef<TBitmap> frame = image->Bitmap();
    EXPECT_EQ(ShownIndexAt(*frame, 80, 48), c.frame) << "at " << c.ms << " ms";
    if (c.ms != 500) continue;
    const TPixel outside = At(*frame, 60, 30), shadow = At(*frame, 243, 147);
    EXPECT_TRUE(outside.g > 200 && outside.b < 40) << "above left of the clip: the slide";
    EXPECT_TRUE(shadow.b > 180 && shadow.g < 80) << "below right of the clip: its shadow";
  }
}

// Where the level along row y crosses the middle grey, left to right.
std::vector<int> EdgesAlong(const TBitmap& frame, int y) {
  std::vector<int> edges;
  bool white = At(frame, 0, y).g > 128;
  for (int x = 1; x < frame.Width(); ++x)
    if ((At(frame, x, y).g > 128) != white) {
      white = !white;
      edges.push_back(x);
    }
  return edges;
}

TEST(VideoFrame, AnAnamorphicClipIsFramedAsItIsShown) {
  // 720 x 576 flagged 16:9: black, white and black bands of 180, 360 and 180 stored pixels,
  // shown 1024 pixels wide. Framed square and drawn in a 600-pixel square slide.
  test::TTempDir dir;
  ASSERT_TRUE(test::MakeClip(dir / "show/wide.mp4", 25, "25",
                             "-c:v libx264 -pix_fmt yuv420p -aspect 16:9", 720, 576,
                             [](int, int x, int) { return x >= 180 && x < 540; }));
  struct Case {
    const char* frame;       // keyframe values
    std::vector<int> edges;  // expected edges along the middle row
  };
  // Square window of the shown 1024 x 576: stored pixels 157.5 to 562.5; at zoom 200 a
  // window of 202.5 stored pixels pushed to either side.
  const Case cases[] = {
      {"", {33, 567}},
      {"Zoom=200\r\nOffsX=100\r\n", {67}},
      {"Zoom=200\r\nOffsX=-100\r\n", {533}},
  };
  int n = 0;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.frame);
    const std::string project = dir / ("show/Wide" + std::to_string(n++) + ".vyr");
    test::WriteFile(project, std::string("[Main]\r\nopt_scr_width=600\r\nopt_scr_height=600\r\n"
                                         "[Times]\r\nopt_slidescount=1\r\nopt_synchpos1=4000\r\n"
                                         "[Slide1]\r\nobject Root:Root\r\n"
                                         "object clip:Video\r\n"
                                         "GUID={00000000-0000-0000-0000-000000000002}\r\n"
                                         "FileName=wide.mp4\r\nEnableAspect=1\r\nAspect=1\r\n"
                                         "object k:KeyPoint\r\nTime=0\r\n") +
                                 c.frame + "end\r\nend\r\nend\r\n");
    const std::string out = dir / ("wide" + std::to_string(n) + ".png");
    const test::TRunResult run =
        test::RunProgram(VYRVIEWER_PATH, {"--frame", "500", "--out", out, project});
    ASSERT_EQ(run.exitCode, 0) << run.err;
    TRef<TImage> image = OpenPicture(out);
    ASSERT_TRUE(image);
    const std::vector<int> edges = EdgesAlong(*image->Bitmap(), 300);
    ASSERT_EQ(edges.size(), c.edges.size()) << "bands along the middle row";
    for (size_t i = 0; i < edges.size(); ++i) EXPECT_NEAR(edges[i], c.edges[i], 3) << "edge " << i;
  }
}

TEST(VideoFrame, AMissingClipDrawsItsPlaceholderAndTheSlidePlaysOn) {
  test::TTempDir dir;
  test::WriteFile(dir / "show/Project.vyr", test::ClipOnSlideProject("gone.mp4"));
  const std::string out = dir / "frame.png";
  const test::TRunResult run =
      test::RunProgram(VYRVIEWER_PATH, {"--frame", "2000", "--out", out, dir / "show/Project.vyr"});
  ASSERT_EQ(run.exitCode, 0) << run.err;
  TRef<TImage> image = OpenPicture(out);
  ASSERT_TRUE(image);
  TRef<TBitmap> frame = image->Bitmap();
  EXPECT_GT(At(*frame, 10, 10).g, 200);  // the slide
  int drawn = 0;                         // the placeholder's text inside the clip's place
  for (int y = 48; y < 144; y += 2)
    for (int x = 80; x < 240; x += 2) drawn += At(*frame, x, y).g < 200;
  EXPECT_GT(drawn, 10);
}

}  // namespace
}  // namespace vyr
