// vyrpack scene: a slide's objects with their corners projected into the window.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "package/package_fixture.h"
#include "program_output.h"
#include "run_program.h"

namespace vyr {
namespace {

using test::CornersOf;

using test::TRunResult;
using test::WriteFile;

TRunResult Vyrpack(const std::vector<std::string>& args) {
  return test::RunProgram(VYRPACK_PATH, args);
}

// An 800 x 600 show of two slides. Slide 1 holds a 200 x 100 picture shown at its own size,
// moved right by a quarter of the frame (Position 50 % of the half width: 200 px), scaled
// 150 % across and 200 % down, and turned from 0 to 90 degrees over the first second.
class SceneShow : public ::testing::Test {
 protected:
  void SetUp() override {
    const std::string keys = "Position=50,0\nScaleX=150\nScaleY=200\n";
    std::string text = "[Main]\nopt_scr_width=800\nopt_scr_height=600\n";
    text += "[Times]\nopt_slidescount=2\nopt_synchpos1=5000\nopt_synchpos2=9000\n";
    text += "[Slide1]\nobject Root:Root\n";
    text += "object pic:Image\nGUID={pic-1}\nImageName=pic.png\nFitMode=None\n";
    text += "object k:KeyPoint\nTime=0\n" + keys + "Angle=0\nend\n";
    text += "object k:KeyPoint\nTime=1000\n" + keys + "Angle=90\nend\n";
    text += "object mark:Box\nGUID={mark-1}\nSize=10,10\nFitMode=None\nend\n";
    text += "end\nend\n";
    text += "[Slide2]\nobject Root:Root\nend\n";
    WriteFile(dir_ / "show/Project.vyr", text);
    const std::string picture = dir_ / "show/pic.png";
    const std::string make = "ffmpeg -v error -y -f lavfi -i color=c=red:s=200x100 -frames:v 1 " +
                             picture + " >/dev/null 2>&1";
    ASSERT_EQ(std::system(make.c_str()), 0) << "ffmpeg could not write the picture";
  }

