#pragma once
// A headless device with its screen, and small drawing helpers for pixel checks.

#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <vector>

#include "render/device/custom_texture.h"
#include "render/device/gl_engine.h"
#include "render/device/gl_renderer.h"
#include "render/device/headless_draw_device.h"
#include "render/device/screen.h"

namespace vyr::test {

struct TBgra {
  int b = 0, g = 0, r = 0, a = 0;
};

class HeadlessTest : public ::testing::Test {
 protected:
  static constexpr int kWidth = 64, kHeight = 48;

  void SetUp() override {
    device = MakeRef<THeadlessDrawDevice>(kWidth, kHeight);
    screen = MakeRef<T3DScreen>();
    screen->Attach(device.Get());
    if (!screen->Renderer()) GTEST_SKIP() << "no headless OpenGL 3.3 context on this machine";
    ASSERT_TRUE(screen->BeginScene());
  }
  void TearDown() override {
    if (screen) screen->EndScene(false);
    screen.Reset();
    device.Reset();
  }

  T3DRendererGL& Renderer() { return *static_cast<T3DRendererGL*>(screen->Renderer()); }

  // A quad over target pixels [x0, x1) x [y0, y1) at depth z with coordinates (u0, v0) to
  // (u1, v1) and a vertex colour (ARGB).
  TRef<T3DVertexList> Quad(float x0, float y0, float x1, float y1, float u0 = 0, float v0 = 0,
                           float u1 = 1, float v1 = 1, uint32_t colour = 0xFFFFFFFF, float z = 0) {
    TRef<T3DVertexList> list = Renderer().CreateVertexList(4, vcDiffuse, 1);
    TVertexRecord v[4];
    const float xs[4] = {x0, x1, x0, x1}, ys[4] = {y0, y0, y1, y1};
    const float us[4] = {u0, u1, u0, u1}, vs[4] = {v0, v0, v1, v1};
    for (int i = 0; i < 4; ++i) {
      v[i].x = xs[i];
      v[i].y = ys[i];
      v[i].z = z;
      v[i].tex[0][0] = us[i];
      v[i].tex[0][1] = vs[i];
      v[i].diffuse = colour;
    }
    list->Fill(0, v, 4);
    list->SetPrimitive(0, 2, TPrimitiveType::TriangleStrip);
    return list;
  }

  // Draws texture over the whole current target with point sampling, the texture's own
  // colour and alpha, and no blending with the (cleared) target.
  void DrawRaw(T3DTexture& texture, float u1 = 1, float v1 = 1) {
    int w = 0, h = 0;
    screen->CurrentTarget()->Size(w, h);
    texture.SetFilter(TFilter::Point);
    const bool premultiplied = texture.premultiplied;
    texture.premultiplied = true;  // source factor one: the target receives the sample as is
    T3DTexture* stages[] = {&texture};
    auto quad = Quad(0, 0, static_cast<float>(w), static_cast<float>(h), 0, 0, u1, v1);
    EXPECT_TRUE(Renderer().DrawVertexList(stages, dfTextured, *quad));
    texture.premultiplied = premultiplied;
  }

  // A kind-2 render target of the size, cleared to transparent black and pushed.
  TRef<T3DTexture> PushTarget(int w, int h) {
    TRef<T3DTexture> target = Renderer().CreateTexture(TTextureKind::TargetAlpha, w, h, false);
    EXPECT_TRUE(target);
    EXPECT_TRUE(screen->PushRenderTarget(target->Level(0).Get()));
    EXPECT_TRUE(screen->Clear(0x00000000));
    return target;
  }

  static TBgra Pixel(const TLockedPixels& p, int x, int y) {
    const uint8_t* q = p.Row(y) + x * 4;
    return TBgra{q[0], q[1], q[2], q[3]};
  }
  static TBgra ReadPixel(T3DSurface& surface, int x, int y) {
    TLockedPixels p;
    EXPECT_TRUE(surface.ReadInto(p));
    return Pixel(p, x, y);
  }

  TRef<THeadlessDrawDevice> device;
  TRef<T3DScreen> screen;
};

inline void ExpectNear(const TBgra& got, const TBgra& want, int tolerance = 0) {
  EXPECT_NEAR(got.b, want.b, tolerance);
  EXPECT_NEAR(got.g, want.g, tolerance);
  EXPECT_NEAR(got.r, want.r, tolerance);
  EXPECT_NEAR(got.a, want.a, tolerance);
}

// A frame with a gradient picture scaled by a non-integer factor with linear filtering,
// a half-transparent vertex colour and a perspective quad.
inline std::vector<uint8_t> DrawTestFrame(T3DScreen& screen) {
  auto& renderer = static_cast<T3DRendererGL&>(*screen.Renderer());
  std::vector<uint8_t> gradient(37 * 23 * 4);
  for (int y = 0; y < 23; ++y)
    for (int x = 0; x < 37; ++x) {
      uint8_t* p = &gradient[static_cast<size_t>((y * 37 + x) * 4)];
      p[0] = static_cast<uint8_t>(x * 7);
      p[1] = static_cast<uint8_t>(y * 11);
      p[2] = static_cast<uint8_t>((x * y) & 0xFF);
      p[3] = static_cast<uint8_t>(128 + x);
    }
  TRef<TCustomTexture> picture =
      MakeRef<TPixelTexture>(screen, TTextureKind::Picture, gradient.data(), 37 * 4, 37, 23, true);
  screen.Clear(0xFF203040);
  T3DTexture* stages[] = {picture->DeviceTexture()};
  TRef<T3DVertexList> list = renderer.CreateVertexList(4, vcDiffuse, 1);
  TVertexRecord v[4];
  const float xs[4] = {3.3f, 57.1f, 3.3f, 57.1f}, ys[4] = {2.7f, 2.7f, 41.9f, 41.9f};
  const float zs[4] = {0, 30, 0, 30};
  for (int i = 0; i < 4; ++i) {
    v[i].x = xs[i];
    v[i].y = ys[i];
    v[i].z = zs[i];
    v[i].tex[0][0] = (i % 2) * 37 * picture->TexelScaleX();
    v[i].tex[0][1] = static_cast<float>(i / 2) * 23 * picture->TexelScaleY();
    v[i].diffuse = 0x80FFC0FF;
  }
  list->Fill(0, v, 4);
  list->SetPrimitive(0, 2, TPrimitiveType::TriangleStrip);
  renderer.DrawVertexList(stages, dfTextured | dfModulateColor | dfModulateAlpha, *list);
  TLockedPixels read;
  EXPECT_TRUE(screen.CurrentTarget()->ReadInto(read));
  return read.storage;
}

}  // namespace vyr::test
