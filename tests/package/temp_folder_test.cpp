// Temporary folders: private, locked while in use, cleaned when their process is gone.

#include <fcntl.h>
#include <signal.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <regex>

#include "access_fixture.h"
#include "package/access/temp_folder.h"

namespace vyr {
namespace {

namespace fs = std::filesystem;
using test::TTempDir;

// Whether some open file description holds the lock on the file.
bool LockIsHeld(const std::string& path) {
  const int fd = ::open(path.c_str(), O_RDWR);
  if (fd < 0) return false;
  const bool held = ::flock(fd, LOCK_EX | LOCK_NB) != 0;
  ::close(fd);
  return held;
}

mode_t ModeOf(const std::string& path) {
  struct stat info {};
  ::stat(path.c_str(), &info);
  return info.st_mode & 07777;
}

TEST(TempFolders, NamesAreBracketedUpperCaseGuids) {
  const std::regex form(
      R"(\[[0-9A-F]{8}-[0-9A-F]{4}-4[0-9A-F]{3}-[89AB][0-9A-F]{3}-[0-9A-F]{12}\])");
  const std::string a = NewGuidFolderName(), b = NewGuidFolderName();
  EXPECT_TRUE(std::regex_match(a, form)) << a;
  EXPECT_NE(a, b);
}

TEST(TempFolders, NewFolderIsPrivateAndLockedUntilCleaned) {
  TTempDir dir;
  std::string folder;
  {
    TTempFolders folders(dir.Path().string());
    folder = folders.NewFolder(true);
    ASSERT_TRUE(folder.ends_with("]/"));
    folder.pop_back();
    EXPECT_EQ(fs::path(folder).parent_path(), dir.Path());
    EXPECT_TRUE(fs::is_directory(folder));
    EXPECT_EQ(ModeOf(folder), 0700u);
    EXPECT_TRUE(LockIsHeld(folder + ".lock"));
    test::WriteFile(folder + "/ffmpeg.so", "library");

    // Another process starting now leaves a held folder alone and makes its own.
    TTempFolders second(dir.Path().string());
    second.CleanStale();
    EXPECT_TRUE(fs::exists(folder + "/ffmpeg.so"));
    const std::string other = second.NewFolder(false);
    EXPECT_NE(other, folder);
    EXPECT_TRUE(fs::is_directory(other));
  }
  // Both cleaned at their end.
  EXPECT_FALSE(fs::exists(folder));
  EXPECT_FALSE(fs::exists(folder + ".lock"));
  EXPECT_TRUE(fs::is_empty(dir.Path()));
}

TEST(TempFolders, StaleFoldersAreRemovedHeldOnesKept) {
  TTempDir dir;
  const std::string stale = dir / "[STALE]", held = dir / "[HELD]", bare = dir / "[NOLOCK]";
  test::WriteFile(stale + "/sub/file.dll", "left by a crash");
  test::WriteFile(stale + ".lock", "");
  test::WriteFile(held + "/file.dll", "in use");
  test::WriteFile(held + ".lock", "");
  test::WriteFile(bare + "/file.dll", "no lock file");
  test::WriteFile(dir / "lonely.lock", "");  // a lock without a folder
  const int holder = ::open((held + ".lock").c_str(), O_RDWR);
  ASSERT_EQ(::flock(holder, LOCK_EX | LOCK_NB), 0);

  TTempFolders folders(dir.Path().string());
  folders.CleanStale();
  EXPECT_FALSE(fs::exists(stale));
  EXPECT_FALSE(fs::exists(stale + ".lock"));
  EXPECT_FALSE(fs::exists(dir / "lonely.lock"));
  EXPECT_TRUE(fs::exists(held + "/file.dll"));
  EXPECT_TRUE(fs::exists(held + ".lock"));
  EXPECT_TRUE(fs::exists(bare + "/file.dll"));

  // Once its holder is gone the folder is stale too.
  ::close(holder);
  folders.CleanStale();
  EXPECT_FALSE(fs::exists(held));
}

TEST(TempFolders, AKilledProcessLeavesAFolderTheNextStartRemoves) {
  TTempDir dir;
  int pipeFds[2];
  ASSERT_EQ(::pipe(pipeFds), 0);
  const pid_t child = ::fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    ::close(pipeFds[0]);
    auto* folders = new TTempFolders(dir.Path().string());  // never cleaned: killed below
    const std::string folder = folders->NewFolder(false) + "\n";
    if (::write(pipeFds[1], folder.data(), folder.size()) < 0) ::_exit(1);
    for (;;) ::pause();
  }
  ::close(pipeFds[1]);
  std::string folder;
  char c;
  while (::read(pipeFds[0], &c, 1) == 1 && c != '\n') folder += c;
  ::close(pipeFds[0]);
  ASSERT_FALSE(folder.empty());

  TTempFolders second(dir.Path().string());
  second.CleanStale();  // the first process still runs: its folder stays
  EXPECT_TRUE(fs::is_directory(folder));
  EXPECT_TRUE(LockIsHeld(folder + ".lock"));

  ::kill(child, SIGKILL);
  ::waitpid(child, nullptr, 0);
  EXPECT_TRUE(fs::is_directory(folder));
  second.CleanStale();
  EXPECT_FALSE(fs::exists(folder));
  EXPECT_FALSE(fs::exists(folder + ".lock"));
}

TEST(TempFolders, RootIsMadePrivateInTheTempFolder) {
  TTempDir dir;
  const std::string root = PrepareTempRoot(dir.Path().string() + "/");
  EXPECT_EQ(root, dir / "TARVIK_TEMP_ROOT/");
  EXPECT_EQ(ModeOf(root), 0700u);
  EXPECT_EQ(PrepareTempRoot(dir.Path().string() + "/"), root);  // an existing own root is kept

  // A link planted under the root's name is never followed.
  TTempDir other;
  fs::remove(dir / "TARVIK_TEMP_ROOT");
  fs::create_directory_symlink(other.Path(), dir / "TARVIK_TEMP_ROOT");
  const std::string fallback = PrepareTempRoot(dir.Path().string() + "/");
  EXPECT_EQ(fallback, dir / ("TARVIK_TEMP_ROOT-" + std::to_string(::geteuid()) + "/"));
  EXPECT_TRUE(fs::is_directory(fs::symlink_status(fallback.substr(0, fallback.size() - 1))));
}

TEST(TempFolders, NoTempFolderAtAllIsAnAssertion) {
  try {
    PrepareTempRoot("");
    FAIL();
  } catch (const EAssertionFailed& error) {
    EXPECT_NE(std::string(error.what()).find("'Temp Path not Found'"), std::string::npos);
  }
}

}  // namespace
}  // namespace vyr
