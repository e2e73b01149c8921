// "-filelog" and "-log" with the headless commands: the log file beside the program (a show
// that plays itself, in the test's folder) or standard error carries the banners and the
// lines of the run, as a window run's log does.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "package/package_fixture.h"
#include "run_program.h"

namespace vyr {
namespace {

bool Has(const std::string& text, const std::string& part) {
  return text.find(part) != std::string::npos;
}

TEST(HeadlessLog, TheLogOptionsHoldForFramesAndExports) {
  test::TTempDir dir;
  test::WriteFile(dir / "show/Project.vyr",
                  "[Main]\r\nopt_scr_width=64\r\nopt_scr_height=48\r\n"
                  "[Times]\r\nopt_slidescount=1\r\nopt_synchpos1=1000\r\n"
                  "[Slide1]\r\nbstyle=1\r\nbcolor=255\r\nobject Root:Root\r\nend\r\n");
  const std::string program = dir / "logshow";
  ASSERT_EQ(test::RunProgram(VYRPACK_PATH,
                             {"create", program, dir / "show/Project.vyr", "--exe", VYRVIEWER_PATH})
                .exitCode,
            0);
  struct Case {
    std::vector<std::string> args;
    bool toFile;
  };
  const Case cases[] = {
      {{"--frame", "500", "--out", dir / "frame.png", "-filelog"}, true},
      {{"--frames", "0:1000:500", "--out", dir / "frames", "-filelog"}, true},
      {{"--export", dir / "show.mp4", "--fps", "5", "-filelog"}, true},
      {{"--frame", "500", "--out", dir / "frame.png", "-log"}, false},
  };
  const std::string logFile = dir / "logshow.log";
  for (const Case& c : cases) {
    SCOPED_TRACE(c.args.front() + (c.toFile ? " -filelog" : " -log"));
    std::filesystem::remove(logFile);
    const test::TRunResult run = test::RunProgram(program, c.args);
    ASSERT_EQ(run.exitCode, 0) << run.err;
    const std::string log = c.toFile ? test::ReadFile(logFile) : run.err;
    if (c.toFile) {
      EXPECT_EQ(log.substr(0, 3), "\xEF\xBB\xBF") << "the byte order mark";
    }
    EXPECT_TRUE(Has(log, "Program : " + program)) << log;
    EXPECT_TRUE(Has(log, "build slide 0")) << log;
    EXPECT_TRUE(Has(log, "Program stoped : ")) << log;
    EXPECT_EQ(Has(run.err, "Program : "), !c.toFile) << "standard error only with -log";
  }
}

}  // namespace
}  // namespace vyr
