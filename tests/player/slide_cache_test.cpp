// The slide cache: window around the clock, eviction and one build per step.

#include <gtest/gtest.h>

#include <vector>

#include "foundation/exceptions.h"
#include "loader_test_support.h"
#include "player/loader/slide_cache.h"

namespace vyr {
namespace {

using testing::IndexesOf;
using testing::ParseProject;
using testing::TimedShow;
using testing::TRecordingFactory;
using Indexes = std::vector<int>;

// Three slides ending at 5000, 9000 and 15000 with 1000 ms transitions.
TRef<TVyrSource> ThreeSlides() {
  return MakeRef<TVyrSource>(ParseProject(TimedShow({5000, 9000, 15000}, 1000)));
}

struct CacheRig {
  TRef<TRecordingFactory> factory = MakeRef<TRecordingFactory>(ThreeSlides());
  TSlideCache cache{factory, 3};
  std::vector<Indexes> lists;  // every list handed over, in order

  CacheRig() {
    cache.SetListChanged([this](TRef<TSlideData> list) { lists.push_back(IndexesOf(*list)); });
  }
  // Steps until nothing more is built; the number of steps that built.
  int Settle(double time) {
    int builds = 0;
    while (cache.Step(time)) ++builds;
    return builds;
  }
};

TEST(SlideCache, StartBuildsBlankAndFirstSlidesOnePerStep) {
  CacheRig rig;
  EXPECT_TRUE(rig.cache.Step(0));
  EXPECT_TRUE(rig.cache.Step(0));
  EXPECT_TRUE(rig.cache.Step(0));
  EXPECT_FALSE(rig.cache.Step(0));
  EXPECT_EQ(rig.factory->built, (Indexes{-1, 0, 1}));
  EXPECT_EQ(rig.lists, (std::vector<Indexes>{{-1}, {-1, 0}, {-1, 0, 1}}));
}

TEST(SlideCache, MovingOnEvictsBehindAndBuildsAhead) {
  CacheRig rig;
  rig.Settle(0);
  rig.lists.clear();
  rig.factory->built.clear();
  // At 6500 slide 1 alone is visible: -1 and 0 go, 2 and 3 (slide 0 of the next pass) come.
  EXPECT_TRUE(rig.cache.Step(6500));
  EXPECT_EQ(rig.lists, (std::vector<Indexes>{{0, 1}, {1}, {1, 2}}));
  EXPECT_TRUE(rig.cache.Step(6500));
  EXPECT_FALSE(rig.cache.Step(6500));
  EXPECT_EQ(rig.factory->built, (Indexes{2, 3}));
  EXPECT_EQ(rig.lists.back(), (Indexes{1, 2, 3}));
}

TEST(SlideCache, FarSeekKeepsOneSlideUntilTheNewOnesArrive) {
  CacheRig rig;
  rig.Settle(0);
  rig.lists.clear();
  rig.factory->built.clear();
  const double farAhead = 15000.0 * 1000 + 7000;  // slide 1 of pass 1000: index 3001
  EXPECT_TRUE(rig.cache.Step(farAhead));
  // Never empty: the last old slide stays while the first new one is built.
  EXPECT_EQ(rig.lists, (std::vector<Indexes>{{0, 1}, {1}, {1, 3001}}));
  EXPECT_TRUE(rig.cache.Step(farAhead));
  EXPECT_EQ(rig.lists.back(), (Indexes{3001, 3002}));
  EXPECT_EQ(rig.Settle(farAhead), 1);
  EXPECT_EQ(rig.factory->built, (Indexes{3001, 3002, 3003}));
  EXPECT_EQ(IndexesOf(*rig.cache.Snapshot()), (Indexes{3001, 3002, 3003}));
}

// A container that tells when it is freed.
class TWatchedContainer : public TDrawContainer {
 public:
  explicit TWatchedContainer(bool* freed) : freed_(freed) {}

 protected:
  void Dispose() override { *freed_ = true; }

 private:
  bool* freed_;
};

class TWatchingFactory : public TRecordingFactory {
 public:
  using TRecordingFactory::TRecordingFactory;
  TRef<TDrawContainer> BuildContainer(int index) override {
    built.push_back(index);
    auto container = MakeRef<TWatchedContainer>(&freed[index + 1]);
    container->absoluteIndex = index;
    return container;
  }
  bool freed[8] = {};
};

TEST(SlideCache, EvictedSlideOutlivesTheHandOverOfTheListWithoutIt) {
  auto factory = MakeRef<TWatchingFactory>(ThreeSlides());
  TSlideCache cache(factory, 3);
  TRef<TSlideData> engineList;  // what the engine holds
  bool checked = false;
  cache.SetListChanged([&](TRef<TSlideData> list) {
    engineList = std::move(list);  // the engine adopts the new list, dropping the old one
    if (IndexesOf(*engineList) == Indexes{0, 1}) {
      EXPECT_FALSE(factory->freed[0]) << "the blank slide was freed before the hand-over";
      checked = true;
    }
  });
  while (cache.Step(0)) {
  }
  cache.Step(6500);
  EXPECT_TRUE(checked);
  EXPECT_TRUE(factory->freed[0]);  // blank slide -1
  EXPECT_TRUE(factory->freed[1]);  // slide 0
  EXPECT_FALSE(factory->freed[2]);
}

TEST(SlideCache, SmallerCapacityHoldsFewerSlides) {
  auto factory = MakeRef<TRecordingFactory>(ThreeSlides());
  TSlideCache cache(factory, 1);
  EXPECT_TRUE(cache.Step(2000));
  EXPECT_FALSE(cache.Step(2000));
  EXPECT_EQ(cache.Count(), 1);
  // Moving on, the new slide is built before the old one goes.
  EXPECT_TRUE(cache.Step(7000));
  EXPECT_EQ(cache.Count(), 2);
  EXPECT_FALSE(cache.Step(7000));
  EXPECT_EQ(IndexesOf(*cache.Snapshot()), (Indexes{1}));
}

TEST(SlideCache, CapacityOutsideOneToThreeIsAnInternalError) {
  auto factory = MakeRef<TRecordingFactory>(ThreeSlides());
  EXPECT_THROW(TSlideCache(factory, 0), EAssertionFailed);
  EXPECT_THROW(TSlideCache(factory, 4), EAssertionFailed);
}

TEST(SlideData, MoreThanThreeIsAnInternalError) {
  auto data = MakeRef<TSlideData>();
  for (int i = 0; i < 3; ++i) data->Add(MakeRef<TDrawContainer>());
  EXPECT_THROW(data->Add(MakeRef<TDrawContainer>()), EAssertionFailed);
}

}  // namespace
}  // namespace vyr
