// Clip time and frame index of slide times, clamping, shared clips anchored on another
// slide, one extractor for the same file, the write-back of a shared clip, field choice
// and aspect factors.
#include <gtest/gtest.h>

#include "clip_fixtures.h"
#include "project/ini/ini.h"
#include "scene/host/slide_host.h"
#include "scene/host_show_fixture.h"
#include "scene/video/clip_timing.h"
#include "video/clip_playback.h"

namespace vyr {
namespace {

int FrameAt(const TClipTiming& timing, double x, double appearance = 0) {
  return FrameIndexOfTime(ClipTimeOf(timing, x, appearance), 25, 150);
}

TEST(ClipTiming, SlideTimesGiveTheFramesOfTheTable) {
  TClipTiming t;  // S = 1000, V0 = 0, m = 1, a 6-second clip at 25 frames a second
  t.start = 1000;
  t.duration = 6000;
  struct Case {
    double x;
    int frame;
  };
  // 0.5, 1.5 and 2.5 frames go to the even neighbour.
  for (const Case& c : {Case{999, 0}, Case{1000, 0}, Case{1020, 0}, Case{1040, 1}, Case{1059, 1},
                        Case{1060, 2}, Case{1061, 2}, Case{1100, 2}})
    EXPECT_EQ(FrameAt(t, c.x), c.frame) << "slide time " << c.x;
  // Appearing at 1500: the clip still runs from S.
  EXPECT_EQ(FrameAt(t, 1499, 1500), 0);
  EXPECT_EQ(FrameAt(t, 1500, 1500), 12);
  // m = 2, D = 4000: frame 100 (V0 + 4000) at S + 2000, then held.
  t.multiplier = 2;
  t.duration = 4000;
  EXPECT_EQ(FrameAt(t, 1000 + 1000), 50);
  EXPECT_EQ(FrameAt(t, 1000 + 2000), 100);
  EXPECT_EQ(FrameAt(t, 1000 + 2500), 100);
  EXPECT_EQ(FrameAt(t, 9000), 100);
  // Beyond the last frame: the last one, or round again when looping.
  EXPECT_EQ(FrameIndexOfTime(10000, 25, 150), 149);
  EXPECT_EQ(FrameIndexOfTime(6040, 25, 150, true), 1);
  EXPECT_EQ(FrameIndexOfTime(-50, 25, 150), 0);
}

TEST(ClipTiming, DurationAndStartAreClampedToTheLength) {
  struct Case {
    double duration, start, wantDuration, wantStart;
  };
  for (const Case& c : {Case{9000, 1000, 6000, 1000}, Case{-5, -200, 6000, 0},
                        Case{2000, 7000, 2000, 0}, Case{0, 0, 0, 0}}) {
    TClipTiming t;
    t.duration = c.duration;
    t.startInClip = c.start;
    ClampToLength(t, 6000);
    EXPECT_EQ(t.duration, c.wantDuration);
    EXPECT_EQ(t.startInClip, c.wantStart);
  }
}

TEST(ClipTiming, FieldChoiceAndDisplayInterval) {
  TVideoSourceInfo interlaced;
  interlaced.interlaced = true;
  interlaced.topFieldFirst = true;
  const TInterval i = DisplayInterval(10, 25);  // [380, 420], middle 400
  EXPECT_DOUBLE_EQ(i.start, 380);
  EXPECT_DOUBLE_EQ(i.end, 420);
  struct Case {
    TDeinterlace type;
    bool interlacedSource;
    double t;
    int field;
  };
  for (const Case& c :
       {Case{TDeinterlace::BobEven, true, 390, 1}, Case{TDeinterlace::BobEven, true, 410, 2},
        Case{TDeinterlace::BobOdd, true, 390, 2}, Case{TDeinterlace::BobOdd, true, 410, 1},
        Case{TDeinterlace::Wave, true, 390, 0},
        Case{TDeinterlace::Auto, true, 390, 2},  // top field first: field 2
        Case{TDeinterlace::Auto, true, 410, 1}, Case{TDeinterlace::Auto, false, 390, 0}}) {
    TVideoSourceInfo info = interlaced;
    info.interlaced = c.interlacedSource;
    EXPECT_EQ(FieldChoice(c.type, info, i, c.t), c.field)
        << static_cast<int>(c.type) << " at " << c.t;
  }
  EXPECT_DOUBLE_EQ(PixelAspect(0, 720, 576), 1);
  EXPECT_NEAR(PixelAspect(1, 720, 576) * 720, 768, 0.01);
  EXPECT_NEAR(PixelAspect(2, 720, 576) * 720, 1024, 0.01);
}

// A host over a show in memory holding one 6-second clip at 25 frames a second.
class ClipPlayback : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    clipBytes_ = new std::string();
    test::TTempDir dir;
    const std::string clip = dir / "clip.mp4";
    ASSERT_TRUE(test::MakeClip(clip, 150, "25", "-c:v libx264 -pix_fmt yuv420p -g 25"));
    *clipBytes_ = test::ReadFile(clip);
  }
  static void TearDownTestSuite() { delete clipBytes_; }

