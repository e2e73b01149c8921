// vyrviewer playing shows in a real window under Xvfb, driven as a user would: keys, clicks
// and the wheel through xdotool, the window read back with ImageMagick's import and compared
// with the frames `vyrviewer --frame` renders at the positions the keys land on.
#include <gtest/gtest.h>
#include <signal.h>
#include <spawn.h>
#include <sys/stat.h>
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
  std::string WindowName() const {
    std::string name = test::RunProgram("/usr/bin/xdotool", {"getwindowname", window_}).out;
    if (!name.empty() && name.back() == '\n') name.pop_back();
    return name;
  }

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

TEST_F(ViewerWindow, AWheelSeekBeforeTheStartIsIgnored) {
  const std::string show = Pack(Project("WheelStartShow", {"255,0,0", "0,255,0"}, "", {}, 500));
  ASSERT_FALSE(Launch({show}, "WheelStartShow").empty());
  Key("space");
  Key("Home");
  Key("Right");  // paused at 500, where the green slide begins
  ASSERT_TRUE(Shows(kGreen));
  Wait(1000);  // pointer input counts from the first second on
  Xdotool({"mousemove", "--window", window_, "160", "120", "click", "4"});  // 500 - 700 < 0
  Wait(800);
  EXPECT_TRUE(Near(Screen(), kGreen)) << Screen() << ": the seek went to the start";
  Key("Escape");
  EXPECT_EQ(WaitExit(), 0);
}

// One slide whose red background is drawn through the display profile: "RivedADE" exchanges
// the colorants, so red comes out blue.
std::string ManagedBackgroundProject(const std::string& caption,
                                     const std::string& colorManagement) {
  return "[Main]\r\nopt_scr_width=320\r\nopt_scr_height=240\r\nopt_scr_full=0\r\n"
         "opt_scr_caption=" +
         caption + "\r\nopt_repeat=stop\r\nColorManagement=" + colorManagement +
         "\r\n[Times]\r\nopt_slidescount=1\r\nopt_synchpos1=60000\r\n"
         "[Slide1]\r\nbstyle=1\r\nbcolor=255\r\nobject Root:Root\r\nend\r\n";
}

TEST_F(ViewerWindow, TheColourOptionsHoldInTheWindow) {
  const std::string show = Pack(ManagedBackgroundProject("ColourShow", "RivedADE"));
  struct Case {
    std::vector<std::string> options;
    TColour shown;
  };
  const Case cases[] = {{{}, kBlue}, {{"-noicc"}, kRed}, {{"-icc", "sRGB"}, kRed}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.options.empty() ? "no option" : c.options.front());
    std::vector<std::string> args = {show};
    args.insert(args.end(), c.options.begin(), c.options.end());
    ASSERT_FALSE(Launch(args, "ColourShow").empty());
    EXPECT_TRUE(Shows(c.shown));
    Key("Escape");
    EXPECT_EQ(WaitExit(), 0);
  }
}

