// vyrviewer --frame and --frames: frames of a project, a package and a self-playing program
// rendered headless to PNG files, checked on the pixels the show fixes.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <string>

#include "imaging/decode/decoder_registry.h"
#include "package/access_fixture.h"
#include "package/package_fixture.h"
#include "run_program.h"

namespace vyr {
namespace {

using test::TRunResult;
using test::WriteFile;

TRunResult Vyrviewer(const std::vector<std::string>& args) {
  return test::RunProgram(VYRVIEWER_PATH, args);
}

struct TPixel {
  int r = 0, g = 0, b = 0;
};

// Two 64 x 48 slides, red until 2000 ms then blue, the blue one brought in by a 1000 ms
// dissolve; green outside the slide.
class FrameShow : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string text =
        "[Main]\r\nopt_scr_width=64\r\nopt_scr_height=48\r\nopt_scr_hidercolor=65280\r\n"
        "[Times]\r\nopt_slidescount=2\r\nopt_synchpos1=2000\r\nopt_synchpos2=4000\r\n";
    const char* colours[2] = {"255,0,0", "0,0,255"};
    for (int k = 1; k <= 2; ++k)
      text += "[Slide" + std::to_string(k) +
              "]\r\nobject Root:Root\r\nobject box:Box\r\nSize=64,48\r\nColor1=" + colours[k - 1] +
              "\r\nend\r\nend\r\nobject TheEffect:AnEffect\r\n  ref=dissolve\r\n  "
              "time=1000\r\nend\r\n";
    WriteFile(dir_ / "show/Project.vyr", text);
  }

  std::string Project() const { return dir_ / "show/Project.vyr"; }
  std::string Out(const std::string& name) const { return dir_ / name; }

  static TRef<TBitmap> ReadPng(const std::string& path) {
    TRef<TImage> image = OpenPicture(path);
    return image ? image->Bitmap() : nullptr;
  }
  static TPixel At(const TBitmap& bitmap, int x, int y) {
    const TRef<TBitmap> rgb = MakeRef<TDirectBitmap>(1, 1, pf::A8R8G8B8());
    rgb->CopyRect(TRect{0, 0, 1, 1}, bitmap, TPoint{x, y});
    const uint8_t* p = rgb->Row(0);
    return TPixel{p[2], p[1], p[0]};
  }

  test::TTempDir dir_;
};

TEST_F(FrameShow, FramesOfProjectPackageAndSelfPlayingProgram) {
  const std::string package = dir_ / "show.vyshow";
  const std::string player = dir_ / "player";
  WriteFile(player, std::string(4096, '\x7f'));
  ::chmod(player.c_str(), 0755);
  const std::string program = dir_ / "show.run";
  ASSERT_EQ(test::RunProgram(VYRPACK_PATH, {"create", package, Project()}).exitCode, 0);
  ASSERT_EQ(
      test::RunProgram(VYRPACK_PATH, {"create", program, Project(), "--exe", player}).exitCode, 0);
  struct Case {
    std::vector<std::string> args;  // the show's place on the command line
    std::string frameOption;
    TPixel want;
    int tolerance;
  };
  const Case cases[] = {
      {{Project()}, "--frame=1000", {255, 0, 0}, 0},
      {{package}, "--frame=2500", {128, 0, 128}, 1},  // half way through the dissolve
      {{"-filename", program}, "--frame=2500", {128, 0, 128}, 1},
      {{"-exename", program}, "--frame=3000", {0, 0, 255}, 0},  // time = duration
  };
  int n = 0;
  for (const Case& c : cases) {
    const std::string out = Out("frame" + std::to_string(n++) + ".png");
    std::vector<std::string> args = {c.frameOption, "--out", out};
    args.insert(args.end(), c.args.begin(), c.args.end());
    const TRunResult run = Vyrviewer(args);
    ASSERT_EQ(run.exitCode, 0) << run.err;
    TRef<TBitmap> frame = ReadPng(out);
    ASSERT_TRUE(frame) << out;
    EXPECT_EQ(frame->Width(), 64);
    const TPixel p = At(*frame, 32, 24);
    EXPECT_NEAR(p.r, c.want.r, c.tolerance) << c.frameOption;
    EXPECT_NEAR(p.g, c.want.g, c.tolerance) << c.frameOption;
    EXPECT_NEAR(p.b, c.want.b, c.tolerance) << c.frameOption;
  }
}

