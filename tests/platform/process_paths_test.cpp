#include "platform/process_paths.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <optional>

namespace vyr {
namespace {

namespace fs = std::filesystem;

// Sets an environment variable for the scope and restores it afterwards.
class ScopedEnv {
 public:
  ScopedEnv(const char* name, const std::optional<std::string>& value) : name_(name) {
    if (const char* old = std::getenv(name)) old_ = old;
    if (value) {
      ::setenv(name, value->c_str(), 1);
    } else {
      ::unsetenv(name);
    }
  }
  ~ScopedEnv() {
    if (old_) {
      ::setenv(name_, old_->c_str(), 1);
    } else {
      ::unsetenv(name_);
    }
  }

 private:
  const char* name_;
  std::optional<std::string> old_;
};

class ProcessPathsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = fs::temp_directory_path() / ("vyr_paths_test_" + std::to_string(::getpid()));
    fs::remove_all(dir_);
    fs::create_directories(dir_);
  }
  void TearDown() override { fs::remove_all(dir_); }
  fs::path dir_;
};

TEST_F(ProcessPathsTest, ProgramPathIsThisExecutable) {
  EXPECT_EQ(fs::path(ProgramPath()), fs::canonical("/proc/self/exe"));
  EXPECT_EQ(FileNameOf(ProgramPath()), "test_platform");
  ASSERT_FALSE(ProgramFolder().empty());
  EXPECT_EQ(ProgramFolder().back(), '/');
  EXPECT_EQ(ProgramFolder() + "test_platform", ProgramPath());
  ASSERT_FALSE(ProgramArguments().empty());
  EXPECT_EQ(FileNameOf(ProgramArguments()[0]), "test_platform");
}

TEST_F(ProcessPathsTest, RelativePathsHangOffTheProgramFolder) {
  const std::string previous = fs::current_path();
  fs::current_path(dir_);
  EXPECT_EQ(ResolveAgainstProgramFolder("../Shows/b.vyshow"),
            ProgramFolder() + "../Shows/b.vyshow");
  EXPECT_EQ(ResolveAgainstProgramFolder("/abs/b.exe"), "/abs/b.exe");
  fs::current_path(previous);
}

TEST(ProcessPaths, CommandLineQuotesArgumentsWithBlanks) {
  EXPECT_EQ(JoinCommandLine({"/opt/v", "-exename", "/my shows/a.exe", "", "-log"}),
            "/opt/v -exename \"/my shows/a.exe\" \"\" -log");
}

TEST(ProcessPaths, ChangeFileExtTouchesOnlyTheFileName) {
  EXPECT_EQ(ChangeFileExt("/opt/show/viewer", ".log"), "/opt/show/viewer.log");
  EXPECT_EQ(ChangeFileExt("/opt/show/MyShow.exe", ".log"), "/opt/show/MyShow.log");
  EXPECT_EQ(ChangeFileExt("/opt/sh.ow/viewer", ".log"), "/opt/sh.ow/viewer.log");
  EXPECT_EQ(ChangeFileExt("/a/show.tar.gz", ".log"), "/a/show.tar.log");
}

TEST_F(ProcessPathsTest, LogFileSitsNextToAWritableProgram) {
  EXPECT_EQ(LogFilePathFor((dir_ / "Show.exe").string()), (dir_ / "Show.log").string());
}

TEST_F(ProcessPathsTest, LogFileMovesToTheStateFolderWhenTheProgramFolderIsNotWritable) {
  const std::string program = (dir_ / "no such folder" / "viewer").string();
  {
    ScopedEnv xdg("XDG_STATE_HOME", (dir_ / "state").string());
    EXPECT_EQ(LogFilePathFor(program), (dir_ / "state" / "vyrviewer" / "viewer.log").string());
    EXPECT_TRUE(fs::is_directory(dir_ / "state" / "vyrviewer"));
  }
  {
    ScopedEnv xdg("XDG_STATE_HOME", std::nullopt);
    ScopedEnv home("HOME", (dir_ / "home").string());
    EXPECT_EQ(LogFilePathFor(program),
              (dir_ / "home" / ".local" / "state" / "vyrviewer" / "viewer.log").string());
    EXPECT_TRUE(fs::is_directory(dir_ / "home" / ".local" / "state" / "vyrviewer"));
  }
  {
    // A relative XDG_STATE_HOME is not valid and is ignored.
    ScopedEnv xdg("XDG_STATE_HOME", "relative/state");
    ScopedEnv home("HOME", (dir_ / "home2").string());
    EXPECT_EQ(LogFilePathFor(program),
              (dir_ / "home2" / ".local" / "state" / "vyrviewer" / "viewer.log").string());
  }
}

}  // namespace
}  // namespace vyr
