#pragma once
// A headless frame of a given size with slide pictures made from flat colours or halves,
// drawn through the transition entry point and read back.

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "render/device/custom_texture.h"
#include "render/device/gl_renderer.h"
#include "render/device/headless_draw_device.h"
#include "render/device/screen.h"
#include "render/transitions/draw_filter_factory.h"
#include "render/transitions/transition_drawing.h"

namespace vyr::test {

struct TRgb {
  int r = 0, g = 0, b = 0;
  bool operator==(const TRgb&) const = default;
};

inline std::ostream& operator<<(std::ostream& out, const TRgb& c) {
  return out << "(" << c.r << ", " << c.g << ", " << c.b << ")";
}

class TransitionFrame {
 public:
  TransitionFrame(int width, int height) : width_(width), height_(height) {
    device_ = MakeRef<THeadlessDrawDevice>(width, height);
    screen_ = MakeRef<T3DScreen>();
    screen_->Attach(device_.Get());
    if (screen_->Renderer() && screen_->BeginScene())
      controller_ = std::make_unique<TEffController>(*screen_);
  }
  ~TransitionFrame() {
    controller_.reset();
    pictures_.clear();
    if (screen_) screen_->EndScene(false);
  }
  bool Ok() const { return controller_ != nullptr; }
  TEffController& Controller() { return *controller_; }
  T3DScreen& Screen() { return *screen_; }
  TIntRect Rect() const { return TIntRect{0, 0, width_, height_}; }

  // A slide picture over the whole frame: left of splitX one colour (0xRRGGBB), right of it
  // the other; pieces of the picture may be split over several textures at the given x.
  TMultiTile Slide(uint32_t left, uint32_t right, int splitX, std::vector<int> tileCuts = {}) {
    std::vector<uint8_t> pixels(static_cast<size_t>(width_) * height_ * 4);
    for (int y = 0; y < height_; ++y)
      for (int x = 0; x < width_; ++x) {
        const uint32_t c = x < splitX ? left : right;
        uint8_t* p = &pixels[(static_cast<size_t>(y) * width_ + x) * 4];
        p[0] = c & 0xFF;
        p[1] = (c >> 8) & 0xFF;
        p[2] = (c >> 16) & 0xFF;
        p[3] = 255;
      }
    return FromPixels(pixels, tileCuts);
  }
  TMultiTile Flat(uint32_t colour) { return Slide(colour, colour, width_); }

  // Pixels (B, G, R, A rows) of the frame, cut into textures at the given x positions.
  TMultiTile FromPixels(const std::vector<uint8_t>& pixels, std::vector<int> cuts) {
    cuts.insert(cuts.begin(), 0);
    cuts.push_back(width_);
    TMultiTile tiles;
    for (size_t i = 0; i + 1 < cuts.size(); ++i) {
      const int x0 = cuts[i], x1 = cuts[i + 1];
      std::vector<uint8_t> piece;  // the texture copies whole rows of its pitch
      for (int y = 0; y < height_; ++y) {
        const auto row = pixels.begin() + (static_cast<ptrdiff_t>(y) * width_ + x0) * 4;
        piece.insert(piece.end(), row, row + (x1 - x0) * 4);
      }
      auto texture = MakeRef<TPixelTexture>(*screen_, TTextureKind::Picture, piece.data(),
                                            (x1 - x0) * 4, x1 - x0, height_);
      T3DTexture* device = texture->DeviceTexture();
      device->SetFilter(TFilter::Point);
      tiles.Add(TEffTile{device, TIntRect{x0, 0, x1, height_}, 0, 0,
                         static_cast<float>(x1 - x0) * texture->TexelScaleX(),
                         static_cast<float>(height_) * texture->TexelScaleY()});
      pictures_.push_back(texture);
    }
    return tiles;
  }

  // Clears to opaque black and draws the frame at time (ms).
  bool Draw(TDrawFilter* filter, const TMultiTile& a, const TMultiTile& b, double time) {
    screen_->Clear(0xFF000000);
    return DrawTransition(*controller_, filter, a, b, time);
  }
  // Clears and draws the slides at the filter's time set to progress p (1 included).
  bool DrawAt(TDrawFilter& filter, const TMultiTile& a, const TMultiTile& b, double p) {
    screen_->Clear(0xFF000000);
    filter.SetTime(static_cast<float>(p * filter.Duration()));
    return DrawTransitionSlides(*controller_, filter, a, b);
  }

  void Read() { EXPECT_TRUE(screen_->CurrentTarget()->ReadInto(frame_)); }
  TRgb At(int x, int y) const {
    const uint8_t* p = frame_.Row(y) + x * 4;
    return TRgb{p[2], p[1], p[0]};
  }
  const std::vector<uint8_t>& Pixels() const { return frame_.storage; }
  int Width() const { return width_; }
  int Height() const { return height_; }
  TDeviceError LastError() const { return screen_->Renderer()->LastError(); }

 private:
  int width_, height_;
  TRef<THeadlessDrawDevice> device_;
  TRef<T3DScreen> screen_;
  std::unique_ptr<TEffController> controller_;
  std::vector<TRef<TCustomTexture>> pictures_;
  TLockedPixels frame_;
};

inline TDrawFilterSpec Spec(TDrawFilterKind kind) {
  TDrawFilterSpec spec;
  spec.kind = kind;
  return spec;
}

#define VYR_REQUIRE_FRAME(frame) \
  if (!(frame).Ok()) GTEST_SKIP() << "no headless OpenGL 3.3 context on this machine"

}  // namespace vyr::test
