#include <gtest/gtest.h>

#include "foundation/case_fold.h"
#include "foundation/line_breaks.h"
#include "foundation/utf.h"

namespace vyr {
namespace {

TEST(LineBreaks, EachKindOfBreakEndsOneLine) {
  using Lines = std::vector<std::string>;
  const std::pair<std::string, Lines> cases[] = {
      {"a\r\nb", {"a", "b"}},
      {"a\n\rb", {"a", "b"}},
      {"a\rb", {"a", "b"}},
      {"a\nb", {"a", "b"}},
      {"a\r\rb", {"a", "", "b"}},
      {"a\n\nb", {"a", "", "b"}},
      {"a\r\n\rb", {"a", "", "b"}},
      {"a\n\r\nb", {"a", "", "b"}},
      {"a\r\n\r\nb", {"a", "", "b"}},
      {"ab", {"ab"}},
      {"", {""}},
      {"a\r\n", {"a", ""}},
      {"\nb", {"", "b"}},
  };
  for (const auto& [text, lines] : cases) EXPECT_EQ(SplitLines(text), lines) << text;
}

TEST(Utf, RoundTripsEveryPlane) {
  const std::u16string text = u"a\u00e9\u4e2d\U0001F600z";
  const std::string utf8 = Utf16ToUtf8(text);
  EXPECT_EQ(utf8, "a\xC3\xA9\xE4\xB8\xAD\xF0\x9F\x98\x80z");
  EXPECT_EQ(Utf8ToUtf16(utf8), text);
}

TEST(Utf, LoneSurrogateSurvivesAndBadBytesBecomeReplacement) {
  const std::u16string lone = {u'x', char16_t(0xD800), u'y'};
  EXPECT_EQ(Utf8ToUtf16(Utf16ToUtf8(lone)), lone);
  EXPECT_EQ(Utf8ToUtf16("\xFF"
                        "a\xC3"),
            (std::u16string{char16_t(0xFFFD), u'a', char16_t(0xFFFD)}));
  EXPECT_EQ(Utf8ToUtf16("\xC0\x80"), (std::u16string{char16_t(0xFFFD), char16_t(0xFFFD)}));
}

TEST(Utf, PrefixCutsBetweenCodePoints) {
  const struct {
    std::string text;
    size_t count;
    std::string expected;
  } cases[] = {
      {"abc", 2, "ab"},
      {"abc", 9, "abc"},
      {"\xC3\xA9\xC3\xA9\xC3\xA9", 2, "\xC3\xA9\xC3\xA9"},  // two-byte letters
      {"a\xF0\x9F\x98\x80"
       "b",
       2, "a\xF0\x9F\x98\x80"},                         // a four-byte one
      {"\xE2\x82\xAC\xE2\x82", 2, "\xE2\x82\xAC\xE2"},  // a cut-off tail
      {"\xFF\xFEz", 2, "\xFF\xFE"},                     // bad bytes, one each
      {"", 3, ""},
      {"abc", 0, ""},
  };
  for (const auto& c : cases) EXPECT_EQ(Utf8Prefix(c.text, c.count), c.expected) << c.text;
}

TEST(CaseFold, NamesCompareAndHashAlike) {
  struct Case {
    const char* a;
    const char* b;
    bool same;
  } cases[] = {
      {"Main", "mAIN", true},
      {"\xC3\x84pfel", "\xC3\xA4PFEL", true},                          // Äpfel / äPFEL
      {"\xCE\xA3\xCE\x91\xCE\xA3", "\xCF\x83\xCE\xB1\xCF\x82", true},  // ΣΑΣ / σας (final sigma)
      {"\xD0\x9C\xD0\xB8\xD1\x80", "\xD0\xBC\xD0\x98\xD0\xA0", true},  // Мир / мИР
      {"slide1", "slide10", false},
      {"a", "", false},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(SameName(c.a, c.b), c.same) << c.a << " / " << c.b;
    if (c.same) {
      EXPECT_EQ(NameHash(c.a), NameHash(c.b)) << c.a;
    }
  }
}

}  // namespace
}  // namespace vyr
