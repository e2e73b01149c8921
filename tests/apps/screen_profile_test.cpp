// The screen's colour profile as the X desktop publishes it (the root window's "_ICC_PROFILE")
// serves shows whose colour management asks for the system's profile ("?") and "-icc" without
// a file. Runs only with a display (ctest runs it under xvfb-run).
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "imaging/colour/color_profile.h"
#include "imaging/decode/decoder_registry.h"
#include "package/package_fixture.h"
#include "program_output.h"
#include "run_program.h"

// Xlib's macros (None, Bool) after every other header, where they clash with no name.
#include <X11/Xatom.h>
#include <X11/Xlib.h>

namespace vyr {
namespace {

// Sets the root window's profile for the test's time, and takes it away again.
class ScreenProfile : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!std::getenv("DISPLAY")) GTEST_SKIP() << "needs a display (runs under xvfb-run)";
    display_ = XOpenDisplay(nullptr);
    ASSERT_TRUE(display_);
    atom_ = XInternAtom(display_, "_ICC_PROFILE", False);
  }
  void TearDown() override {
    if (!display_) return;
    XDeleteProperty(display_, DefaultRootWindow(display_), atom_);
    XCloseDisplay(display_);
  }
  void Publish(const std::vector<uint8_t>& icc) {
    XChangeProperty(display_, DefaultRootWindow(display_), atom_, XA_CARDINAL, 8, PropModeReplace,
                    icc.data(), static_cast<int>(icc.size()));
    XSync(display_, False);
  }
  void Withdraw() {
    XDeleteProperty(display_, DefaultRootWindow(display_), atom_);
    XSync(display_, False);
  }

  // The centre of a frame of a show with a red background.
  test::TRgb Background(const std::string& colorManagement,
                        const std::vector<std::string>& options) {
    const std::string show = dir_ / ("show" + std::to_string(runs_) + ".vyr");
    const std::string out = dir_ / ("frame" + std::to_string(runs_++) + ".png");
    test::WriteFile(show, "[Main]\r\nopt_scr_width=64\r\nopt_scr_height=48\r\nColorManagement=" +
                              colorManagement +
                              "\r\n[Times]\r\nopt_slidescount=1\r\nopt_synchpos1=4000\r\n"
                              "[Slide1]\r\nbstyle=1\r\nbcolor=255\r\nobject Root:Root\r\nend\r\n");
    std::vector<std::string> args = {"--frame", "1000", "--out", out, show};
    args.insert(args.end(), options.begin(), options.end());
    const test::TRunResult run = test::RunProgram(VYRVIEWER_PATH, args);
    EXPECT_EQ(run.exitCode, 0) << run.err;
    const TRef<TImage> frame = OpenPicture(out);
    if (!frame) return {-1, -1, -1};
    return test::PixelAt(*frame->Bitmap(), 32, 24);
  }

  Display* display_ = nullptr;
  Atom atom_ = 0;
  test::TTempDir dir_;
  int runs_ = 0;
};

bool IsRed(test::TRgb p) { return p.r > 240 && p.g < 15 && p.b < 15; }
bool IsBlue(test::TRgb p) { return p.b > 240 && p.g < 15 && p.r < 15; }

TEST_F(ScreenProfile, TheRootWindowsProfileServesTheSystemSetting) {
  // "RivedADE" exchanges the colorants: red drawn through it comes out blue.
  Publish(BuiltinProfile("RivedADE")->IccData());
  struct Case {
    const char* colorManagement;
    std::vector<std::string> options;
  };
  const Case cases[] = {{"?", {}}, {"sRGB", {"-icc"}}, {"sRGB", {"-icc", "auto"}}};
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.colorManagement) + (c.options.empty() ? "" : " -icc"));
    const test::TRgb p = Background(c.colorManagement, c.options);
    EXPECT_TRUE(IsBlue(p)) << p.r << "," << p.g << "," << p.b;
  }
  // Without a published profile "?" has none: colours stay as the project gives them.
  Withdraw();
  const test::TRgb p = Background("?", {});
  EXPECT_TRUE(IsRed(p)) << p.r << "," << p.g << "," << p.b;
}

}  // namespace
}  // namespace vyr
