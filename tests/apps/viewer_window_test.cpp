// vyrviewer playing shows in a real window, driven as a user would, compared with the frames
// `vyrviewer --frame` renders at the positions the keys land on: under Xvfb, and under a
// headless Wayland compositor (the same tests, see show_window.h).
#include "imaging/bitmap/png_writer.h"
#include "show_window.h"

namespace vyr {
namespace {

using namespace test;

class ViewerWindow : public TShowWindowTest {
 protected:
  // A show of one slide of a minute showing a green picture of that size.
  std::string PictureShow(const std::string& caption, int width, int height,
                          const std::string& mainExtra = "") {
    {
      const TRef<TDirectBitmap> picture = MakeRef<TDirectBitmap>(width, height, pf::R8G8B8());
      picture->FillRect(TRect{0, 0, width, height}, 0xFF00FF00);
      std::string error;
      std::filesystem::create_directories(dir_ / "show");
      EXPECT_TRUE(WritePng(*picture, dir_ / "show/picture.png", error, {1, false})) << error;
    }
    return Pack(
        "[Main]\r\nopt_scr_width=320\r\nopt_scr_height=240\r\nopt_scr_full=0\r\n"
        "opt_scr_caption=" +
        caption + "\r\nopt_repeat=stop\r\n" + mainExtra +
        "[Times]\r\nopt_slidescount=1\r\nopt_synchpos1=60000\r\n"
        "[Slide1]\r\nobject Root:Root\r\nobject pic:Image\r\n"
        "GUID={00000000-0000-0000-0000-000000000001}\r\nImageName=picture.png\r\nend\r\n"
        "end\r\nobject TheEffect:AnEffect\r\n  ref=none\r\n  time=0\r\nend\r\n");
  }
};

TEST_F(ViewerWindow, KeysWhilePausedLandWhereTheFramesSay) {
  const std::string show =
      Pack(Project("KeysShow", {"255,0,0", "0,255,0", "0,0,255", "255,255,255"}));
  ASSERT_TRUE(Launch({show}));
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
  ASSERT_TRUE(Launch({show}));
  EXPECT_TRUE(Shows(kRed));
  EXPECT_TRUE(Shows(kGreen));
  EXPECT_TRUE(Shows(kBlue));
  Key("Escape");
  EXPECT_EQ(WaitExit(), 0);
}

TEST_F(ViewerWindow, ClickOnAnObjectPerformsItsAction) {
  const std::string show = Pack(
      Project("ClickShow", {"255,0,0", "0,255,0", "0,0,255"}, "", {"Action=gotoslide(3)\r\n"}));
  ASSERT_TRUE(Launch({show}));
  ASSERT_TRUE(Shows(kRed));
  Key("space");
  Wait(1100);  // pointer input counts from the first second on
  Click(160, 120);
  EXPECT_TRUE(Shows(kBlue));
  Key("Escape");
  EXPECT_EQ(WaitExit(), 0);
}

TEST_F(ViewerWindow, WheelSeeksBackAndCtrlWheelGoesToTheNextSlide) {
  const std::string show =
      Pack(Project("WheelShow", {"255,0,0", "0,255,0", "0,0,255"}, "", {}, 3000));
  ASSERT_TRUE(Launch({show}));
  ASSERT_TRUE(Shows(kRed));
  Key("space");
  Key("Home");
  Key("Right");  // paused at 3001
  ASSERT_TRUE(Shows(kGreen));
  Wait(1000);  // pointer input counts from the first second on
  Wheel(160, 120, /*up=*/true);
  EXPECT_TRUE(Shows(kRed));  // 3001 - 700
  Wheel(160, 120, /*up=*/false, /*ctrl=*/true);
  EXPECT_TRUE(Shows(kGreen));  // the next slide from 2301
  Key("Escape");
  EXPECT_EQ(WaitExit(), 0);
}

TEST_F(ViewerWindow, AWheelSeekBeforeTheStartIsIgnored) {
  const std::string show = Pack(Project("WheelStartShow", {"255,0,0", "0,255,0"}, "", {}, 500));
  ASSERT_TRUE(Launch({show}));
  Key("space");
  Key("Home");
  Key("Right");  // paused at 500, where the green slide begins
  ASSERT_TRUE(Shows(kGreen));
  Wait(1000);                    // pointer input counts from the first second on
  Wheel(160, 120, /*up=*/true);  // 500 - 700 < 0
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
    ASSERT_TRUE(Launch(args));
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
    ASSERT_TRUE(Launch({show, "-log"}));
    EXPECT_TRUE(Shows(kRed));
    // A Wayland compositor always composes: never exclusive there.
    const bool exclusive = c.exclusive && !Wayland();
    if (!exclusive) {
      if (Wayland()) {
        const auto r = sway_->WindowOf(pid_);
        ASSERT_TRUE(r);
        EXPECT_EQ((*r)[2], 1280);
        EXPECT_EQ((*r)[3], 720);
      } else {
        const std::string geometry =
            test::RunProgram("/usr/bin/xdotool", {"getwindowgeometry", window_}).out;
        EXPECT_NE(geometry.find("1920x1080"), std::string::npos) << geometry;
      }
    }
    Key("Escape");
    EXPECT_EQ(WaitExit(), 0);
    const std::string log = Stderr();
    EXPECT_EQ(log.find("InternalCreateRenderer - exclusive") != std::string::npos, exclusive)
        << log;
    if (!exclusive) {
      EXPECT_NE(log.find("init windowed device"), std::string::npos) << log;
    }
  }
}

TEST_F(ViewerWindow, TheBackgroundColourShowsFromTheMomentTheWindowMaps) {
  // Slide 1 is a picture of 48 megapixels: decoding and scaling it takes far longer than the
  // window takes to appear. Until it is drawn the window shows the show's background colour,
  // whose bytes are red, green, blue from the lowest.
  const TColour background{240, 120, 30};
  const int hider = background.r | background.g << 8 | background.b << 16;
  const std::string show = PictureShow("BackgroundShow", 8000, 6000,
                                       "opt_scr_hidercolor=" + std::to_string(hider) + "\r\n");
  ASSERT_TRUE(Launch({show}));
  // sway lists a new window a frame before it paints it: till then its output's own grey (a
  // quarter of white) shows where the window is.
  TColour first = Screen();
  for (int i = 0; i < 20 && Wayland() && Near(first, {63, 63, 63}, 1); ++i) first = Screen();
  EXPECT_TRUE(Near(first, background)) << "right after the window mapped it showed " << first;
  EXPECT_TRUE(Shows(kGreen, 20000));
  Key("Escape");
  EXPECT_EQ(WaitExit(), 0);
}

TEST_F(ViewerWindow, GtkIsOpenedOnlyWhenADialogIs) {
  // What the player's process has mapped names every shared library it opened.
  const auto mapsGtk = [this] {
    return ReadFile("/proc/" + std::to_string(pid_) + "/maps").find("/libgtk-3.so") !=
           std::string::npos;
  };
  ASSERT_TRUE(Launch({PictureShow("PictureShow", 64, 48)}));
  ASSERT_TRUE(Shows(kGreen));
  EXPECT_FALSE(mapsGtk()) << "a picture show playing opened GTK";
  Key("Escape");
  EXPECT_EQ(WaitExit(), 0);
  Spawn({dir_ / "missing.vyshow"});
  ASSERT_TRUE(FindWindow());  // the "Slideshow Error" box
  EXPECT_TRUE(mapsGtk()) << "the message box came without GTK";
  DismissMessage();
  EXPECT_EQ(WaitExit(), 2);
}

TEST_F(ViewerWindow, EnterUnderStartupExitsWithOne) {
  const std::string show = Pack(Project("StartupShow", {"255,0,0", "0,255,0"}));
  ASSERT_TRUE(Launch({show, "-startup"}));
  ASSERT_TRUE(Shows(kRed));
  Key("Return");
  EXPECT_EQ(WaitExit(), 1);
}

TEST_F(ViewerWindow, SelfPlayingProgramPlays) {
  WriteFile(dir_ / "show/Project.vyr", Project("SelfShow", {"0,0,255", "255,0,0"}));
  const std::string program = dir_ / "selfshow";
  ASSERT_EQ(RunProgram(VYRPACK_PATH,
                       {"create", program, dir_ / "show/Project.vyr", "--exe", VYRVIEWER_PATH})
                .exitCode,
            0);
  ASSERT_TRUE(Launch({}, program));
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
    ASSERT_TRUE(FindWindow()) << c.file;  // the "Slideshow Error" box
    EXPECT_EQ(WindowName(), "Slideshow Error");
    DismissMessage();
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
  ASSERT_TRUE(Launch({show}));
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
  ASSERT_TRUE(Launch({show}));
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
  ASSERT_TRUE(Launch({changed}));
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
  ASSERT_TRUE(Launch({show}));
  const std::string dialog = Question(8000);
  ASSERT_FALSE(dialog.empty()) << Stderr();
  Answer(dialog, "alt+a");
  EXPECT_EQ(WaitExit(), 0);
  EXPECT_TRUE(Runs(1));
  EXPECT_EQ(Marker(), "end\n--\n");

  ASSERT_TRUE(Launch({show, "--no-run"}));
  EXPECT_TRUE(Question(3000).empty());
  EXPECT_EQ(WaitExit(), 0);
  EXPECT_TRUE(Runs(1));
  EXPECT_NE(Stderr().find("refused to start the program"), std::string::npos) << Stderr();
  EXPECT_NE(Stderr().find("--no-run"), std::string::npos) << Stderr();

  ASSERT_TRUE(Launch({"--allow-run", show}));
  EXPECT_EQ(WaitExit(), 0);
  EXPECT_TRUE(Runs(2));

  // A show that plays itself is the player's own: trusted.
  const std::string program = dir_ / "endshow";
  ASSERT_EQ(test::RunProgram(VYRPACK_PATH, {"create", program, dir_ / "show/Project.vyr", "--exe",
                                            VYRVIEWER_PATH})
                .exitCode,
            0);
  ASSERT_TRUE(Launch({}, program));
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
  ASSERT_TRUE(Launch({dir_ / "a.vyshow"}));
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
  ASSERT_TRUE(Launch({dir_ / "show/Project.vyr"}));
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
  ASSERT_TRUE(Launch({dir_ / "show/Project.vyr"}));
  EXPECT_EQ(WindowName(), shortened);
  EXPECT_TRUE(Shows(kRed));
  Key("Escape");
  EXPECT_EQ(WaitExit(), 0);
}

// A Wayland compositor that is named but does not work: X11 takes over when there is an X
// display; without one the player says so and ends with status 2 (the case below).
TEST_F(ViewerWindow, FailingWaylandGivesWayToX11) {
  if (Wayland()) GTEST_SKIP() << "needs an X display beside the failing compositor";
  const std::string show = Pack(Project("FallbackShow", {"0,0,255", "0,0,255"}));
  ::setenv("WAYLAND_DISPLAY", (dir_ / "no-compositor").c_str(), 1);
  const bool launched = Launch({show});
  ::unsetenv("WAYLAND_DISPLAY");
  ASSERT_TRUE(launched);
  EXPECT_TRUE(Shows(kBlue));
  Key("Escape");
  EXPECT_EQ(WaitExit(), 0);
  EXPECT_NE(Stderr().find("using X11"), std::string::npos) << Stderr();
}

// The compositor goes away under a playing show: a clear line and status 2, no crash.
TEST_F(ViewerWindow, ACompositorThatGoesAwayEndsTheShowWithStatusTwo) {
  if (!Wayland()) GTEST_SKIP() << "runs under the tests' own Wayland compositor";
  const std::string show = Pack(Project("GoneShow", {"255,0,0"}, "", {}, 60000));
  ASSERT_TRUE(Launch({show}));
  ASSERT_TRUE(Shows(kRed));
  sway_->Stop();
  EXPECT_EQ(WaitExit(), 2);
  EXPECT_NE(Stderr().find("compositor went away"), std::string::npos) << Stderr();
}

// No display at all, and a display named but not there (its connection is tried a few
// times, then given up).
TEST(ViewerWithoutDisplay, SaysSoAndEndsWithStatusTwo) {
  TTempDir dir;
  const std::string display = std::getenv("DISPLAY") ? std::getenv("DISPLAY") : "";
  const std::string wayland = std::getenv("WAYLAND_DISPLAY") ? std::getenv("WAYLAND_DISPLAY") : "";
  ::unsetenv("WAYLAND_DISPLAY");
  // The last: only a compositor that does not answer.
  for (const char* named : {"", ":4271", "wayland"}) {
    if (std::string(named) == "wayland") {
      ::unsetenv("DISPLAY");
      ::setenv("WAYLAND_DISPLAY", (dir / "no-compositor").c_str(), 1);
    } else if (*named) {
      ::setenv("DISPLAY", named, 1);
    } else {
      ::unsetenv("DISPLAY");
    }
    const auto start = std::chrono::steady_clock::now();
    const TRunResult result = RunProgram(VYRVIEWER_PATH, {dir / "any.vyshow"});
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(20)) << named;
    EXPECT_EQ(result.exitCode, 2) << named;
    EXPECT_NE(result.err.find("no display"), std::string::npos) << result.err;
  }
  ::unsetenv("WAYLAND_DISPLAY");
  if (!display.empty())
    ::setenv("DISPLAY", display.c_str(), 1);
  else
    ::unsetenv("DISPLAY");
  if (!wayland.empty()) ::setenv("WAYLAND_DISPLAY", wayland.c_str(), 1);
}

}  // namespace
}  // namespace vyr
