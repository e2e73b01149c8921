#include <gtest/gtest.h>

#include "package/container/entry_name.h"

namespace vyr {
namespace {

TEST(EntryName, EscapesBracketsAndControlCharacters) {
  const struct {
    std::string name, section;
  } cases[] = {
      {"a]b", "a>b"},
      {"ColorSpaceExe_sRGB].QZGFX", "ColorSpaceExe_sRGB>.QZGFX"},
      {"[x]", "<x>"},
      {std::string("a\x01z\x1F\t", 5), "a#01z#1F#09"},
      {"pics\\my #1.jpg", "pics\\my #1.jpg"},
      {"Bild \xC3\xA4.png", "Bild \xC3\xA4.png"},
      {" ", " "},
  };
  for (const auto& c : cases) EXPECT_EQ(EscapeEntryName(c.name), c.section) << c.name;
}

TEST(EntryName, RecoversBracketsButLeavesHashSequences) {
  EXPECT_EQ(RecoverEntryName("a>b"), "a]b");
  EXPECT_EQ(RecoverEntryName("<x>#0A"), "[x]#0A");
}

}  // namespace
}  // namespace vyr
