// The show source: settings, the slide time line, end actions, programs, slide ids.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "foundation/exceptions.h"
#include "ini_test_util.h"
#include "project/ini/ini.h"
#include "project/vyr_source.h"

namespace vyr {
namespace {

using ::testing::HasSubstr;
using vyr::testing::Parse;

// Three slides ending at 5000, 9000 and 15000, each brought in by a 1000 ms dissolve.
std::string ThreeSlides(std::string_view mainExtra = "", std::string_view slide2Extra = "") {
  std::string text = "[Main]\n";
  text += mainExtra;
  text +=
      "\n[Times]\nopt_slidescount=3\nopt_synchpos1=5000\nopt_synchpos2=9000\n"
      "opt_synchpos3=15000\n";
  for (int k = 1; k <= 3; ++k) {
    text += "[Slide" + std::to_string(k) + "]\n";
    if (k == 2) text += slide2Extra;
    text += "object TheEffect:AnEffect\n  ref=dissolve\n  time=1000\nend\n";
  }
  return text;
}

TRef<TVyrSource> Open(std::string_view text, TVyrSourceOptions options = {}) {
  return MakeRef<TVyrSource>(Parse(text), options);
}

void ExpectRecord(const TSlideTiming& t, double start, double end, double in, double out,
                  double visibleEnd) {
  EXPECT_DOUBLE_EQ(t.start, start);
  EXPECT_DOUBLE_EQ(t.end, end);
  EXPECT_DOUBLE_EQ(t.in, in);
  EXPECT_DOUBLE_EQ(t.out, out);
  EXPECT_DOUBLE_EQ(t.visibleEnd, visibleEnd);
}

TEST(SourceTimeLine, ThreeSlidesWithOneSecondTransitions) {
  auto source = Open(ThreeSlides());
  ASSERT_EQ(source->SlideCount(), 3);
  EXPECT_DOUBLE_EQ(source->Length(), 15000);
  ExpectRecord(source->Timing(0).timing, 0, 5000, 1000, 1000, 6000);
  ExpectRecord(source->Timing(1).timing, 5000, 9000, 1000, 1000, 10000);
  // The show repeats, so the last slide hands over to the first one's transition.
  ExpectRecord(source->Timing(2).timing, 9000, 15000, 1000, 1000, 16000);

  // Index 4 is slide 1 in the second pass.
  const TSlideTimingAt fourth = source->Timing(4);
  EXPECT_EQ(fourth.loop, 1);
  ExpectRecord(fourth.timing, 20000, 24000, 1000, 1000, 25000);
  EXPECT_EQ(source->Timing(7).loop, 2);
  EXPECT_DOUBLE_EQ(source->Timing(7).timing.start, 35000);
}

TEST(SourceTimeLine, BlankSlidesBeforeTheFirst) {
  auto source = Open(ThreeSlides());
  const TSlideTimingAt blank = source->Timing(-1);
  EXPECT_EQ(blank.loop, -1);
  ExpectRecord(blank.timing, -1073741823, 0, 0, 1000, 1000);
  const TSlideTimingAt farther = source->Timing(-7);
  EXPECT_EQ(farther.loop, -1);
  ExpectRecord(farther.timing, -2147483647, -1073741823, 0, 0, -1073741823);
}

TEST(SourceTimeLine, LastSlideHandsOverNothingWhenTheShowEnds) {
  for (const char* mode : {"close", "Stop"}) {
    auto source = Open(ThreeSlides(std::string("opt_repeat=") + mode));
    EXPECT_DOUBLE_EQ(source->Timing(2).timing.out, 0) << mode;
    EXPECT_DOUBLE_EQ(source->Timing(2).timing.visibleEnd, 15000) << mode;
  }
}

TEST(SourceTimeLine, TransitionLongerThanItsSlideIsCut) {
  const std::string text =
      "[Times]\nopt_slidescount=2\nopt_synchpos1=3000\nopt_synchpos2=4000\n"
      "[Slide1]\nobject TheEffect:AnEffect\n  ref=dissolve\n  time=5000\nend\n"
      "[Slide2]\nobject TheEffect:AnEffect\n  ref=dissolve\n  time=2500\nend\n";
  auto source = Open(text);
  ExpectRecord(source->Timing(0).timing, 0, 3000, 3000, 2500, 5500);
  // The outgoing length of slide 0 stays whole; the incoming one of slide 1 is cut.
  ExpectRecord(source->Timing(1).timing, 3000, 4000, 1000, 5000, 9000);
}

TEST(SourceTimeLine, SlideAtTimes) {
  auto source = Open(ThreeSlides());
  const struct {
    double t;
    int slide;
  } cases[] = {{-5, -1},   {0, -1},    {0.5, 0},   {5000, 0},          {5000.5, 1},
               {9000, 1},  {9001, 2},  {15000, 2}, {16000, 3},         {30000, 5},
               {30001, 6}, {-2e9, -1}, {NAN, -1},  {1e300, 2147483647}};
  for (const auto& c : cases) EXPECT_EQ(source->SlideAt(c.t), c.slide) << "t = " << c.t;
}

// The first index whose span holds t, tried one by one from -1.
int SlideAtOneByOne(const TVyrSource& source, double t) {
  for (int i = -1;; ++i) {
    const TSlideTiming r = source.Timing(i).timing;
    if (r.start <= t && t <= r.end) return i;
  }
}

TEST(SourceTimeLine, SlideAtAgreesWithTryingEverySlide) {
  // Empty spans at the start and in the middle are never the answer.
  const std::string text =
      "[Times]\nopt_slidescount=6\nopt_synchpos1=0\nopt_synchpos2=700\nopt_synchpos3=700\n"
      "opt_synchpos4=700\nopt_synchpos5=1234\nopt_synchpos6=2000\n";
  auto source = Open(text);
  for (double t = 0; t <= 9000; t += 0.25)
    ASSERT_EQ(source->SlideAt(t), SlideAtOneByOne(*source, t)) << "t = " << t;
}

TEST(SourceTimeLine, EndsGoingBackwardsAreIncorrectTime) {
  const std::string text =
      "[Times]\nopt_slidescount=3\nopt_synchpos1=5000\nopt_synchpos2=4000\nopt_synchpos3=9000\n";
  try {
    Open(text);
    FAIL() << "no error";
  } catch (const EAssertionFailed& e) {
    EXPECT_THAT(e.what(), HasSubstr("'Incorrect time'"));
  }
}

TEST(SourceTimeLine, CountBeyondWhatTheProjectDescribes) {
  // Slides 4 .. 10 have neither a section nor an end: the show has three slides.
  std::string text = ThreeSlides();
  text.replace(text.find("opt_slidescount=3"), 17, "opt_slidescount=10");
  auto source = Open(text);
  EXPECT_EQ(source->SlideCount(), 3);
  EXPECT_DOUBLE_EQ(source->Length(), 15000);

  // An absurd count over an empty project opens an empty show.
  auto huge = Open("[Times]\nopt_slidescount=2000000000\n");
  EXPECT_EQ(huge->SlideCount(), 0);

  // A slide described only by its end time is kept (a blank slide).
  auto endOnly = Open("[Times]\nopt_slidescount=2\nopt_synchpos1=100\nopt_synchpos2=300\n");
  EXPECT_EQ(endOnly->SlideCount(), 2);
  EXPECT_EQ(endOnly->SlideId(1), "");
}

TEST(SourceTimeLine, EmptyShow) {
  auto source = Open("");
  EXPECT_EQ(source->SlideCount(), 0);
  EXPECT_DOUBLE_EQ(source->Length(), 0);
  EXPECT_EQ(source->SlideAt(-1), -1);
  EXPECT_EQ(source->SlideAt(5), 0);
  EXPECT_EQ(source->EndAction(0).kind, TEndActionKind::None);
  EXPECT_FALSE(source->RunApp(0).run);
  EXPECT_THROW(source->Effect(0), EAssertionFailed);
}

TEST(SourceSettings, DefaultsAndReadValues) {
  auto defaults = Open("");
  EXPECT_TRUE(defaults->PauseWhenInactive());
  EXPECT_EQ(defaults->RepeatMode(), TRepeatMode::Repeat);
  EXPECT_FALSE(defaults->ManualShow());
  EXPECT_EQ(defaults->HiderColor(), 0);
  EXPECT_DOUBLE_EQ(defaults->UnsharpAmount(), 0);
  EXPECT_EQ(defaults->Width(), 1920);
  EXPECT_EQ(defaults->Height(), 1080);

  auto set = Open(
      "[Main]\nopt_pausewheninactive=0\nopt_scr_hidercolor=1193046\n"
      "opt_scr_unsharpamount=0.25\nopt_manualshow=1\nopt_scr_width=800\nopt_scr_height=600\n");
  EXPECT_FALSE(set->PauseWhenInactive());
  EXPECT_TRUE(set->ManualShow());
  EXPECT_EQ(set->HiderColor(), 0x123456);
  EXPECT_EQ(set->HiderColorBytes(), (std::array<uint8_t, 4>{0x56, 0x34, 0x12, 0}));
  EXPECT_EQ(set->BackgroundRgb(), 0x563412u);  // red is the lowest byte
  EXPECT_DOUBLE_EQ(set->UnsharpAmount(), 0.25);
  EXPECT_EQ(set->Width(), 800);
  EXPECT_EQ(set->Height(), 600);
}

TEST(SourceSettings, RepeatModeInAnyCase) {
  const struct {
    const char* main;
    TRepeatMode mode;
  } cases[] = {{"", TRepeatMode::Repeat},
               {"opt_repeat=Close", TRepeatMode::Close},
               {"opt_repeat=STOP", TRepeatMode::Stop},
               {"opt_repeat=repeat", TRepeatMode::Repeat},
               {"opt_repeat=sometimes", TRepeatMode::Repeat}};
  for (const auto& c : cases)
    EXPECT_EQ(Open(std::string("[Main]\n") + c.main + "\n")->RepeatMode(), c.mode) << c.main;
}

TEST(SourceSettings, ScreenSaverOverridesTheProject) {
  EXPECT_TRUE(IsScreenSaverProgram("/opt/shows/show.SCR"));
  EXPECT_TRUE(IsScreenSaverProgram("show.scr"));
  EXPECT_FALSE(IsScreenSaverProgram("show.scr.exe"));
  EXPECT_FALSE(IsScreenSaverProgram("/home/scr.d/show"));

  const char* project =
      "[Main]\nopt_repeat=stop\nopt_scr_full=0\nopt_hidecursor=0\nopt_fcp=1\nopt_ssaver=0\n";
  auto saver = Open(project, {.screenSaver = true});
  EXPECT_EQ(saver->RepeatMode(), TRepeatMode::Repeat);
  const TIniFile* model = saver->Model();
  EXPECT_EQ(ReadInt(model, "Main", "opt_ssaver", -1), 1);
  EXPECT_EQ(ReadInt(model, "Main", "opt_fcp", -1), 0);
  EXPECT_EQ(ReadInt(model, "Main", "opt_hidecursor", -1), 1);
  EXPECT_EQ(ReadInt(model, "Main", "opt_scr_full", -1), 1);
  EXPECT_EQ(ReadText(model, "Main", "opt_repeat", ""), "repeat");

  auto plain = Open("[Main]\nopt_repeat=stop\nopt_ssaver=1\n");
  EXPECT_EQ(plain->RepeatMode(), TRepeatMode::Stop);
  EXPECT_EQ(ReadInt(plain->Model(), "Main", "opt_ssaver", -1), 0);
  // A project without [Main] still gets the key.
  EXPECT_EQ(ReadInt(Open("")->Model(), "Main", "opt_ssaver", -1), 0);
}

TEST(SourceSlides, EndActions) {
  auto loop = Open(ThreeSlides("", "Pers_EndAction=Loop\n"));
  const TEndAction action = loop->EndAction(1);
  EXPECT_EQ(action.kind, TEndActionKind::Loop);
  EXPECT_DOUBLE_EQ(action.loopLength, 3000);                 // 9000 - 5000 - 1000
  EXPECT_EQ(loop->EndAction(4).kind, TEndActionKind::Loop);  // the same slide, next pass
  EXPECT_EQ(loop->EndAction(0).kind, TEndActionKind::None);
  EXPECT_EQ(loop->EndAction(-1).kind, TEndActionKind::None);

  EXPECT_EQ(Open(ThreeSlides("", "Pers_EndAction=PAUSE\n"))->EndAction(1).kind,
            TEndActionKind::Pause);
  // A manual show pauses where a slide names no end action of its own, or a wrong one.
  auto manual = Open(ThreeSlides("opt_manualshow=1", "Pers_EndAction=later\n"));
  EXPECT_EQ(manual->EndAction(0).kind, TEndActionKind::Pause);
  EXPECT_EQ(manual->EndAction(1).kind, TEndActionKind::Pause);
  EXPECT_EQ(Open(ThreeSlides("", "Pers_EndAction=later\n"))->EndAction(1).kind,
            TEndActionKind::None);

  // A slide without a section.
  auto sectionless =
      Open("[Main]\nopt_manualshow=1\n[Times]\nopt_slidescount=1\nopt_synchpos1=100\n");
  EXPECT_EQ(sectionless->EndAction(0).kind, TEndActionKind::Pause);
}

TEST(SourceSlides, ProgramsToRun) {
  auto source = Open(
      "[Times]\nopt_slidescount=3\nopt_synchpos1=1\nopt_synchpos2=2\nopt_synchpos3=3\n"
      "[Slide1]\nPers_RunApp=1\nRunAppFN=gimp picture.png\n"
      "[Slide2]\nPers_RunApp=1\nRunAppFN=\n"
      "[Slide3]\nPers_RunApp=0\nRunAppFN=gimp\n");
  EXPECT_TRUE(source->RunApp(0).run);
  EXPECT_EQ(source->RunApp(0).command, "gimp picture.png");
  EXPECT_TRUE(source->RunApp(3).run);  // wraps to slide 0
  EXPECT_FALSE(source->RunApp(1).run);
  EXPECT_FALSE(source->RunApp(2).run);
  EXPECT_FALSE(source->RunApp(-1).run);
  EXPECT_EQ(source->RunAppAction(0),
            (TVyrActionInfo{TVyrActionKind::RunApp, 0, "gimp picture.png"}));
  EXPECT_TRUE(source->RunAppAction(1).Empty());
}

TEST(SourceSlides, SlideIds) {
  auto source = Open(
      "[Times]\nopt_slidescount=4\nopt_synchpos1=1\nopt_synchpos2=2\nopt_synchpos3=3\n"
      "opt_synchpos4=4\n"
      "[Slide1]\nslideid=Intro\nPicture=C:\\Pics\\Other.jpg\n"
      "[Slide2]\nPicture=C:\\Pics\\Beach.Day.jpg\n"
      "[Slide3]\nslideid=\n");
  EXPECT_EQ(source->SlideId(0), "Intro");
  EXPECT_EQ(source->SlideId(1), "Beach.Day");
  EXPECT_EQ(source->SlideId(2), "");
  EXPECT_EQ(source->SlideId(3), "");  // no section
  EXPECT_EQ(source->SlideId(5), "Beach.Day");

  const struct {
    const char* path;
    const char* title;
  } titles[] = {{"C:\\Pics\\Beach.Day.jpg", "Beach.Day"},
                {"pics/sea.png", "sea"},
                {"D:photo.jpg", "photo"},
                {"noext", "noext"},
                {"", ""}};
  for (const auto& c : titles) EXPECT_EQ(FileTitleOf(c.path), c.title) << c.path;
}

}  // namespace
}  // namespace vyr
