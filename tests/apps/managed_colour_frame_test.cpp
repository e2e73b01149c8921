// vyrviewer --frame of a show that manages its colours: the slide's background colour is
// drawn through the display profile ("RivedADE" exchanges the colorants, red comes out blue),
// a box's colour is not, and "-noicc" leaves every colour as the project gives it.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "imaging/decode/decoder_registry.h"
#include "package/package_fixture.h"
#include "program_output.h"
#include "run_program.h"

namespace vyr {
namespace {

using test::PixelAt;
using test::TRgb;

using test::TRunResult;
using test::WriteFile;

bool IsRed(TRgb p) { return p.r > 240 && p.g < 15 && p.b < 15; }
bool IsBlue(TRgb p) { return p.b > 240 && p.g < 15 && p.r < 15; }

TEST(ManagedColourFrame, BackgroundFollowsTheDisplayProfileBoxesDoNot) {
  test::TTempDir dir;
  // 64 x 48: a red background (Windows colour 0x000000FF) and a red box over the left half.
  auto project = [&](const std::string& colorManagement) {
    const std::string path = dir / ("show" + std::to_string(colorManagement.size()) + ".vyr");
    WriteFile(path, "[Main]\r\nopt_scr_width=64\r\nopt_scr_height=48\r\n" + colorManagement +
                        "[Times]\r\nopt_slidescount=1\r\nopt_synchpos1=4000\r\n"
                        "[Slide1]\r\nbstyle=1\r\nbcolor=255\r\nobject Root:Root\r\n"
                        "object box:Box\r\nGUID={00000000-0000-0000-0000-0000000000b1}\r\n"
                        "Size=32,48\r\nFitMode=None\r\nColor1=255,0,0\r\n"
                        "object k:KeyPoint\r\nTime=0\r\nPosition=-50,0\r\nend\r\nend\r\nend\r\n"
                        "object TheEffect:AnEffect\r\n  ref=dissolve\r\n  time=500\r\nend\r\n");
    return path;
  };
  struct Case {
    std::string colorManagement;
    std::vector<std::string> options;
    bool converted;
  };
  const Case cases[] = {
      {"ColorManagement=RivedADE\r\n", {}, true},
      {"ColorManagement=RivedADE\r\n", {"-noicc"}, false},
      {"", {}, false},  // no setting: colour management is off
  };
  int n = 0;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.colorManagement + (c.options.empty() ? "" : " -noicc"));
    const std::string out = dir / ("frame" + std::to_string(n++) + ".png");
    std::vector<std::string> args = {"--frame", "1000", "--out", out, project(c.colorManagement)};
    args.insert(args.end(), c.options.begin(), c.options.end());
    const TRunResult run = test::RunProgram(VYRVIEWER_PATH, args);
    ASSERT_EQ(run.exitCode, 0) << run.err;
    const TRef<TImage> frame = OpenPicture(out);
    ASSERT_TRUE(frame);
    const TRef<TBitmap> bitmap = frame->Bitmap();
    const TRgb background = PixelAt(*bitmap, 48, 24), box = PixelAt(*bitmap, 16, 24);
    EXPECT_TRUE(c.converted ? IsBlue(background) : IsRed(background))
        << background.r << "," << background.g << "," << background.b;
    EXPECT_TRUE(IsRed(box)) << box.r << "," << box.g << "," << box.b;
  }
}

}  // namespace
}  // namespace vyr
