#include <gtest/gtest.h>

#include <cstring>

#include "foundation/exceptions.h"
#include "imaging/bitmap/bitmap_factory.h"
#include "imaging/bitmap/bitmap_store.h"
#include "imaging/bitmap/turns.h"

namespace vyr {
namespace {

TRef<TBitmap> Rgb(int w, int h, uint8_t (*value)(int x, int y, int c)) {
  auto b = MakeRef<TDirectBitmap>(w, h, pf::R8G8B8());
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x)
      for (int c = 0; c < 3; ++c) b->Row(y)[x * 3 + c] = value(x, y, c);
  return b;
}

TRef<TWrapperBitmapStore> StoreOf(TRef<TBitmap> b, TRotationHook hook = nullptr) {
  return MakeRef<TWrapperBitmapStore>("pic", std::move(hook), std::move(b));
}

TEST(PictureStore, LevelForWantedSize) {
  const TImageParams p{"p", 1000, 750, pf::R8G8B8()};
  EXPECT_EQ(LevelForSize(p, 300, 200), 1);  // 500 x 375 is still larger
  EXPECT_EQ(LevelForSize(p, 600, 200), 0);
  EXPECT_EQ(LevelForSize(p, 1, 1), 9);
  EXPECT_EQ(LevelForSize(p, 2000, 2000), 0);
  EXPECT_THROW(LevelForSize(p, 0, 10), EAssertionFailed);
}

TEST(PictureStore, ReducedLevelsRoundUpAndWeightNeighbours) {
  // Level 2 of 5 x 3 is 2 x 1 (5 x 3 -> 3 x 2 -> 2 x 1).
  auto store = StoreOf(Rgb(5, 3, [](int, int, int) -> uint8_t { return 9; }));
  auto level2 = store->GetMipLevel(2);
  EXPECT_EQ(level2->Width(), 2);
  EXPECT_EQ(level2->Height(), 1);
  EXPECT_EQ(level2->Row(0)[0], 9);

  // One bright pixel at (2, 1) of a 4 x 4 picture: destination (1, 0) centres on (2, 0) and
  // (1, 1) on (2, 2), each one row away: weight 2 / 16; (0, 0) does not reach it.
  auto spot =
      StoreOf(Rgb(4, 4, [](int x, int y, int) -> uint8_t { return x == 2 && y == 1 ? 160 : 0; }));
  auto half = spot->GetMipLevel(1);
  EXPECT_EQ(half->Row(0)[3], 20);
  EXPECT_EQ(half->Row(1)[3], 20);
  EXPECT_EQ(half->Row(0)[0], 0);
  // At the edge of an odd-sized picture the clamped neighbours repeat it: 4 + 2 + 2 + 1.
  auto edge =
      StoreOf(Rgb(3, 3, [](int x, int y, int) -> uint8_t { return x == 2 && y == 2 ? 160 : 0; }));
  EXPECT_EQ(edge->GetMipLevel(1)->Row(1)[3], 90);

  // A flat 2 x 2 picture reduces to the same colour; alpha is reduced too.
  auto flat = MakeRef<TDirectBitmap>(2, 2, pf::A8R8G8B8());
  flat->FillRect({0, 0, 2, 2}, 0x80FF4020);
  auto one = StoreOf(flat)->GetMipLevel(1);
  EXPECT_EQ(one->Format(), pf::A8R8G8B8());
  uint32_t v;
  std::memcpy(&v, one->Row(0), 4);
  EXPECT_EQ(v, 0x80FF4020u);
}

TEST(PictureStore, CachesEachFormAndConvertsOnRequest) {
  auto store = StoreOf(Rgb(4, 2, [](int x, int, int c) -> uint8_t { return x * 10 + c; }));
  auto a = store->GetMipLevel(1);
  EXPECT_EQ(store->GetMipLevel(1), a);
  auto argb = store->GetMipLevel(0, pf::A8R8G8B8(), TBitmapClass::SysBitmap);
  EXPECT_EQ(argb->Format(), pf::A8R8G8B8());
  EXPECT_EQ(argb->Row(0)[4 * 2 + 1], 21);
  EXPECT_EQ(argb->Row(0)[3], 255);
  EXPECT_EQ(store->GetMipLevel(0, pf::A8R8G8B8()), argb);
  // The wrapper's inner direct bitmap answers a request for a TDirectBitmap.
  auto direct = store->GetMipLevel(0, pf::A8R8G8B8(), TBitmapClass::DirectBitmap);
  EXPECT_EQ(direct.Get(), static_cast<TSysDirectWrapper*>(argb.Get())->Inner());
  EXPECT_THROW(store->GetMipLevel(0, pf::R8G8B8(), TBitmapClass::CropBitmap), EAssertionFailed);

  auto image = MakeRef<TImage>(TRef<TBitmapStore>(store));
  EXPECT_EQ(image->Width(), 4);
  EXPECT_EQ(&image->Clone()->Store(), &image->Store());
}

TEST(PictureStore, TurnsApplyToTheDecodedLevelWithoutChangingTheInput) {
  // 3 x 2 picture whose red byte is x + 10 y.
  auto picture = Rgb(3, 2, [](int x, int y, int c) -> uint8_t { return c == 2 ? x + 10 * y : 0; });
  auto red = [](const TBitmap& b, int x, int y) { return b.Row(y)[x * 3 + 2]; };

  auto cw = StoreOf(picture, MakeTurnHook(TTurn::Clockwise))->GetMipLevel(0);
  ASSERT_EQ(cw->Width(), 2);
  ASSERT_EQ(cw->Height(), 3);
  EXPECT_EQ(red(*cw, 0, 0), 10);  // (x, y) <- (y, H - 1 - x)
  EXPECT_EQ(red(*cw, 1, 2), 2);

  auto ccw = StoreOf(picture, MakeTurnHook(TTurn::CounterClockwise))->GetMipLevel(0);
  EXPECT_EQ(red(*ccw, 0, 0), 2);  // (x, y) <- (W - 1 - y, x)
  EXPECT_EQ(red(*ccw, 1, 2), 10);

  auto half = StoreOf(picture, MakeTurnHook(TTurn::Half))->GetMipLevel(0);
  EXPECT_EQ(red(*half, 0, 0), 12);
  EXPECT_EQ(red(*half, 2, 1), 0);
  EXPECT_EQ(red(*picture, 0, 0), 0);  // the store's input is untouched

  auto reduced = StoreOf(picture, MakeTurnHook(TTurn::Clockwise))->GetMipLevel(1);
  EXPECT_EQ(reduced->Width(), 1);
  EXPECT_EQ(reduced->Height(), 2);
}

TEST(PictureStore, AQuarterTurnReportsTheTurnedSize) {
  auto picture = Rgb(3, 2, [](int, int, int) -> uint8_t { return 7; });
  struct Case {
    TRotationHook hook;
    int32_t width, height;
  };
  const Case cases[] = {{nullptr, 3, 2},
                        {MakeTurnHook(TTurn::Half), 3, 2},
                        {MakeTurnHook(TTurn::Clockwise), 2, 3},
                        {MakeTurnHook(TTurn::CounterClockwise), 2, 3}};
  for (const Case& c : cases) {
    auto store = StoreOf(picture, c.hook);
    EXPECT_EQ(store->Params().width, c.width);
    EXPECT_EQ(store->Params().height, c.height);
    auto image = MakeRef<TImage>(TRef<TBitmapStore>(store));
    EXPECT_EQ(image->Width(), c.width);
    EXPECT_EQ(image->Height(), c.height);
    // The level the store makes has the size it reports, and levels are asked for by it.
    EXPECT_EQ(image->Bitmap()->Width(), c.width);
    EXPECT_EQ(image->Bitmap()->Height(), c.height);
    EXPECT_EQ(LevelForSize(store->Params(), c.width - 1, c.height - 1), 0);
  }
}

}  // namespace
}  // namespace vyr
