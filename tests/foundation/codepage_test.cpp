// ANSI project text to UTF-8.
#include "foundation/codepage.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <optional>
#include <string>

namespace vyr {
namespace {

// Sets VYR_CODEPAGE for one test and restores it afterwards.
class TCodePageScope {
 public:
  explicit TCodePageScope(const char* name) {
    if (const char* old = std::getenv("VYR_CODEPAGE")) old_ = old;
    if (name) {
      setenv("VYR_CODEPAGE", name, 1);
    } else {
      unsetenv("VYR_CODEPAGE");
    }
  }
  ~TCodePageScope() {
    if (old_) {
      setenv("VYR_CODEPAGE", old_->c_str(), 1);
    } else {
      unsetenv("VYR_CODEPAGE");
    }
  }

 private:
  std::optional<std::string> old_;
};

TEST(CodePage, Windows1252ByDefault) {
  TCodePageScope scope(nullptr);
  EXPECT_EQ(AnsiCodePageName(), "CP1252");
  EXPECT_EQ(AnsiToUtf8("plain ascii"), "plain ascii");
  // é, the euro sign and the curly quotes live in 0x80..0xFF.
  EXPECT_EQ(AnsiToUtf8("caf\xE9 \x80 \x93q\x94"), "café € “q”");
  EXPECT_EQ(AnsiToUtf8(std::string("a\0b", 3)), std::string("a\0b", 3));
}

TEST(CodePage, UndecodableBytesKeepTheRestOfTheText) {
  TCodePageScope scope(nullptr);
  // 0x81 and 0x8D have no character in Windows-1252: they become U+0081 and U+008D.
  EXPECT_EQ(AnsiToUtf8("a\x81"
                       "b\x8D\xE9"),
            "a\xC2\x81"
            "b\xC2\x8D\xC3\xA9");
}

TEST(CodePage, EnvironmentNamesAnotherCodePage) {
  {
    TCodePageScope scope("CP1251");
    EXPECT_EQ(AnsiToUtf8("\xCF\xF0\xE8\xE2\xE5\xF2"), "Привет");
  }
  {
    // Shift-JIS: a truncated double-byte sequence at the end keeps its byte.
    TCodePageScope scope("CP932");
    EXPECT_EQ(AnsiToUtf8("\x93\xFA\x96\x7B\x93"), "日本\xC2\x93");
  }
  {
    TCodePageScope scope("NO-SUCH-CODEPAGE");
    EXPECT_EQ(AnsiToUtf8("caf\xE9"), "café");
  }
}

}  // namespace
}  // namespace vyr