  void SetUp() override {
    show_.source->Add("clip.mp4", *clipBytes_);
    host_ = MakeRef<TVyrSlideHost>(show_.files, THostSettings{});
    project_ = MakeRef<TIniFile>();
    project_->LoadFromUtf8(
        "[Times]\nopt_synchpos1=2000\nopt_synchpos2=5000\n"
        "[Tracks]\nobject {CLIP}:TVideoClip2\n  FileName=clip.mp4\n  Duration=99999\n"
        "  StartVideoTime=-10\n  StartVYRTime=0\n  StartSlideIdx=1\nend\n");
  }

  TRef<TClipPlayback> Make(const TVideoKeys& keys) {
    TVideoPlaybackRequest request;
    request.keys = &keys;
    request.project = project_.Get();
    request.host = host_.Get();
    return MakeRef<TClipPlayback>(request);
  }

  static std::string* clipBytes_;
  test::TMemoryShow show_;
  TRef<TVyrSlideHost> host_;
  TRef<TIniFile> project_;
};
std::string* ClipPlayback::clipBytes_ = nullptr;

TEST_F(ClipPlayback, OwnKeysAreClampedAndTheSameFileSharesOneExtractor) {
  TVideoKeys keys;
  keys.fileName = "clip.mp4";
  keys.duration = 10000;       // longer than the clip
  keys.startVideoTime = -300;  // before it
  keys.startVyrTime = 1000;
  TRef<TClipPlayback> a = Make(keys), b = Make(keys);
  ASSERT_EQ(a->State(), TVideoState::Opened);
  EXPECT_DOUBLE_EQ(a->Timing().duration, 6000);
  EXPECT_DOUBLE_EQ(a->Timing().startInClip, 0);
  EXPECT_EQ(&a->Wrapper(), &b->Wrapper());
  EXPECT_EQ(a->Wrapper().Extractor(), b->Wrapper().Extractor());
  EXPECT_DOUBLE_EQ(a->ClipTime(1040, TVideoTimes{0, 7000}), 40);
  // Another file is another extractor; a missing one shows its placeholder.
  keys.fileName = "missing.mp4";
  TRef<TClipPlayback> missing = Make(keys);
  EXPECT_EQ(missing->State(), TVideoState::NotFound);
  EXPECT_EQ(missing->FileName(), "missing.mp4");
  show_.source->Add("broken.mp4", std::string(3000, 'z'));
  keys.fileName = "broken.mp4";
  EXPECT_EQ(Make(keys)->State(), TVideoState::LoadError);
}

TEST_F(ClipPlayback, ASharedClipRunsOnFromItsAnchorSlide) {
  TVideoKeys keys;
  keys.clipGuid = "{CLIP}";
  TRef<TClipPlayback> playback = Make(keys);
  ASSERT_TRUE(playback->Clip());
  EXPECT_DOUBLE_EQ(playback->Clip()->Anchor(), 2000);  // "opt_synchpos1"
  EXPECT_DOUBLE_EQ(playback->Timing().duration, 6000);
  EXPECT_DOUBLE_EQ(playback->Timing().startInClip, 0);
  // On its own slide (start 2000) it starts at once; on the slide starting at 5000 it is
  // three seconds on.
  EXPECT_DOUBLE_EQ(playback->ClipTime(100, TVideoTimes{0, 2000}), 100);
  EXPECT_DOUBLE_EQ(playback->ClipTime(100, TVideoTimes{0, 5000}), 3100);
  // One clip object per GUID, and changing it writes its keys back into [Tracks].
  TRef<TClipPlayback> other = Make(keys);
  EXPECT_EQ(other->Clip(), playback->Clip());
  playback->Clip()->SetDuration(2500);
  const TIniObject* object = FindObject(FindSection(project_.Get(), "Tracks"), "{CLIP}");
  EXPECT_EQ(ReadText(FindKey(object, "Duration")), "2500");
  EXPECT_EQ(ReadText(FindKey(object, "StartVideoTime")), "0");
  EXPECT_EQ(ReadText(FindKey(object, "FPSMultiplier")), "1");
  EXPECT_EQ(ReadText(FindKey(object, "ClipGUID")), "{CLIP}");
  EXPECT_EQ(ReadText(FindKey(object, "Mute")), "0");
  playback->Clip()->SetFileName("other.mp4", 1000);  // the new length clamps the duration
  EXPECT_EQ(ReadText(FindKey(object, "FileName")), "other.mp4");
  EXPECT_EQ(ReadText(FindKey(object, "Duration")), "1000");
}

}  // namespace
}  // namespace vyr
