// GLSL pixel shaders with constants, 2D and volume stages.

#include "headless_fixture.h"

namespace vyr::test {
namespace {

class ShaderTest : public HeadlessTest {};

const char* kGreyPlusConstant = R"(#version 330 core
in vec2 vTex0;
uniform sampler2D s0;
uniform vec4 c[2];
out vec4 fragColor;
void main() { fragColor = vec4(c[0].rgb + texture(s0, vTex0).rgb * c[1].x, 1.0); }
)";

TEST_F(ShaderTest, QuadThroughAPixelShaderGivesItsArithmeticInsideAndNothingOutside) {
  TRef<T3DShader> shader = Renderer().CreateShader(kGreyPlusConstant, false);
  ASSERT_TRUE(shader);
  const uint8_t grey[4] = {200, 200, 200, 200};
  TRef<TCustomTexture> picture =
      MakeRef<TPixelTexture>(*screen, TTextureKind::GreyPicture, grey, 2, 2, 2);
  TRef<T3DTexture> target = PushTarget(32, 32);
  const float constants[8] = {0.2f, 0, 0, 0, 0.5f, 0, 0, 0};
  Renderer().SetShaderConstants(0, constants, 2, false);
  Renderer().SetShader(shader.Get());
  T3DTexture* stages[] = {picture->DeviceTexture()};
  stages[0]->SetFilter(TFilter::Point);
  auto quad = Quad(8, 8, 24, 24, 0, 0, 2 * picture->TexelScaleX(), 2 * picture->TexelScaleY());
  ASSERT_TRUE(Renderer().DrawVertexList(stages, dfTextured, *quad));
  Renderer().SetShader(nullptr);
  TLockedPixels read;
  ASSERT_TRUE(target->Level(0)->ReadInto(read));
  // red 0.2 + 200/255 x 0.5, green and blue 200/255 x 0.5.
  ExpectNear(Pixel(read, 10, 10), {100, 100, 151, 255}, 1);
  ExpectNear(Pixel(read, 23, 23), {100, 100, 151, 255}, 1);
  ExpectNear(Pixel(read, 24, 24), {0, 0, 0, 0});
  ExpectNear(Pixel(read, 7, 10), {0, 0, 0, 0});
  screen->PopRenderTarget();
}

TEST_F(ShaderTest, VolumeStageIsSampledAtItsVoxelCentres) {
  TRef<TVolumeTexture> volume = Renderer().CreateVolumeTexture(2, 2, 2);
  ASSERT_TRUE(volume);
  TLockedPixels box;
  ASSERT_TRUE(volume->LockBox(0, TBox{0, 0, 0, 2, 2, 2}, box));
  for (int row = 0; row < 4; ++row)  // slice z = row / 2, y = row % 2
    for (int x = 0; x < 2; ++x) {
      uint8_t* p = box.Row(row) + 4 * x;
      p[0] = static_cast<uint8_t>(10 + x);        // blue: x
      p[1] = static_cast<uint8_t>(20 + row % 2);  // green: y
      p[2] = static_cast<uint8_t>(30 + row / 2);  // red: z
      p[3] = 255;
    }
  volume->UnlockBox(0, box);
  TRef<T3DShader> shader = Renderer().CreateShader(R"(#version 330 core
uniform sampler3D s1;
out vec4 fragColor;
void main() { fragColor = texture(s1, vec3(0.75, 0.25, 0.75)); }
)",
                                                   false);
  ASSERT_TRUE(shader);
  TRef<T3DTexture> target = PushTarget(4, 4);
  ASSERT_TRUE(Renderer().SetTexture(1, volume.Get()));
  Renderer().SetShader(shader.Get());
  auto quad = Quad(0, 0, 4, 4);
  ASSERT_TRUE(Renderer().DrawVertexList({}, 0, *quad));
  Renderer().SetShader(nullptr);
  ASSERT_TRUE(Renderer().SetTexture(1, nullptr));
  ExpectNear(ReadPixel(*target->Level(0), 2, 2), {11, 20, 31, 255});
  screen->PopRenderTarget();
}

TEST_F(ShaderTest, TextThatDoesNotCompileGivesNoShaderAndLeavesTheDeviceWorking) {
  EXPECT_FALSE(Renderer().CreateShader("#version 330 core\nvoid main() { oops }\n", false));
  EXPECT_EQ(Renderer().LastError(), TDeviceError::InvalidCall);
  EXPECT_FALSE(Renderer().IsLost());
  TRef<T3DTexture> target = PushTarget(2, 2);
  auto quad = Quad(0, 0, 2, 2, 0, 0, 1, 1, 0xFF00FF00);
  EXPECT_TRUE(Renderer().DrawVertexList({}, 0, *quad));
  ExpectNear(ReadPixel(*target->Level(0), 0, 0), {0, 255, 0, 255});
  screen->PopRenderTarget();
}

TEST_F(ShaderTest, FixedStagesModulateAndBlendAsFlagsAsk) {
  // Texture (B, G, R, A) = (0, 0, 255, 128) over vertex colour (A, R, G, B) = (255, 0, 255, 255)
  // on an opaque black target.
  const uint8_t red[16] = {0, 0, 255, 128, 0, 0, 255, 128, 0, 0, 255, 128, 0, 0, 255, 128};
  TRef<TCustomTexture> picture =
      MakeRef<TPixelTexture>(*screen, TTextureKind::Picture, red, 8, 2, 2);
  T3DTexture* texture = picture->DeviceTexture();
  texture->SetFilter(TFilter::Point);
  T3DTexture* stages[] = {texture};
  const float u = 2 * picture->TexelScaleX(), v = 2 * picture->TexelScaleY();
  struct Case {
    uint32_t flags;
    TBgra expected;
  } cases[] = {
      // Texture colour and alpha: red at alpha 128 over black.
      {dfTextured, {0, 0, 128, 191}},
      // Colour modulated by the vertex colour (green 0): black at alpha 128.
      {dfTextured | dfModulateColor, {0, 0, 0, 191}},
  };
  for (const Case& c : cases) {
    TRef<T3DTexture> target = PushTarget(2, 2);
    ASSERT_TRUE(screen->Clear(0xFF000000));
    auto quad = Quad(0, 0, 2, 2, 0, 0, u, v, 0xFF00FFFF);
    ASSERT_TRUE(Renderer().DrawVertexList(stages, c.flags, *quad));
    ExpectNear(ReadPixel(*target->Level(0), 1, 1), c.expected, 1);
    screen->PopRenderTarget();
  }
}

}  // namespace
}  // namespace vyr::test