  std::string Project() const { return dir_ / "show/Project.vyr"; }
  test::TTempDir dir_;
};

void ExpectCorners(const std::string& json, const std::string& name,
                   const std::vector<double>& expected) {
  const std::vector<double> corners = CornersOf(json, name);
  ASSERT_EQ(corners.size(), 8u) << json;
  for (size_t i = 0; i < 8; ++i) EXPECT_NEAR(corners[i], expected[i], 0.01) << name << " " << i;
}

TEST_F(SceneShow, CornersOfAMovedScaledTurnedPicture) {
  // At the show's size the frame is drawn 1:1 around the window centre (400, 300). Unturned:
  // centre (600, 300), 300 x 200 on screen.
  const TRunResult start = Vyrpack({"scene", "--json", Project(), "1", "0"});
  ASSERT_EQ(start.exitCode, 0) << start.err;
  EXPECT_NE(start.out.find("\"slide\": 1"), std::string::npos) << start.out;
  EXPECT_NE(start.out.find("\"rect\": [0, 0, 800, 600]"), std::string::npos) << start.out;
  EXPECT_NE(start.out.find("\"class\": \"Image\", \"kind\": 4, \"visible\": true"),
            std::string::npos)
      << start.out;
  ExpectCorners(start.out, "pic", {450, 200, 750, 200, 750, 400, 450, 400});
  // The box inside takes on the picture's placement: centred on it, stretched 1.5 x 2.
  ExpectCorners(start.out, "mark", {592.5, 290, 607.5, 290, 607.5, 310, 592.5, 310});

  // Turned by 90 degrees the picture's top edge runs down its right side.
  const TRunResult turned = Vyrpack({"scene", "--json", Project(), "1", "1000"});
  ASSERT_EQ(turned.exitCode, 0) << turned.err;
  ExpectCorners(turned.out, "pic", {700, 150, 700, 450, 500, 450, 500, 150});
  ExpectCorners(turned.out, "mark", {610, 292.5, 610, 307.5, 590, 307.5, 590, 292.5});

  // In a 1024 x 768 window everything grows by 128 % around (512, 384).
  const TRunResult larger =
      Vyrpack({"scene", "--json", "--size", "1024x768", Project(), "1", "1000"});
  ASSERT_EQ(larger.exitCode, 0) << larger.err;
  EXPECT_NE(larger.out.find("\"rect\": [0, 0, 1024, 768]"), std::string::npos) << larger.out;
  ExpectCorners(larger.out, "pic", {896, 192, 896, 576, 640, 576, 640, 192});

  // A wide window: the 4:3 slide is fitted inside, pillar-boxed.
  const TRunResult wide = Vyrpack({"scene", "--json", "--size", "1600x600", Project(), "1", "0"});
  ASSERT_EQ(wide.exitCode, 0) << wide.err;
  EXPECT_NE(wide.out.find("\"rect\": [400, 0, 1200, 600]"), std::string::npos) << wide.out;
  ExpectCorners(wide.out, "pic", {850, 200, 1150, 200, 1150, 400, 850, 400});
}

TEST_F(SceneShow, TextFormNestsChildren) {
  const TRunResult text = Vyrpack({"scene", Project(), "1", "0"});
  ASSERT_EQ(text.exitCode, 0) << text.err;
  EXPECT_NE(text.out.find("slide 1 (Slide1) rect [0, 0, 800, 600]\n"), std::string::npos)
      << text.out;
  EXPECT_NE(text.out.find("\n  pic Image kind=4 visible=1 opacity=100 blur=0 corners (450, 200) "
                          "(750, 200) (750, 400) (450, 400)\n    mark Box kind=2 "),
            std::string::npos)
      << text.out;
  const TRunResult empty = Vyrpack({"scene", "--json", Project(), "2", "0"});
  ASSERT_EQ(empty.exitCode, 0) << empty.err;
  EXPECT_NE(empty.out.find("\"objects\": []"), std::string::npos) << empty.out;
}

TEST_F(SceneShow, BadArgumentsAndMissingSlides) {
  EXPECT_EQ(Vyrpack({"scene", Project(), "3", "0"}).exitCode, 1);  // two slides only
  EXPECT_EQ(Vyrpack({"scene", Project(), "0", "0"}).exitCode, 2);
  EXPECT_EQ(Vyrpack({"scene", Project(), "1"}).exitCode, 2);
  EXPECT_EQ(Vyrpack({"scene", "--size", "12", Project(), "1", "0"}).exitCode, 2);
  EXPECT_EQ(Vyrpack({"scene", "/nonexistent/show.vyshow", "1", "0"}).exitCode, 2);
}

// The player draws frames of 1 to 16384 pixels a side: a window or a show's own size beyond
// that is refused with the size named, before anything is built.
TEST_F(SceneShow, SizesThePlayerDoesNotDrawAreRefused) {
  const auto show = [this](const std::string& name, const std::string& size) {
    const std::string path = dir_ / (name + "/Project.vyr");
    WriteFile(path, "[Main]\n" + size +
                        "[Times]\nopt_slidescount=1\nopt_synchpos1=5000\n"
                        "[Slide1]\nobject Root:Root\nobject mark:Box\nSize=10,10\nend\nend\n");
    return path;
  };
  const std::string wide = show("wide", "opt_scr_width=20000\nopt_scr_height=600\n");
  const std::string flat = show("flat", "opt_scr_width=800\nopt_scr_height=0\n");
  const struct {
    std::vector<std::string> args;
    int status;
    std::string said;  // on standard error
  } cases[] = {
      {{"--size", "16385x768", Project()}, 2, "--size 16385 x 768 is outside 1 to 16384"},
      {{"--size", "1024x0", Project()}, 2, "--size 1024 x 0 is outside 1 to 16384"},
      {{"--size", "16384x16384", Project()}, 0, ""},
      {{wide}, 2, "(opt_scr_width x opt_scr_height) 20000 x 600 is outside 1 to 16384"},
      {{flat}, 2, "(opt_scr_width x opt_scr_height) 800 x 0 is outside 1 to 16384"},
      {{"--size", "800x600", wide}, 2, "20000 x 600 is outside"},
  };
  for (const auto& c : cases) {
    std::vector<std::string> args = {"scene"};
    args.insert(args.end(), c.args.begin(), c.args.end());
    args.insert(args.end(), {"1", "0"});
    const TRunResult run = Vyrpack(args);
    SCOPED_TRACE(args[1] + " " + args[2]);
    EXPECT_EQ(run.exitCode, c.status) << run.err;
    EXPECT_NE(run.err.find(c.said), std::string::npos) << run.err;
  }
}

}  // namespace
}  // namespace vyr
