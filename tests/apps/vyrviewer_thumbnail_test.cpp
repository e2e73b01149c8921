// vyrviewer --thumbnail: the first slide at the end of its incoming transition, its longer side
// the asked size, and no thumbnail (and no question) for a show that asks for a password.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <string>
#include <thread>

#include "imaging/decode/decoder_registry.h"
#include "package/package_fixture.h"
#include "run_program.h"

namespace vyr {
namespace {

using test::TRunResult;
using test::WriteFile;

TRunResult Vyrviewer(const std::vector<std::string>& args) {
  return test::RunProgram(VYRVIEWER_PATH, args);
}

// Slide 1 red, brought in from the blank slide by a dissolve of inMs; slide 2 blue. The
// background (hider colour) is green.
std::string TwoSlides(int width, int height, int inMs, const std::string& extraMain = "") {
  std::string text = "[Main]\r\nopt_scr_width=" + std::to_string(width) +
                     "\r\nopt_scr_height=" + std::to_string(height) +
                     "\r\nopt_scr_hidercolor=65280\r\n" + extraMain +
                     "[Times]\r\nopt_slidescount=2\r\nopt_synchpos1=3000\r\nopt_synchpos2=6000\r\n";
  const char* colours[2] = {"255,0,0", "0,0,255"};
  for (int k = 1; k <= 2; ++k)
    text += "[Slide" + std::to_string(k) +
            "]\r\nobject Root:Root\r\nobject box:Box\r\nSize=" + std::to_string(width) + "," +
            std::to_string(height) + "\r\nColor1=" + colours[k - 1] +
            "\r\nend\r\nend\r\nobject TheEffect:AnEffect\r\n  ref=dissolve\r\n" +
            "  time=" + std::to_string(inMs) + "\r\nend\r\n";
  return text;
}

class Thumbnail : public ::testing::Test {
 protected:
  std::string Project(const std::string& name, const std::string& text) {
    const std::string path = dir_ / (name + "/Project.vyr");
    WriteFile(path, text);
    return path;
  }
  std::string Pack(const std::string& project, const std::string& name) {
    const std::string package = dir_ / name;
    const TRunResult run = test::RunProgram(VYRPACK_PATH, {"create", package, project});
    EXPECT_EQ(run.exitCode, 0) << run.err;
    return package;
  }
  static TRef<TBitmap> ReadPng(const std::string& path) {
    TRef<TImage> image = OpenPicture(path);
    return image ? image->Bitmap() : nullptr;
  }
  static uint32_t RgbAt(const TBitmap& bitmap, int x, int y) {
    const TRef<TBitmap> rgb = MakeRef<TDirectBitmap>(1, 1, pf::A8R8G8B8());
    rgb->CopyRect(TRect{0, 0, 1, 1}, bitmap, TPoint{x, y});
    const uint8_t* p = rgb->Row(0);
    return static_cast<uint32_t>(p[2]) << 16 | p[1] << 8 | p[0];
  }

