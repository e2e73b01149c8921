// Video pictures drawn by the frame drawer: YUV through the clip's cube, a field of an
// interlaced frame, chroma key, a clip as mask, and pictures that outlive their drawer.
#include <gtest/gtest.h>

#include <cstring>
#include <functional>

#include "render/compose_fixture.h"
#include "video/video_cube.h"

namespace vyr {
namespace {

using test::ExpectColour;
using test::TRgba;

constexpr int kCube = 6;

class VideoDraw : public test::ComposeTest {
 protected:
  // A 64 x 48 YUV picture: yuv(x, y) gives Y, U and V (chroma at half resolution).
  TRef<TVideoPicture> Yuv(const std::function<std::array<int, 3>(int, int)>& yuv) {
    TRef<TVideoPicture> p = drawer->CreateVideoImage(64, 48, TVideoKind::Yuv420);
    for (int y = 0; y < 48; ++y)
      for (int x = 0; x < 64; ++x) {
        const auto s = yuv(x, y);
        p->Plane(0)[y * p->Pitch(0) + x] = static_cast<uint8_t>(s[0]);
        p->Plane(1)[(y / 2) * p->Pitch(1) + x / 2] = static_cast<uint8_t>(s[1]);
        p->Plane(2)[(y / 2) * p->Pitch(2) + x / 2] = static_cast<uint8_t>(s[2]);
      }
    p->MarkWritten();
    p->SetValid(true);
    return p;
  }

  TVideoDrawParams Params(TVideoPicture& picture) {
    TVideoDrawParams params;
    params.image = test::FlatParams(0, 0, 64, 48);
    params.image.lutForm = TLutForm::kCross;
    params.image.leftLut = params.image.rightLut = &VideoColourCube(false, false);
    params.picture = &picture;
    return params;
  }

  void Draw(const TVideoDrawParams& params, uint32_t clear = 0xFF0000FF) {
    Frame([&](TDeviceDrawer& d) { d.DrawVideo(params); }, clear);
  }
};

TEST_F(VideoDraw, YuvPlanesThroughTheCube) {
  // Left: white and black limited-range grey; right: BT.601 red and green.
  TRef<TVideoPicture> p = Yuv([](int x, int y) -> std::array<int, 3> {
    if (x < 32) return {y < 24 ? 235 : 16, 128, 128};
    return y < 24 ? std::array<int, 3>{81, 90, 240} : std::array<int, 3>{145, 54, 34};
  });
  Draw(Params(*p));
  // The 32-entry cube is interpolated: a few levels off at its ends.
  ExpectColour(At(10, 10), TRgba{255, 255, 255}, kCube);
  ExpectColour(At(10, 40), TRgba{0, 0, 0}, kCube);
  uint8_t r, g, b;
  YuvToRgb(81, 90, 240, r, g, b);
  ExpectColour(At(50, 10), TRgba{r, g, b}, 8);
  EXPECT_GT(At(50, 10).r, 230);
  YuvToRgb(145, 54, 34, r, g, b);
  ExpectColour(At(50, 40), TRgba{r, g, b}, 8);
  EXPECT_GT(At(50, 40).g, 230);
}

TEST_F(VideoDraw, OneFieldOfAnInterlacedFrame) {
  // Even lines white (field 1), odd lines black (field 2).
  TRef<TVideoPicture> p = Yuv([](int, int y) -> std::array<int, 3> {
    return {y % 2 == 0 ? 235 : 16, 128, 128};
  });
  TVideoDrawParams params = Params(*p);
  params.field = 1;
  Draw(params);
  for (int y : {10, 11, 30}) ExpectColour(At(20, y), TRgba{255, 255, 255}, kCube);
  params.field = 2;
  Draw(params);
  for (int y : {10, 11, 30}) ExpectColour(At(20, y), TRgba{0, 0, 0}, kCube);
}

TEST_F(VideoDraw, ChromaKeyRemovesTheKeyColourAndKeepsTheRest) {
  // Left green (the key), right red.
  TRef<TVideoPicture> p = Yuv([](int x, int) -> std::array<int, 3> {
    return x < 32 ? std::array<int, 3>{145, 54, 34} : std::array<int, 3>{81, 90, 240};
  });
  TVideoDrawParams params = Params(*p);
  params.chromaKey = true;
  params.chromaKeyU = 54 / 255.0f;
  params.chromaKeyV = 34 / 255.0f;
  params.chromaDelta = 0.1f;
  Draw(params, 0xFF0000FF);
  ExpectColour(At(10, 20), TRgba{0, 0, 255}, 2);  // the blue background shows through
  EXPECT_GT(At(50, 20).r, 230);
  EXPECT_LT(At(50, 20).b, 20);
}

TEST_F(VideoDraw, AClipAsMaskUsesItsLuma) {
  TRef<TVideoPicture> p = Yuv([](int x, int) -> std::array<int, 3> {
    return {x < 32 ? 235 : 16, 128, 128};
  });
  TVideoDrawParams params = Params(*p);
  params.mask = true;
  Draw(params, 0xFF0000FF);
  ExpectColour(At(10, 20), TRgba{255, 255, 255}, 2);
  ExpectColour(At(50, 20), TRgba{0, 0, 255}, 2);  // transparent where the clip is black
  params.maskInvert = true;
  Draw(params, 0xFF0000FF);
  ExpectColour(At(10, 20), TRgba{0, 0, 255}, 2);
  ExpectColour(At(50, 20), TRgba{255, 255, 255}, 2);
}

TEST_F(VideoDraw, RgbaFramesAndPicturesOutlivingTheDrawer) {
  TRef<TVideoPicture> p = drawer->CreateVideoImage(64, 48, TVideoKind::Rgba);
  for (int y = 0; y < 48; ++y)
    for (int x = 0; x < 64; ++x) {
      uint8_t* px = p->Plane(0) + y * p->Pitch(0) + x * 4;
      const uint8_t bgra[4] = {0, 200, 100, 255};
      std::memcpy(px, bgra, 4);
    }
  p->MarkWritten();
  p->SetValid(true);
  TVideoDrawParams params = Params(*p);
  params.image.leftLut = params.image.rightLut = &VideoColourCube(true, false);
  Draw(params);
  ExpectColour(At(30, 30), TRgba{100, 200, 0}, 3);
  int lost = 0;
  p->SetLostHandler([&] { ++lost; });
  drawer.Reset();  // the drawer goes first: the picture gives up its textures
  EXPECT_EQ(lost, 1);
  EXPECT_FALSE(p->Valid());
}

}  // namespace
}  // namespace vyr
