// Silhouettes and generated shadow pictures: frame borders, filled shapes, halving, bounds,
// and one generation shared by equal names.

#include <gtest/gtest.h>

#include <string>

#include "imaging/bitmap/bitmap_factory.h"
#include "imaging/bitmap/png_writer.h"
#include "package/access/file_accessor.h"
#include "package/access/loose_file_sources.h"
#include "package/package_fixture.h"
#include "scene/host/slide_host.h"
#include "scene/shadow/shadow.h"
#include "scene/shadow/shadow_generator.h"
#include "scene/shadow/shadow_host_link.h"
#include "scene/shadow/silhouette.h"

namespace vyr {
namespace {

uint32_t Pixel(const TBitmap& b, int x, int y) {
  return reinterpret_cast<const uint32_t*>(b.Row(y))[x];
}
int Alpha(const TBitmap& b, int x, int y) { return static_cast<int>(Pixel(b, x, y) >> 24); }

TShadowParams Filled(float w, float h) {
  TShadowParams p;
  p.right = w;
  p.bottom = h;
  return p;
}

TEST(ShadowSilhouette, FillKindsFollowTheirFormulas) {
  // W = 10, H = 4, S = 14, from 0 to 255; integer division truncates.
  struct TCase {
    int kind, x, y, alpha;
  };
  const TCase cases[] = {
      {0, 0, 0, 0},   {0, 9, 3, 218},  // 255 x 12 / 14
      {1, 0, 0, 163},                  // 255 x 9 / 14
      {2, 0, 0, 218}, {2, 9, 3, 0},   {3, 0, 3, 0},   {3, 9, 0, 218},
      {4, 0, 0, 191},                                                  // 255 x 3 / 4
      {4, 0, 3, 0},   {5, 0, 3, 191}, {6, 5, 2, 127}, {7, 5, 2, 102},  // 255 x 4 / 10
      {8, 3, 3, 0},  // solid: the start alpha everywhere
  };
  for (const TCase& c : cases) {
    TRef<TBitmap> b = CreateSysBitmap(10, 4, pf::A8R8G8B8());
    FillSilhouette(*b, c.kind, 0, 255);
    EXPECT_EQ(Alpha(*b, c.x, c.y), c.alpha) << "kind " << c.kind;
    EXPECT_EQ(Pixel(*b, c.x, c.y) & 0xFFFFFF, 0u);  // black
  }
  EXPECT_EQ(FillAlpha(6, 5, 0, 10, 4, 255, 0), 128);  // 255 - 255 x 5 / 10 (toward zero)
}

TEST(ShadowSilhouette, SolidRectangleWithFrameBorder) {
  TShadowParams p = Filled(20, 10);
  p.marginX = 2;
  p.marginY = 3;
  p.frameAlpha = 90;
  const TSilhouette s = BuildSilhouette(p, nullptr, {});
  ASSERT_EQ(s.bitmap->Width(), 24);
  ASSERT_EQ(s.bitmap->Height(), 16);
  EXPECT_EQ(s.halvings, 0);
  EXPECT_EQ(Alpha(*s.bitmap, 1, 8), 90);   // left border
  EXPECT_EQ(Alpha(*s.bitmap, 12, 2), 90);  // top border
  EXPECT_EQ(Alpha(*s.bitmap, 2, 3), 255);  // inner rectangle from (2, 3)
  EXPECT_EQ(Alpha(*s.bitmap, 21, 12), 255);
  EXPECT_EQ(Alpha(*s.bitmap, 22, 12), 90);  // to (22, 13) exclusive
  EXPECT_EQ(Alpha(*s.bitmap, 21, 13), 90);

  p.startAlpha = 255;
  p.endAlpha = 0;
  p.fillKind = kFillLeftToRight;
  const TSilhouette g = BuildSilhouette(p, nullptr, {});
  EXPECT_EQ(Alpha(*g.bitmap, 0, 0), 255);  // a gradient fills all of the bitmap
  EXPECT_EQ(Alpha(*g.bitmap, 12, 5), 255 - 255 * 12 / 24);
}

TEST(ShadowSilhouette, HalvedAndBounded) {
  const TSilhouette s = BuildSilhouette(Filled(2000, 1000), nullptr, {});
  EXPECT_EQ(s.halvings, 1);
  EXPECT_EQ(s.bitmap->Width(), 1000);
  EXPECT_EQ(s.bitmap->Height(), 500);

  for (const TShadowParams& p :
       {Filled(1e9f, 1e9f), Filled(1e9f, 3), Filled(-50, 20), Filled(0, 0), Filled(0.2f, 0.2f)}) {
    const TSilhouette b = BuildSilhouette(p, nullptr, {});
    EXPECT_LE(int64_t{b.bitmap->Width()} * b.bitmap->Height(), 700000);
    EXPECT_LE(b.bitmap->Width(), 10000);
    EXPECT_GE(b.bitmap->Width(), 1);
  }
}

// A show folder with one 32-bit picture whose left half is transparent.
class ShadowPictures : public ::testing::Test {
 protected:
  void SetUp() override {
    TRef<TBitmap> pic = CreateSysBitmap(40, 20, pf::A8R8G8B8());
    pic->FillRect({0, 0, 20, 20}, 0x00FF0000);
    pic->FillRect({20, 0, 40, 20}, 0xFF00FF00);
    std::string error;
    ASSERT_TRUE(WritePng(*pic, dir_ / "half.png", error)) << error;
    files_ = MakeRef<TFileAccessor>(MakeRef<TRealFileSource>(dir_.Path().string()),
                                    dir_.Path().string());
    TFileAccessor* files = files_.Get();
    provider_ = files_->RegisterPictureProvider(
        [files](const std::string& name) { return ProduceShadowPicture(name, files); });
  }
  void TearDown() override { provider_ = nullptr; }