TEST_F(FrameShow, FramesIntoAFolderAtEveryStepWithTheBackgroundAround) {
  const std::string folder = Out("frames");
  const TRunResult run =
      Vyrviewer({"--frames", "0:3000:1500", "--size", "80x48", "--out", folder, Project()});
  ASSERT_EQ(run.exitCode, 0) << run.err;
  for (const char* name : {"frame_00000000.png", "frame_00001500.png", "frame_00003000.png"})
    EXPECT_TRUE(std::filesystem::exists(std::filesystem::path(folder) / name)) << name;
  TRef<TBitmap> last = ReadPng((std::filesystem::path(folder) / "frame_00003000.png").string());
  ASSERT_TRUE(last);
  EXPECT_EQ(last->Width(), 80);
  const TPixel band = At(*last, 2, 24), slide = At(*last, 40, 24);
  EXPECT_EQ(band.g, 255);  // the hider colour left of the slide
  EXPECT_EQ(band.r + band.b, 0);
  EXPECT_EQ(slide.b, 255);
}

TEST_F(FrameShow, ClearErrorsForAMissingShowAndBadOptions) {
  const TRunResult none = Vyrviewer({"--frame", "0", "--out", Out("x.png")});
  EXPECT_EQ(none.exitCode, 2);
  EXPECT_NE(none.err.find("no show given"), std::string::npos) << none.err;
  const TRunResult bad = Vyrviewer({"--frames", "5:1:1", "--out", Out("d"), Project()});
  EXPECT_EQ(bad.exitCode, 2);
  EXPECT_NE(bad.err.find("FROM <= TO"), std::string::npos) << bad.err;
  const TRunResult help = Vyrviewer({"--help"});
  EXPECT_EQ(help.exitCode, 0);
  EXPECT_NE(help.out.find("--frames FROM:TO:STEP"), std::string::npos);
  EXPECT_EQ(Vyrviewer({"--version"}).exitCode, 0);
}

// The show's own frame size is bounded as --size is: outside it, frames, exports and
// thumbnails end with a message naming the keys and status 2; inside, even at the limit,
// frames of that size are drawn.
TEST_F(FrameShow, ShowSizesOutsideTheFrameLimitsEndClearly) {
  const std::string original = test::ReadFile(Project());
  struct Case {
    int width, height;
    bool drawn;
  };
  for (const Case& c : {Case{0, 48, false}, Case{64, -48, false}, Case{1 << 30, 48, false},
                        Case{64, 1 << 30, false}, Case{16386, 48, false},
                        Case{1000000, 1000000, false}, Case{16384, 8, true}, Case{64, 48, true}}) {
    const std::string size = std::to_string(c.width) + " x " + std::to_string(c.height);
    SCOPED_TRACE(size);
    std::string text = original;
    text.replace(text.find("opt_scr_width=64"), 16, "opt_scr_width=" + std::to_string(c.width));
    text.replace(text.find("opt_scr_height=48"), 17, "opt_scr_height=" + std::to_string(c.height));
    WriteFile(Project(), text);
    const std::string frame = Out("frame.png"), video = Out("show.mp4");
    std::filesystem::remove(frame);
    const TRunResult run = Vyrviewer({"--frame", "1000", "--out", frame, Project()});
    if (c.drawn) {
      ASSERT_EQ(run.exitCode, 0) << run.err;
      const TRef<TBitmap> bitmap = ReadPng(frame);
      ASSERT_TRUE(bitmap);
      EXPECT_EQ(bitmap->Width(), c.width);
      EXPECT_EQ(bitmap->Height(), c.height);
      EXPECT_EQ(At(*bitmap, c.width / 2, c.height / 2).r, 255);
      continue;
    }
    EXPECT_EQ(run.exitCode, 2);
    EXPECT_NE(run.err.find("frame size (opt_scr_width x opt_scr_height) " + size),
              std::string::npos)
        << run.err;
    EXPECT_FALSE(std::filesystem::exists(frame));
    for (const std::vector<std::string>& args :
         {std::vector<std::string>{"--export", video, "--to", "1000", Project()},
          std::vector<std::string>{"--thumbnail", "64", "--out", frame, Project()}}) {
      const TRunResult refused = Vyrviewer(args);
      EXPECT_EQ(refused.exitCode, 2) << args.front();
      EXPECT_NE(refused.err.find("opt_scr_width x opt_scr_height"), std::string::npos)
          << refused.err;
    }
    EXPECT_FALSE(std::filesystem::exists(video));
    EXPECT_FALSE(std::filesystem::exists(frame));
  }
}