TEST_F(ViewerWindow, NoExclusiveFullScreenIsABorderlessWindowOfTheDesktop) {
  struct Case {
    std::string key;
    bool exclusive;
  };
  // Xvfb composes nothing: without the key full screen takes the display.
  const Case cases[] = {{"opt_scr_noexclusive=1\r\n", false}, {"", true}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.key.empty() ? "exclusive allowed" : c.key);
    std::string project = Project("FullShow", {"255,0,0"}, c.key, {}, 60000);
    project.replace(project.find("opt_scr_full=0"), 14, "opt_scr_full=1");
    const std::string show = Pack(project);
    std::filesystem::remove(dir_ / "stderr");
    ASSERT_FALSE(Launch({show, "-log"}, "FullShow").empty());
    EXPECT_TRUE(Shows(kRed));
    if (!c.exclusive) {
      const std::string geometry =
          test::RunProgram("/usr/bin/xdotool", {"getwindowgeometry", window_}).out;
      EXPECT_NE(geometry.find("1920x1080"), std::string::npos) << geometry;
    }
    Key("Escape");
    EXPECT_EQ(WaitExit(), 0);
    const std::string log = Stderr();
    EXPECT_EQ(log.find("InternalCreateRenderer - exclusive") != std::string::npos, c.exclusive)
        << log;
    if (!c.exclusive) {
      EXPECT_NE(log.find("init windowed device"), std::string::npos) << log;
    }
  }
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
  // A missing show, a file without a package, a show of a frame no device draws and a FIFO
  // (whose open once waited for a writer for good): the message box, then status 2.
  WriteFile(dir_ / "plain.bin", std::string(1000, 'x'));
  std::string huge = Project("Huge", {"255,0,0"});
  huge.replace(huge.find("opt_scr_width=320"), 17, "opt_scr_width=1073741824");
  WriteFile(dir_ / "huge/Project.vyr", huge);
  const std::string fifo = dir_ / "fifo.vyshow";
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
  const struct {
    std::string file, message;
  } cases[] = {{dir_ / "missing.vyshow", "missing.vyshow"},
               {dir_ / "plain.bin", "Can`t Load Show"},
               {dir_ / "huge/Project.vyr", "(opt_scr_width x opt_scr_height) 1073741824 x 240"},
               {fifo, "Slideshow File not Found"}};
  for (const auto& c : cases) {
    Spawn({c.file});
    ASSERT_FALSE(FindWindow().empty()) << c.file;  // the "Slideshow Error" box
    EXPECT_EQ(WindowName(), "Slideshow Error");
    Key("Return");
    EXPECT_EQ(WaitExit(), 2) << c.file;
    EXPECT_NE(Stderr().find(c.message), std::string::npos) << Stderr();
  }
}

// A program beside the show that appends its arguments, one a line, and "--" to "marker" in
// its working folder.
void WriteRecorder(const std::string& path) {
  WriteFile(path, "#!/bin/sh\nPATH=/usr/bin:/bin\nprintf '%s\\n' \"$@\" -- >> marker\n");
  ::chmod(path.c_str(), 0755);
}

class ViewerConsent : public ViewerWindow {
 protected:
  void SetUp() override {
    ViewerWindow::SetUp();
    if (IsSkipped()) return;
    config_ = dir_ / "config";
    ::setenv("XDG_CONFIG_HOME", config_.c_str(), 1);
    WriteRecorder(dir_ / "record");
  }
  void TearDown() override {
    ViewerWindow::TearDown();
    ::unsetenv("XDG_CONFIG_HOME");
  }
  // The player's consent question, once it is on screen; empty when none comes in time.
  std::string Question(int timeoutMs = 5000) {
    for (int waited = 0; waited < timeoutMs; waited += 100) {
      const test::TRunResult found =
          test::RunProgram("/usr/bin/xdotool", {"search", "--all", "--onlyvisible", "--pid",
                                                std::to_string(pid_), "--name", "^Allow the show"});
      if (found.exitCode == 0 && !found.out.empty())
        return found.out.substr(0, found.out.find('\n'));
      Wait(100);
    }
    return {};
  }
  static void Answer(const std::string& dialog, const std::string& key) {
    test::RunProgram("/usr/bin/xdotool", {"windowfocus", "--sync", dialog, "key", key});
  }
  // A move to a new place, then a click where the pointer is, as a hand would do it.
  void Click() {
    clicks_ = (clicks_ + 1) % 2;
    const std::string x = std::to_string(150 + 20 * clicks_);
    test::RunProgram("/usr/bin/xdotool", {"mousemove", "--sync", "--window", window_, x, "120"});
    test::RunProgram("/usr/bin/xdotool", {"click", "1"});
  }
  std::string Marker() const { return test::ReadFile(dir_ / "marker"); }
  // Waits for the marker to hold that many runs.
  bool Runs(size_t count, int timeoutMs = 3000) {
    for (int waited = 0;; waited += 50) {
      const std::string marker = Marker();
      size_t runs = 0;
      for (size_t at = marker.find("--\n"); at != std::string::npos;
           at = marker.find("--\n", at + 1))
        ++runs;
      if (runs == count) return true;
      if (waited >= timeoutMs) {
        ADD_FAILURE() << "the marker holds " << runs << " runs, not " << count << ":\n" << marker;
        return false;
      }
      Wait(50);
    }
  }

  std::string config_;
  int clicks_ = 0;
};