  test::TTempDir dir_;
  TRef<TFileAccessor> files_;
  TRef<TCallbackHandle> provider_;
};

TEST_F(ShadowPictures, PictureAlphaIsTheSilhouette) {
  TShadowParams p = Filled(40, 20);
  p.pictureName = "half.png";
  const TSilhouette s = BuildSilhouette(p, files_.Get(), {});
  EXPECT_EQ(Alpha(*s.bitmap, 5, 10), 0);
  EXPECT_EQ(Alpha(*s.bitmap, 30, 10), 255);

  // With a frame: the picture part stretched into the inner rectangle, the border around.
  p.right = 20;  // the transparent half only
  p.left = 0;
  p.marginX = p.marginY = 4;
  p.frameAlpha = 255;
  const TSilhouette framed = BuildSilhouette(p, files_.Get(), {});
  ASSERT_EQ(framed.bitmap->Width(), 28);
  EXPECT_EQ(Alpha(*framed.bitmap, 2, 10), 255);
  EXPECT_EQ(Alpha(*framed.bitmap, 14, 14), 0);
}

TEST_F(ShadowPictures, ShadowIsWhiteWithTheBlurredAlpha) {
  TShadowParams p = Filled(40, 20);
  p.pictureName = "half.png";
  p.blur = 0;
  TRef<TImage> shadow = files_->OpenPicture(ShadowPictureName(p));
  ASSERT_TRUE(shadow);
  EXPECT_EQ(shadow->Width(), 46);  // 3 pixels on every side
  EXPECT_EQ(shadow->Height(), 26);
  TRef<TBitmap> b = shadow->Bitmap();
  EXPECT_EQ(Pixel(*b, 35, 13), 0xFFFFFFFFu);
  EXPECT_EQ(Alpha(*b, 8, 13), 0);
}

TEST_F(ShadowPictures, EqualNamesAreGeneratedOnce) {
  const TShadowParams p = Filled(300, 200);
  const uint64_t before = ShadowGenerationCount();
  TRef<TImage> first = files_->OpenPicture(ShadowPictureName(p));
  TRef<TImage> second = files_->OpenPicture(ShadowPictureName(p));
  EXPECT_EQ(ShadowGenerationCount(), before + 1);
  EXPECT_EQ(&first->Store(), &second->Store());

  // Two objects with the same silhouette share the picture; only 3DShadow changed: kept.
  TShadowParams q = p;
  q.blur = 8;
  TRef<TShadow> a = MakeScaledShadow(q, *files_);
  TRef<TShadow> b = MakeScaledShadow(q, *files_);
  EXPECT_EQ(&a->Picture()->Store(), &b->Picture()->Store());
  q.follow3D = true;
  EXPECT_TRUE(a->Matches(q));
  q.blur = 9;
  EXPECT_FALSE(a->Matches(q));
  EXPECT_EQ(ShadowGenerationCount(), before + 2);
}

TEST_F(ShadowPictures, MakeShadowUsesThePictureAlphaOnlyWhenItCan) {
  TRef<TImage> picture = files_->OpenPicture("half.png");
  ASSERT_TRUE(picture);
  TShadowParams p = Filled(40, 20);
  p.blur = 10;
  TRef<TShadow> own = MakeShadow(picture.Get(), "half.png", p, *files_, 0.5f);
  EXPECT_EQ(own->Params().pictureName, "half.png");
  EXPECT_FLOAT_EQ(own->Params().blur, 10);          // kept unscaled
  EXPECT_EQ(own->Picture()->Width(), 40 + 2 * 15);  // blur 5: r = 6, border 15
  p.animated = true;
  TRef<TShadow> sheet = MakeShadow(picture.Get(), "half.png", p, *files_, 0.5f);
  EXPECT_EQ(sheet->Params().pictureName, kNoShadowPicture);
}

TEST_F(ShadowPictures, BoxGradientShadowFadesLeftToRight) {
  TShadowParams box = Filled(400, 100);
  box.startAlpha = 255;
  box.endAlpha = 0;
  box.fillKind = ShadowFillOfBoxMode(1);  // HGradient
  box.blur = 4;
  TRef<TShadow> shadow = MakeScaledShadow(box, *files_);
  ASSERT_TRUE(shadow->Picture());
  TRef<TBitmap> b = shadow->Picture()->Bitmap();
  const int y = b->Height() / 2, w = b->Width();
  EXPECT_GT(Alpha(*b, w / 4, y), Alpha(*b, w / 2, y));
  EXPECT_GT(Alpha(*b, w / 2, y), Alpha(*b, 3 * w / 4, y));
}

TEST_F(ShadowPictures, UnreadableNamesAndHugeValuesStayBounded) {
  EXPECT_FALSE(ProduceShadowPicture("Button: x", files_.Get()));
  for (const char* name : {"Shadow: ", "Shadow: 0:0:1e30:1e30:0:0:255:1e30:3:8:255:255:0:N\\A",
                           "Shadow: 0:0:5:5:-100:-100:255:2:0:8:255:255:0:half.png",
                           "Shadow: 0:0:40:20:0:0:255:2:0:8:255:255:99:missing.png"}) {
    TRef<TImage> image = ProduceShadowPicture(name, files_.Get());
    ASSERT_TRUE(image) << name;
    EXPECT_LE(int64_t{image->Width()} * image->Height(), 16 * 1024 * 1024) << name;
  }
}

TEST_F(ShadowPictures, SlideHostAnswersShadowNames) {
  provider_ = nullptr;  // only the host answers now
  auto host = MakeRef<TVyrSlideHost>(files_, THostSettings{});
  TShadowParams p = Filled(40, 20);
  p.pictureName = "half.png";
  const std::string name = ShadowPictureName(p);
  TRef<TImage> shadow = host->RequestPicture(name);
  ASSERT_TRUE(shadow);
  EXPECT_EQ(shadow->Width(), 46);
  TRef<TImage> throughFiles = files_->OpenPicture(name);  // objects open it through the files
  ASSERT_TRUE(throughFiles);
  EXPECT_EQ(throughFiles->Width(), 46);
}

}  // namespace
}  // namespace vyr
