#include <gtest/gtest.h>

#include <functional>
#include <stdexcept>

#include "scene_test_support.h"

namespace vyr {
namespace {

using test::TRecordingDrawer;

// An item with a blur amount whose children are drawn through the drawer.
class TTestItem : public TDrawItem {
 public:
  explicit TTestItem(float blur) : blur_(blur) {}
  float GetBlurAmount() const override { return blur_; }
  void FinishFrame() override { ++finished; }
  void Draw(TDeviceDrawer& drawer) override {
    drawer.DrawLine({}, {}, 0);
    for (auto& child : children) drawer.DrawItem(*child);
    if (fail) throw std::runtime_error("draw failed");
  }
  std::vector<TRef<TTestItem>> children;
  int finished = 0;
  bool fail = false;

 private:
  float blur_;
};

TEST(DeviceDrawer, BlurRouting) {
  struct TCase {
    float amount;
    int designWidth;
    int clipWidth;
    const char* firstOp;
    float expected;
  };
  const TCase cases[] = {
      {-50, 0, 0, "begin-sharpen", 0.5f},       // scale 1
      {-50, 1920, 960, "begin-sharpen", 1.0f},  // scale 2
      {2000, 1000, 500, "blur", 4.0f},
      {0.000001f, 0, 0, "line", 0},  // counts as none
  };
  for (const auto& c : cases) {
    TRecordingDrawer drawer;
    drawer.SetCamera({0, 0, c.clipWidth, 100}, c.designWidth, DefaultCamera(100, 100));
    auto item = MakeRef<TTestItem>(c.amount);
    drawer.DrawItem(*item);
    ASSERT_FALSE(drawer.calls.empty());
    EXPECT_EQ(drawer.calls.front().op, c.firstOp) << c.amount;
    if (std::string(c.firstOp) == "blur") {
      EXPECT_FLOAT_EQ(drawer.calls.front().amount, c.expected);
    }
    if (std::string(c.firstOp) == "begin-sharpen") {
      EXPECT_FLOAT_EQ(drawer.calls.back().amount, c.expected);
    }
    EXPECT_EQ(item->finished, 1);
    EXPECT_EQ(drawer.frames, 1);
  }
}

TEST(DeviceDrawer, NestedItemsDrawPlainlyInsideAFilterAndFrameOnce) {
  TRecordingDrawer drawer;
  auto parent = MakeRef<TTestItem>(-50);
  parent->children.push_back(MakeRef<TTestItem>(-20));
  parent->children.push_back(MakeRef<TTestItem>(500));
  drawer.DrawItem(*parent);
  EXPECT_EQ(drawer.Count("begin-sharpen"), 1);
  EXPECT_EQ(drawer.Count("blur"), 0);
  EXPECT_EQ(drawer.Count("line"), 3);
  EXPECT_EQ(drawer.frames, 1);
  EXPECT_EQ(parent->finished, 1);
  EXPECT_EQ(parent->children[0]->finished, 0);  // only the outermost item finishes a frame
  // A later frame may filter again.
  drawer.DrawItem(*parent->children[1]);
  EXPECT_EQ(drawer.Count("blur"), 1);
}

TEST(DeviceDrawer, FinishFrameRunsWhenDrawingFails) {
  TRecordingDrawer drawer;
  auto item = MakeRef<TTestItem>(-50);
  item->fail = true;
  EXPECT_THROW(drawer.DrawItem(*item), std::runtime_error);
  EXPECT_EQ(item->finished, 1);
  EXPECT_EQ(drawer.Nesting(), 0);
  item->fail = false;
  drawer.DrawItem(*item);  // the sharpen pass was closed by the failure
  EXPECT_EQ(drawer.Count("begin-sharpen"), 2);
}

}  // namespace
}  // namespace vyr
