// Typed reads and writes of key values.
#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <optional>

#include "ini_test_util.h"
#include "project/ini/ini.h"

namespace vyr {
namespace {

TRef<TIniItem> Key(const char* value) { return MakeRef<TIniItem>("k", value); }

TEST(IniValues, ReadIntTable) {
  const struct {
    const char* value;
    std::optional<int32_t> expected;
  } cases[] = {
      {"17", 17},
      {"+17", 17},
      {"-17", -17},
      {"  \b42", 42},
      {"2147483647", 2147483647},
      {"-2147483648", std::numeric_limits<int32_t>::min()},
      {"2147483648", {}},
      {"-2147483649", {}},
      {"0x10", {}},
      {"\t5", {}},
      {"5 ", {}},
      {"", {}},
      {"+", {}},
      {"1.0", {}},
      {"99999999999999999999999", {}},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(ReadInt(Key(c.value).Get(), -99), c.expected.value_or(-99)) << c.value;
  }
  EXPECT_EQ(ReadInt(nullptr, 3), 3);
}

TEST(IniValues, ReadInt64Limits) {
  EXPECT_EQ(ReadInt64(Key("9223372036854775807").Get(), 0), INT64_MAX);
  EXPECT_EQ(ReadInt64(Key("-9223372036854775808").Get(), 0), INT64_MIN);
  EXPECT_EQ(ReadInt64(Key("9223372036854775808").Get(), 7), 7);
  EXPECT_EQ(ReadInt64(Key("4294967296").Get(), 0), 4294967296LL);
}

TEST(IniValues, ReadFloatTable) {
  const struct {
    const char* value;
    std::optional<double> expected;
  } cases[] = {
      {"1.5E-3", 0.0015}, {"1,5", {}},
      {"2", 2.0},         {"-0.25", -0.25},
      {" +.5", 0.5},      {"5.", 5.0},
      {"1e+2", 100.0},    {"12.5e1", 125.0},
      {"1.2.3", {}},      {"1.5x", {}},
      {"", {}},           {".", {}},
      {"1E", {}},         {"1e0x10", {}},
      {"1e400", {}},      {"1e-400", 0.0},
      {"0.1", 0.1},       {"123456789012345678901234567890", 1.2345678901234568e29},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(ReadFloat(Key(c.value).Get(), -99.0), c.expected.value_or(-99.0)) << c.value;
  }
}

TEST(IniValues, ReadBoolTable) {
  const struct {
    const char* value;
    bool expectedWithDefaultFalse;
    bool expectedWithDefaultTrue;
  } cases[] = {
      {"1", true, true},    {"0", false, false}, {"true", false, true},
      {"yes", false, true}, {"", false, true},   {"01", false, true},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(ReadBool(Key(c.value).Get(), false), c.expectedWithDefaultFalse) << c.value;
    EXPECT_EQ(ReadBool(Key(c.value).Get(), true), c.expectedWithDefaultTrue) << c.value;
  }
  // Trailing blanks are gone once the line is read.
  EXPECT_TRUE(ReadBool(FindKey(testing::Parse("b=1   ").Get(), "b"), false));
}

TEST(IniValues, EnumListAndText) {
  const std::string_view names[] = {"None", "Fade", "Slide"};
  EXPECT_EQ(ReadEnum(Key("slide").Get(), names, -1, true), 2);
  EXPECT_EQ(ReadEnum(Key("slide").Get(), names, -1, false), -1);
  EXPECT_EQ(ReadEnum(Key("Fade").Get(), names, -1, false), 1);
  EXPECT_EQ(ReadList(Key("a, b,,c").Get()), (std::vector<std::string>{"a", " b", "", "c"}));
  EXPECT_EQ(ReadList(Key("x;y").Get(), ';'), (std::vector<std::string>{"x", "y"}));
  EXPECT_TRUE(ReadList(Key("").Get()).empty());
  EXPECT_EQ(ReadText(nullptr, "dflt"), "dflt");
  EXPECT_EQ(ReadText(Key("").Get(), "dflt"), "");
}

TEST(IniValues, WritesAndTheirReadBack) {
  auto key = Key("");
  const struct {
    double value;
    const char* text;
  } floats[] = {
      {1.5, "1.5"}, {-0.25, "-0.25"}, {100.0, "100"}, {0.0, "0"},
      {-0.0, "0"},  {1e-17, "0"},     {0.1, "0.1"},   {123456.0000001, "123456.0000001"},
  };
  for (const auto& f : floats) {
    WriteFloat(key.Get(), f.value);
    EXPECT_EQ(key->Value(), f.text) << f.value;
    EXPECT_DOUBLE_EQ(ReadFloat(key.Get(), -1), std::stod(f.text));
  }
  WriteInt(key.Get(), -42);
  EXPECT_EQ(key->Value(), "-42");
  WriteInt(key.Get(), INT64_MIN);
  EXPECT_EQ(ReadInt64(key.Get(), 0), INT64_MIN);
  WriteBool(key.Get(), true);
  EXPECT_EQ(key->Value(), "1");
  WriteBool(key.Get(), false);
  EXPECT_EQ(key->Value(), "0");
  WriteText(key.Get(), "Grüße");
  EXPECT_EQ(ReadText(key.Get()), "Grüße");
  WriteText(static_cast<TIniItem*>(nullptr), "ignored");
}

TEST(IniValues, SectionShortcutsCreateWhatTheyWrite) {
  auto file = MakeRef<TIniFile>();
  WriteInt(file.Get(), "Main", "count", 3);
  WriteFloat(file.Get(), "main", "ratio", 0.5);
  WriteBool(file.Get(), "Main", "on", true);
  WriteText(file.Get(), "", "top", "t");
  EXPECT_EQ(ReadInt(file.Get(), "MAIN", "Count", 0), 3);
  EXPECT_EQ(ReadInt64(file.Get(), "Main", "count", 0), 3);
  EXPECT_EQ(ReadFloat(file.Get(), "Main", "ratio", 0), 0.5);
  EXPECT_TRUE(ReadBool(file.Get(), "Main", "on", false));
  EXPECT_EQ(ReadText(file.Get(), "Main", "missing", "d"), "d");
  EXPECT_EQ(ReadText(file.Get(), "Nowhere", "count", "d"), "d");
  EXPECT_EQ(file->SaveToBytes(false), "top=t\r\n[Main]\r\ncount=3\r\nratio=0.5\r\non=1\r\n\r\n");
}

}  // namespace
}  // namespace vyr
