#pragma once
// A frame drawer on a headless device, draw items made of lambdas, flat pictures, and
// pixel reads of the drawn frame.

#include <gtest/gtest.h>

#include <functional>

#include "imaging/bitmap/bitmap_store.h"
#include "imaging/bitmap/pixel_format.h"
#include "render/compose/t3d_drawer.h"
#include "render/device/headless_draw_device.h"

namespace vyr::test {

struct TRgba {
  int r = 0, g = 0, b = 0, a = 255;
};

class TLambdaItem : public TDrawItem {
 public:
  explicit TLambdaItem(std::function<void(TDeviceDrawer&)> draw, float blur = 0)
      : draw_(std::move(draw)), blur_(blur) {}
  float GetBlurAmount() const override { return blur_; }
  bool IsChanged() const override { return changed; }
  void FinishFrame() override { ++finished; }
  void Draw(TDeviceDrawer& drawer) override { draw_(drawer); }
  bool changed = false;
  int finished = 0;

 private:
  std::function<void(TDeviceDrawer&)> draw_;
  float blur_;
};

// A picture whose pixel (x, y) is colour(x, y) (0xAARRGGBB).
inline TRef<TImage> MakePicture(int width, int height,
                                const std::function<uint32_t(int, int)>& colour) {
  TRef<TBitmap> bitmap = MakeRef<TDirectBitmap>(width, height, pf::A8R8G8B8());
  for (int y = 0; y < height; ++y) {
    auto* row = reinterpret_cast<uint32_t*>(bitmap->Row(y));
    for (int x = 0; x < width; ++x) row[x] = colour(x, y);
  }
  return MakeRef<TImage>(MakeRef<TWrapperBitmapStore>("test picture", nullptr, bitmap));
}

inline TRef<TImage> FlatPicture(int width, int height, uint32_t argb) {
  return MakePicture(width, height, [argb](int, int) { return argb; });
}

// Draw parameters showing a picture flat at z = 0 over [left, right] x [top, bottom].
inline TImageDrawParams FlatParams(float left, float top, float right, float bottom) {
  TImageDrawParams p;
  p.placement.origin = TVec3{left, top, 0};
  p.pivotRect = TFloatRect{0, 0, right - left, bottom - top};
  return p;
}

// A slide: one flat box over the whole area.
inline TRef<TLambdaItem> FlatSlide(uint32_t argb, float width, float height) {
  return MakeRef<TLambdaItem>([=](TDeviceDrawer& drawer) {
    drawer.DrawColourBox(TPlacement{}, TFloatRect{0, 0, width, height}, argb, argb, TBoxFill::Solid,
                         100, false);
  });
}

class ComposeTest : public ::testing::Test {
 protected:
  void Open(int width, int height) {
    width_ = width;
    height_ = height;
    device = MakeRef<THeadlessDrawDevice>(width, height);
    drawer = MakeRef<T3DDrawer>();
    drawer->Attach(device.Get());
    drawer->SetCaptureMode(true);
    if (!drawer->Screen().Renderer()) GTEST_SKIP() << "no headless OpenGL 3.3 context";
  }
  void SetUp() override { Open(64, 48); }

  // Draws a frame: the background cleared to `clear`, then the item; keeps the picture.
  void Frame(const std::function<void(TDeviceDrawer&)>& draw, uint32_t clear = 0xFF000000) {
    TRef<TLambdaItem> item = MakeRef<TLambdaItem>([&](TDeviceDrawer& d) {
      drawer->ClearAll(clear);
      draw(d);
    });
    drawer->DrawItem(*item);
    frame = drawer->Capture();
    ASSERT_TRUE(frame);
  }
  TRgba At(int x, int y) const {
    const uint8_t* p = frame->Row(y) + x * 4;
    return TRgba{p[2], p[1], p[0], p[3]};
  }

  TRef<THeadlessDrawDevice> device;
  TRef<T3DDrawer> drawer;
  TRef<TBitmap> frame;
  int width_ = 0, height_ = 0;
};

inline void ExpectColour(const TRgba& got, const TRgba& want, int tolerance = 1) {
  EXPECT_NEAR(got.r, want.r, tolerance);
  EXPECT_NEAR(got.g, want.g, tolerance);
  EXPECT_NEAR(got.b, want.b, tolerance);
}

}  // namespace vyr::test