// A skin bar of one 8 x 8 yellow cell, half the slide's height, in the middle of the slide;
// a logo in the top-left corner. --no-panel leaves the bar out, not the logo.
TEST_F(FrameShow, OverlayDrawsLogoAndPanelUnlessNoPanel) {
  WriteFile(dir_ / "show/cell.bmp", test::FlatBmp(8, 8, 0xFFFF00));
  WriteFile(dir_ / "show/logo.bmp", test::FlatBmp(16, 12, 0xFFFFFF));
  WriteFile(dir_ / "show/bar.ini",
            "[Common]\r\nColsCount=1\r\nRowsCount=1\r\n[CellWithObjects]\r\nCell=1,1\r\n"
            "LeftOffset=8\r\nTopOffset=8\r\n[Cell(1:1)]\r\nBounds=0,0,8,8\r\n"
            "flnm_Texture=cell.bmp\r\n");
  std::string text = test::ReadFile(Project());
  text.replace(text.find("[Main]\r\n"), 8,
               "[Main]\r\nopt_fcp=1\r\nopt_nav_inifile=bar.ini\r\nopt_nav_showbg=1\r\n"
               "opt_nav_viewscale=50\r\nopt_nav_wndbottom=0\r\nopt_logo=1\r\n"
               "opt_logo_fn=logo.bmp\r\nopt_logo_pos=5\r\nopt_logo_size=25\r\n");
  WriteFile(Project(), text);
  for (bool panel : {true, false}) {
    std::vector<std::string> args = {"--frame", "1000", "--out", Out("overlay.png"), Project()};
    if (!panel) args.insert(args.begin(), "--no-panel");
    const TRunResult run = Vyrviewer(args);
    ASSERT_EQ(run.exitCode, 0) << run.err;
    TRef<TBitmap> frame = ReadPng(Out("overlay.png"));
    ASSERT_TRUE(frame);
    // The bar: 24 x 24 around the centre; the slide's red around it.
    const TPixel middle = At(*frame, 32, 24), outside = At(*frame, 4, 40);
    EXPECT_EQ(middle.r, 255) << panel;
    EXPECT_EQ(middle.g, panel ? 255 : 0) << panel;
    EXPECT_EQ(outside.g, 0);
    // The logo: 12 pixels high, 16 wide, at the slide's top-left corner.
    const TPixel logo = At(*frame, 6, 6);
    EXPECT_EQ(logo.g, 255) << panel;
    EXPECT_EQ(logo.b, 255) << panel;
  }
}

// A 100 x 100 white picture scaled to half of a 200 x 200 green slide, with a hard blue shadow
// 10 % of the picture's size away at 45 degrees: the shadow shows below and to the right of the
// picture, not above or to its left.
TEST_F(FrameShow, PictureShadowIsOffsetAndTinted) {
  WriteFile(dir_ / "shadow/white.bmp", test::FlatBmp(100, 100, 0xFFFFFF));
  WriteFile(dir_ / "shadow/Project.vyr",
            "[Main]\r\nopt_scr_width=200\r\nopt_scr_height=200\r\n"
            "[Times]\r\nopt_slidescount=1\r\nopt_synchpos1=4000\r\n"
            "[Slide1]\r\nobject Root:Root\r\n"
            "object ground:Box\r\nGUID={00000000-0000-0000-0000-000000000001}\r\n"
            "Size=200,200\r\nColor1=0,255,0\r\nend\r\n"
            "object pic:Image\r\nGUID={00000000-0000-0000-0000-000000000002}\r\n"
            "ImageName=white.bmp\r\nShadowEnable=1\r\nShadowDistance=10\r\n"
            "ShadowAngle=45\r\nShadowSize=0\r\nShadowOpacity=100\r\nShadowColor=0,0,255\r\n"
            "object k:KeyPoint\r\nTime=0\r\nScaleX=50\r\nScaleY=50\r\nend\r\n"
            "end\r\nend\r\n");
  const std::string out = Out("shadow.png");
  const TRunResult run = Vyrviewer({"--frame", "1000", "--out", out, dir_ / "shadow/Project.vyr"});
  ASSERT_EQ(run.exitCode, 0) << run.err;
  const TRef<TBitmap> frame = ReadPng(out);
  ASSERT_TRUE(frame);
  const auto isBlue = [](TPixel p) { return p.b > 180 && p.g < 80 && p.r < 80; };
  const auto isGreen = [](TPixel p) { return p.g > 200 && p.b < 40 && p.r < 40; };
  const auto isWhite = [](TPixel p) { return p.r > 230 && p.g > 230 && p.b > 230; };
  EXPECT_TRUE(isWhite(At(*frame, 100, 100)));
  EXPECT_TRUE(isWhite(At(*frame, 145, 145)));  // the picture covers its own shadow
  // The shadow spans about 57..157 on both axes.
  for (auto [x, y] : {std::pair{153, 100}, {100, 153}, {153, 153}})
    EXPECT_TRUE(isBlue(At(*frame, x, y))) << x << "," << y;
  for (auto [x, y] : {std::pair{46, 100}, {100, 46}, {46, 46}, {162, 162}, {20, 180}})
    EXPECT_TRUE(isGreen(At(*frame, x, y))) << x << "," << y;
}

}  // namespace
}  // namespace vyr
