// The frame drawer draws the slide lying plainly under a transition straight into the frame
// and the others through effect buffers only where needed; the plain way sends every slide
// through a buffer. Both must give the same pixels for every filter at any time, on slides
// with soft pictures, transparent gaps and overlapping half-transparent objects.

#include <cstring>

#include "compose_fixture.h"
#include "every_filter.h"
#include "render/compose/overlay_draw_list.h"
#include "render/compose/root_item.h"

namespace vyr::test {
namespace {

constexpr int kW = 96, kH = 64;

uint32_t Noise(uint32_t x) {
  x ^= x >> 16;
  x *= 0x7FEB352Du;
  x ^= x >> 15;
  x *= 0x846CA68Bu;
  return x ^ (x >> 16);
}

// A slide of generated content: an opaque noisy picture placed off the pixel grid with
// gaps around it, a half-transparent box across its edge and a picture of varying alpha
// over both.
TRef<TLambdaItem> GeneratedSlide(uint32_t seed) {
  TRef<TImage> opaque = MakePicture(41, 29, [seed](int x, int y) {
    return 0xFF000000u | (Noise(seed * 7919u + static_cast<uint32_t>(y * 41 + x)) & 0xFFFFFF);
  });
  TRef<TImage> soft = MakePicture(23, 17, [seed](int x, int y) {
    const uint32_t alpha = static_cast<uint32_t>(x * 11 + y * 3) & 0xFF;
    return alpha << 24 | (Noise(seed + static_cast<uint32_t>(x * 17 + y)) & 0xFFFFFF);
  });
  return MakeRef<TLambdaItem>([=](TDeviceDrawer& drawer) {
    TImageDrawParams p = FlatParams(6.5f, 3.25f, 86.5f, 57.75f);
    drawer.DrawImage(*opaque, p);
    const uint32_t box = 0x80000000u | (Noise(seed) & 0xFFFFFF);
    drawer.DrawColourBox(TPlacement{}, TFloatRect{50, 10, 94, 40}, box, box, TBoxFill::Solid, 100,
                         false);
    TImageDrawParams q = FlatParams(30.25f, 20.5f, 75.25f, 54.5f);
    drawer.DrawImage(*soft, q);
  });
}

class TransitionPaths : public ComposeTest {
 protected:
  void SetUp() override {
    Open(kW, kH);
    root = MakeRef<TRootItem>();
    root->SetItems({GeneratedSlide(1), GeneratedSlide(2), MakeRef<TOverlayDrawList>(root.Get())});
  }
  // The frame's bytes with every slide through a buffer or the drawer's own way.
  std::vector<uint8_t> Draw(bool buffersOnly) {
    drawer->SetTransitionBuffersOnly(buffersOnly);
    drawer->DrawItem(*root);
    TRef<TBitmap> picture = drawer->Capture();
    std::vector<uint8_t> bytes;
    if (!picture) return bytes;
    for (int y = 0; y < picture->Height(); ++y)
      bytes.insert(bytes.end(), picture->Row(y), picture->Row(y) + picture->RowBytes());
    return bytes;
  }
  TRef<TRootItem> root;
};

TEST_F(TransitionPaths, StraightDrawsGiveThePixelsOfTheBufferedWay) {
  // Push offsets at these times fall between pixels, except at 250 and 500 ms.
  const double times[] = {0, 13, 250, 333.3, 500, 618.1, 871, 999.5};
  for (const TNamedSpec& named : EveryFilter()) {
    SCOPED_TRACE(named.name);
    TRef<TVyrFilter> filter = MakeRef<TVyrFilter>(MakeRef<TVyrEffect>(), 1000, 0.05f);
    TRef<TDrawFilter> made = MakeDrawFilter(named.spec, TIntRect{0, 0, kW, kH}, 0.05 * kW, 1000);
    ASSERT_TRUE(made);
    filter->SetDrawFilter(made);
    root->SetFilter(filter);
    for (double time : times) {
      filter->SetCurrentTime(time);
      const std::vector<uint8_t> buffered = Draw(true), own = Draw(false);
      ASSERT_EQ(buffered.size(), static_cast<size_t>(kW * kH * 4));
      ASSERT_EQ(own.size(), buffered.size());
      size_t differing = 0;
      for (size_t i = 0; i < own.size(); ++i) differing += own[i] != buffered[i] ? 1 : 0;
      EXPECT_EQ(differing, 0u) << "at " << time << " ms";
    }
  }
}

}  // namespace
}  // namespace vyr::test
