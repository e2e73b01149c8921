// The small parts of an export: the bounded frame queue, the progress text and the
// output kept under a temporary name until it is complete.
#include <gtest/gtest.h>

#include <filesystem>
#include <thread>
#include <vector>

#include "export/frame_queue.h"
#include "export/progress_line.h"
#include "export/safe_output.h"
#include "package/package_fixture.h"

namespace vyr::exporting {
namespace {

TEST(FrameQueue, HandsOverInOrderThroughASmallQueueAndDrainsAfterClose) {
  TBoundedQueue<int> queue(2);
  std::vector<int> got;
  std::thread consumer([&] {
    while (auto item = queue.Pop()) got.push_back(*item);
  });
  for (int i = 0; i < 100; ++i) ASSERT_TRUE(queue.Push(i));
  queue.Close();
  consumer.join();
  ASSERT_EQ(got.size(), 100u);
  for (int i = 0; i < 100; ++i) EXPECT_EQ(got[i], i);

  TBoundedQueue<int> closed(2);
  ASSERT_TRUE(closed.Push(7));
  closed.Close();
  EXPECT_FALSE(closed.Push(8));
  EXPECT_EQ(closed.Pop(), 7);
  EXPECT_EQ(closed.Pop(), std::nullopt);
}

TEST(ProgressLine, PercentFramesSpeedAndTimeLeft) {
  EXPECT_EQ(ProgressText(50, 200, 5), " 25%  50/200 frames  10.0 fps  0:15 left");
  EXPECT_EQ(ProgressText(0, 200, 0), "  0%  0/200 frames  0.0 fps  --:-- left");
  EXPECT_EQ(ProgressText(100, 4600, 2), "  2%  100/4600 frames  50.0 fps  1:30 left");
  EXPECT_EQ(ProgressText(200, 200, 8), "100%  200/200 frames  25.0 fps  0:00 left");
}

TEST(SafeOutput, WritesBesideTheOutputAndRenamesOnlyWhenComplete) {
  test::TTempDir dir;
  const std::string out = dir / "show.mp4";
  test::WriteFile(out, "old");
  {
    TSafeOutput output(out);
    EXPECT_EQ(std::filesystem::path(output.TemporaryPath()).parent_path(), dir.Path());
    EXPECT_EQ(std::filesystem::path(output.TemporaryPath()).extension(), ".mp4");
    EXPECT_NE(output.TemporaryPath(), out);
    test::WriteFile(output.TemporaryPath(), "new");
    EXPECT_EQ(test::ReadFile(out), "old");  // replaced only at the rename
    EXPECT_EQ(output.Commit(), "");
    EXPECT_FALSE(std::filesystem::exists(output.TemporaryPath()));
  }
  EXPECT_EQ(test::ReadFile(out), "new");

  std::string abandoned, kept;
  {
    TSafeOutput output(dir / "b.mkv");
    abandoned = output.TemporaryPath();
    test::WriteFile(abandoned, "half");
  }
  EXPECT_FALSE(std::filesystem::exists(abandoned));
  EXPECT_FALSE(std::filesystem::exists(dir / "b.mkv"));
  {
    TSafeOutput output(dir / "c.webm");
    kept = output.TemporaryPath();
    test::WriteFile(kept, "half");
    output.Keep();
  }
  EXPECT_EQ(test::ReadFile(kept), "half");
  EXPECT_FALSE(std::filesystem::exists(dir / "c.webm"));
}

}  // namespace
}  // namespace vyr::exporting
