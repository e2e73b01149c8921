#include <gtest/gtest.h>

#include "scene/objects/frame_computation.h"
#include "scene/objects/vyr_image.h"
#include "scene_test_support.h"

namespace vyr {
namespace {

void ExpectRect(const TFloatRect& r, float l, float t, float rr, float b) {
  EXPECT_NEAR(r.left, l, 0.001f);
  EXPECT_NEAR(r.top, t, 0.001f);
  EXPECT_NEAR(r.right, rr, 0.001f);
  EXPECT_NEAR(r.bottom, b, 0.001f);
}

TEST(FrameComputation, AspectZoomAndPan) {
  TBorderParams p;
  p.enableAspect = true;
  p.aspect = 1;
  struct TCase {
    float zoom, offsX, offsY;
    TFloatRect visible;
  };
  const TCase cases[] = {
      {100, 0, 0, {50, 0, 350, 300}},     {200, 0, 0, {125, 75, 275, 225}},
      {200, 100, 0, {250, 75, 400, 225}}, {200, -100, 100, {0, 150, 150, 300}},
      {200, 500, 0, {250, 75, 400, 225}},  // offsets beyond 100 stay at the edge
      {50, 0, 0, {50, 0, 350, 300}},       // no zooming out beyond the aspect window
  };
  for (const auto& c : cases) {
    const TFrameResult r = ComputeFrame(FrameWorkingCopy(p, c.zoom, c.offsX, c.offsY), 400, 300);
    ExpectRect(r.visible, c.visible.left, c.visible.top, c.visible.right, c.visible.bottom);
  }
  const TFrameResult natural = ComputeFrame(FrameWorkingCopy(p, 100, 0, 0), 400, 300);
  EXPECT_FLOAT_EQ(natural.contentWidth, 300);
  EXPECT_FLOAT_EQ(natural.contentHeight, 300);
}

TEST(FrameComputation, BorderCropAndLimits) {
  TBorderParams p;
  p.enableBorder = true;
  p.borderWidth = 5;
  TFrameResult r = ComputeFrame(FrameWorkingCopy(p, 100, 0, 0), 400, 300);
  EXPECT_FLOAT_EQ(r.margin, 15);
  EXPECT_FLOAT_EQ(r.contentWidth, 430);
  EXPECT_FLOAT_EQ(r.contentHeight, 330);

  p = TBorderParams();
  p.enableCrop = true;
  const float crop[4] = {10, 20, 30, 40};
  std::copy(crop, crop + 4, p.crop);
  r = ComputeFrame(FrameWorkingCopy(p, 100, 0, 0), 400, 300);
  ExpectRect(r.visible, 40, 60, 280, 180);

  // Crops that leave nothing: widened to a pixel inside the picture, or the whole picture.
  p.crop[0] = 100;
  p.crop[2] = 0;
  r = ComputeFrame(FrameWorkingCopy(p, 100, 0, 0), 400, 300);
  ExpectRect(r.visible, 399, 60, 400, 180);
  p.crop[0] = 150;
  r = ComputeFrame(FrameWorkingCopy(p, 100, 0, 0), 400, 300);
  ExpectRect(r.visible, 399, 60, 400, 180);
  p.crop[2] = -200;  // (600..1200) lies beside the picture
  r = ComputeFrame(FrameWorkingCopy(p, 100, 0, 0), 400, 300);
  ExpectRect(r.visible, 0, 0, 400, 300);
}

TEST(FrameComputation, ReductionLevel) {
  struct TCase {
    double neededW, neededH, visibleW, visibleH;
    int minimum, level;
  };
  const TCase cases[] = {
      {1000, 750, 4000, 3000, 0, 1},  // drawn from the 2000 px wide reduction
      {500, 375, 4000, 3000, 0, 2},     {4000, 3000, 4000, 3000, 0, 0},
      {1000, 750, 4000, 3000, 2, 2},  // never below the level already handed out
      {1e300, 1e300, 4000, 3000, 0, 0}, {0, 0, 4000, 3000, 0, 11},
  };
  for (const auto& c : cases)
    EXPECT_EQ(ReductionLevel(c.neededW, c.neededH, c.visibleW, c.visibleH, c.minimum), c.level)
        << c.neededW << " " << c.minimum;
}

TEST(SpriteAnimation, FramesFollowTheIntervals) {
  TImageAnimationParams p;
  p.enabled = true;
  p.columns = 3;
  p.rows = 2;
  p.count = 4;
  p.offset = 1000;
  p.intervals = {100, 200};  // frames 2 and 3 repeat the last value: 200
  struct TCase {
    double t;
    int frame;
  };
  // Frames end at 100, 300, 500 and 700 ms after the offset.
  const TCase forever[] = {{0, 0},    {1000, 0}, {1100, 0}, {1101, 1}, {1300, 1},
                           {1301, 2}, {1501, 3}, {1700, 3}, {1701, 0}, {2101, 2}};
  for (const auto& c : forever) EXPECT_EQ(AnimationFrame(p, c.t), c.frame) << c.t;
  p.repeatCount = 2;  // two passes of 700 ms, then the last frame stays
  EXPECT_EQ(AnimationFrame(p, 1000 + 700 + 50), 0);
  EXPECT_EQ(AnimationFrame(p, 1000 + 1400 + 50), 3);
  EXPECT_EQ(AnimationFrame(p, 1e12), 3);
  p.count = 0;
  EXPECT_EQ(AnimationFrame(p, 1500), 0);
  p.count = 50;  // at most columns x rows
  p.intervals.clear();
  p.repeatCount = 0;
  EXPECT_EQ(AnimationFrame(p, 1000 + 550), 5);
}

TEST(SpriteAnimation, ObjectShowsTheCellOfItsFrame) {
  test::TSceneFixture scene(
      test::Obj("a", "AniImage", "ImageName=s.bmp\nAnimColumns=3\nAnimRows=2\nAnimCount=6\n") +
      test::Obj("b", "Image", "ImageName=s.bmp\nAnimEnable=1\nAnimColumns=3\nAnimRows=2\n"));
  scene.source->files["s.bmp"] = test::MakeBmp(300, 100);
  scene.Build();
  scene.At(0);
  auto* a = dynamic_cast<TVyrImage*>(scene.Find("a"));
  auto* b = dynamic_cast<TVyrImage*>(scene.Find("b"));
  ASSERT_TRUE(a && b);
  EXPECT_EQ(b->Kind(), a->Kind());
  EXPECT_FLOAT_EQ(a->OwnWidth(), 100);
  EXPECT_FLOAT_EQ(a->OwnHeight(), 50);
  scene.slide->CommitState(true);
  scene.slide->Advance(true, 450);  // frame 4: column 1, row 1
  EXPECT_EQ(a->AnimationFrameIndex(), 4);
  EXPECT_TRUE(a->IsChanged());
  ExpectRect(a->Visible(), 100, 50, 200, 100);
}

TEST(FrameComputation, PictureObjectTakesItsFramedSize) {
  test::TSceneFixture scene(test::Obj("p", "Image",
                                      "ImageName=p.bmp\nEnableAspect=1\nAspect=1\nFitMode=None\n",
                                      test::KeyPoint("Time=0\nZoom=200\nOffsX=100\n")) +
                            test::Obj("missing", "Image", "ImageName=nothere.bmp\n"));
  scene.source->files["p.bmp"] = test::MakeBmp(400, 300);
  scene.Build();
  scene.At(0);
  auto* p = dynamic_cast<TVyrImage*>(scene.Find("p"));
  ASSERT_TRUE(p);
  EXPECT_FLOAT_EQ(p->OwnWidth(), 300);  // zoom and pan leave the rectangle alone
  EXPECT_FLOAT_EQ(p->OwnHeight(), 300);
  ExpectRect(p->Visible(), 250, 75, 400, 225);
  test::TRecordingDrawer drawer;
  drawer.DrawItem(*scene.slide);
  ASSERT_GE(drawer.Count("image"), 1);
  const TImageDrawParams& params = drawer.calls[1].imageParams;
  ExpectRect(params.sourceRect, 250, 75, 400, 225);
  ExpectRect(params.pivotRect, -150, -150, 150, 150);
}

}  // namespace
}  // namespace vyr

