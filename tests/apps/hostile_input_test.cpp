// Hostile names met by the programs without a window: shows, projects, players and colour
// profiles that are FIFOs or devices, an export onto a folder, a project naming files outside
// its folder. Each once hung a program, reached outside the show, or failed only after all the
// work; each now ends at once with a clear message.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <string>
#include <vector>

#include "package/package_fixture.h"
#include "run_program.h"

namespace vyr {
namespace {

namespace fs = std::filesystem;
using test::WriteFile;

// Far beyond what any case needs, even under the sanitizers; a program still running then
// hangs.
constexpr int kTimeoutMs = 60000;

// One 64 x 48 slide of slideMs, plus what the test adds to [Main].
std::string Project(const std::string& mainExtra = "", int slideMs = 2000) {
  return "[Main]\r\nopt_scr_width=64\r\nopt_scr_height=48\r\n" + mainExtra +
         "[Times]\r\nopt_slidescount=1\r\nopt_synchpos1=" + std::to_string(slideMs) +
         "\r\n[Slide1]\r\nobject Root:Root\r\nobject box:Box\r\nSize=64,48\r\n"
         "Color1=255,0,0\r\nend\r\nend\r\n";
}

TEST(HostileInput, EndsAtOnceWithAClearMessage) {
  test::TTempDir dir;
  const std::string fifo = dir / "fifo.vyshow";
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
  WriteFile(dir / "show/Project.vyr", Project());
  // Colour profiles named by the show: a FIFO, and a device that never ends.
  WriteFile(dir / "fifo-profile/Project.vyr", Project("ColorManagement=" + fifo + "\r\n"));
  WriteFile(dir / "zero-profile/Project.vyr", Project("ColorManagement=/dev/zero\r\n"));
  // Twenty minutes of show: its whole encode outlasts the time limit.
  WriteFile(dir / "long/Project.vyr", Project("", 1200000));
  fs::create_directory(dir / "taken.mp4");
  // Files outside the project's folder: by "..", through a link, and a file of the system.
  WriteFile(dir / "secret.txt", "secret");
  WriteFile(dir / "outside/Project.vyr",
            "[Main]\r\nA=../secret.txt\r\nB=pics\\link.jpg\r\n"
            "C=../../../../../../../../../../../../../../../../etc/passwd\r\n");
  fs::create_directories(dir / "outside/pics");
  fs::create_symlink(dir / "secret.txt", dir / "outside/pics/link.jpg");

  const std::string out = dir / "out.png";
  const struct {
    std::string program;
    std::vector<std::string> args;
    int status;
    std::vector<std::string> said;  // on standard error
  } cases[] = {
      {VYRVIEWER_PATH, {"--frame", "0", "--out", out, fifo}, 2, {"Slideshow File not Found"}},
      {VYRVIEWER_PATH, {"--thumbnail", "64", "--out", out, fifo}, 2, {"Slideshow File not Found"}},
      {VYRVIEWER_PATH, {"--export", dir / "a.mp4", fifo}, 2, {"Slideshow File not Found"}},
      {VYRVIEWER_PATH, {"--frame", "0", "--out", out, dir / "fifo-profile/Project.vyr"}, 0, {}},
      {VYRVIEWER_PATH, {"--frame", "0", "--out", out, dir / "zero-profile/Project.vyr"}, 0, {}},
      {VYRVIEWER_PATH,
       {"--export", dir / "taken.mp4", dir / "long/Project.vyr"},
       1,
       {"Is a directory"}},
      {VYRPACK_PATH, {"info", fifo}, 2, {"Slideshow File not Found"}},
      {VYRPACK_PATH, {"list", fifo}, 2, {"Slideshow File not Found"}},
      {VYRPACK_PATH, {"create", dir / "a.vyshow", fifo}, 2, {"cannot read " + fifo}},
      {VYRPACK_PATH,
       {"create", dir / "a.vyshow", dir / "show/Project.vyr", "--exe", fifo},
       2,
       {"cannot read " + fifo}},
      {VYRPACK_PATH,
       {"create", dir / "a.vyshow", dir / "outside/Project.vyr"},
       2,
       {"names files outside", "../secret.txt (" + (dir / "secret.txt") + ")",
        "pics\\link.jpg (" + (dir / "secret.txt") + ")", "etc/passwd (/etc/passwd)",
        "--allow-outside"}},
  };
  for (const auto& c : cases) {
    const std::string what = c.args.front() + " " + c.args.back();
    const test::TRunResult run = test::RunProgram(c.program, c.args, kTimeoutMs);
    ASSERT_NE(run.exitCode, test::kTimedOut) << what << " hangs";
    EXPECT_EQ(run.exitCode, c.status) << what << ": " << run.err;
    for (const auto& text : c.said) EXPECT_NE(run.err.find(text), std::string::npos) << run.err;
  }
  EXPECT_FALSE(fs::exists(dir / "a.vyshow"));
  EXPECT_FALSE(fs::exists(dir / "a.mp4"));
  EXPECT_TRUE(fs::is_directory(dir / "taken.mp4"));
  EXPECT_TRUE(fs::is_empty(dir / "taken.mp4"));
}

}  // namespace
}  // namespace vyr
