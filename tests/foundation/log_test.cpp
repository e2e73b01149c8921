#include "foundation/log.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <thread>
#include <vector>

namespace vyr {
namespace {

namespace fs = std::filesystem;

std::string ReadFile(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

class TempDir {
 public:
  TempDir() {
    path_ = fs::temp_directory_path() / ("vyr_log_test_" + std::to_string(::getpid()));
    fs::remove_all(path_);
    fs::create_directories(path_);
  }
  ~TempDir() { fs::remove_all(path_); }
  fs::path operator/(const std::string& name) const { return path_ / name; }

 private:
  fs::path path_;
};

// A log whose lines land in a vector.
struct Captured {
  TRef<TLog> log = MakeRef<TLog>();
  std::vector<std::string> lines;
  Captured() {
    log->SetSink([this](const std::string& line) { lines.push_back(line); });
  }
};

TEST(LogFormat, RealsKeepUpTo16DecimalsWithoutTrailingZeros) {
  const struct {
    double value;
    const char* text;
  } cases[] = {
      {2.0, "2"},
      {1.5, "1.5"},
      {-0.25, "-0.25"},
      {0.1, "0.1"},
      {1.0 / 3.0, "0.3333333333333333"},
      {1e-17, "0"},
      {-1e-17, "0"},
      {123456789.125, "123456789.125"},
      {1e20, "100000000000000000000"},
  };
  for (const auto& c : cases) EXPECT_EQ(FormatReal(c.value), c.text) << c.value;
}

TEST(LogFormat, EachOperationWritesPrefixValueSuffix) {
  Captured out;
  const double reals[] = {0.5, 2.0, -1.75};
  const int64_t integers[] = {-9000000000, 0, 7};
  out.log->WriteInteger("n=", -2147483647 - 1, ";");
  out.log->WriteReal("r=", 0.125);
  out.log->WriteReals("[", reals, "]");
  out.log->WriteReals("[", std::span<const double>(), "]");
  out.log->WriteBoolean("b ", true);
  out.log->WriteBoolean("b ", false);
  out.log->WriteIntegers("i ", integers);
  out.log->WritePoint("pt ", 10, -20);
  out.log->WriteRect("rc ", 1, 2, 300, 400, " px");
  const std::vector<std::string> expected = {
      "n=-2147483648;",      "r=0.125",    "[0.5, 2, -1.75]",      "[]", "b True", "b False",
      "i -9000000000, 0, 7", "pt 10, -20", "rc 1, 2, 300, 400 px",
  };
  EXPECT_EQ(out.lines, expected);
}

TEST(LogFormat, BannerLinesSkipThePrefixes) {
  Captured out;
  out.log->SetThreadIdPrefix(true);
  out.log->SetElapsedPrefix(true);
  out.log->WriteLine("hello");
  out.log->WriteUnprefixed("plain");
  ASSERT_EQ(out.lines.size(), 2u);
  EXPECT_NE(out.lines[0], "hello");
  EXPECT_EQ(out.lines[0].substr(out.lines[0].size() - 5), "hello");
  EXPECT_EQ(out.lines[0].front(), '[');
  EXPECT_EQ(out.lines[1], "plain");
}

TEST(FileLog, StartsWithBomWritesCrLfAndIsCreatedAnew) {
  TempDir dir;
  const fs::path path = dir / "viewer.log";
  {
    auto first = MakeRef<TFileLog>(path.string());
    first->WriteLine("first run");
    first->WriteLine("Gr\xC3\xBC\xC3\x9F");
  }
  EXPECT_EQ(ReadFile(path),
            "\xEF\xBB\xBF"
            "first run\r\nGr\xC3\xBC\xC3\x9F\r\n");
  {
    auto second = MakeRef<TFileLog>(path.string());
    second->WriteLine("second run");
  }
  EXPECT_EQ(ReadFile(path),
            "\xEF\xBB\xBF"
            "second run\r\n");
}

TEST(FileLog, UncreatableFileDropsLinesSilently) {
  TempDir dir;
  auto log = MakeRef<TFileLog>((dir / "missing" / "x.log").string());
  EXPECT_FALSE(log->HasStream());
  EXPECT_NO_THROW(log->WriteLine("nowhere"));
  EXPECT_FALSE(fs::exists(dir / "missing"));
}

TEST(FileLog, LinesFromManyThreadsStayWhole) {
  TempDir dir;
  const fs::path path = dir / "threads.log";
  auto log = MakeRef<TFileLog>(path.string());
  constexpr int kThreads = 4, kLines = 300;
  std::vector<std::thread> threads;
  for (int t = 0; t < kThreads; ++t) {
    threads.emplace_back([&log, t] {
      const std::string body(50, static_cast<char>('a' + t));
      for (int i = 0; i < kLines; ++i) log->WriteLine(body);
    });
  }
  for (auto& thread : threads) thread.join();
  const std::string text = ReadFile(path);
  ASSERT_EQ(text.substr(0, 3), "\xEF\xBB\xBF");
  EXPECT_EQ(text.find("\xEF\xBB\xBF", 3), std::string::npos);
  size_t lines = 0;
  for (size_t pos = 3; pos < text.size(); pos += 52, ++lines) {
    const std::string line = text.substr(pos, 52);
    ASSERT_EQ(line.substr(50), "\r\n") << "line " << lines;
    EXPECT_EQ(line.find_first_not_of(line[0]), 50u) << "line " << lines;
  }
  EXPECT_EQ(lines, size_t{kThreads * kLines});
}

TEST(GlobalLog, ReplacingClosesTheOldFileAndKeepsWritersSafe) {
  TempDir dir;
  const fs::path path = dir / "global.log";
  SetGlobalLog(MakeRef<TFileLog>(path.string()));
  WriteLine("kept");
  TLog& old = GlobalLog();
  std::thread writer([&old] {
    for (int i = 0; i < 2000; ++i) old.WriteLine("late");
  });
  SetGlobalLog(nullptr);  // a fresh discarding log
  writer.join();
  WriteLine("discarded");
  old.WriteLine("after close");
  const std::string text = ReadFile(path);
  EXPECT_EQ(text.rfind("\xEF\xBB\xBF"
                       "kept\r\n",
                       0),
            0u);
  EXPECT_EQ(text.find("after close"), std::string::npos);
  EXPECT_EQ(text.find("discarded"), std::string::npos);
}

}  // namespace
}  // namespace vyr
