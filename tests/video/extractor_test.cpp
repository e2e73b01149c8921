// The extractor: the pool's recycling and lending rules, lost pictures, and many lends,
// give-backs and jumps while its thread decodes (run under ThreadSanitizer too).
#include <gtest/gtest.h>

#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <mutex>
#include <random>
#include <vector>

#include "clip_fixtures.h"
#include "foundation/stream.h"
#include "platform/thread.h"
#include "video/frame_source_factory.h"
#include "video/vyr_video_extractor.h"

namespace vyr {
namespace {

// Frame i is a picture whose first Y byte is i; frames at or above failFrom do not decode.
class TCountingSource : public TFrameSource {
 public:
  TCountingSource(int count, double fps, int failFrom = 1 << 30) : failFrom_(failFrom) {
    params_.width = 16;
    params_.height = 16;
    params_.fps = fps;
    params_.frameCount = count;
  }
  bool GetFrame(int index, TVideoPicture& picture) override {
    ++calls;
    if (index < 0 || index >= params_.frameCount || index >= failFrom_) return false;
    picture.Plane(0)[0] = static_cast<uint8_t>(index);
    return true;
  }
  std::atomic<int> calls{0};

 private:
  int failFrom_;
};

TRef<TVideoPicture> Picture() { return MakeRef<TVideoPicture>(16, 16, TVideoKind::Yuv420); }

std::vector<int> Sorted(std::vector<int> v) {
  std::sort(v.begin(), v.end());
  return v;
}

// ms of frame i at 25 frames a second.
double At(int i) { return i * 40.0; }

// Each decode notes the nice value of the thread that runs it.
class TNiceRecordingSource : public TCountingSource {
 public:
  TNiceRecordingSource() : TCountingSource(100, 25) {}
  bool GetFrame(int index, TVideoPicture& picture) override {
    {
      std::lock_guard guard(lock);
      nices.push_back(CurrentThreadNice());
    }
    return TCountingSource::GetFrame(index, picture);
  }
  std::mutex lock;
  std::vector<int> nices;
};

TEST(Extractor, DecodesTheFirstFrameOneStepLowerThenAtNormalPriority) {
  auto source = MakeRef<TNiceRecordingSource>();
  auto extractor = MakeRef<TVyrVideoExtractor>(source);
  extractor->Add(Picture());
  extractor->Add(Picture());
  ASSERT_TRUE(extractor->Request(true, At(3)));
  ASSERT_TRUE(extractor->Request(true, At(7)));
  std::lock_guard guard(source->lock);
  ASSERT_EQ(source->nices.size(), 2u);
  const int normal = CurrentThreadNice();
  EXPECT_EQ(source->nices[0], normal + 1);
  // Raising it again needs the privilege (the tests run as root in CI).
  if (::geteuid() == 0) {
    EXPECT_EQ(source->nices[1], normal);
  }
}

TEST(Extractor, RecyclesThePictureFarthestFromTheWantedFrame) {
  auto extractor = MakeRef<TVyrVideoExtractor>(MakeRef<TCountingSource>(100, 25));
  extractor->Add(Picture());
  extractor->Add(Picture());
  ASSERT_TRUE(extractor->Request(true, At(5)));
  // The picture without a frame is marked as holding none.
  EXPECT_EQ(Sorted(extractor->PoolIndexes()), (std::vector<int>{kInvalidFrame, 5}));
  ASSERT_TRUE(extractor->Request(true, At(9)));  // the empty picture goes first
  EXPECT_EQ(Sorted(extractor->PoolIndexes()), (std::vector<int>{5, 9}));
  ASSERT_TRUE(extractor->Request(true, At(6)));  // 9 is farther from 6 than 5
  EXPECT_EQ(Sorted(extractor->PoolIndexes()), (std::vector<int>{5, 6}));
  const int decodes = extractor->DecodeCount();
  ASSERT_TRUE(extractor->Request(true, At(5)));  // held: nothing decoded
  EXPECT_EQ(extractor->DecodeCount(), decodes);
  EXPECT_EQ(extractor->Wanted(), kNoFrame);
}

TEST(Extractor, LendsTheNearestFrameAndAsksForTheNextOne) {
  auto extractor = MakeRef<TVyrVideoExtractor>(MakeRef<TCountingSource>(100, 25));
  extractor->Add(Picture());
  extractor->Add(Picture());
  ASSERT_TRUE(extractor->Request(true, At(4)));
  ASSERT_TRUE(extractor->Request(true, At(6)));
  // Frame 5 is as near to 4 as to 6: the one at or below wins.
  TPoolEntry entry;
  bool exact = true;
  ASSERT_TRUE(extractor->Lend(0, At(5), entry, exact));
  EXPECT_FALSE(exact);
  EXPECT_EQ(entry.decoded, 4);
  EXPECT_EQ(entry.requested, 5);
  EXPECT_EQ(entry.picture->Plane(0)[0], 4);
  // Rate 0 asks for c + 1 = 6, which the pool holds: nothing wanted.
  EXPECT_EQ(extractor->Wanted(), kNoFrame);
  extractor->GiveBack(std::move(entry));
  // At 60 a second one display frame later is still frame 6: frame 7 is asked for.
  ASSERT_TRUE(extractor->Lend(60, At(6), entry, exact));
  EXPECT_TRUE(exact);
  EXPECT_EQ(entry.decoded, 6);
  EXPECT_TRUE(extractor->Request(true, At(7)));  // waits for the pre-request
  EXPECT_EQ(Sorted(extractor->PoolIndexes()), (std::vector<int>{7}));
  extractor->GiveBack(std::move(entry));
  // The last frame: the next one stays the last one.
  ASSERT_TRUE(extractor->Request(true, At(150)));
  ASSERT_TRUE(extractor->Lend(60, At(150), entry, exact));
  EXPECT_EQ(entry.decoded, 99);
  EXPECT_EQ(extractor->Wanted(), kNoFrame);
  extractor->GiveBack(std::move(entry));
}

TEST(Extractor, ALostPictureIsDecodedAgainAndAFailedDecodeStaysInvalid) {
  auto source = MakeRef<TCountingSource>(100, 25, 50);
  auto extractor = MakeRef<TVyrVideoExtractor>(source);
  TRef<TVideoPicture> a = Picture(), b = Picture();
  extractor->Add(a);
  extractor->Add(b);
  ASSERT_TRUE(extractor->Request(true, At(3)));
  TVideoPicture* holder = a->Valid() ? a.Get() : b.Get();
  ASSERT_TRUE(holder->Valid());
  const int calls = source->calls;
  holder->ReportLost();
  ASSERT_TRUE(extractor->Request(true, At(3)));
  EXPECT_GT(source->calls.load(), calls);
  TPoolEntry entry;
  bool exact = false;
  ASSERT_TRUE(extractor->Lend(0, At(3), entry, exact));
  EXPECT_TRUE(exact);
  EXPECT_TRUE(entry.picture->Valid());
  extractor->GiveBack(std::move(entry));
  // Frame 60 fails: the picture holds index 60 but is invalid.
  ASSERT_TRUE(extractor->Request(true, At(60)));
  ASSERT_TRUE(extractor->Lend(0, At(60), entry, exact));
  EXPECT_EQ(entry.decoded, 60);
  EXPECT_FALSE(entry.picture->Valid());
  extractor->GiveBack(std::move(entry));
  // Decoding ahead may already have reused the picture of frame 3; whatever is lent as valid
  // really is.
  if (extractor->LendValid(At(60), entry)) {
    EXPECT_TRUE(entry.picture->Valid());
    EXPECT_NE(entry.decoded, 60);
    extractor->GiveBack(std::move(entry));
  }
}

TEST(Extractor, ManyLendsGiveBacksAndJumpsWhileItDecodes) {
  auto extractor = MakeRef<TVyrVideoExtractor>(MakeRef<TCountingSource>(500, 25));
  for (int k = 0; k < 2; ++k) extractor->Add(Picture());
  std::mt19937 random(7);
  double t = 0;
  int exactCount = 0;
  for (int step = 0; step < 3000; ++step) {
    if (step % 50 == 0) t = std::uniform_real_distribution<double>(0, 20000)(random);  // a jump
    t += 16.7;
    if (step % 7 == 0) {
      ASSERT_TRUE(extractor->Request(step % 14 == 0, t));
    }
    TPoolEntry entry;
    bool exact = false;
    ASSERT_TRUE(extractor->Lend(60, t, entry, exact));
    // A lent picture is never written: it shows the frame it was decoded with.
    if (entry.picture->Valid() && entry.decoded >= 0) {
      EXPECT_EQ(entry.picture->Plane(0)[0], static_cast<uint8_t>(entry.decoded));
    }
    exactCount += exact;
    extractor->GiveBack(std::move(entry));
  }
  EXPECT_GT(exactCount, 0);
  extractor->Stop();
  EXPECT_TRUE(extractor->PoolIndexes().empty());
}

TEST(Extractor, RealClipDecodedAheadWhileFramesAreLent) {
  test::TTempDir dir;
  const std::string clip = dir / "clip.mp4";
  ASSERT_TRUE(test::MakeClip(clip, 50, "25", "-c:v libx264 -pix_fmt yuv420p -g 10"));
  TRef<TFrameSource> source =
      MakeFrameSource(TFileStream::TryOpen(clip, TFileStream::Mode::Read), clip, "");
  ASSERT_TRUE(source);
  auto extractor = MakeRef<TVyrVideoExtractor>(source);
  for (int k = 0; k < 2; ++k)
    extractor->Add(MakeRef<TVideoPicture>(test::kClipWidth, test::kClipHeight, TVideoKind::Yuv420));
  for (int i : {0, 1, 2, 3, 30, 31, 7, 49, 48, 20}) {
    ASSERT_TRUE(extractor->Request(true, At(i)));
    TPoolEntry entry;
    bool exact = false;
    ASSERT_TRUE(extractor->Lend(60, At(i), entry, exact));
    EXPECT_TRUE(exact);
    EXPECT_EQ(test::ShownIndex(*entry.picture), i);
    extractor->GiveBack(std::move(entry));
  }
}

}  // namespace
}  // namespace vyr
