// A slide drawn into a transition's buffer is kept for the next frame while it reports no
// change and the drawing context stands; anything else draws it afresh. The slides here report
// "unchanged" at will, so a kept buffer shows itself by the old colour.

#include "compose_fixture.h"
#include "render/compose/overlay_draw_list.h"
#include "render/compose/root_item.h"
#include "render/transitions/draw_filter_factory.h"

namespace vyr::test {
namespace {

constexpr int kW = 64, kH = 48;
constexpr uint32_t kRed = 0xFFFF0000, kGreen = 0xFF00FF00;

class KeptBuffers : public ComposeTest {
 protected:
  void SetUp() override {
    Open(kW, kH);
    leaving = FlatSlide(0xFF000000, kW, kH);
    arriving = MakeRef<TLambdaItem>([this](TDeviceDrawer& drawer) {
      drawer.DrawColourBox(TPlacement{}, TFloatRect{0, 0, kW, kH}, arrivingColour, arrivingColour,
                           TBoxFill::Solid, 100, false);
    });
    // A cross-fade half way: the leaving slide lies plainly beneath, the arriving one comes
    // from its buffer at half opacity.
    filter = MakeRef<TVyrFilter>(MakeRef<TVyrEffect>(), 1000, 0.05f);
    TDrawFilterSpec spec;
    spec.kind = TDrawFilterKind::CrossFade;
    filter->SetDrawFilter(MakeDrawFilter(spec, TIntRect{0, 0, kW, kH}, 0.05 * kW, 1000));
    filter->SetCurrentTime(500);
    root = MakeRef<TRootItem>();
    root->SetFilter(filter);
    root->SetItems({leaving, arriving, MakeRef<TOverlayDrawList>(root.Get())});
    drawer->SetCamera(TIntRect{0, 0, kW, kH}, kW, DefaultCamera(kW, kH));
  }
  // The red channel of the frame's centre after drawing the root.
  int DrawRed() {
    drawer->DrawItem(*root);
    frame = drawer->Capture();
    return frame ? At(kW / 2, kH / 2).r : -1;
  }

  TRef<TLambdaItem> leaving, arriving;
  TRef<TVyrFilter> filter;
  TRef<TRootItem> root;
  uint32_t arrivingColour = kRed;
};

TEST_F(KeptBuffers, UnchangedSlideKeepsItsBufferUntilItReportsAChange) {
  EXPECT_NEAR(DrawRed(), 128, 1);
  const uint64_t reused = drawer->ReusedBufferCount();
  arrivingColour = kGreen;  // not reported: the kept buffer still shows red
  EXPECT_NEAR(DrawRed(), 128, 1);
  EXPECT_EQ(drawer->ReusedBufferCount(), reused + 1);
  arriving->changed = true;
  EXPECT_EQ(DrawRed(), 0);
  arriving->changed = false;
  arrivingColour = kRed;
  EXPECT_EQ(DrawRed(), 0);  // kept again: the green of the frame before
}

TEST_F(KeptBuffers, ContextChangesAndGapsDrawTheSlideAfresh) {
  struct TCase {
    const char* what;
    std::function<void()> between;
  } cases[] = {{"the slide rectangle moves",
                [&] {
                  drawer->SetCamera(TIntRect{0, 0, kW, kH - 2}, kW, DefaultCamera(kW, kH));
                }},
               {"the design width changes",
                [&] {
                  drawer->SetCamera(TIntRect{0, 0, kW, kH}, kW * 2, DefaultCamera(kW, kH));
                }},
               {"a frame without the slide",
                [&] {
                  root->SetItems({leaving, MakeRef<TOverlayDrawList>(root.Get())});
                  root->SetFilter(nullptr);
                  drawer->DrawItem(*root);
                  root->SetFilter(filter);
                  root->SetItems({leaving, arriving, MakeRef<TOverlayDrawList>(root.Get())});
                }},
               {"reuse turned off and on", [&] {
                  drawer->SetBufferReuse(false);
                  drawer->SetBufferReuse(true);
                }}};
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.what);
    drawer->SetCamera(TIntRect{0, 0, kW, kH}, kW, DefaultCamera(kW, kH));
    arrivingColour = kRed;
    arriving->changed = true;
    EXPECT_NEAR(DrawRed(), 128, 1);
    arriving->changed = false;
    arrivingColour = kGreen;
    c.between();
    EXPECT_EQ(DrawRed(), 0);
  }
}

TEST_F(KeptBuffers, WithoutReuseEverySlideIsDrawnEveryFrame) {
  drawer->SetBufferReuse(false);
  EXPECT_NEAR(DrawRed(), 128, 1);
  arrivingColour = kGreen;
  EXPECT_EQ(DrawRed(), 0);
  EXPECT_EQ(drawer->ReusedBufferCount(), 0u);
}

TEST_F(KeptBuffers, SlideInBothRolesIsNeverKept) {
  // The same slide leaving and arriving is drawn straight first, which clears its change
  // report; its buffer must still be drawn anew.
  root->SetItems({arriving, arriving, MakeRef<TOverlayDrawList>(root.Get())});
  EXPECT_NEAR(DrawRed(), 255, 1);
  arrivingColour = kGreen;
  EXPECT_EQ(DrawRed(), 0);
  EXPECT_EQ(drawer->ReusedBufferCount(), 0u);
}

}  // namespace
}  // namespace vyr::test
