// The loader thread: one build per 10 ms step at the shared clock's time, lists sent to the
// engine's queue.

#include <gtest/gtest.h>

#include <chrono>
#include <thread>
#include <vector>

#include "loader_test_support.h"
#include "player/loader/slide_loader.h"

namespace vyr {
namespace {

using testing::IndexesOf;
using testing::ParseProject;
using testing::TimedShow;
using testing::TRecordingFactory;
using Indexes = std::vector<int>;
using Clock = std::chrono::steady_clock;

struct EngineQueue {
  TThreadEventList queue;
  std::vector<Indexes> lists;

  EngineQueue() {
    queue.SetHandler([this](TThreadEventList&, int32_t id, bool& handled, TRefObject* payload) {
      ASSERT_EQ(id, kSlideListEvent);
      lists.push_back(IndexesOf(*static_cast<TSlideData*>(payload)));
      handled = true;
    });
  }
  // Processes the queue as the engine's loop would, until the last list is the one wanted.
  bool WaitFor(const Indexes& wanted) {
    const auto deadline = Clock::now() + std::chrono::seconds(10);
    while (Clock::now() < deadline) {
      queue.Process();
      if (!lists.empty() && lists.back() == wanted) return true;
      std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return false;
  }
};

TRef<TVyrSource> ThreeSlides() {
  return MakeRef<TVyrSource>(ParseProject(TimedShow({5000, 9000, 15000}, 1000)));
}

TEST(SlideLoaderThread, FollowsTheClockTheEngineMoves) {
  auto source = ThreeSlides();
  auto factory = MakeRef<TRecordingFactory>(source);
  auto loader =
      MakeRef<TVyrSlideLoader>(source, TRef<TContainerFactory>(factory), 3, TIntSize{1024, 768});
  EngineQueue engine;
  loader->SetTarget(&engine.queue);
  ASSERT_TRUE(loader->Start());

  EXPECT_TRUE(engine.WaitFor({-1, 0, 1}));
  // Each list adds exactly one slide: one build per step.
  EXPECT_EQ(engine.lists, (std::vector<Indexes>{{-1}, {-1, 0}, {-1, 0, 1}}));

  loader->Clock().SetCurrentTime(9500);  // slide 2 comes in over slide 1
  EXPECT_TRUE(engine.WaitFor({1, 2, 3}));

  engine.queue.Close();  // releases a hand-over in progress
  loader->Stop();
  EXPECT_EQ(factory->built, (Indexes{-1, 0, 1, 2, 3}));
}

TEST(SlideLoaderThread, DeliversDirectlyOnItsOwnThreadWhenAsked) {
  auto source = ThreeSlides();
  auto loader = MakeRef<TVyrSlideLoader>(
      source, TRef<TContainerFactory>(MakeRef<TRecordingFactory>(source)), 2, TIntSize{});
  std::vector<Indexes> lists;
  loader->SetDeliverDirectly([&](TRef<TSlideData> list) { lists.push_back(IndexesOf(*list)); });
  loader->Clock().SetCurrentTime(2000);
  EXPECT_TRUE(loader->Step());
  EXPECT_TRUE(loader->Step());
  EXPECT_FALSE(loader->Step());
  EXPECT_EQ(lists, (std::vector<Indexes>{{0}, {0, 1}}));
}

TEST(SlideShowParams, WindowFromTheProject) {
  struct Case {
    const char* main;
    TIntSize size;
    const char* caption;
    bool bordered;
    int mode;
  } cases[] = {
      {"", {1920, 1200}, "VyrShow", false, 0},
      {"projectname=Trip\n", {1920, 1200}, "Trip", false, 0},
      {"opt_scr_full=0\n", {640, 480}, "VyrShow", false, 2},
      {"opt_scr_full=0\nopt_withoutborder=0\nprojectname=Trip\nopt_scr_width=800\n"
       "opt_scr_height=500\n",
       {800, 500},
       "Trip",
       true,
       1},
      {"opt_scr_full=0\nopt_withoutborder=0\nprojectname=Trip\nopt_scr_caption=Holiday\n",
       {640, 480},
       "Holiday",
       true,
       1},
      {"opt_scr_full=3\nopt_withoutborder=0\n", {640, 480}, "VyrShow", false, 2},
  };
  for (const Case& c : cases) {
    auto project = ParseProject(std::string("[Main]\n") + c.main);
    const TShowWindowParams params = ReadShowWindowParams(project.Get(), {1920, 1200});
    EXPECT_EQ(params.windowSize, c.size) << c.main;
    EXPECT_EQ(params.caption, c.caption) << c.main;
    EXPECT_EQ(params.bordered, c.bordered) << c.main;
    EXPECT_EQ(params.WindowMode(), c.mode) << c.main;
  }
}

}  // namespace
}  // namespace vyr
