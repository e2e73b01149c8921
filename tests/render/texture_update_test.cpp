// A picture whose pixels change in a rectangle: its textures are written again there in
// place, across the seam of two texture pages too, and the rest stays.
#include "render/compose_fixture.h"

namespace vyr::test {
namespace {

class TextureUpdate : public ComposeTest {
 protected:
  void SetUp() override { Open(600, 40); }
};

TEST_F(TextureUpdate, ChangedRectangleIsUpdatedInPlace) {
  // 600 pixels wide: two pages side by side (510 interior texels each, one gutter).
  TRef<TImage> picture = FlatPicture(600, 40, 0xFF0000FF);
  TRef<TBitmap> bitmap = picture->Bitmap();
  const TImageDrawParams params = FlatParams(0, 0, 600, 40);
  Frame([&](TDeviceDrawer& d) { d.DrawImage(*picture, params); });
  ExpectColour(At(505, 20), {0, 0, 255});
  // A red band over the seam at x = 510, then the update of just that band.
  bitmap->FillRect(TRect{500, 10, 520, 30}, 0xFFFF0000);
  drawer->UpdateImageRect(*picture, TIntRect{500, 10, 520, 30});
  Frame([&](TDeviceDrawer& d) { d.DrawImage(*picture, params); });
  ExpectColour(At(505, 20), {255, 0, 0});
  ExpectColour(At(515, 20), {255, 0, 0});
  ExpectColour(At(505, 5), {0, 0, 255});
  ExpectColour(At(300, 20), {0, 0, 255});
  // The last column repeats into the page's gutter: the right edge draws the new colour.
  bitmap->FillRect(TRect{590, 0, 600, 40}, 0xFF00FF00);
  drawer->UpdateImageRect(*picture, TIntRect{590, 0, 600, 40});
  Frame([&](TDeviceDrawer& d) { d.DrawImage(*picture, params); });
  ExpectColour(At(599, 39), {0, 255, 0});
}

}  // namespace
}  // namespace vyr::test
