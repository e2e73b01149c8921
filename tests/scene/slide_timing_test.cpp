#include "scene/animation/slide_timing.h"

#include <gtest/gtest.h>

#include "project/ini/ini.h"
#include "scene/object_props.h"

namespace vyr {
namespace {

TRef<TIniFile> Project(const std::string& text) {
  auto file = MakeRef<TIniFile>();
  file->LoadFromUtf8(text);
  return file;
}

TEST(SlideTiming, OriginsFromTheTimesSection) {
  auto project = Project(
      "[Times]\nopt_slidescount=3\nopt_synchpos1=5000\nopt_synchpos2=10000\n"
      "opt_synchpos3=15000\n");
  struct TCase {
    int index;
    double begin, prevEnd, nextBegin, end;
  };
  const TCase cases[] = {
      {0, 0, 2000, 5000, 7000},
      {1, 5000, 7000, 10000, 12000},
      {2, 10000, 12000, 15000, 17000},
      {3, 15000, 17000, 15000, 17000},  // the last counted origin: no main part
      {5, 0, 2000, 0, 2000},            // beyond the count
  };
  for (const TCase& c : cases) {
    const TSlideOrigins o = SynchronisedSlideOrigins(project.Get(), c.index, 2000, 2000);
    EXPECT_EQ(o.SlideBegin(), c.begin) << c.index;
    EXPECT_EQ(o.PrevEffectEnd(), c.prevEnd) << c.index;
    EXPECT_EQ(o.NextEffectBegin(), c.nextBegin) << c.index;
    EXPECT_EQ(o.SlideEnd(), c.end) << c.index;
  }
  // A missing key for the next slide: NextEffectBegin = SlideBegin.
  auto gap = Project("[Times]\nopt_slidescount=3\nopt_synchpos1=5000\n");
  EXPECT_EQ(SynchronisedSlideOrigins(gap.Get(), 1, 0, 0).NextEffectBegin(), 5000);
  EXPECT_EQ(SynchronisedSlideOrigins(nullptr, 0, 0, 0).NextEffectBegin(), 0);

  auto custom = Project("[Effect]\nCustomEffTime=3500\n[Other]\n");
  EXPECT_EQ(CustomEffectSlideOrigins(FindSection(custom.Get(), "Effect")).SlideEnd(), 3500);
  EXPECT_EQ(CustomEffectSlideOrigins(FindSection(custom.Get(), "Other")).SlideEnd(), 2000);
}

TEST(SlideTiming, SlideRelativeDurations) {
  const TSlideDurations d = SlideDurationsOf(MakeSlideOrigins(5000.4, 10000.2, 1999.6, 2000.5));
  EXPECT_EQ(d.full, 5000 + 2000);  // round(4999.8) + round(2000.5), halves to even
  EXPECT_EQ(d.incoming, 2000);
  EXPECT_EQ(d.outgoing, 2000);
  // Keyframe origins resolve against them.
  EXPECT_EQ(OriginBase(kOriginSlideBegin, d), 0);
  EXPECT_EQ(OriginBase(kOriginPrevEffectEnd, d), 2000);
  EXPECT_EQ(OriginBase(kOriginNextEffectBegin, d), 5000);
  EXPECT_EQ(OriginBase(kOriginSlideEnd, d), 7000);
}

TEST(SlideTiming, ScalePlans) {
  struct TCase {
    const char* keys;
    TSlideDurations actual;
    bool rescale;
    double factor;
    TSlideDurations load;
  };
  const TCase cases[] = {
      {"ScaleMode=1\nScaleTimes=2000,0,0\n", {4000, 0, 0}, true, 2, {2000, 0, 0}},
      {"ScaleMode=1\nScaleTimes=3000,500,1000\n", {6000, 700, 1500}, true, 1.5, {4000, 500, 1000}},
      {"ScaleMode=2\nScaleTimes=3000,500,1000\n", {6000, 700, 1500}, true, 1.5, {4000, 500, 1000}},
      {"ScaleMode=2\nScaleTimes=0,500,1000\n", {6000, 700, 1500}, false, 1, {6000, 700, 1500}},
      {"ScaleMode=0\nScaleTimes=2000,0,0\n", {4000, 0, 0}, false, 1, {4000, 0, 0}},
      {"ScaleMode=3\nScaleTimes=2000,0,0\n", {4000, 0, 0}, false, 1, {4000, 0, 0}},
      {"ScaleMode=1\nScaleTimes=2000\n", {4000, 0, 0}, true, 2, {2000, 0, 0}},
      {"ScaleMode=1\nScaleTimes=x,1,2\n", {4000, 0, 0}, true, 2000, {2, 1, 2}},
  };
  for (const TCase& c : cases) {
    auto project = Project(std::string("[Slide]\n") + c.keys);
    const TScalePlan plan =
        PlanScaling(ReadScaleTimes(FindSection(project.Get(), "Slide")), c.actual);
    EXPECT_EQ(plan.rescale, c.rescale) << c.keys;
    EXPECT_DOUBLE_EQ(plan.factor, c.factor) << c.keys;
    EXPECT_EQ(plan.load, c.load) << c.keys;
  }
}

TEST(SlideTiming, StretchedSlideMovesItsKeyFrames) {
  auto project = Project(
      "[Slide]\nScaleMode=1\nScaleTimes=2000,0,0\n"
      "object Root:Root\n"
      "  object Pic:Image\n  GUID={1}\n  DeltaTime1=500\n"
      "    object k:KeyPoint\n    Time=0\n    Opacity=0\n    end\n"
      "    object k:KeyPoint\n    Time=1000\n    Opacity=100\n    end\n"
      "    object k:KeyPoint\n    Origin=SlideEnd\n    Opacity=50\n    end\n"
      "  end\n"
      "end\n");
  TIniSection* slide = FindSection(project.Get(), "Slide");
  auto root = MakeRef<TVyrObjectProps>();
  LoadSlideProps(*root, slide->Objects()[0], ReadScaleTimes(slide), {4000, 0, 0});
  const TVyrObjectProps& pic = *root->Child(0);
  EXPECT_EQ(pic.KeyFrame(1).Time(), 2000);
  EXPECT_EQ(pic.KeyFrame(2).Time(), 4000);  // SlideEnd as designed (2000), stretched
  EXPECT_EQ(pic.DeltaTime1(), 1000);
  root->Evaluate(true, 1000);
  EXPECT_FLOAT_EQ(pic.AnimatedValue(kValueOpacity), 50);
  root->Evaluate(true, 3000);
  EXPECT_FLOAT_EQ(pic.AnimatedValue(kValueOpacity), 75);
}

TEST(SlideTiming, SharedClockRecord) {
  auto timing = MakeRef<TTiming>();
  timing->SetCurrentTime(1234.5);
  timing->SetProposedTime(1300);
  const TTimeSource& source = *timing;
  EXPECT_EQ(source.CurrentTime(), 1234.5);
  EXPECT_EQ(timing->ProposedTime(), 1300);
}

}  // namespace
}  // namespace vyr
