// vyrviewer playing shows in a real window under Xvfb, driven as a user would: keys, clicks
// and the wheel through xdotool, the window read back with ImageMagick's import and compared
// with the frames `vyrviewer --frame` renders at the positions the keys land on.
#include <gtest/gtest.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <thread>

#include "imaging/decode/decoder_registry.h"
#include "package/package_fixture.h"
#include "run_program.h"

extern char** environ;

namespace vyr {
namespace {

using test::WriteFile;

struct TColour {
  int r = 0, g = 0, b = 0;
};

bool Near(TColour a, TColour b, int tolerance = 12) {
  return std::abs(a.r - b.r) <= tolerance && std::abs(a.g - b.g) <= tolerance &&
         std::abs(a.b - b.b) <= tolerance;
}

std::ostream& operator<<(std::ostream& out, TColour c) {
  return out << "(" << c.r << "," << c.g << "," << c.b << ")";
}

// Slides of one box each in its colour, slideMs each, without transitions, plus what the test
// adds to [Main] and to each slide's box.
std::string Project(const std::string& caption, const std::vector<std::string>& colours,
                    const std::string& mainExtra = "",
                    const std::vector<std::string>& slideExtra = {}, int slideMs = 1000) {
  std::string text =
      "[Main]\r\nopt_scr_width=320\r\nopt_scr_height=240\r\nopt_scr_full=0\r\n"
      "opt_scr_caption=" +
      caption + "\r\nopt_repeat=stop\r\n" + mainExtra +
      "[Times]\r\nopt_slidescount=" + std::to_string(colours.size()) + "\r\n";
  for (size_t k = 0; k < colours.size(); ++k)
    text +=
        "opt_synchpos" + std::to_string(k + 1) + "=" + std::to_string((k + 1) * slideMs) + "\r\n";
  for (size_t k = 0; k < colours.size(); ++k) {
    text += "[Slide" + std::to_string(k + 1) +
            "]\r\nobject Root:Root\r\nobject box:Box\r\nSize=320,240\r\nColor1=" + colours[k] +
            "\r\n" + (k < slideExtra.size() ? slideExtra[k] : "") +
            "end\r\nend\r\nobject TheEffect:AnEffect\r\n  ref=none\r\n  time=0\r\nend\r\n";
  }
  return text;
}

class ViewerWindow : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!std::getenv("DISPLAY")) GTEST_SKIP() << "needs a display (runs under xvfb-run)";
    ::setenv("VYR_AUDIO", "null", 1);
  }
  void TearDown() override {
    if (pid_ > 0) {
      ::kill(pid_, SIGKILL);
      ::waitpid(pid_, nullptr, 0);
    }
  }

  std::string Pack(const std::string& project) {
    WriteFile(dir_ / "show/Project.vyr", project);
    const std::string package = dir_ / "show.vyshow";
    EXPECT_EQ(
        test::RunProgram(VYRPACK_PATH, {"create", package, dir_ / "show/Project.vyr"}).exitCode, 0);
    return package;
  }

  // Starts the player and waits for its window; the window id, or empty.
  std::string Launch(const std::vector<std::string>& args, const std::string& caption,
                     const std::string& program = VYRVIEWER_PATH) {
    (void)caption;  // the window is found by its process; the caption only names the show
    Spawn(args, program);
    return FindWindow();
  }
  void Spawn(const std::vector<std::string>& args, const std::string& program = VYRVIEWER_PATH) {
    std::vector<char*> argv{const_cast<char*>(program.c_str())};
    for (const auto& arg : args) argv.push_back(const_cast<char*>(arg.c_str()));
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    const std::string err = dir_ / "stderr";
    posix_spawn_file_actions_addopen(&actions, 2, err.c_str(), O_WRONLY | O_CREAT, 0600);
    posix_spawn(&pid_, program.c_str(), &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
  }
  // Waits up to 30 s (a sanitizer build starts slowly) for a visible window of the player's
  // process and focuses it.
  std::string FindWindow() {
    for (int i = 0; i < 300; ++i) {
      const test::TRunResult found = test::RunProgram(
          "/usr/bin/xdotool", {"search", "--onlyvisible", "--pid", std::to_string(pid_)});
      if (found.exitCode == 0 && !found.out.empty()) {
        window_ = found.out.substr(0, found.out.find('\n'));
        test::RunProgram("/usr/bin/xdotool", {"windowfocus", "--sync", window_});
        return window_;
      }
      std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
    // What the player was doing: its windows (mapped or not) and its threads' stacks.
    const std::string pid = std::to_string(pid_);
    const std::string windows = test::RunProgram("/usr/bin/xdotool", {"search", "--pid", pid}).out;
    const std::string stacks = std::filesystem::exists("/usr/bin/gdb")
                                   ? test::RunProgram("/usr/bin/gdb", {"-p", pid, "-batch", "-ex",
                                                                       "thread apply all bt 12"})
                                         .out
                                   : std::string();
    ADD_FAILURE() << "no window; the player said: " << Stderr() << "\nits windows: " << windows
                  << "\nits threads:\n"
                  << stacks;
    return {};
  }
  std::string Stderr() const { return test::ReadFile(dir_ / "stderr"); }

  void Xdotool(const std::vector<std::string>& args) {
    std::vector<std::string> all{"windowfocus", "--sync", window_};
    all.insert(all.end(), args.begin(), args.end());
    test::RunProgram("/usr/bin/xdotool", all);
  }
  void Key(const std::string& key) { Xdotool({"key", key}); }
  static void Wait(int ms) { std::this_thread::sleep_for(std::chrono::milliseconds(ms)); }

  // The exit status, or -1 when the player is still running after timeoutMs.
  int WaitExit(int timeoutMs = 5000) {
    for (int waited = 0; waited < timeoutMs; waited += 20) {
      int status = 0;
      if (::waitpid(pid_, &status, WNOHANG) == pid_) {
        pid_ = 0;
        return WIFEXITED(status) ? WEXITSTATUS(status) : 128;
      }
      Wait(20);
    }
    return -1;
  }

  static TColour Centre(const std::string& png) {
    TRef<TImage> image = OpenPicture(png);
    if (!image || !image->Bitmap()) return {-1, -1, -1};
    const TBitmap& bitmap = *image->Bitmap();
    const TRef<TBitmap> rgb = MakeRef<TDirectBitmap>(1, 1, pf::A8R8G8B8());
    rgb->CopyRect(TRect{0, 0, 1, 1}, bitmap, TPoint{bitmap.Width() / 2, bitmap.Height() / 2});
    const uint8_t* p = rgb->Row(0);
    return TColour{p[2], p[1], p[0]};
  }
  // What the window shows now.
  TColour Screen() {
    const std::string shot = dir_ / "shot.png";
    std::filesystem::remove(shot);
    test::RunProgram("/usr/bin/import", {"-window", window_, shot});
    return Centre(shot);
  }
  // What the player renders at a show time.
  TColour Frame(const std::string& show, int ms) {
    const std::string out = dir_ / "frame.png";
    test::RunProgram(VYRVIEWER_PATH,
                     {"--frame", std::to_string(ms), "--out", out, "--size", "320x240", show});
    return Centre(out);
  }
  // Polls the window until it shows the colour (the engine takes a few frames to seek).
  bool Shows(TColour want, int timeoutMs = 3000) {
    for (int waited = 0; waited < timeoutMs; waited += 100) {
      if (Near(Screen(), want)) return true;
      Wait(100);
    }
    ADD_FAILURE() << "the window shows " << Screen() << ", not " << want;
    return false;
  }

  test::TTempDir dir_;
  pid_t pid_ = 0;
  std::string window_;
};

constexpr TColour kRed{255, 0, 0}, kGreen{0, 255, 0}, kBlue{0, 0, 255}, kWhite{255, 255, 255};

TEST_F(ViewerWindow, KeysWhilePausedLandWhereTheFramesSay) {
  const std::string show =
      Pack(Project("KeysShow", {"255,0,0", "0,255,0", "0,0,255", "255,255,255"}));
  ASSERT_FALSE(Launch({show}, "KeysShow").empty());
  ASSERT_TRUE(Shows(kRed));
  Key("space");  // pause
  Key("Home");
  ASSERT_TRUE(Shows(Frame(show, 1)));
  Key("Right");
  EXPECT_TRUE(Shows(Frame(show, 1001)));
  EXPECT_TRUE(Shows(kGreen));
  Key("End");
  EXPECT_TRUE(Shows(Frame(show, 3001)));
  EXPECT_TRUE(Shows(kWhite));
  Key("Left");  // more than 500 ms into slide 4: back to where slide 3 begins
  EXPECT_TRUE(Shows(Frame(show, 2000)));
  EXPECT_TRUE(Shows(kBlue));
  Key("Escape");
  EXPECT_EQ(WaitExit(), 0);
}

TEST_F(ViewerWindow, PlaysThroughTheTimeLine) {
  const std::string show = Pack(Project("PlayShow", {"255,0,0", "0,255,0", "0,0,255"}));
  ASSERT_FALSE(Launch({show}, "PlayShow").empty());
  EXPECT_TRUE(Shows(kRed));
  EXPECT_TRUE(Shows(kGreen));
  EXPECT_TRUE(Shows(kBlue));
  Key("Escape");
  EXPECT_EQ(WaitExit(), 0);
}

TEST_F(ViewerWindow, ClickOnAnObjectPerformsItsAction) {
  const std::string show = Pack(
      Project("ClickShow", {"255,0,0", "0,255,0", "0,0,255"}, "", {"Action=gotoslide(3)\r\n"}));
  ASSERT_FALSE(Launch({show}, "ClickShow").empty());
  ASSERT_TRUE(Shows(kRed));
  Key("space");
  Wait(1100);  // pointer input counts from the first second on
  Xdotool({"mousemove", "--window", window_, "160", "120", "click", "1"});
  EXPECT_TRUE(Shows(kBlue));
  Key("Escape");
  EXPECT_EQ(WaitExit(), 0);
}

TEST_F(ViewerWindow, WheelSeeksBackAndCtrlWheelGoesToTheNextSlide) {
  const std::string show =
      Pack(Project("WheelShow", {"255,0,0", "0,255,0", "0,0,255"}, "", {}, 3000));
  ASSERT_FALSE(Launch({show}, "WheelShow").empty());
  ASSERT_TRUE(Shows(kRed));
  Key("space");
  Key("Home");
  Key("Right");  // paused at 3001
  ASSERT_TRUE(Shows(kGreen));
  Wait(1000);  // pointer input counts from the first second on
  Xdotool({"mousemove", "--window", window_, "160", "120", "click", "4"});  // one notch up
  EXPECT_TRUE(Shows(kRed));                                                 // 3001 - 700
  Xdotool({"keydown", "ctrl", "click", "5", "keyup", "ctrl"});
  EXPECT_TRUE(Shows(kGreen));  // the next slide from 2301
  Key("Escape");
  EXPECT_EQ(WaitExit(), 0);
}

TEST_F(ViewerWindow, EnterUnderStartupExitsWithOne) {
  const std::string show = Pack(Project("StartupShow", {"255,0,0", "0,255,0"}));
  ASSERT_FALSE(Launch({show, "-startup"}, "StartupShow").empty());
  ASSERT_TRUE(Shows(kRed));
  Key("Return");
  EXPECT_EQ(WaitExit(), 1);
}

TEST_F(ViewerWindow, SelfPlayingProgramPlays) {
  WriteFile(dir_ / "show/Project.vyr", Project("SelfShow", {"0,0,255", "255,0,0"}));
  const std::string program = dir_ / "selfshow";
  ASSERT_EQ(test::RunProgram(VYRPACK_PATH, {"create", program, dir_ / "show/Project.vyr", "--exe",
                                            VYRVIEWER_PATH})
                .exitCode,
            0);
  ASSERT_FALSE(Launch({}, "SelfShow", program).empty());
  EXPECT_TRUE(Shows(kBlue));
  Key("Escape");
  EXPECT_EQ(WaitExit(), 0);
}

TEST_F(ViewerWindow, ShowsThatCannotOpenEndWithStatusTwo) {
  // A missing show, a file without a package and a show of a frame no device draws: the
  // message box, then status 2.
  WriteFile(dir_ / "plain.bin", std::string(1000, 'x'));
  std::string huge = Project("Huge", {"255,0,0"});
  huge.replace(huge.find("opt_scr_width=320"), 17, "opt_scr_width=1073741824");
  WriteFile(dir_ / "huge/Project.vyr", huge);
  const struct {
    std::string file, message;
  } cases[] = {{dir_ / "missing.vyshow", "missing.vyshow"},
               {dir_ / "plain.bin", "Can`t Load Show"},
               {dir_ / "huge/Project.vyr", "(opt_scr_width x opt_scr_height) 1073741824 x 240"}};
  for (const auto& c : cases) {
    Spawn({c.file});
    ASSERT_FALSE(FindWindow().empty()) << c.file;  // the "Slideshow Error" box
    Key("Return");
    EXPECT_EQ(WaitExit(), 2) << c.file;
    EXPECT_NE(Stderr().find(c.message), std::string::npos) << Stderr();
  }
}

// No display at all, and a display named but not there (its connection is tried a few
// times, then given up).
TEST(ViewerWithoutDisplay, SaysSoAndEndsWithStatusTwo) {
  test::TTempDir dir;
  const std::string display = std::getenv("DISPLAY") ? std::getenv("DISPLAY") : "";
  const std::string wayland = std::getenv("WAYLAND_DISPLAY") ? std::getenv("WAYLAND_DISPLAY") : "";
  ::unsetenv("WAYLAND_DISPLAY");
  for (const char* named : {"", ":4271"}) {
    if (*named)
      ::setenv("DISPLAY", named, 1);
    else
      ::unsetenv("DISPLAY");
    const auto start = std::chrono::steady_clock::now();
    const test::TRunResult result = test::RunProgram(VYRVIEWER_PATH, {dir / "any.vyshow"});
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(20)) << named;
    EXPECT_EQ(result.exitCode, 2) << named;
    EXPECT_NE(result.err.find("no display"), std::string::npos) << result.err;
  }
  if (!display.empty())
    ::setenv("DISPLAY", display.c_str(), 1);
  else
    ::unsetenv("DISPLAY");
  if (!wayland.empty()) ::setenv("WAYLAND_DISPLAY", wayland.c_str(), 1);
}

}  // namespace
}  // namespace vyr
