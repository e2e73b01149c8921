// The texture-stage combiner of DrawVertexList: two stages, each flag combination, and the
// same state drawn twice through the program made for it.

#include "headless_fixture.h"

namespace vyr::test {
namespace {

class FixedStagesTest : public HeadlessTest {
 protected:
  // A 2 x 2 quad with two coordinate sets covering both 2 x 2 textures.
  TRef<T3DVertexList> TwoSetQuad(uint32_t colour, float u, float v) {
    TRef<T3DVertexList> list = Renderer().CreateVertexList(4, vcDiffuse, 2);
    TVertexRecord r[4];
    const float xs[4] = {0, 2, 0, 2}, ys[4] = {0, 0, 2, 2};
    for (int i = 0; i < 4; ++i) {
      r[i].x = xs[i];
      r[i].y = ys[i];
      for (int set = 0; set < 2; ++set) {
        r[i].tex[set][0] = xs[i] / 2 * u;
        r[i].tex[set][1] = ys[i] / 2 * v;
      }
      r[i].diffuse = colour;
    }
    list->Fill(0, r, 4);
    list->SetPrimitive(0, 2, TPrimitiveType::TriangleStrip);
    return list;
  }
};

TEST_F(FixedStagesTest, TwoStagesCombineInOrderAsTheFlagsAsk) {
  // Stage 0: yellow at alpha 128 (B, G, R, A); stage 1: opaque green (R5G6B5, no alpha).
  const uint8_t yellow[16] = {0, 255, 255, 128, 0, 255, 255, 128,
                              0, 255, 255, 128, 0, 255, 255, 128};
  const uint8_t green[8] = {0xE0, 0x07, 0xE0, 0x07, 0xE0, 0x07, 0xE0, 0x07};
  TRef<TCustomTexture> first =
      MakeRef<TPixelTexture>(*screen, TTextureKind::Picture, yellow, 8, 2, 2);
  TRef<TCustomTexture> second =
      MakeRef<TPixelTexture>(*screen, TTextureKind::Picture565, green, 4, 2, 2);
  ASSERT_EQ(first->TexelScaleX(), second->TexelScaleX());
  ASSERT_EQ(first->TexelScaleY(), second->TexelScaleY());
  T3DTexture* stages[] = {first->DeviceTexture(), second->DeviceTexture()};
  for (T3DTexture* t : stages) t->SetFilter(TFilter::Point);
  const float u = 2 * first->TexelScaleX(), v = 2 * first->TexelScaleY();
  struct Case {
    const char* name;
    std::span<T3DTexture* const> textures;
    uint32_t flags;
    uint32_t colour;
    TBgra expected;  // over opaque black
  } cases[] = {
      // The last stage's colour and alpha: opaque green.
      {"plain", stages, dfTextured, 0xFF80FFFF, {0, 255, 0, 255}},
      // Colours multiply (yellow x green = green); the alpha is the last stage's.
      {"colour", stages, dfTextured | dfModulateColor, 0xFF80FFFF, {0, 255, 0, 255}},
      // Alphas multiply (0.5 x vertex 1); the opaque stage keeps the alpha it gets.
      {"colour and alpha",
       stages,
       dfTextured | dfModulateColor | dfModulateAlpha,
       0xFF80FFFF,
       {0, 128, 0, 191}},
      // One stage, alpha modulated by a half-transparent vertex colour: 0.5 x 0.5.
      {"one stage",
       std::span<T3DTexture* const>(stages, 1),
       dfTextured | dfModulateColor | dfModulateAlpha,
       0x80FFFFFF,
       {0, 64, 64, 207}},
      // No texture: the vertex colour.
      {"vertex colour", {}, 0, 0xFF0000FF, {255, 0, 0, 255}},
  };
  for (int round = 0; round < 2; ++round) {
    for (const Case& c : cases) {
      SCOPED_TRACE(c.name);
      TRef<T3DTexture> target = PushTarget(2, 2);
      ASSERT_TRUE(screen->Clear(0xFF000000));
      auto quad = TwoSetQuad(c.colour, u, v);
      ASSERT_TRUE(Renderer().DrawVertexList(c.textures, c.flags, *quad));
      ExpectNear(ReadPixel(*target->Level(0), 1, 1), c.expected, 1);
      screen->PopRenderTarget();
    }
  }
}

}  // namespace
}  // namespace vyr::test
