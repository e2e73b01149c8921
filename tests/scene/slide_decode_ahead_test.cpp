// A slide built before the drawer stands has its pictures decoded at once, at the level they
// will be drawn at, so that preparing them later only uploads.
#include <gtest/gtest.h>

#include "scene/objects/vyr_image.h"
#include "scene_test_support.h"

namespace vyr {
namespace {

using test::Obj;
using test::TRecordingDrawer;
using test::TSceneFixture;

TEST(SlideDecodeAhead, PicturesAreDecodedAtTheLevelTheyAreDrawnAt) {
  // A 400 x 400 picture on a design of 400 x 400 shown in a frame of 100 x 100: drawn at a
  // quarter of its size.
  TSceneFixture scene(Obj("pic", "Image", "ImageName=big.bmp\n"), 100, 100, 400, 400);
  scene.source->files["big.bmp"] = test::MakeBmp(400, 400);
  TVyrSlide& slide = scene.Build();
  slide.DecodePictures();
  auto* image = dynamic_cast<TVyrImage*>(scene.Find("pic"));
  ASSERT_TRUE(image && image->Picture());

  TRecordingDrawer drawer;
  slide.PrepareResources(drawer);
  slide.Advance(true, 0);
  drawer.DrawItem(slide);
  ASSERT_EQ(drawer.Count("image"), 1);
  int level = -1;
  for (const auto& call : drawer.calls)
    if (call.op == "image") level = call.imageParams.reductionLevel;
  EXPECT_GT(level, 0);
  EXPECT_TRUE(image->Picture()->Store().HasLevel(level));
}

}  // namespace
}  // namespace vyr
