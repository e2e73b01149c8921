// Custom transitions: a slide of the effect's own section shows the leaving and arriving
// slides through its pictures marked "ReplaceWithEffectBuffer" 1 and 2.

#include "compose_fixture.h"
#include "package/access/file_accessor.h"
#include "package/access/file_source.h"
#include "project/effects/vyr_effect.h"
#include "project/ini/ini.h"
#include "scene/animation/slide_timing.h"
#include "scene/host/slide_host.h"
#include "scene/objects/vyr_slide.h"

namespace vyr::test {
namespace {

constexpr uint32_t kRed = 0xFFFF0000, kGreen = 0xFF00FF00, kBlue = 0xFF0000FF;

class TNoFiles : public TFileSource {
 protected:
  TRef<TStream> Open(const std::string&) override { return nullptr; }
};

std::string Image(const std::string& name, int buffer, const std::string& size,
                  const std::string& keyPoints) {
  return "object " + name + ":Image\nGUID={" + name +
         "}\nReplaceWithEffectBuffer=" + std::to_string(buffer) + "\nSize=" + size +
         "\nFitMode=None\n" + keyPoints + "end\n";
}

std::string KeyPoint(const std::string& keys) { return "object k:KeyPoint\n" + keys + "end\n"; }

class CustomTransition : public ComposeTest {
 protected:
  // The effect section's slide lasts 1000 ms; the transition itself lasts 2000 ms.
  void Load(const std::string& objects) {
    project = MakeRef<TIniFile>();
    project->LoadFromUtf8("[Main]\n[Times]\n[effect_1]\nCustomEffTime=1000\nobject Root:Root\n" +
                          objects + "end\n");
    THostSettings settings;
    host =
        MakeRef<TVyrSlideHost>(MakeRef<TFileAccessor>(MakeRef<TNoFiles>(), "/no-show/"), settings);
    host->SetFrameSize(64, 48);
    drawer->SetTransitionSlideFactory([this](const TIniSection* section) {
      ++slidesBuilt;
      auto slide = MakeRef<TVyrSlide>(host, nullptr, false);
      slide->SetOwnSize(64, 48);
      slide->SetReferenceOrigin(32, 24);
      slide->SetOrigins(CustomEffectSlideOrigins(section));
      slide->BuildFromSection(FindSection(project.Get(), "Main"), section, true, 0, 0, 0, 0, 0,
                              true, FindSection(project.Get(), "Times"));
      return slide;
    });
  }

  TRef<TVyrFilter> Filter(bool withSection, double time) {
    if (!effect) {
      effect = MakeRef<TVyrEffect>();
      effect->type = TEffectType::Custom;
      if (withSection)
        effect->customSection = TRef<TIniSection>::Share(FindSection(project.Get(), "effect_1"));
    }
    TRef<TVyrFilter> filter = MakeRef<TVyrFilter>(effect, 2000, 0.0f);
    filter->SetCurrentTime(time);
    return filter;
  }

  void DrawAt(TVyrFilter& filter) {
    Frame([&](TDeviceDrawer& d) { d.DrawTransition(*leaving, *arriving, &filter); });
  }

  // Leaving: red over the top half, green under it; arriving: blue.
  TRef<TLambdaItem> leaving = MakeRef<TLambdaItem>([](TDeviceDrawer& d) {
    d.DrawColourBox(TPlacement{}, TFloatRect{0, 0, 64, 24}, kRed, kRed, TBoxFill::Solid, 100,
                    false);
    d.DrawColourBox(TPlacement{}, TFloatRect{0, 24, 64, 48}, kGreen, kGreen, TBoxFill::Solid, 100,
                    false);
  });
  TRef<TLambdaItem> arriving = FlatSlide(kBlue, 64, 48);
  TRef<TIniFile> project;
  TRef<TVyrSlideHost> host;
  TRef<TVyrEffect> effect;
  int slidesBuilt = 0;
};

TEST_F(CustomTransition, PicturesShowTheLeavingAndArrivingSlides) {
  // Each picture at half width; its position counts in its own scale.
  Load(Image("a", 1, "64,48", KeyPoint("Time=0\nPosition=-32,0\nScaleX=50\n")) +
       Image("b", 2, "64,48", KeyPoint("Time=0\nPosition=32,0\nScaleX=50\n")));
  TRef<TVyrFilter> filter = Filter(true, 0);
  for (double time : {1000.0, 1200.0}) {
    filter->SetCurrentTime(time);
    DrawAt(*filter);
    // Slide 1 squeezed into the left half keeps its rows: red above, green below.
    ExpectColour(At(8, 6), {255, 0, 0});
    ExpectColour(At(24, 40), {0, 255, 0});
    ExpectColour(At(40, 6), {0, 0, 255});
    ExpectColour(At(56, 40), {0, 0, 255});
  }
  EXPECT_EQ(slidesBuilt, 1);  // the slide is built once per transition
}

TEST_F(CustomTransition, KeyframedOpacityFadesBetweenTheBuffers) {
  // The arriving slide over the leaving one, its opacity keyed at the slide's own times.
  Load(Image("a", 1, "64,48", KeyPoint("Time=0\n")) +
       Image("b", 2, "64,48",
             KeyPoint("Time=0\nOpacity=0\n") + KeyPoint("Time=500\nOpacity=25\n") +
                 KeyPoint("Time=1000\nOpacity=100\n")));
  struct Case {
    double transitionTime;  // of 2000 ms; the slide's time is half of it
    TRgba colour;
  };
  const Case cases[] = {
      {0, {255, 0, 0}},
      {1000, {191, 0, 64}},  // slide time 500: 25 % of the arriving slide
      {2000, {0, 0, 255}},   // the end: the arriving slide alone
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.transitionTime);
    TRef<TVyrFilter> filter = Filter(true, c.transitionTime);
    DrawAt(*filter);
    ExpectColour(At(32, 6), c.colour);
  }
}

TEST_F(CustomTransition, WithoutSectionOrSlideTheSlidesCrossFade) {
  Load(Image("a", 1, "64,48", KeyPoint("Time=0\n")));
  struct Case {
    bool withSection;
    bool withFactory;
  };
  for (const Case& c : {Case{false, true}, Case{true, false}}) {
    effect.Reset();
    if (!c.withFactory) drawer->SetTransitionSlideFactory(nullptr);
    TRef<TVyrFilter> filter = Filter(c.withSection, 1000);
    DrawAt(*filter);
    ExpectColour(At(32, 6), {127, 0, 128});
    ExpectColour(At(32, 40), {0, 127, 128});
  }
  EXPECT_EQ(slidesBuilt, 0);
}

}  // namespace
}  // namespace vyr::test
