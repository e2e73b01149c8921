#include "viewer/instance.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>

namespace vyr {
namespace {

TEST(InstanceHash, HandComputedValues) {
  const struct {
    std::u16string text;
    uint32_t hash;
  } cases[] = {
      {u"", 0},
      {u"A", 65},
      {u"AB", 65 * 16 + 66},
      // Only the low byte of each unit counts: U+0141 hashes like "A".
      {u"\u0141", 65},
      // 0x61, 0x63E, 0x6453, 0x64593, 0x6459A2.
      {u"a.scr", 0x6459A2},
      // 0xF0, 0xFF0, ... 0xFFFFFFF0: the top nibble folds in, (h ^ 0xF0) & 0x0FFFFFFF.
      {u"\u00F0\u00F0\u00F0\u00F0\u00F0\u00F0\u00F0", 0x0FFFFF00},
      // One more step: 0xFFFFF000 + 0xF0 = 0xFFFFF0F0 -> (h ^ 0xF0) & 0x0FFFFFFF.
      {u"\u00F0\u00F0\u00F0\u00F0\u00F0\u00F0\u00F0\u00F0", 0x0FFFF000},
  };
  for (const auto& c : cases) EXPECT_EQ(InstanceHash(c.text), c.hash);
}

TEST(InstanceName, HashesPathFolderAndFileName) {
  // h("/a/b") = 0x35452 = 218194, h("/a") = 0x351 = 849, h("b") = 98.
  EXPECT_EQ(InstanceName("/a/b"), "Instance_ID21819484998b");
  // h("/s.scr") = 0x2F0 + 0x73 = 0x363, 0x3630 + 0x2E = 0x365E, 0x365E0 + 0x73 = 0x36653,
  // 0x366530 + 0x63 = 0x366593, 0x3665930 + 0x72 = 0x36659A2 = 57039266;
  // the folder "/" without its separator is empty: 0; h("s.scr") = 0x7659A2 = 7756194.
  EXPECT_EQ(InstanceName("/s.scr"), "Instance_ID5703926607756194s.scr");
}

TEST(InstanceLock, SecondHolderSeesAnotherInstance) {
  namespace fs = std::filesystem;
  const fs::path dir = fs::temp_directory_path() / ("vyr_instance_" + std::to_string(::getpid()));
  fs::create_directories(dir);
  const std::string name = InstanceName("/opt/show/viewer");
  {
    TInstanceLock first, second;
    ASSERT_TRUE(first.Acquire(dir.string(), name));
    EXPECT_FALSE(second.Acquire(dir.string(), name));
    EXPECT_TRUE(second.AnotherRunning());
    first.Release();
    EXPECT_TRUE(second.Acquire(dir.string(), name));
    EXPECT_FALSE(second.AnotherRunning());
  }
  TInstanceLock nowhere;
  EXPECT_FALSE(nowhere.Acquire((dir / "missing").string(), name));
  EXPECT_FALSE(nowhere.AnotherRunning());
  fs::remove_all(dir);
}

}  // namespace
}  // namespace vyr