// A click on a button that runs a program asks first, with the show paused while the question is
// up; "Don't allow" starts nothing, "Allow once" starts exactly the vector and asks again next
// time, "Always" is kept for this show across runs and forgotten when the show changes.
TEST_F(ViewerConsent, AProgramStartsOnlyWithTheViewersConsent) {
  const std::string action = "Action=runapp(\"record one $(id) ;x\")\r\n";
  const std::string show = Pack(Project("ConsentShow", {"255,0,0", "0,255,0"}, "", {action}, 3000));
  ASSERT_FALSE(Launch({show}, "ConsentShow").empty());
  ASSERT_TRUE(Shows(kRed));
  Wait(1100);  // pointer input counts from the first second on
  Click();
  std::string dialog = Question();
  ASSERT_FALSE(dialog.empty()) << Stderr();
  Wait(2500);  // past the first slide's end, had the show gone on
  Answer(dialog, "Return");
  Wait(300);
  EXPECT_TRUE(Near(Screen(), kRed)) << "the show went on while the question was up";
  Wait(300);
  EXPECT_FALSE(std::filesystem::exists(dir_ / "marker"));
  EXPECT_NE(Stderr().find("not allowed"), std::string::npos) << Stderr();

  Click();
  dialog = Question();
  ASSERT_FALSE(dialog.empty());
  Answer(dialog, "alt+a");
  ASSERT_TRUE(Runs(1));
  EXPECT_EQ(Marker(), "one\n$(id)\n;x\n--\n");
  Click();
  dialog = Question();
  ASSERT_FALSE(dialog.empty()) << "allowed once, asked again";
  Answer(dialog, "alt+w");
  EXPECT_TRUE(Runs(2));
  Click();
  EXPECT_TRUE(Runs(3));
  EXPECT_TRUE(Question(500).empty());
  Key("Escape");
  EXPECT_EQ(WaitExit(), 0);

  // Kept for this show: the next run starts it without a question.
  ASSERT_FALSE(Launch({show}, "ConsentShow").empty());
  ASSERT_TRUE(Shows(kRed));
  Wait(1100);
  Click();
  EXPECT_TRUE(Runs(4));
  EXPECT_TRUE(Question(500).empty());
  Key("Escape");
  EXPECT_EQ(WaitExit(), 0);

  // The show changed: asked again.
  const std::string changed =
      Pack(Project("ConsentShow2", {"255,0,0", "0,255,0"}, "", {action}, 3000));
  ASSERT_FALSE(Launch({changed}, "ConsentShow2").empty());
  ASSERT_TRUE(Shows(kRed));
  Wait(1100);
  Click();
  dialog = Question();
  ASSERT_FALSE(dialog.empty()) << "a changed show is asked about again";
  Answer(dialog, "Escape");
  Wait(500);
  EXPECT_TRUE(Runs(4));
  Key("Escape");
  EXPECT_EQ(WaitExit(), 0);
}

// The program on exit asks like any other; --no-run refuses it with one line, --allow-run and a
// show that plays itself start it without a question.
TEST_F(ViewerConsent, TheEndOfShowProgramAsksToo) {
  std::string project = Project("EndShow", {"255,0,0"},
                                "opt_runapponexit=1\r\n"
                                "opt_runapponexitfn=record end\r\n");
  project.replace(project.find("opt_repeat=stop"), 15, "opt_repeat=close");
  const std::string show = Pack(project);
  ASSERT_FALSE(Launch({show}, "EndShow").empty());
  const std::string dialog = Question(8000);
  ASSERT_FALSE(dialog.empty()) << Stderr();
  Answer(dialog, "alt+a");
  EXPECT_EQ(WaitExit(), 0);
  EXPECT_TRUE(Runs(1));
  EXPECT_EQ(Marker(), "end\n--\n");

  ASSERT_FALSE(Launch({show, "--no-run"}, "EndShow").empty());
  EXPECT_TRUE(Question(3000).empty());
  EXPECT_EQ(WaitExit(), 0);
  EXPECT_TRUE(Runs(1));
  EXPECT_NE(Stderr().find("refused to start the program"), std::string::npos) << Stderr();
  EXPECT_NE(Stderr().find("--no-run"), std::string::npos) << Stderr();

  ASSERT_FALSE(Launch({"--allow-run", show}, "EndShow").empty());
  EXPECT_EQ(WaitExit(), 0);
  EXPECT_TRUE(Runs(2));

  // A show that plays itself is the player's own: trusted.
  const std::string program = dir_ / "endshow";
  ASSERT_EQ(test::RunProgram(VYRPACK_PATH, {"create", program, dir_ / "show/Project.vyr", "--exe",
                                            VYRVIEWER_PATH})
                .exitCode,
            0);
  ASSERT_FALSE(Launch({}, "EndShow", program).empty());
  EXPECT_EQ(WaitExit(), 0);
  EXPECT_TRUE(Runs(3));
}