namespace vyr {
namespace {

TEST(PreparationPass, NeededSizeOverKeyframesSetsTheLevel) {
  struct TCase {
    std::string keys;
    float neededWidth, neededHeight;
    int level;
  };
  const TCase cases[] = {
      {test::KeyPoint("Time=0\nScaleX=25\nScaleY=25\n"), 200, 150, 1},
      {test::KeyPoint("Time=0\nScaleX=25\nScaleY=25\n") +
           test::KeyPoint("Time=1000\nScaleX=50\nScaleY=50\n"),
       400, 300, 0},
  };
  for (const auto& c : cases) {
    test::TSceneFixture scene(test::Obj("p", "Image", "ImageName=p.bmp\nFitMode=None\n", c.keys));
    scene.source->files["p.bmp"] = test::MakeBmp(800, 600);
    scene.Build();
    scene.At(0);
    auto* p = dynamic_cast<TVyrImage*>(scene.Find("p"));
    ASSERT_TRUE(p && p->Picture());
    EXPECT_NEAR(p->NeededWidth(), c.neededWidth, 0.01f);
    EXPECT_NEAR(p->NeededHeight(), c.neededHeight, 0.01f);
    EXPECT_EQ(p->ReductionLevelValue(), c.level);
    EXPECT_NEAR(scene.slide->NeededWidth(), 1000, 0.01f);
    // Layout came back to the slide's time after the pass.
    TVec3 corners[4];
    p->Corners(corners);
    EXPECT_NEAR(corners[1].x - corners[0].x, 200, 0.01f);
  }
}

}  // namespace
}  // namespace vyr

namespace vyr {
namespace {

class TPrepareRecorder : public test::TRecordingDrawer {
 public:
  std::vector<int> preparedLevels;
  void PrepareImage(TImage&, const TImageDrawParams& params) override {
    preparedLevels.push_back(params.reductionLevel);
  }
};

TEST(PreparationPass, PictureWithoutKeyframesIsPreparedAtItsLevel) {
  // 4000 x 100 placed into a 1000-pixel slide: needed 1000 x 25, so one halving still covers
  // 4/3 of it (2000 x 50) and a second would not (1000 x 25).
  test::TSceneFixture scene(test::Obj("p", "Image", "ImageName=p.bmp\n"));
  scene.source->files["p.bmp"] = test::MakeBmp(4000, 100);
  scene.Build();
  TPrepareRecorder drawer;
  scene.slide->PrepareResources(drawer);
  auto* p = dynamic_cast<TVyrImage*>(scene.Find("p"));
  ASSERT_TRUE(p && p->Picture());
  EXPECT_NEAR(p->NeededWidth(), 1000, 0.01f);
  EXPECT_NEAR(p->NeededHeight(), 25, 0.01f);
  ASSERT_EQ(drawer.preparedLevels.size(), 1u);
  EXPECT_EQ(drawer.preparedLevels[0], 1);
}

}  // namespace
}  // namespace vyr
