// The slide producer on real slides: containers, the blank slide, failures, dialogs and
// custom transitions.

#include <gtest/gtest.h>

#include <chrono>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "foundation/exceptions.h"
#include "foundation/log.h"
#include "loader_test_support.h"
#include "player/loader/slide_loader.h"
#include "player/loader/slide_producer.h"
#include "scene/objects/object_creator.h"
#include "scene/objects/vyr_dialog.h"
#include "scene/scene_test_support.h"

namespace vyr {
namespace {

using testing::ParseProject;

// Collects the lines of the process-wide log while it lives.
class TLogCapture {
 public:
  TLogCapture() {
    auto log = MakeRef<TLog>();
    log->SetSink([this](const std::string& line) { lines.push_back(line); });
    SetGlobalLog(log);
  }
  ~TLogCapture() { SetGlobalLog(nullptr); }
  bool Has(const std::string& a, const std::string& b) const {
    for (const auto& line : lines)
      if (line.find(a) != std::string::npos && line.find(b) != std::string::npos) return true;
    return false;
  }
  std::vector<std::string> lines;
};

// An 800 x 600 show of three slides ending at 5000, 9000 and 15000 with 1000 ms dissolves;
// slide 2 holds a box. extra is appended to the project.
std::string Show(const std::string& extra = "", int slideSections = 3,
                 const std::string& mainExtra = "") {
  std::string text =
      "[Main]\nopt_scr_width=800\nopt_scr_height=600\n" + mainExtra +
      "[Times]\nopt_slidescount=3\nopt_synchpos1=5000\nopt_synchpos2=9000\nopt_synchpos3=15000\n";
  for (int k = 1; k <= slideSections; ++k) {
    text += "[Slide" + std::to_string(k) + "]\n";
    text += "object TheEffect:AnEffect\n  ref=dissolve\n  time=1000\nend\n";
    text += "object Root:Root\n";
    if (k == 2) text += test::Obj("box", "Box", "Size=100,50\nFitMode=None\n");
    text += "end\n";
  }
  return text + extra;
}

struct ProducerRig {
  explicit ProducerRig(const std::string& project, TIntSize window = {1024, 768}) {
    source = MakeRef<TVyrSource>(ParseProject(project));
    auto files = MakeRef<TFileAccessor>(MakeRef<test::TMemoryFileSource>(), "/no-show-folder/");
    producer = MakeRef<TSlideProducer>(source, MakeShowHost(*source, files));
    producer->SetCurrentTiming(MakeRef<TTiming>());
    producer->SetBuildSize(window, TSlideFit::FitInside);
  }
  TRef<TVyrSource> source;
  TRef<TSlideProducer> producer;
};

TEST(SlideProducer, ContainerOfASlideAndOfItsRepetition) {
  ProducerRig rig(Show());
  auto first = rig.producer->BuildContainer(1);
  ASSERT_TRUE(first->slide);
  EXPECT_EQ(first->slide->Name(), "Slide2");
  EXPECT_EQ(first->slide->ChildCount(), 1);
  EXPECT_DOUBLE_EQ(first->slide->Origins().SlideBegin(), 5000);
  EXPECT_DOUBLE_EQ(first->slide->Origins().NextEffectBegin(), 9000);
  EXPECT_DOUBLE_EQ(first->timing.start, 5000);
  EXPECT_DOUBLE_EQ(first->repeatOffset, 0);
  ASSERT_TRUE(first->filter);
  EXPECT_DOUBLE_EQ(first->filter->Duration(), 1000);
  EXPECT_EQ(first->clock, rig.producer->CurrentTiming());
  // 800 x 600 into 1024 x 768: the root scales the design frame by 128 %.
  EXPECT_FLOAT_EQ(first->slide->ScaleX(), 128);
  EXPECT_FLOAT_EQ(first->slide->ScaleY(), 128);

  // Index 4 is slide 2 of the second pass: shifted by one show length.
  auto again = rig.producer->BuildContainer(4);
  ASSERT_TRUE(again->slide);
  EXPECT_EQ(again->slide->Name(), "Slide2");
  EXPECT_DOUBLE_EQ(again->repeatOffset, 15000);
  EXPECT_DOUBLE_EQ(again->timing.start, 20000);
  // At show time 21000 the slide stands at its own 6000, the transition at 1000 ms in.
  again->AdvanceTo(21000);
  EXPECT_DOUBLE_EQ(again->slide->SlideTime(), 1000);
  EXPECT_DOUBLE_EQ(again->filter->CurrentTime(), 1000);
}

TEST(SlideProducer, BlankSlideBeforeTheFirst) {
  ProducerRig rig(Show());
  auto blank = rig.producer->BuildContainer(-1);
  ASSERT_TRUE(blank->slide);
  EXPECT_EQ(blank->slide->ChildCount(), 0);
  EXPECT_DOUBLE_EQ(blank->slide->Origins().SlideBegin(), -1073741823);
  EXPECT_DOUBLE_EQ(blank->slide->Origins().NextEffectBegin(), 0);
  EXPECT_DOUBLE_EQ(blank->slide->Origins().SlideEnd(), 1000);  // the first slide is in
  EXPECT_FALSE(blank->filter);
}

TEST(SlideProducer, MissingSectionYieldsNoSlideAndSaysWhich) {
  TLogCapture log;
  ProducerRig rig(Show("", 2));  // [Times] counts three slides, the project has two
  auto missing = rig.producer->BuildContainer(2);
  EXPECT_FALSE(missing->slide);
  EXPECT_FALSE(missing->filter);
  EXPECT_TRUE(log.Has("Slide 3", "Slide3")) << ::testing::PrintToString(log.lines);
  // The show goes on: the next pass's first slide builds.
  EXPECT_TRUE(rig.producer->BuildContainer(3)->slide);
}

// A creator that fails on boxes, in front of the standard ones.
TObjectCreator standardCreator = nullptr;
TRef<TVyrObject> FailingBoxCreator(int kind, TVyrObject* parent, TRef<TVyrObjectProps> props) {
  if (kind == 2) throw EConvertError("the box cannot be made");
  return standardCreator(kind, parent, std::move(props));
}

TEST(SlideProducer, SlideThatThrowsYieldsNothingAndTheShowGoesOn) {
  TLogCapture log;
  ProducerRig rig(Show());
  CreateSceneObject(0, nullptr, nullptr);  // the standard creators register on first use
  standardCreator = RegisterObjectCreator(&FailingBoxCreator);
  auto broken = rig.producer->BuildContainer(1);
  auto next = rig.producer->BuildContainer(2);
  RegisterObjectCreator(standardCreator);
  EXPECT_FALSE(broken->slide);
  EXPECT_TRUE(log.Has("Slide 2 (Slide2)", "the box cannot be made"))
      << ::testing::PrintToString(log.lines);
  EXPECT_TRUE(next->slide);
}

TEST(SlideProducer, LoaderKeepsRealSlides) {
  ProducerRig rig(Show());
  auto loader = MakeRef<TVyrSlideLoader>(rig.source, rig.producer, 3, TIntSize{1024, 768});
  EXPECT_EQ(rig.producer->CurrentTiming(), loader->ClockRef());
  TRef<TSlideData> last;
  loader->SetDeliverDirectly([&](TRef<TSlideData> list) { last = std::move(list); });
  loader->Clock().SetCurrentTime(5500);
  while (loader->Step()) {
  }
  ASSERT_TRUE(last);
  ASSERT_EQ(last->Count(), 3);
  for (int i = 0; i < 3; ++i) {
    EXPECT_EQ(last->Item(i)->absoluteIndex, i);
    EXPECT_TRUE(last->Item(i)->slide) << i;
  }
  EXPECT_EQ(loader->SlideRect(), (TIntRect{0, 0, 1024, 768}));

  // The "cover" option: 4:3 over a wider window, cut at top and bottom.
  loader->SetBuildSize({1024, 600}, true);
  EXPECT_EQ(rig.producer->SlideSize(), (TIntSize{1024, 768}));
  EXPECT_EQ(loader->SlideRect(), (TIntRect{0, 0, 1024, 600}));
  // A collapsed window still builds at 10 x 10.
  loader->SetBuildSize({0, -5}, false);
  EXPECT_EQ(loader->SlideRect(), (TIntRect{0, 1, 10, 9}));
}

TEST(SlideProducer, LoaderOfAShowWithoutSlidesSaysSoOnce) {
  TLogCapture log;
  ProducerRig rig("[Main]\nopt_scr_width=800\nopt_scr_height=600\n[Times]\nopt_slidescount=0\n");
  ASSERT_EQ(rig.source->SlideCount(), 0);
  auto loader = MakeRef<TVyrSlideLoader>(rig.source, rig.producer, 3, TIntSize{1024, 768});
  ASSERT_TRUE(loader->Start());
  std::this_thread::sleep_for(std::chrono::milliseconds(120));  // about ten loader steps
  loader->Stop();
  EXPECT_FALSE(loader->Step());
  int said = 0;
  for (const auto& line : log.lines)
    said += line.find("No Slides in Presentation") != std::string::npos;
  EXPECT_EQ(said, 1) << ::testing::PrintToString(log.lines);
}

TEST(SlideProducer, LoaderTakesANewBuildSizeWhileItRuns) {
  ProducerRig rig(Show());
  auto loader = MakeRef<TVyrSlideLoader>(rig.source, rig.producer, 3, TIntSize{1024, 768});
  std::mutex lock;
  std::vector<TRef<TDrawContainer>> seen;
  loader->SetDeliverDirectly([&](TRef<TSlideData> list) {
    std::lock_guard guard(lock);
    for (int i = 0; i < list->Count(); ++i)
      seen.push_back(TRef<TDrawContainer>::Share(list->Item(i)));
  });
  ASSERT_TRUE(loader->Start());
  // The window changes while slides are being built: every slide is built whole at one of
  // the sizes, its screen scale and its centre agreeing.
  for (int i = 0; i < 200; ++i) {
    loader->SetBuildSize(i % 2 ? TIntSize{400, 300} : TIntSize{1024, 768}, false);
    if (i == 100) loader->Clock().SetCurrentTime(9500);
    std::this_thread::sleep_for(std::chrono::microseconds(500));
  }
  loader->SetBuildSize({400, 300}, false);
  EXPECT_EQ(loader->SlideRect(), (TIntRect{0, 0, 400, 300}));
  loader->Clock().SetCurrentTime(16500);  // the second pass: slides built after the last change
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
  bool reached = false;
  while (!reached && std::chrono::steady_clock::now() < deadline) {
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
    std::lock_guard guard(lock);
    for (const auto& c : seen) reached |= c->absoluteIndex == 5;
  }
  loader->Stop();
  ASSERT_TRUE(reached);
  std::lock_guard guard(lock);
  for (const auto& c : seen) {
    if (!c->slide) continue;
    const float scale = c->slide->ScaleX();
    const TVec3 centre = c->slide->GetParentPlacement().origin;
    if (scale == 128) {
      EXPECT_EQ(centre.x, 512) << c->absoluteIndex;
      EXPECT_EQ(centre.y, 384) << c->absoluteIndex;
    } else {
      EXPECT_FLOAT_EQ(scale, 50) << c->absoluteIndex;
      EXPECT_EQ(centre.x, 200) << c->absoluteIndex;
      EXPECT_EQ(centre.y, 150) << c->absoluteIndex;
    }
    if (c->absoluteIndex >= 4) {
      EXPECT_FLOAT_EQ(scale, 50) << c->absoluteIndex;
    }
  }
}

TEST(SlideProducer, Dialogs) {
  const std::string dialogs =
      "[dialog_1_]\nobject Root:Root\nend\n"
      "[dialog_2_]\nhelp=1\nDialogPause=0\nobject Root:Root\nend\n"
      "[dialog_Extra]\nobject Root:Root\nend\n";
  ProducerRig rig(
      Show(dialogs, 3, "opt_customdialogscount=2\ncustom_dialog1=About\ncustom_dialog2=Credits\n"));
  const TBuiltDialog help = rig.producer->BuildDialog("help");
  ASSERT_TRUE(help.dialog);
  EXPECT_EQ(help.dialog->Name(), "dialog_2_");
  EXPECT_FALSE(help.pause);
  const TBuiltDialog about = rig.producer->BuildDialog("ABOUT");
  ASSERT_TRUE(about.dialog);
  EXPECT_EQ(about.dialog->Name(), "dialog_1_");
  EXPECT_TRUE(about.pause);
  EXPECT_DOUBLE_EQ(about.dialog->Origins().SlideEnd(), 0);
  const TBuiltDialog extra = rig.producer->BuildDialog("Extra");
  ASSERT_TRUE(extra.dialog);
  EXPECT_EQ(extra.dialog->Name(), "dialog_Extra");
  const TBuiltDialog credits = rig.producer->BuildDialog("Credits");
  ASSERT_TRUE(credits.dialog);
  EXPECT_EQ(credits.dialog->Name(), "dialog_2_");
  EXPECT_FALSE(rig.producer->BuildDialog("Nothing").dialog);
}

TEST(SlideProducer, CustomTransitionSlideLastsItsEffectTime) {
  ProducerRig rig(Show("[Wipe]\nCustomEffTime=3000\nobject Root:Root\nend\n"));
  auto slide = rig.producer->BuildCustomTransitionSlide(rig.producer->SectionByName("Wipe"));
  ASSERT_TRUE(slide);
  EXPECT_DOUBLE_EQ(slide->Origins().SlideBegin(), 0);
  EXPECT_DOUBLE_EQ(slide->Origins().NextEffectBegin(), 3000);
  EXPECT_DOUBLE_EQ(slide->Origins().SlideEnd(), 3000);
  EXPECT_FALSE(rig.producer->BuildCustomTransitionSlide(nullptr));
}

}  // namespace
}  // namespace vyr
