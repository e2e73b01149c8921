// The same frame drawn twice, on one device and on a fresh one, gives the same pixels.

#include <algorithm>

#include "headless_fixture.h"

namespace vyr::test {
namespace {

class FrameRepeatTest : public HeadlessTest {};

TEST_F(FrameRepeatTest, SameFrameTwiceIsIdentical) {
  const std::vector<uint8_t> first = DrawTestFrame(*screen);
  ASSERT_EQ(first.size(), static_cast<size_t>(kWidth * kHeight * 4));
  EXPECT_EQ(DrawTestFrame(*screen), first);
  // Not a blank frame: the picture is there.
  EXPECT_NE(std::count(first.begin(), first.end(), first[0]), static_cast<long>(first.size()));

  TRef<THeadlessDrawDevice> otherDevice = MakeRef<THeadlessDrawDevice>(kWidth, kHeight);
  TRef<T3DScreen> other = MakeRef<T3DScreen>();
  other->Attach(otherDevice.Get());
  ASSERT_TRUE(other->BeginScene());
  EXPECT_EQ(DrawTestFrame(*other), first);
  other->EndScene(false);
}

}  // namespace
}  // namespace vyr::test
