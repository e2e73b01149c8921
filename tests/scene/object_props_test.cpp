#include "scene/object_props.h"

#include <gtest/gtest.h>

#include "project/ini/ini.h"
#include "scene/object_kind.h"

namespace vyr {
namespace {

constexpr TSlideDurations kSlide{4000, 500, 500};

// A slide section whose root object holds the given text; the root's property set.
class TSlideProps {
 public:
  explicit TSlideProps(const std::string& rootBody, TSlideDurations d = kSlide) : durations_(d) {
    Reload(rootBody);
  }
  void Reload(const std::string& rootBody) {
    file_ = MakeRef<TIniFile>();
    file_->LoadFromUtf8("[Slide]\nobject Root:Root\n" + rootBody + "end\n");
    root_->Load(FindSection(file_.Get(), "Slide")->Objects()[0], durations_);
  }
  TVyrObjectProps& Root() const { return *root_; }
  TVyrObjectProps& Child(int i) const { return *root_->Child(i); }
  float At(double t, int value, int child = 0) const {
    root_->Evaluate(true, t);
    return root_->Child(child)->AnimatedValue(value);
  }
  TIniFile* File() const { return file_.Get(); }

 private:
  TSlideDurations durations_;
  TRef<TIniFile> file_;
  TRef<TVyrObjectProps> root_ = MakeRef<TVyrObjectProps>();
};

std::string Key(const std::string& keys) { return "object k:KeyPoint\n" + keys + "end\n"; }
std::string Obj(const std::string& cls, const std::string& guid, const std::string& body) {
  return "object o:" + cls + "\nGUID=" + guid + "\n" + body + "end\n";
}

TEST(KeyFrames, SingleKeyFrameHoldsForTheWholeSlide) {
  TSlideProps s(Obj("Image", "{1}", Key("Time=1000\nOpacity=50\n")));
  for (double t : {0.0, 999.0, 1000.0, 3000.0, 4000.0, 9000.0})
    EXPECT_EQ(s.At(t, kValueOpacity), 50) << t;
  EXPECT_EQ(s.At(0, kValueScaleX), 100);  // defaults for the rest
}

TEST(KeyFrames, LinearBetweenAndHeldAfter) {
  TSlideProps s(Obj("Image", "{1}", Key("Time=0\nScaleX=100\n") + Key("Time=1000\nScaleX=200\n")));
  const std::pair<double, float> cases[] = {{-50, 100},    {0, 100},    {250, 125},
                                            {999, 199.9f}, {1500, 200}, {5000, 200}};
  for (const auto& [t, v] : cases) EXPECT_FLOAT_EQ(s.At(t, kValueScaleX), v) << t;
  // Backwards in time too.
  EXPECT_FLOAT_EQ(s.At(500, kValueScaleX), 150);
  EXPECT_FLOAT_EQ(s.At(100, kValueScaleX), 110);
}

TEST(KeyFrames, KeyFrameWithoutAGroupDoesNotInterruptIt) {
  TSlideProps s(Obj("Image", "{1}",
                    Key("Time=0\nPosition=0,0\nOpacity=100\n") +
                        Key("Time=1000\ngrps=1\nOpacity=0\nPosition=999,999\n") +
                        Key("Time=2000\nPosition=100,50\nOpacity=100\n")));
  EXPECT_FLOAT_EQ(s.At(1000, kValuePosX), 50);
  EXPECT_FLOAT_EQ(s.At(1000, kValuePosY), 25);
  EXPECT_FLOAT_EQ(s.At(1000, kValueOpacity), 0);
  EXPECT_FLOAT_EQ(s.At(500, kValueOpacity), 50);
  EXPECT_FLOAT_EQ(s.At(1500, kValuePosX), 75);
  EXPECT_FLOAT_EQ(s.At(200, kValuePosX), 10);
}

TEST(KeyFrames, EqualTimesJumpToTheLaterKeyFrame) {
  TSlideProps s(Obj("Image", "{1}",
                    Key("Time=0\nScaleX=100\n") + Key("Time=1000\nScaleX=100\n") +
                        Key("Time=1000\nScaleX=300\n") + Key("Time=2000\nScaleX=500\n")));
  EXPECT_FLOAT_EQ(s.At(999, kValueScaleX), 100);
  EXPECT_FLOAT_EQ(s.At(1000, kValueScaleX), 300);
  EXPECT_FLOAT_EQ(s.At(1500, kValueScaleX), 400);
}

TEST(KeyFrames, TimesOriginsAndOrder) {
  TSlideProps s(Obj("Image", "{1}",
                    Key("Time=1500.75\nScaleX=1\n") +
                        Key("Origin=slideend\nTime=-500\nScaleX=2\n") +
                        Key("Origin=PrevEffectEnd\nTime=100\nScaleX=3\n") +
                        Key("Origin=NextEffectBegin\nScaleX=4\n") + Key("Time=600\nScaleX=5\n") +
                        Key("Origin=Bogus\nTime=x\nScaleX=6\n")));
  const TVyrObjectProps& p = s.Child(0);
  ASSERT_EQ(p.KeyFrameCount(), 6);
  // Sorted by time; 600 from PrevEffectEnd + 100 comes before the plain 600.
  const std::pair<double, float> expected[] = {{0, 6},    {600, 3},  {600, 5},
                                               {1500, 1}, {3500, 2}, {3500, 4}};
  for (int i = 0; i < 6; ++i) {
    EXPECT_EQ(p.KeyFrame(i).Time(), expected[i].first) << i;
    EXPECT_EQ(p.KeyFrame(i).Value(kValueScaleX), expected[i].second) << i;
    EXPECT_EQ(p.KeyFrame(i).Index(), i);
  }
}

TEST(KeyFrames, GroupsAllowedByTheObjectKind) {
  const std::string keys = Key("Time=0\nOpacity=10\nZoom=50\n") + Key("Time=100\nOpacity=20\n");
  TSlideProps s(Obj("Splitter", "{1}", keys) + Obj("MaskStencil", "{2}", keys) +
                Obj("Text", "{3}", keys) + Obj("Image", "{4}", keys) + Obj("Box", "{5}", keys) +
                Obj("Image", "{6}", "AnimEnable=1\n" + keys));
  EXPECT_EQ(s.At(0, kValueOpacity, 0), 100);  // a splitter animates nothing
  EXPECT_EQ(s.At(0, kValueOpacity, 1), 100);  // nor does a mask
  EXPECT_EQ(s.At(0, kValueOpacity, 2), 10);
  EXPECT_EQ(s.At(0, kValueZoom, 2), 100);  // no Frame group on a text
  EXPECT_TRUE(s.Child(2).HasColorKeyFrames());
  EXPECT_EQ(s.At(0, kValueZoom, 3), 50);
  EXPECT_FALSE(s.Child(4).HasColorKeyFrames());  // no Color group on a box
  EXPECT_EQ(s.Child(3).Kind(), kKindImage);
  EXPECT_EQ(s.Child(5).Kind(), kKindAniImage);
  EXPECT_EQ(s.At(0, kValueZoom, 5), 100);
}

TEST(KeyFrames, ValuesThatDoNotParse) {
  TSlideProps s(
      Obj("Image", "{1}", Key("Time=0\nPosition=10\nCenterPos=5,abc\nScaleX=abc\nAngle=45\n")));
  EXPECT_EQ(s.At(0, kValuePosX), 10);
  EXPECT_EQ(s.At(0, kValuePosY), 0);     // too short a list: the default
  EXPECT_EQ(s.At(0, kValueCenterY), 0);  // not a number: 0
  EXPECT_EQ(s.At(0, kValueCenterX), 5);
  EXPECT_EQ(s.At(0, kValueScaleX), 100);  // the default
  EXPECT_EQ(s.At(0, kValueAngle), 45);
}

TEST(KeyFrames, ModifiersEaseAndRewrite) {
  const std::string mods =
      "object m:Mod\nfn=T*T\ndst=Pos.T\nend\nobject m:Mod\nfn=Pos.X+10\ndst=Pos.X\nend\n";
  TSlideProps s(Obj("Image", "{1}",
                    Key("Time=0\nPosition=0,0\n" + mods) + Key("Time=1000\nPosition=100,40\n")));
  EXPECT_FLOAT_EQ(s.At(500, kValuePosX), 35);  // 100 * 0.25 + 10
  EXPECT_FLOAT_EQ(s.At(500, kValuePosY), 10);  // eased, no value modifier
  EXPECT_FLOAT_EQ(s.At(0, kValuePosX), 10);
  // After the last keyframe its modifiers see the fraction run to the slide's end.
  EXPECT_FLOAT_EQ(s.At(2000, kValuePosX), 100);  // keyframe 1 has no modifier
}

TEST(KeyFrames, ModifierOfTheLastKeyFrameSeesTheRestOfTheSlide) {
  TSlideProps s(Obj("Image", "{1}",
                    Key("Time=0\nOpacity=100\n") +
                        Key("Time=1000\nOpacity=100\nobject m:Mod\nfn=100-Opacity.T*100\n"
                            "dst=Opacity\nend\n")));
  EXPECT_FLOAT_EQ(s.At(1000, kValueOpacity), 100);
  EXPECT_FLOAT_EQ(s.At(2500, kValueOpacity), 50);  // (2500 - 1000) / (4000 - 1000)
  EXPECT_FLOAT_EQ(s.At(4000, kValueOpacity), 0);
}

TEST(KeyFrames, SingleKeyFrameWithAModifier) {
  TSlideProps s(Obj("Image", "{1}",
                    Key("Time=1000\nOpacity=50\nobject m:Mod\nfn=value*T\ndst=Opacity\nend\n")));
  EXPECT_FLOAT_EQ(s.At(500, kValueOpacity), 50);
  EXPECT_FLOAT_EQ(s.At(2500, kValueOpacity), 25);
  EXPECT_FLOAT_EQ(s.At(4000, kValueOpacity), 50);
}

TEST(KeyFrames, ZoomKeepsTheFramedPartMovingEvenly) {
  TSlideProps s(Obj("Image", "{1}",
                    Key("Time=0\nZoom=100\nOffsX=0\n") + Key("Time=1000\nZoom=200\nOffsX=50\n")));
  // Zoom 150: d = 150 * 0.01 - 1 = 0.5; ((0 + (1 * 50 - 0) * 0.5) / 0.5.
  EXPECT_FLOAT_EQ(s.At(500, kValueZoom), 150);
  EXPECT_FLOAT_EQ(s.At(500, kValueOffsX), 50);
  EXPECT_FLOAT_EQ(s.At(1000, kValueOffsX), 50);
}

TEST(KeyFrames, ColourFilterPairOfTheColorGroup) {
  TSlideProps s(Obj("Image", "{1}",
                    Key("Time=0\nobject Invert:Filter\nend\n") + Key("Time=1000\ngrps=1\n") +
                        Key("Time=2000\nobject Levels:Filter\nend\n")));
  s.At(500, kValueOpacity);
  const TVyrObjectProps& p = s.Child(0);
  ASSERT_TRUE(p.HasColorKeyFrames());
  EXPECT_EQ(p.ColorLeftFilters()->TypeName(), "Invert");
  EXPECT_EQ(p.ColorRightFilters()->TypeName(), "Levels");
  EXPECT_DOUBLE_EQ(p.ColorFraction(), 0.25);
}

TEST(KeyFrames, ChildPropertySetsAreKeptByGuid) {
  TSlideProps s(Obj("Image", "{A}", "") + Obj("Image", "{B}", "") + Obj("Image", "{C}", ""));
  TVyrObjectProps* a = &s.Child(0);
  TVyrObjectProps* c = &s.Child(2);
  s.Reload(Obj("Image", "{C}", "") + Obj("Image", "{A}", "") + Obj("Box", "{D}", ""));
  ASSERT_EQ(s.Root().ChildCount(), 3);
  EXPECT_EQ(&s.Child(0), c);
  EXPECT_EQ(&s.Child(1), a);
  EXPECT_EQ(s.Child(1).Index(), 1);
  EXPECT_EQ(s.Child(2).Guid(), "{D}");
  EXPECT_EQ(s.Child(2).Owner(), &s.Root());
  s.Reload("");
  EXPECT_EQ(s.Root().ChildCount(), 0);
}

TEST(KeyFrames, ChildWithoutGuidGetsOne) {
  TSlideProps s("object o:Image\nend\n");
  const std::string guid = s.Child(0).Guid();
  EXPECT_EQ(guid.size(), 38u);
  TIniObject* child = FindSection(s.File(), "Slide")->Objects()[0]->Objects()[0];
  EXPECT_EQ(ReadText(FindKey(child, "GUID")), guid);
}

TEST(KeyFrames, ModifiersAndFiltersAreKeptWhileIdAndRevisionStay) {
  const std::string body =
      Key("Time=0\nobject m:Mod\nid={M}\n$rev=1\nfn=T\ndst=Pos.T\nend\n"
          "object Invert:Filter\nid={F}\n$rev=1\nend\n");
  TSlideProps s(Obj("Image", "{1}", body));
  const TVyrObjectMod* mod = s.Child(0).KeyFrame(0).Modifiers()[0].Get();
  const TObjectFilter* filter = s.Child(0).KeyFrame(0).Filters();
  s.Reload(Obj("Image", "{1}", body));
  EXPECT_EQ(s.Child(0).KeyFrame(0).Modifiers()[0].Get(), mod);
  EXPECT_EQ(s.Child(0).KeyFrame(0).Filters(), filter);
  std::string changed = body;
  changed.replace(changed.find("$rev=1"), 6, "$rev=2");
  s.Reload(Obj("Image", "{1}", changed));
  EXPECT_NE(s.Child(0).KeyFrame(0).Modifiers()[0].Get(), mod);
  EXPECT_EQ(s.Child(0).KeyFrame(0).Filters(), filter);
}

TEST(KeyFrames, RescaleStretchesTimesAndDeltaTimes) {
  TSlideProps s(Obj("Image", "{1}",
                    "DeltaTime1=500\nDeltaTime2=250\n" + Key("Time=0\nScaleX=100\n") +
                        Key("Time=1000\nScaleX=200\n")),
                {2000, 0, 0});
  s.Root().Rescale({4000, 0, 0}, 2);
  const TVyrObjectProps& p = s.Child(0);
  EXPECT_EQ(p.KeyFrame(1).Time(), 2000);
  EXPECT_EQ(p.DeltaTime1(), 1000);
  EXPECT_EQ(p.DeltaTime2(), 500);
  EXPECT_TRUE(p.Rescaled());
  EXPECT_EQ(p.Durations().full, 4000);
  EXPECT_FLOAT_EQ(s.At(1000, kValueScaleX), 150);
  s.Root().Rescale({4000, 0, 0}, 0);  // a factor below 0.0001 counts as 1
  EXPECT_EQ(p.KeyFrame(1).Time(), 2000);
}

TEST(ObjectKinds, ClassWords) {
  const std::pair<const char*, int> cases[] = {
      {"Frame", kKindFrame},
      {"box", kKindBox},
      {"BUTTON", kKindButton},
      {"Splitter", kKindSplitter},
      {"Image", kKindImage},
      {"AniImage", kKindAniImage},
      {"Text", kKindText},
      {"Video", kKindVideo},
      {"viewport", kKindViewport},
      {"MaskStencil", kKindMaskStencil},
      {"MaskContent", kKindMaskContent},
      {"Root", kKindNone},
      {"", kKindNone},
      {"Bo", kKindNone},
      {"Boxes", kKindNone},
  };
  for (const auto& [word, kind] : cases) EXPECT_EQ(ObjectKindOfClass(word), kind) << word;
}

}  // namespace
}  // namespace vyr
