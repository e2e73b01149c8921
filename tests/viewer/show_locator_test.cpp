// Where the player finds a show that the current one names, and how a project made for an
// executable stands for that executable.
#include "viewer/window/show_locator.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

namespace vyr {
namespace {

namespace fs = std::filesystem;

class ShowLocator : public ::testing::Test {
 protected:
  void SetUp() override {
    root_ = fs::temp_directory_path() / ("vyr_locator_" + std::to_string(::getpid()));
    fs::remove_all(root_);
    fs::create_directories(root_ / "shows/main");
    fs::create_directories(root_ / "shows/other");
  }
  void TearDown() override { fs::remove_all(root_); }
  std::string Touch(const fs::path& relative) {
    std::ofstream(root_ / relative) << "x";
    return (root_ / relative).string();
  }
  std::string Folder(const fs::path& relative) const { return (root_ / relative).string() + "/"; }

  fs::path root_;
};

// The project was made for C:\Shows\Main\main.exe; the shows it names were laid out beside
// that executable and now live below another folder here.
TEST_F(ShowLocator, NamedShowIsTakenRelativeToTheExecutablesFolder) {
  Touch("shows/other/b.vyshow");
  Touch("shows/main/b.vyshow");
  const std::string beside = Touch("shows/main/c.vyshow");
  const std::string exe = "C:/Shows/Main/main.exe";
  const std::string current = Folder("shows/main");
  const struct {
    const char* requested;
    std::string expected;
  } cases[] = {
      {"C:\\Shows\\other\\b.vyshow", current + "../other/b.vyshow"},  // before the one beside
      {"c:\\SHOWS\\other\\b.vyshow", current + "../other/b.vyshow"},  // folders without case
      {"C:\\Shows\\Main\\c.vyshow", beside},
      {"D:\\Elsewhere\\c.vyshow", beside},  // another drive keeps its folder: only the name
      {"C:\\Shows\\Main\\missing.vyshow", ""},
  };
  for (const auto& c : cases)
    EXPECT_EQ(FindShowBesideCurrent(c.requested, exe, current), c.expected) << c.requested;
  // Without an executable only the name beside the current show counts.
  EXPECT_EQ(FindShowBesideCurrent("C:\\Shows\\other\\b.vyshow", "", current), current + "b.vyshow");
}

TEST_F(ShowLocator, ExecutableNameOfAProjectOpensTheProject) {
  const std::string project = Touch("shows/main/Project.vyr");
  const TExeAlias alias{"C:/Shows/Main/main.exe", project};
  EXPECT_EQ(MapShowFileName("C:\\Shows\\Main\\main.exe", &alias), project);
  EXPECT_EQ(MapShowFileName("C:/Shows/Main/other.exe", &alias), "C:/Shows/Main/other.exe");
  // The show folder is the executable's when it exists here, else the project's.
  EXPECT_EQ(ProjectShowFolder(project, "C:/Shows/Main/main.exe"), Folder("shows/main"));
  EXPECT_EQ(ProjectShowFolder(project, Folder("shows/other") + "x.exe"), Folder("shows/other"));
}

}  // namespace
}  // namespace vyr
