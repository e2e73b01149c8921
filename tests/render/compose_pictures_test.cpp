// Pictures through the frame drawer: reduction levels, tiles, placement under the camera,
// colour lookups, borders and box fills.

#include <cmath>

#include "compose_fixture.h"
#include "scene/camera.h"

namespace vyr::test {
namespace {

constexpr uint32_t kRed = 0xFFFF0000, kBlue = 0xFF0000FF, kWhite = 0xFFFFFFFF;

class ComposePictures : public ComposeTest {};

TEST_F(ComposePictures, LevelTwoSamplesTheQuarterSizePictureWithDividedCoordinates) {
  // One-pixel black and white stripes: only a reduced picture is grey.
  TRef<TImage> stripes =
      MakePicture(64, 48, [](int x, int) { return x % 2 ? kWhite : 0xFF000000; });
  TImageDrawParams params = FlatParams(0, 0, 64, 48);
  params.filtering = TFiltering::Nearest;
  Frame([&](TDeviceDrawer& d) { d.DrawImage(*stripes, params); });
  EXPECT_EQ(At(10, 20).r, 0);
  EXPECT_EQ(At(11, 20).r, 255);
  params.reductionLevel = 2;
  Frame([&](TDeviceDrawer& d) { d.DrawImage(*stripes, params); });
  for (int x : {10, 11, 31, 40}) EXPECT_NEAR(At(x, 20).r, 128, 2) << x;

  // The source rectangle is given in level-0 pixels: the right half is all blue (but for
  // the first reduced texels, where the reduction mixed in the red half).
  TRef<TImage> halves = MakePicture(64, 48, [](int x, int) { return x < 32 ? kRed : kBlue; });
  params.sourceRect = TFloatRect{32, 0, 64, 48};
  Frame([&](TDeviceDrawer& d) { d.DrawImage(*halves, params); });
  for (int x : {16, 32, 62}) ExpectColour(At(x, 24), {0, 0, 255}, 2);
}

TEST_F(ComposePictures, TilesOfALargePictureJoinWithoutSeams) {
  Open(1100, 24);
  // Each column its own colour: tile borders at 510 and 1020 must show the right texels.
  TRef<TImage> ramp = MakePicture(1100, 24, [](int x, int) {
    return 0xFF000000u | static_cast<uint32_t>(x % 256) << 16 | static_cast<uint32_t>(x / 256);
  });
  Frame([&](TDeviceDrawer& d) { d.DrawImage(*ramp, FlatParams(0, 0, 1100, 24)); });
  for (int x : {0, 508, 509, 510, 511, 1019, 1020, 1021, 1099}) {
    EXPECT_EQ(At(x, 12).r, x % 256) << x;
    EXPECT_EQ(At(x, 12).b, x / 256) << x;
  }
}

TEST_F(ComposePictures, CornersLandWhereTheCameraProjectsThem) {
  const TCamera camera = DefaultCamera(64, 48);
  drawer->SetCamera(TIntRect{0, 0, 64, 48}, 64, camera);
  TRef<TImage> red = FlatPicture(16, 16, kRed);
  TImageDrawParams params;
  params.placement.origin = TVec3{20, 10, 30};  // behind the screen: drawn smaller
  params.pivotRect = TFloatRect{0, 0, 30, 24};
  Frame([&](TDeviceDrawer& d) { d.DrawImage(*red, params); });
  const TVec3 topLeft = ProjectPoint(camera, params.placement.PointAt(0, 0));
  const TVec3 bottomRight = ProjectPoint(camera, params.placement.PointAt(30, 24));
  EXPECT_LT(bottomRight.x - topLeft.x, 30.0f);
  const int left = static_cast<int>(std::lround(topLeft.x)),
            top = static_cast<int>(std::lround(topLeft.y));
  const int right = static_cast<int>(std::lround(bottomRight.x)),
            bottom = static_cast<int>(std::lround(bottomRight.y));
  EXPECT_EQ(At(left, top).r, 255);
  EXPECT_EQ(At(right - 1, bottom - 1).r, 255);
  EXPECT_EQ(At(left - 1, top).r, 0);
  EXPECT_EQ(At(right, bottom - 1).r, 0);
  EXPECT_EQ(At(left, bottom).r, 0);
}

TEST_F(ComposePictures, ColourLookupsMixLeftAndRight) {
  TRef<TImage> grey = FlatPicture(8, 8, 0xFF404040);  // level 64
  TColorLut toRed(32, 1024), toBlue(32, 1024);
  for (int row = 0; row < 1024; ++row)
    for (int column = 0; column < 32; ++column) {
      uint8_t* r = toRed.Entry(column, row);
      r[0] = 0, r[1] = 0, r[2] = 255, r[3] = 255;
      uint8_t* b = toBlue.Entry(column, row);
      b[0] = 255, b[1] = 0, b[2] = 0, b[3] = 255;
    }
  TImageDrawParams params = FlatParams(0, 0, 64, 48);
  params.lutForm = TLutForm::kCross;
  params.leftLut = &toRed;
  params.rightLut = &toBlue;
  params.lutMix = 0.25f;
  Frame([&](TDeviceDrawer& d) { d.DrawImage(*grey, params); });
  ExpectColour(At(30, 20), {191, 0, 64});

  // Strips: identity on the left, inverse on the right, half and half.
  TColorLut identity = TColorLut::IdentityStrip(), inverse = TColorLut::IdentityStrip();
  for (int v = 0; v < 256; ++v)
    for (int c = 0; c < 3; ++c) inverse.Entry(v, 0)[c] = static_cast<uint8_t>(255 - v);
  params.lutForm = TLutForm::kChannel;
  params.leftLut = &identity;
  params.rightLut = &inverse;
  params.lutMix = 0.5f;
  Frame([&](TDeviceDrawer& d) { d.DrawImage(*grey, params); });
  ExpectColour(At(30, 20), {128, 128, 128});
}

TEST_F(ComposePictures, OpacityTintAndBorder) {
  TRef<TImage> white = FlatPicture(8, 8, kWhite);
  TImageDrawParams params = FlatParams(8, 8, 56, 40);
  params.opacity = 50;
  params.tint = 0xFF00FF00;
  params.borderMargin = 4;
  params.borderColor = kBlue;
  Frame([&](TDeviceDrawer& d) { d.DrawImage(*white, params); });
  ExpectColour(At(30, 24), {0, 128, 0});  // green at half opacity over black
  ExpectColour(At(9, 24), {0, 0, 128});   // the border band
  ExpectColour(At(12, 24), {0, 128, 0});  // inside the border
  ExpectColour(At(6, 24), {0, 0, 0});     // outside
}

TEST_F(ComposePictures, BoxFillsAtChosenPixels) {
  struct Case {
    TBoxFill fill;
    int x, y;
    double t;  // share of colour 2 at the pixel centre
  };
  const double w = 64, h = 48;
  const Case cases[] = {
      {TBoxFill::Solid, 40, 40, 0},
      {TBoxFill::HGradient, 0, 10, 0.5 / w},
      {TBoxFill::HGradient, 47, 10, 47.5 / w},
      {TBoxFill::VGradient, 10, 35, 35.5 / h},
      {TBoxFill::TLBRGradient, 16, 30, (16.5 / w + 30.5 / h) / 2},
      {TBoxFill::TRBLGradient, 16, 30, ((1 - 16.5 / w) + 30.5 / h) / 2},
  };
  for (const Case& c : cases) {
    Frame([&](TDeviceDrawer& d) {
      d.DrawColourBox(TPlacement{}, TFloatRect{0, 0, 64, 48}, kRed, kBlue, c.fill, 100, false);
    });
    const int blue = static_cast<int>(std::lround(255 * c.t));
    ExpectColour(At(c.x, c.y), {255 - blue, 0, blue}, 2);
  }
  // Antialiased: a one-pixel fringe fades out beyond the edge at x = 32.
  Frame([&](TDeviceDrawer& d) {
    d.DrawColourBox(TPlacement{}, TFloatRect{0, 0, 32, 48}, kWhite, kWhite, TBoxFill::Solid, 100,
                    true);
  });
  EXPECT_EQ(At(31, 24).r, 255);
  EXPECT_NEAR(At(32, 24).r, 128, 2);  // pixel centre half a pixel beyond the edge
  EXPECT_EQ(At(33, 24).r, 0);
  // Opacity scales the colours' own alpha.
  Frame([&](TDeviceDrawer& d) {
    d.DrawColourBox(TPlacement{}, TFloatRect{0, 0, 64, 48}, 0x80FFFFFF, 0, TBoxFill::Solid, 50,
                    false);
  });
  ExpectColour(At(5, 5), {64, 64, 64});
}

}  // namespace
}  // namespace vyr::test
