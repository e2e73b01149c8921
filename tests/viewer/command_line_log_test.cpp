#include "viewer/command_line_log.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <iterator>

namespace vyr {
namespace {

namespace fs = std::filesystem;

TRef<TLog> LogFor(const char* commandLine, const std::string& path) {
  std::vector<std::string> tokens;
  TCommandsStorage table;
  ParseCommandLine(commandLine, tokens, table);
  return LogForOptions(table, path);
}

TEST(CommandLineLog, FileLogWinsOverStandardError) {
  const fs::path path = fs::temp_directory_path() / ("vyr_cl_log_" + std::to_string(::getpid()));
  {
    TRef<TLog> log = LogFor("viewer -log -FileLog", path.string());
    EXPECT_NE(dynamic_cast<TFileLog*>(log.Get()), nullptr);
    log->WriteLine("x");
  }
  std::ifstream in(path, std::ios::binary);
  EXPECT_EQ(std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>()),
            "\xEF\xBB\xBFx\r\n");
  fs::remove(path);

  TRef<TLog> standardError = LogFor("viewer -log", path.string());
  EXPECT_NE(dynamic_cast<TStdLog*>(standardError.Get()), nullptr);
  EXPECT_FALSE(fs::exists(path));

  TRef<TLog> silent = LogFor("viewer log filelog", path.string());
  EXPECT_EQ(dynamic_cast<TExclLog*>(silent.Get()), nullptr);
  EXPECT_EQ(dynamic_cast<TStdLog*>(silent.Get()), nullptr);
  EXPECT_FALSE(fs::exists(path));
}

}  // namespace
}  // namespace vyr
