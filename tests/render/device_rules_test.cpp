// Rules of the device layer that need no device: pacing, adapters, quality tiers, vertex
// layouts, rectangles.

#include <gtest/gtest.h>

#include <cstring>

#include "foundation/exceptions.h"
#include "render/device/device3d.h"
#include "render/device/gl_engine.h"
#include "render/device/present_pacing.h"
#include "render/device/vertex_layout.h"

namespace vyr {
namespace {

TEST(PresentPacing, SleepsUntilThreeMillisecondsBeforeTheNextRefresh) {
  struct Case {
    int refresh;
    int64_t last, now;
    int sleep;
  } cases[] = {
      {60, 1000, 1000, 13},  // interval 16: wait 16, sleep 13
      {60, 1000, 1010, 3},   // wait 6
      {60, 1000, 1015, 1},   // wait 1: never less than 1
      {60, 1000, 1100, 1},   // late: wait limited to 1
      {50, 1000, 900, 17},   // a last present "in the future": wait limited to the interval
      {100, 0, 5, 2},        // interval 10, wait 5
  };
  for (const Case& c : cases)
    EXPECT_EQ(PacingSleepMs(c.refresh, c.last, c.now), c.sleep) << c.refresh << " " << c.now;
}

// An engine with given adapters and capabilities.
class FakeEngine : public T3DEngine {
 public:
  std::vector<TIntRect> monitors;
  int psVersion = 0x300, vendor = 0;
  int AdapterCount() override { return static_cast<int>(monitors.size()); }
  int CapsValue(const std::string& name, int) override {
    return name == "pixelshaderversion" ? psVersion : name == "vendor" ? vendor : 0;
  }
  std::string CapsText(const std::string&, int) override { return {}; }
  bool AdapterMode(int adapter, TAdapterMode& mode) override {
    mode.monitor = monitors[static_cast<size_t>(adapter)];
    return true;
  }
  TRef<T3DRenderer> CreateRenderer(TDrawDevice&, const TAdapterMode&) override { return nullptr; }
};

TEST(Engine, BestAdapterIsTheMonitorWithTheLargestOverlap) {
  FakeEngine engine;
  engine.monitors = {{0, 0, 1920, 1080}, {1920, 0, 3840, 1080}};
  EXPECT_EQ(engine.BestAdapter({1800, 100, 2100, 200}), 1);  // 120 px left, 180 px right
  EXPECT_EQ(engine.BestAdapter({1800, 100, 1990, 200}), 0);
  EXPECT_EQ(engine.BestAdapter({-500, -500, -100, -100}), 0);  // none overlaps
}

TEST(Engine, QualityTierFollowsShaderVersionAndVendor) {
  struct Case {
    int ps, vendor, tier;
  } cases[] = {
      {0x104, 4318, 0}, {0x200, 32902, 1}, {0x300, 32902, 2}, {0x200, 4318, 2}, {0x300, 0, 2}};
  for (const Case& c : cases) {
    FakeEngine engine;
    engine.psVersion = c.ps;
    engine.vendor = c.vendor;
    EXPECT_EQ(engine.QualityTier(0), c.tier) << std::hex << c.ps << " " << std::dec << c.vendor;
  }
}

TEST(Engine, OpenGl33CountsAsPixelShader3AndTopTier) {
  T3DEngineGL& engine = Engine3D();
  if (engine.CapsValue("maxtexwidth", 0) == 0) GTEST_SKIP() << "no OpenGL here";
  EXPECT_EQ(engine.CapsValue("PixelShaderVersion", 0), 0x300);  // names ignore case
  EXPECT_GE(engine.CapsValue("MaxTexHeight", 0), 2048);
  EXPECT_EQ(engine.QualityTier(0), 2);
  EXPECT_FALSE(engine.CapsText("vendor", 0).empty());
  // Frames fit the texture, render-buffer and viewport limits all at once.
  int width = 0, height = 0;
  engine.MaxFrameSize(width, height);
  EXPECT_GE(width, 2048);
  EXPECT_GE(height, 2048);
  EXPECT_LE(width, engine.CapsValue("maxtexwidth", 0));
  EXPECT_THROW(engine.SetVerticalSync(3), EAssertionFailed);
}

TEST(VertexLayout, StrideIsPositionThenAskedComponentsThenCoordinatePairs) {
  struct Case {
    uint32_t components;
    int sets, stride, diffuse, specular, normal, tex;
  } cases[] = {
      {0, 1, 20, -1, -1, -1, 12},
      {vcDiffuse, 1, 24, 12, -1, -1, 16},
      {vcDiffuse | vcSpecular | vcNormal, 2, 48, 12, 16, 20, 32},
      {vcNormal, 8, 88, -1, -1, 12, 24},
  };
  for (const Case& c : cases) {
    const TVertexLayout l = MakeVertexLayout(c.components, c.sets);
    EXPECT_EQ(l.stride, c.stride);
    EXPECT_EQ(l.diffuseOffset, c.diffuse);
    EXPECT_EQ(l.specularOffset, c.specular);
    EXPECT_EQ(l.normalOffset, c.normal);
    EXPECT_EQ(l.texOffset, c.tex);
  }
  EXPECT_THROW(MakeVertexLayout(0, 0), EAssertionFailed);
  EXPECT_THROW(MakeVertexLayout(0, 9), EAssertionFailed);
}

TEST(VertexLayout, PackingWritesEachRecordAtItsStride) {
  const TVertexLayout l = MakeVertexLayout(vcDiffuse | vcSpecular, 2);
  TVertexRecord r[2];
  r[1].x = 5;
  r[1].diffuse = 0x11223344;
  r[1].specular = 0x55667788;
  r[1].tex[1][1] = 0.25f;
  std::vector<uint8_t> out(static_cast<size_t>(2 * l.stride));
  PackVertices(l, r, 2, out.data());
  const uint8_t* v = out.data() + l.stride;
  float x = 0, t = 0;
  uint32_t diffuse = 0, specular = 0;
  std::memcpy(&x, v, 4);
  std::memcpy(&diffuse, v + l.diffuseOffset, 4);
  std::memcpy(&specular, v + l.specularOffset, 4);
  std::memcpy(&t, v + l.texOffset + 12, 4);
  EXPECT_EQ(x, 5);
  EXPECT_EQ(diffuse, 0x11223344u);
  EXPECT_EQ(specular, 0x55667788u);
  EXPECT_EQ(t, 0.25f);
}

TEST(Rectangles, EmptyRectanglesAreAllTheSame) {
  EXPECT_TRUE(SameRect({5, 5, 5, 9}, {0, 0, 0, 0}));
  EXPECT_FALSE(SameRect({0, 0, 1, 1}, {0, 0, 1, 2}));
  EXPECT_EQ(Area(Intersect({0, 0, 10, 10}, {5, 5, 20, 20})), 25);
  EXPECT_EQ(Area(Intersect({0, 0, 10, 10}, {10, 0, 20, 10})), 0);
}

TEST(TextureKinds, FormatsAndBitmapNames) {
  EXPECT_EQ(KindFormat(TTextureKind::GreyPicture), TSurfaceFormat::L8);
  EXPECT_EQ(KindFormat(TTextureKind::Picture565), TSurfaceFormat::R5G6B5);
  EXPECT_EQ(BitmapFormatName(TSurfaceFormat::X8R8G8B8), "A8R8G8B8");
  EXPECT_EQ(BitmapFormatName(TSurfaceFormat::A1R5G5B5), "X1R5G5B5");
  EXPECT_EQ(BitmapFormatName(TSurfaceFormat::L8), "Y8");
}

}  // namespace
}  // namespace vyr
