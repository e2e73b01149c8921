// Photographs turned by the project's [RotationState]: the slide lays them out at their turned
// size (vyrpack scene corners) and draws them turned (vyrviewer --frame), for a JPEG and a PNG.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "imaging/decode/decoder_registry.h"
#include "package/package_fixture.h"
#include "program_output.h"
#include "run_program.h"

namespace vyr {
namespace {

using test::CornersOf;
using test::PixelAt;
using test::TRgb;

using test::TRunResult;
using test::WriteFile;

bool IsRed(TRgb p) { return p.r > 180 && p.g < 70 && p.b < 70; }
bool IsBlue(TRgb p) { return p.b > 180 && p.g < 70 && p.r < 70; }
bool IsBlack(TRgb p) { return p.r < 30 && p.g < 30 && p.b < 30; }

// A 160 x 120 show whose one slide shows an 80 x 40 photograph (left half red, right half
// blue) placed into the frame at half scale: unturned 80 x 40 around the centre (80, 60),
// quarter-turned 40 x 80 placed into 160 x 120 at 1.5 and halved: 30 x 60.
class TurnedPictures : public ::testing::TestWithParam<const char*> {
 protected:
  void SetUp() override {
    const std::string picture = dir_ / (std::string("photo.") + GetParam());
    const std::string make =
        "ffmpeg -v error -y -f lavfi -i color=c=red:s=40x40 -f lavfi -i "
        "color=c=blue:s=40x40 -filter_complex hstack -frames:v 1 -q:v 1 " +
        picture + " >/dev/null 2>&1";
    ASSERT_EQ(std::system(make.c_str()), 0) << "ffmpeg could not write the picture";
  }

  // The project with the rotation line for the picture (none: no [RotationState]).
  std::string Project(const std::string& code) const {
    const std::string name = std::string("photo.") + GetParam();
    std::string text =
        "[Main]\r\nopt_scr_width=160\r\nopt_scr_height=120\r\n"
        "[Times]\r\nopt_slidescount=1\r\nopt_synchpos1=4000\r\n"
        "[Slide1]\r\nobject Root:Root\r\n"
        "object pic:Image\r\nGUID={00000000-0000-0000-0000-0000000000a1}\r\nImageName=" +
        name +
        "\r\nobject k:KeyPoint\r\nTime=0\r\nScaleX=50\r\nScaleY=50\r\nend\r\nend\r\nend\r\n"
        "object TheEffect:AnEffect\r\n  ref=dissolve\r\n  time=500\r\nend\r\n";
    // Any case: the table's names compare ignoring case.
    if (!code.empty())
      text += "[RotationState]\r\n;\"PHOTO." + name.substr(6) + "\"=" + code + "\r\n";
    const std::string path = dir_ / ("project_" + (code.empty() ? "none" : code) + ".vyr");
    WriteFile(path, text);
    return path;
  }

  test::TTempDir dir_;
};

TEST_P(TurnedPictures, SceneCornersAndFrameFollowTheTurn) {
  struct Case {
    std::string code;
    bool quarter;   // laid out 30 x 60 instead of 80 x 40
    bool redFirst;  // red at the top (quarter) or at the left (not quarter)
  };
  const Case cases[] = {
      {"", false, true},   {"1", false, true},
      {"3", false, false}, {"6", true, true},  // clockwise: the left side comes to the top
      {"8", true, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE("code " + (c.code.empty() ? std::string("none") : c.code));
    const std::string project = Project(c.code);
    const TRunResult scene =
        test::RunProgram(VYRPACK_PATH, {"scene", "--json", project, "1", "1000"});
    ASSERT_EQ(scene.exitCode, 0) << scene.err;
    const std::vector<double> corners = CornersOf(scene.out, "pic");
    ASSERT_EQ(corners.size(), 8u) << scene.out;
    const std::vector<double> want = c.quarter
                                         ? std::vector<double>{65, 30, 95, 30, 95, 90, 65, 90}
                                         : std::vector<double>{40, 40, 120, 40, 120, 80, 40, 80};
    for (size_t i = 0; i < 8; ++i) EXPECT_NEAR(corners[i], want[i], 0.01) << i;

    // Drawn from a package, as a show plays.
    const std::string package = dir_ / "show.vyshow";
    const TRunResult packed = test::RunProgram(VYRPACK_PATH, {"create", package, project});
    ASSERT_EQ(packed.exitCode, 0) << packed.err;
    const std::string out = dir_ / "frame.png";
    const TRunResult frame =
        test::RunProgram(VYRVIEWER_PATH, {"--frame", "1000", "--out", out, package});
    ASSERT_EQ(frame.exitCode, 0) << frame.err;
    const TRef<TImage> image = OpenPicture(out);
    ASSERT_TRUE(image);
    const TRef<TBitmap> bitmap = image->Bitmap();
    if (c.quarter) {
      const TRgb top = PixelAt(*bitmap, 80, 40), bottom = PixelAt(*bitmap, 80, 80);
      EXPECT_TRUE(c.redFirst ? IsRed(top) : IsBlue(top));
      EXPECT_TRUE(c.redFirst ? IsBlue(bottom) : IsRed(bottom));
      // Beside the narrow picture, inside where the unturned one would be: background.
      EXPECT_TRUE(IsBlack(PixelAt(*bitmap, 50, 60)));
      EXPECT_TRUE(IsBlack(PixelAt(*bitmap, 110, 60)));
    } else {
      const TRgb left = PixelAt(*bitmap, 50, 60), right = PixelAt(*bitmap, 110, 60);
      EXPECT_TRUE(c.redFirst ? IsRed(left) : IsBlue(left));
      EXPECT_TRUE(c.redFirst ? IsBlue(right) : IsRed(right));
      // Above the wide picture, inside where the turned one would be: background.
      EXPECT_TRUE(IsBlack(PixelAt(*bitmap, 80, 34)));
    }
  }
}

INSTANTIATE_TEST_SUITE_P(JpegAndPng, TurnedPictures, ::testing::Values("jpg", "png"));

}  // namespace
}  // namespace vyr
