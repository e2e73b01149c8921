// The music schedule read from project text: which sounds play where on the mix's time
// line, with which envelopes, and which comment each slide gets.

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "audio/mix/composite_params.h"
#include "audio/schedule/clip_sounds.h"
#include "audio/schedule/music_options_reader.h"
#include "audio/schedule/vyr_music_source.h"
#include "project/ini/ini.h"
#include "project/vyr_source.h"

namespace vyr {
namespace {

using TPoints = std::vector<std::pair<int32_t, int32_t>>;

TRef<TIniFile> Project(std::string_view text) {
  auto file = MakeRef<TIniFile>();
  file->LoadFromUtf8(text);
  return file;
}

std::string Item(std::string_view name, std::string_view keys) {
  return "object " + std::string(name) + ":TMusicItem\n" + std::string(keys) + "\nend\n";
}

// The show-wide composite of a project whose [Main] holds the given Music block body.
std::unique_ptr<TCompositeParams> ShowMusic(std::string_view musicBody,
                                            std::string_view rest = {}) {
  auto project =
      Project("[Main]\nobject M:Music\n" + std::string(musicBody) + "end\n" + std::string(rest));
  TMusicOptionsReader reader(*project);
  reader.ReadShowMusic(FindMusicObject(FindSection(project.Get(), "Main")), {});
  auto params = std::make_unique<TCompositeParams>();
  EXPECT_TRUE(params->LoadFromText(reader.ShowDescription()));
  EXPECT_EQ(reader.ShowLength(), params->duration);
  return params;
}

TPoints Points(const TCompositeItem& item, size_t envelope) {
  TPoints points;
  for (const TVolumeItem& p : item.Volumes().Envelope(envelope).Points())
    points.emplace_back(p.time, p.volume);
  return points;
}

TEST(MusicSchedule, CrossFadeBetweenItemsOfATrack) {
  const auto params = ShowMusic(Item("A", "FileName=a.mp3\nDuration=20000") +
                                Item("B",
                                     "FileName=b.mp3\nDuration=20000\nCrossMode=0\n"
                                     "Cross=2000"));
  ASSERT_EQ(params->ItemCount(), 2u);
  EXPECT_EQ(params->duration, 38000);
  const auto& a = params->Item(0);
  const auto& b = params->Item(1);
  EXPECT_EQ(a.timeLine, 0);
  EXPECT_EQ(b.timeLine, 18000);
  EXPECT_EQ(b.duration, 20000);
  ASSERT_EQ(a.Volumes().Count(), 1u);
  EXPECT_EQ(Points(a, 0), (TPoints{{18000, 1000}, {20000, 0}}));
  ASSERT_EQ(b.Volumes().Count(), 1u);
  EXPECT_EQ(Points(b, 0), (TPoints{{0, 0}, {2000, 1000}}));
}

TEST(MusicSchedule, TracksMixInParallelAndMutedTracksAreSkipped) {
  const auto params = ShowMusic(
      "object T1:TMusicTrack\n" + Item("A", "FileName=a.mp3\nDuration=30000") + "end\n" +
      "object T2:TMusicTrack\n" + Item("B", "FileName=b.mp3\nDuration=45000") + "end\n" +
      "object T3:TMusicTrack\nIsMute=1\n" + Item("C", "FileName=c.mp3\nDuration=90000") + "end\n");
  ASSERT_EQ(params->ItemCount(), 2u);
  EXPECT_EQ(params->duration, 45000);
  EXPECT_EQ(params->Item(0).timeLine, 0);
  EXPECT_EQ(params->Item(1).timeLine, 0);
  EXPECT_EQ(params->Item(1).fileName, "b.mp3");
}

TEST(MusicSchedule, PlacementOfSingleItems) {
  // First item with a cross-fade: stays at 0 but fades in.
  auto params = ShowMusic(Item("A", "FileName=a\nDuration=5000\nCrossMode=0\nCross=2000"));
  ASSERT_EQ(params->ItemCount(), 1u);
  EXPECT_EQ(params->Item(0).timeLine, 0);
  EXPECT_EQ(Points(params->Item(0), 0), (TPoints{{0, 0}, {2000, 1000}}));
  EXPECT_EQ(params->duration, 5000);

  // A pause before an item; negative pauses count as 0.
  params = ShowMusic(Item("A", "FileName=a\nDuration=10000") +
                     Item("B", "FileName=b\nDuration=1000\nCrossMode=1\nPause=3000") +
                     Item("C", "FileName=c\nDuration=1000\nCrossMode=1\nPause=-500"));
  EXPECT_EQ(params->Item(1).timeLine, 13000);
  EXPECT_EQ(params->Item(2).timeLine, 14000);
  EXPECT_EQ(params->duration, 15000);

  // Level and fades: one envelope; "Volume"=0 drops the item but keeps its time.
  params = ShowMusic(Item("A", "FileName=a\nDuration=4000\nVolume=50") +
                     Item("B", "FileName=b\nDuration=4000\nCrossMode=2\nVolume=0") +
                     Item("C",
                          "FileName=c\nDuration=4000\nCrossMode=2\nFadeIn=500\n"
                          "FadeOut=1000\nVolume=80\nStartTime=700"));
  ASSERT_EQ(params->ItemCount(), 2u);
  EXPECT_EQ(Points(params->Item(0), 0), (TPoints{{0, 500}, {4000, 500}}));
  EXPECT_EQ(params->Item(1).fileName, "c");
  EXPECT_EQ(params->Item(1).timeLine, 8000);
  EXPECT_EQ(params->Item(1).beginTime, 700);
  EXPECT_EQ(Points(params->Item(1), 0), (TPoints{{0, 0}, {500, 800}, {3000, 800}, {4000, 0}}));
  EXPECT_EQ(params->duration, 12000);
}

TEST(MusicSchedule, VolumeCurveRelativeToStartTime) {
  // 44100 samples = 1000 ms, 65536 = 1000 per mille. Relative to StartTime 500 the points
  // lie at 500 and 1500 ms; the second is beyond the 1000 ms item and is cut to
  // (1000, half way between), the third is ignored.
  const auto params = ShowMusic(Item("A",
                                     "FileName=a\nDuration=1000\nStartTime=500\n"
                                     "VolumeParams=44100:65536,88200:0,132300:65536"));
  ASSERT_EQ(params->Item(0).Volumes().Count(), 1u);
  EXPECT_EQ(Points(params->Item(0), 0), (TPoints{{500, 1000}, {1000, 500}}));
}

constexpr std::string_view kLinkedTimes =
    "[Times]\nopt_slidescount=4\nopt_synchpos1=5000\nopt_synchpos2=12000\nopt_synchpos3=3000\n"
    "[Slide3]\nLinkedAudio={L1}{L2}x{L3}\n";

TEST(MusicSchedule, LinkedItemsStartWithTheirSlide) {
  // Slide starts 0, 5000, 12000, 12000 (never decreasing).
  const auto params =
      ShowMusic(Item("A", "FileName=a\nDuration=30000") +
                    Item("B", "FileName=b\nDuration=20000\nGUID={L1}\nCrossMode=0\nCross=1000") +
                    Item("C", "FileName=c\nDuration=1000\nGUID={L3}"),
                kLinkedTimes);
  ASSERT_EQ(params->ItemCount(), 3u);
  EXPECT_EQ(params->Item(0).duration, 11000);  // shortened to end where B begins
  EXPECT_EQ(params->Item(1).timeLine, 11000);
  EXPECT_EQ(params->Item(1).duration, 20000);
  EXPECT_EQ(params->Item(1).Volumes().Count(), 0u);  // a linked item does not cross-fade
  EXPECT_EQ(params->Item(2).timeLine, 31000);        // {L3} after a letter is no link
}

TEST(MusicSchedule, LinkedStartsAndSlideTable) {
  auto project = Project(std::string(kLinkedTimes) + "[Slide4]\nLinkedAudio={L2}\n");
  TMusicOptionsReader reader(*project);
  EXPECT_EQ(reader.SlideStarts(), (std::vector<int32_t>{0, 5000, 12000, 12000}));
  auto items = Project(
      "[I]\nobject A:TMusicItem\nGUID={L1}\nCrossMode=1\nPause=700\nend\n"
      "object B:TMusicItem\nGUID={L2}\nCross=20000\nend\n"
      "object C:TMusicItem\nGUID={L3}\nend\n");
  const TIniSection* list = FindSection(items.Get(), "I");
  EXPECT_EQ(reader.LinkedStart(*FindObject(list, "A")), 12700);
  EXPECT_EQ(reader.LinkedStart(*FindObject(list, "B")), 0);  // 12000 - 20000, not below 0
  EXPECT_EQ(reader.LinkedStart(*FindObject(list, "C")), -1);
}

// Three slides: 0-5000, 5000-9000, 9000-15000, 1 s transitions, no show loop.
constexpr std::string_view kShowHead =
    "[Main]\nopt_repeat=Stop\nobject TheEffect:AnEffect\n time=1000\nend\n";
constexpr std::string_view kShowTail =
    "[Times]\nopt_slidescount=3\nopt_synchpos1=5000\nopt_synchpos2=9000\nopt_synchpos3=15000\n"
    "[Slide1]\n"
    "[Slide2]\nobject M:Music\n object C:TSoundComment\n  FileName=talk.wav\n"
    "  Duration=10000\n  Pause=500\n  Volume=50\n end\nend\n"
    "[Slide3]\nobject V:Video\n FileName=clip.mp4\n StartVYRTime=1000\n Duration=60000\nend\n";

TRef<TVyrMusicSource> MusicSource(std::string_view text) {
  return MakeRef<TVyrMusicSource>(MakeRef<TVyrSource>(Project(text)));
}

TEST(MusicSource, ShowPlayListAndSlideComments) {
  const auto source =
      MusicSource(std::string(kShowHead) + "opt_syncmode=1\nobject M:Music\n" +
                  Item("A", "FileName=a.mp3\nDuration=20000") +
                  "object O:TMusicOptions\nIsRepeat=1\nend\nend\n" + std::string(kShowTail));
  EXPECT_TRUE(source->MusicEnabled());
  EXPECT_TRUE(source->SyncMode());
  EXPECT_TRUE(source->Repeat());
  EXPECT_TRUE(source->LimitCommentsToSlide());
  ASSERT_EQ(source->ShowPlayList().Count(), 1);
  EXPECT_TRUE(source->ShowPlayList().Repeat());
  EXPECT_EQ(source->ShowPlayList().Item(0).length, 20000);
  EXPECT_EQ(source->ShowPlayList().TotalLength(), 20000);
  EXPECT_TRUE(IsCompositeDescription(source->ShowPlayList().Item(0).name));
  EXPECT_EQ(source->ShowLength(), 15000);

  ASSERT_EQ(source->SlideCount(), 3);
  EXPECT_FALSE(source->Slide(0).HasComment());
  // Limited to its slide (9000 - 5000), starting after its pause, at half level.
  const TSlideMusicInfo& talk = source->Slide(1);
  EXPECT_EQ(talk.timing.start, 5000);
  EXPECT_EQ(talk.commentLength, 4000);
  TCompositeParams params;
  ASSERT_TRUE(params.LoadFromText(talk.comment));
  ASSERT_EQ(params.ItemCount(), 1u);
  EXPECT_EQ(params.Item(0).fileName, "talk.wav");
  EXPECT_EQ(params.Item(0).timeLine, 500);
  EXPECT_EQ(params.Item(0).duration, 4000);
  EXPECT_EQ(Points(params.Item(0), 0), (TPoints{{0, 500}, {4000, 500}}));
  // The video's sound: slide length 15000 - 9000, less its start on the slide.
  ASSERT_TRUE(params.LoadFromText(source->Slide(2).comment));
  ASSERT_EQ(params.ItemCount(), 1u);
  EXPECT_EQ(params.Item(0).fileName, "clip.mp4");
  EXPECT_EQ(params.Item(0).timeLine, 1000);
  EXPECT_EQ(params.Item(0).duration, 5000);
  EXPECT_EQ(params.duration, 6000);
}

TEST(MusicSource, FullyPlayedCommentRunsToTheNextComment) {
  const auto source =
      MusicSource(std::string(kShowHead) + "opt_fullyplaysound=1\n" + std::string(kShowTail));
  EXPECT_FALSE(source->LimitCommentsToSlide());
  EXPECT_EQ(source->ShowPlayList().Count(), 0);  // no show-wide music block
  // No later slide has a comment: the limit is the show's end, 15000 - 5000.
  EXPECT_EQ(source->Slide(1).commentLength, 10000);
}

TEST(MusicSource, DisabledMusicHasNoComments) {
  const auto source = MusicSource(
      std::string(kShowHead) + "object M:Music\nmusic_disable=1\nend\n" + std::string(kShowTail));
  EXPECT_FALSE(source->MusicEnabled());
  EXPECT_EQ(source->SlideCount(), 0);
  EXPECT_EQ(source->ShowPlayList().Count(), 0);
}

TEST(MusicSource, MissingSlideSectionGivesNoComment) {
  const auto source = MusicSource(
      "[Main]\n[Times]\nopt_slidescount=2\nopt_synchpos1=1000\nopt_synchpos2=2000\n"
      "[Slide2]\nobject M:Music\nobject C:TSoundComment\nFileName=x.wav\nDuration=500\nend\n"
      "end\n");
  ASSERT_EQ(source->SlideCount(), 2);
  EXPECT_FALSE(source->Slide(0).HasComment());
  EXPECT_EQ(source->Slide(1).commentLength, 500);
}

TEST(ClipSounds, WhichVideosSound) {
  auto project = Project(
      "[Times]\nopt_slidescount=2\nopt_synchpos1=5000\nopt_synchpos2=9000\n"
      "[Tracks]\nobject G1:Clip\nFileName=shared.wav\nDuration=3000.4\nStartVYRTime=200\n"
      "StartVideoTime=100\nStartSlideIdx=1\nLoadFromDisk=1\nend\n"
      "object G0:Clip\nFileName=early.wav\nDuration=100\nend\n"
      "[Slide2]\n"
      "object A:Video\nFileName=anim.GIF\nDuration=100\nend\n"
      "object B:Video\nFileName=mute.wav\nMute=1\nDuration=100\nend\n"
      "object C:Video\nFileName=fast.wav\nFPSMultiplier=2\nDuration=100\nend\n"
      "object K:KeyPoint\nobject D:Video\nFileName=key.wav\nDuration=100\nend\nend\n"
      "object F:Frame\nobject E:Video\nFileName=deep.wav\nStartVideoTime=250\n"
      "Duration=100\nend\nend\n"
      "object S1:Video\nClipGUID=G1\nend\nobject S2:Video\nClipGUID=G1\nend\n"
      "object S3:Video\nClipGUID=G0\nend\n");
  const auto clips = CollectClipSounds(
      *project, [](int) { return 1000.0; }, *FindSection(project.Get(), "Slide2"));
  ASSERT_EQ(clips.size(), 2u);
  EXPECT_EQ(clips[0].fileName, "deep.wav");
  EXPECT_EQ(clips[0].offset, 250);
  EXPECT_EQ(clips[0].duration, 100);
  EXPECT_EQ(clips[1].fileName, "LoadFromDisk:shared.wav");
  EXPECT_EQ(clips[1].start, 200);
  EXPECT_EQ(clips[1].offset, 100);
  EXPECT_EQ(clips[1].duration, 3000);
}

TEST(ClipSounds, DurationEndsWithTheSlideAndItsOutgoingTransition) {
  auto project = Project(
      "[Times]\nopt_slidescount=2\nopt_synchpos1=5000\nopt_synchpos2=9000\n"
      "[Slide2]\nobject V:Video\nFileName=v.wav\nStartVYRTime=1500\nDuration=99999\nend\n");
  const auto clips = CollectClipSounds(
      *project, [](int n) { return n == 2 ? 700.0 : 0.0; }, *FindSection(project.Get(), "Slide2"));
  ASSERT_EQ(clips.size(), 1u);
  EXPECT_EQ(clips[0].duration, 9000 - 5000 + 700 - 1500);
}

}  // namespace
}  // namespace vyr