// Another show by a relative name is taken from the current show's folder; inside that folder it
// opens without a question, outside it asks (and "Don't allow" keeps the current show), and the
// return to the show that opened it asks nothing.
TEST_F(ViewerConsent, OtherShowsOutsideTheFolderAsk) {
  const auto pack = [&](const std::string& project, const std::string& package) {
    const std::string source = dir_ / ("project-" + std::filesystem::path(package).stem().string());
    WriteFile(source + "/Project.vyr", project);
    std::filesystem::create_directories(std::filesystem::path(package).parent_path());
    ASSERT_EQ(test::RunProgram(VYRPACK_PATH, {"create", package, source + "/Project.vyr"}).exitCode,
              0);
  };
  // Shows open one another only when they carry the version of the package that holds them.
  std::string version = test::RunProgram(VYRPACK_PATH, {"--version"}).out;
  version = version.substr(version.rfind(' ') + 1);
  version = "VyrVersion=" + version.substr(0, version.find('\n')) + "\r\n";
  pack(Project("ShowA", {"255,0,0"}, version,
               {"Action=runpresentationandreturn(\"sub/b.vyshow\")\r\n"}, 60000),
       dir_ / "a.vyshow");
  pack(Project("ShowB", {"0,255,0"}, version,
               {"Action=runpresentation(\"../elsewhere/c.vyshow\")\r\n"}, 60000),
       dir_ / "sub/b.vyshow");
  pack(Project("ShowC", {"0,0,255"}, version, {}, 60000), dir_ / "elsewhere/c.vyshow");
  ASSERT_FALSE(Launch({dir_ / "a.vyshow"}, "ShowA").empty());
  ASSERT_TRUE(Shows(kRed));
  Wait(1100);
  Click();
  EXPECT_TRUE(Shows(kGreen));
  EXPECT_TRUE(Question(300).empty());
  Click();
  const std::string dialog = Question();
  ASSERT_FALSE(dialog.empty()) << Stderr();
  Answer(dialog, "Escape");
  Wait(500);
  EXPECT_TRUE(Shows(kGreen));
  Key("Escape");  // back to the show that opened this one
  EXPECT_TRUE(Shows(kRed));
  EXPECT_TRUE(Question(300).empty());
  Key("Escape");
  EXPECT_EQ(WaitExit(), 0);
  EXPECT_NE(Stderr().find("refused to open the show"), std::string::npos) << Stderr();
}

// An executable name longer than a file name may be is a folder that is not there (the file
// system's refusal once ended the player): the project's own folder is the show's.
TEST_F(ViewerWindow, AnExecutableNameLongerThanAFileNameIsNoFolder) {
  WriteFile(dir_ / "show/Project.vyr",
            Project("Long", {"255,0,0"}, "opt_exefn=/" + std::string(300, 'a') + "/x.exe\r\n"));
  ASSERT_FALSE(Launch({dir_ / "show/Project.vyr"}, "").empty());
  EXPECT_TRUE(Shows(kRed));
  Key("Escape");
  EXPECT_EQ(WaitExit(), 0);
}

// A caption of 16 MB once made the X server refuse the window; it is cut to its first 1024
// characters.
TEST_F(ViewerWindow, AHugeCaptionIsCut) {
  const std::string letter = "\xC3\xA9";  // two bytes in UTF-8
  std::string caption;
  for (int i = 0; i < (8 << 20); ++i) caption += letter;
  std::string shortened;
  for (int i = 0; i < 1024; ++i) shortened += letter;
  WriteFile(dir_ / "show/Project.vyr", "\xEF\xBB\xBF" + Project(caption, {"255,0,0"}));
  ASSERT_FALSE(Launch({dir_ / "show/Project.vyr"}, "").empty());
  EXPECT_EQ(WindowName(), shortened);
  EXPECT_TRUE(Shows(kRed));
  Key("Escape");
  EXPECT_EQ(WaitExit(), 0);
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