  test::TTempDir dir_;
};

TEST_F(Thumbnail, LongerSideIsTheSizeAndTheFirstSlideHasArrived) {
  struct Case {
    int width, height, size;
    int wantWidth, wantHeight;
  };
  const Case cases[] = {
      {320, 200, 128, 128, 80},  // landscape
      {200, 320, 128, 80, 128},  // portrait
      {64, 64, 256, 256, 256},   // square, drawn larger than designed
      {1000, 3, 100, 100, 1},    // the shorter side never drops to 0
  };
  int n = 0;
  for (const Case& c : cases) {
    SCOPED_TRACE(std::to_string(c.width) + "x" + std::to_string(c.height));
    const std::string name = "show" + std::to_string(n++);
    const std::string show =
        Pack(Project(name, TwoSlides(c.width, c.height, 1000)), name + ".vyshow");
    const std::string out = dir_ / (name + ".png");
    const TRunResult run = Vyrviewer({"--thumbnail", std::to_string(c.size), "--out", out, show});
    ASSERT_EQ(run.exitCode, 0) << run.err;
    const TRef<TBitmap> png = ReadPng(out);
    ASSERT_TRUE(png);
    EXPECT_EQ(png->Width(), c.wantWidth);
    EXPECT_EQ(png->Height(), c.wantHeight);
    // The dissolve from the blank slide is over: pure red, neither green nor a blend. (A
    // slide a third of a pixel high leaves nothing to look at.)
    if (c.wantHeight > 1) {
      EXPECT_EQ(RgbAt(*png, c.wantWidth / 2, c.wantHeight / 2), 0xFF0000u);
    }
  }
}

TEST_F(Thumbnail, LooseProjectAndSlideWithoutTransition) {
  const std::string project = Project("loose", TwoSlides(160, 90, 0));
  const std::string out = dir_ / "loose.png";
  const TRunResult run = Vyrviewer({"--thumbnail=64", "--out=" + out, project});
  ASSERT_EQ(run.exitCode, 0) << run.err;
  const TRef<TBitmap> png = ReadPng(out);
  ASSERT_TRUE(png);
  EXPECT_EQ(png->Width(), 64);
  EXPECT_EQ(png->Height(), 36);
  EXPECT_EQ(RgbAt(*png, 32, 18), 0xFF0000u);
}

// The program runs with a terminal as its standard input and output, as when a user types the
// command; were it to ask for a password it would wait there until it is killed.
TRunResult RunOnTerminal(const std::vector<std::string>& args) {
  TRunResult result;
  const int master = ::posix_openpt(O_RDWR | O_NOCTTY);
  if (master < 0 || ::grantpt(master) != 0 || ::unlockpt(master) != 0) return result;
  const std::string terminal = ::ptsname(master);
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  for (int fd : {0, 1, 2})
    posix_spawn_file_actions_addopen(&actions, fd, terminal.c_str(), O_RDWR, 0);
  std::vector<char*> argv{const_cast<char*>(VYRVIEWER_PATH)};
  for (const auto& arg : args) argv.push_back(const_cast<char*>(arg.c_str()));
  argv.push_back(nullptr);
  pid_t pid = 0;
  if (posix_spawn(&pid, VYRVIEWER_PATH, &actions, nullptr, argv.data(), environ) == 0) {
    int status = 0;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
    while (::waitpid(pid, &status, WNOHANG) == 0) {
      // Drain the terminal so the program's messages never block it.
      char buffer[256];
      ::fcntl(master, F_SETFL, O_NONBLOCK);
      for (ssize_t got; (got = ::read(master, buffer, sizeof buffer)) > 0;)
        result.err.append(buffer, static_cast<size_t>(got));
      if (std::chrono::steady_clock::now() > deadline) {
        ::kill(pid, SIGKILL);
        ::waitpid(pid, &status, 0);
        result.exitCode = -2;  // still waiting: it asked for something
        break;
      }
      std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    if (result.exitCode != -2) result.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  }
  posix_spawn_file_actions_destroy(&actions);
  ::close(master);
  return result;
}

TEST_F(Thumbnail, ProtectedShowGetsNoThumbnailAndNoQuestion) {
  for (const std::string& main :
       {std::string("opt_usepass=1\r\nopt_pass=secret\r\n"), std::string("opt_usepass=1\r\n")}) {
    const std::string show = Pack(Project("locked", TwoSlides(64, 48, 500, main)), "locked.vyshow");
    const std::string out = dir_ / "locked.png";
    const TRunResult run = RunOnTerminal({"--thumbnail", "64", "--out", out, show});
    EXPECT_EQ(run.exitCode, 1) << main;
    EXPECT_FALSE(std::filesystem::exists(out)) << main;
  }
  const std::string open =
      Pack(Project("open", TwoSlides(64, 48, 500, "opt_usepass=0\r\n")), "open.vyshow");
  EXPECT_EQ(RunOnTerminal({"--thumbnail", "64", "--out", dir_ / "open.png", open}).exitCode, 0);
}

TEST_F(Thumbnail, BadSizesAndMixedModesAreRefused) {
  const std::string project = Project("show", TwoSlides(64, 48, 500));
  for (const std::vector<std::string>& args :
       {std::vector<std::string>{"--thumbnail", "0", "--out", dir_ / "a.png", project},
        {"--thumbnail", "12.5", "--out", dir_ / "a.png", project},
        {"--thumbnail", "64", "--frame", "0", "--out", dir_ / "a.png", project},
        {"--thumbnail", "64", project}}) {
    const TRunResult run = Vyrviewer(args);
    EXPECT_EQ(run.exitCode, 2) << args[1];
    EXPECT_FALSE(run.err.empty());
  }
  EXPECT_FALSE(std::filesystem::exists(dir_ / "a.png"));
  const TRunResult missing =
      Vyrviewer({"--thumbnail", "64", "--out", dir_ / "b.png", dir_ / "nothing.vyshow"});
  EXPECT_EQ(missing.exitCode, 2);
}

}  // namespace
}  // namespace vyr
