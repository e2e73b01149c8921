#include "platform/log_banner.h"

#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include "platform/process_paths.h"

namespace vyr {
namespace {

TEST(Clock, DateTimeTextHasFixedWidths) {
  EXPECT_EQ(FormatDateTime({2012, 3, 5, 9, 7, 2, 45}), "05.03.2012 09:07:02.045");
  EXPECT_EQ(FormatDateTime({1999, 12, 31, 23, 59, 59, 999}), "31.12.1999 23:59:59.999");
}

TEST(Clock, TickCountsMillisecondsAndNeverGoesBack) {
  const int64_t start = TickCount();
  EXPECT_GE(start, 0);
  std::this_thread::sleep_for(std::chrono::milliseconds(30));
  const int64_t later = TickCount();
  EXPECT_GE(later - start, 30);
  EXPECT_LT(later - start, 30000);  // milliseconds, not a finer unit
}

TEST(LogBanner, HeaderAndFooterLines) {
  const std::string rule(64, '='), dashes(64, '-');
  EXPECT_EQ(HeaderLines("/opt/show/viewer", {2012, 3, 5, 9, 7, 2, 45}),
            (std::vector<std::string>{"", rule, "Program : /opt/show/viewer",
                                      "started : 05.03.2012 09:07:02.045", rule}));
  EXPECT_EQ(
      FooterLines({2024, 11, 30, 18, 0, 1, 5}, 123456),
      (std::vector<std::string>{
          "", dashes, "Program stoped : 30.11.2024 18:00:01.005 (work time : 123456 ms)", dashes}));
}

TEST(LogBanner, WrittenWithoutPrefixesToTheGivenLog) {
  auto log = MakeRef<TLog>();
  std::vector<std::string> lines;
  log->SetSink([&lines](const std::string& line) { lines.push_back(line); });
  log->SetThreadIdPrefix(true);
  WriteHeader(*log);
  WriteFooter(*log);
  ASSERT_EQ(lines.size(), 9u);
  EXPECT_EQ(lines[2], "Program : " + ProgramPath());
  EXPECT_EQ(lines[3], "started : " + FormatDateTime(ProcessStartDateTime()));
  EXPECT_EQ(lines[7].rfind("Program stoped : ", 0), 0u);
  EXPECT_EQ(lines[7].substr(lines[7].size() - 4), " ms)");
}

TEST(LogBanner, ElapsedIsTickMinusStart) {
  auto log = MakeRef<TLog>();
  std::vector<std::string> lines;
  log->SetSink([&lines](const std::string& line) { lines.push_back(line); });
  WriteElapsed("took ", TickCount() - 5000, " ms", *log);
  ASSERT_EQ(lines.size(), 1u);
  const int64_t shown = std::stoll(lines[0].substr(5));
  EXPECT_GE(shown, 5000);
  EXPECT_LT(shown, 6000);
  EXPECT_EQ(lines[0].substr(lines[0].size() - 3), " ms");
}

}  // namespace
}  // namespace vyr
