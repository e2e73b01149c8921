// The vyrpack tool, run as users run it.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <map>
#include <set>
#include <sstream>

#include "package/package_fixture.h"
#include "run_program.h"

namespace vyr {
namespace {

namespace fs = std::filesystem;
using test::PatternBytes;
using test::ReadFile;
using test::TRunResult;
using test::WriteFile;

TRunResult Vyrpack(const std::vector<std::string>& args) {
  return test::RunProgram(VYRPACK_PATH, args);
}

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

// A project folder with pictures named in the ways authors write them.
class ShowProject : public ::testing::Test {
 protected:
  void SetUp() override {
    WriteFile(dir_ / "show/Project.vyr",
              "[Main]\r\n"
              "opt_scr_width=640\r\n"
              "[Slide1]\r\n"
              "Picture=pics\\beach.jpg\r\n"
              "object Slide:Root\r\n"
              "  object Photo:Image\r\n"
              "    ImageName=pics/sea.png\r\n"
              "  end\r\n"
              "end\r\n"
              "[Slide2]\r\n"
              "Picture=D:\\Author\\Photos\\night.png\r\n"
              "Missing=pics\\gone.jpg\r\n"
              "Folder=pics\r\n");
    WriteFile(dir_ / "show/pics/beach.jpg", Beach());
    WriteFile(dir_ / "show/pics/sea.png", Sea());
    WriteFile(dir_ / "show/more/deep/night.png", Night());
  }
  static std::string Beach() { return PatternBytes(40000, 1); }
  static std::string Sea() { return PatternBytes(3000, 2); }
  static std::string Night() { return PatternBytes(50000, 3); }

  std::string Project() const { return dir_ / "show/Project.vyr"; }
  test::TTempDir dir_;
};

TEST_F(ShowProject, CreateListCatExtractVerifyRoundTrip) {
  const std::string package = dir_ / "show.vyshow";
  const auto created = Vyrpack({"create", package, Project()});
  ASSERT_EQ(created.exitCode, 0) << created.err;

  const std::map<std::string, std::string> expected = {
      {"Project.vyr", ReadFile(Project())},
      {"pics\\beach.jpg", Beach()},
      {"pics/sea.png", Sea()},
      {"D:\\Author\\Photos\\night.png", Night()},
  };
  const auto listed = Vyrpack({"list", package});
  ASSERT_EQ(listed.exitCode, 0) << listed.err;
  const std::string bytes = ReadFile(package);
  std::set<std::string> names;
  for (const auto& line : Lines(listed.out)) {
    std::istringstream row(line);
    std::string name, method, size, offset;
    std::getline(row, name, '\t');
    std::getline(row, method, '\t');
    std::getline(row, size, '\t');
    std::getline(row, offset, '\t');
    names.insert(name);
    ASSERT_TRUE(expected.count(name)) << line;
    EXPECT_EQ(method, name == "Project.vyr" ? "1" : "0") << line;
    if (name != "Project.vyr") {
      // Stored entries stand in the file exactly where the listing says.
      EXPECT_EQ(std::stoll(size), static_cast<long long>(expected.at(name).size()));
      EXPECT_EQ(bytes.substr(std::stoull(offset), std::stoull(size)), expected.at(name));
    }
  }
  EXPECT_EQ(names.size(), expected.size());

  for (const auto& [name, content] : expected) {
    const auto cat = Vyrpack({"cat", package, name});
    EXPECT_EQ(cat.exitCode, 0) << name << cat.err;
    EXPECT_TRUE(cat.out == content) << name;
  }

  const std::string out = dir_ / "out";
  const auto extracted = Vyrpack({"extract", package, out});
  ASSERT_EQ(extracted.exitCode, 0) << extracted.err;
  EXPECT_EQ(ReadFile(out + "/pics/beach.jpg"), Beach());
  EXPECT_EQ(ReadFile(out + "/pics/sea.png"), Sea());
  EXPECT_EQ(ReadFile(out + "/Author/Photos/night.png"), Night());
  EXPECT_EQ(ReadFile(out + "/Project.vyr"), ReadFile(Project()));
  const auto manifest = Lines(ReadFile(out + "/manifest.txt"));
  EXPECT_EQ(std::set<std::string>(manifest.begin(), manifest.end()),
            (std::set<std::string>{"Project.vyr\tProject.vyr", "pics\\beach.jpg\tpics/beach.jpg",
                                   "pics/sea.png\tpics/sea.png",
                                   "D:\\Author\\Photos\\night.png\tAuthor/Photos/night.png"}));

  const auto verified = Vyrpack({"verify", package});
  EXPECT_EQ(verified.exitCode, 0) << verified.err;
  EXPECT_EQ(verified.out, "4 entries verified\n");
}

TEST_F(ShowProject, ListJsonNamesSectionsAndMethods) {
  const std::string package = dir_ / "p";
  const std::string file = dir_ / "extra";
  WriteFile(file, "extra bytes");
  ASSERT_EQ(Vyrpack({"create", package, Project(), "--add", "Color]x.bin=" + file, "--method", "2"})
                .exitCode,
            0);
  const auto listed = Vyrpack({"list", "--json", package});
  ASSERT_EQ(listed.exitCode, 0);
  EXPECT_NE(listed.out.find("{\"name\": \"Color]x.bin\", \"section\": \"Color>x.bin\", "
                            "\"method\": 2, \"size\": 11, \"offset\": "),
            std::string::npos)
      << listed.out;
  EXPECT_NE(listed.out.find("\"name\": \"pics\\\\beach.jpg\""), std::string::npos);
  EXPECT_EQ(listed.out.find("$protection$"), std::string::npos);
  EXPECT_EQ(listed.out.front(), '[');
  EXPECT_EQ(Vyrpack({"cat", package, "Color]x.bin"}).out, "extra bytes");
}

TEST_F(ShowProject, SelfPlayingProgramAndTheShowCutOutOfIt) {
  const std::string player = dir_ / "player";
  const std::string program = PatternBytes(20000, 9);
  WriteFile(player, program);
  ::chmod(player.c_str(), 0755);
  for (const bool allow : {true, false}) {
    const std::string show = dir_ / "show.run";
    std::vector<std::string> args = {"create", show, Project(), "--exe", player};
    if (allow) args.push_back("--allow-modify");
    ASSERT_EQ(Vyrpack(args).exitCode, 0);
    struct stat info {};
    ::stat(show.c_str(), &info);
    EXPECT_EQ(info.st_mode & 0777, 0755u);
    const std::string bytes = ReadFile(show);
    EXPECT_EQ(bytes.substr(0, program.size()), program);
    EXPECT_EQ(Vyrpack({"verify", show}).exitCode, 0);

    WriteFile(dir_ / "cut.vyshow", bytes.substr(program.size()));
    const auto cut = Vyrpack({"verify", dir_ / "cut.vyshow"});
    if (allow) {
      EXPECT_EQ(cut.exitCode, 0) << cut.err;
      EXPECT_EQ(Vyrpack({"cat", dir_ / "cut.vyshow", "pics/sea.png"}).out, Sea());
    } else {
      EXPECT_EQ(cut.exitCode, 2);
      EXPECT_EQ(cut.err, "vyrpack: Slide-show File Modified\n");
    }
    // Copied out entry by entry, the show stands on its own in either case.
    const std::string own = dir_ / "own.vyshow";
    ASSERT_EQ(Vyrpack({"unbundle", show, own}).exitCode, 0);
    EXPECT_EQ(Vyrpack({"verify", own}).exitCode, 0);
    EXPECT_EQ(Vyrpack({"cat", own, "pics/sea.png"}).out, Sea());
    EXPECT_EQ(Vyrpack({"cat", own, "Project.vyr"}).out, ReadFile(Project()));
    EXPECT_EQ(Lines(Vyrpack({"list", own}).out).size(), Lines(Vyrpack({"list", show}).out).size());
  }
  // A program that carries no show: nothing is written.
  const auto bare = Vyrpack({"unbundle", player, dir_ / "none.vyshow"});
  EXPECT_EQ(bare.exitCode, 2);
  EXPECT_FALSE(fs::exists(dir_ / "none.vyshow"));
}

TEST_F(ShowProject, ShortTrailerAndScrambledEntries) {
  const std::string package = dir_ / "p";
  ASSERT_EQ(Vyrpack({"create", package, Project(), "--short-trailer", "--method", "2"}).exitCode,
            0);
  const std::string bytes = ReadFile(package);
  EXPECT_EQ(bytes.substr(bytes.size() - 4), ".dne");
  EXPECT_EQ(bytes.find(Sea()), std::string::npos) << "scrambled bytes are not stored plain";
  EXPECT_EQ(Vyrpack({"cat", package, "pics/sea.png"}).out, Sea());
  EXPECT_EQ(Vyrpack({"verify", package}).exitCode, 0);
}

TEST(Vyrpack, ExtractNeverWritesOutsideTheFolder) {
  test::TTempDir dir;
  WriteFile(dir / "Project.vyr", "[Main]\r\n");
  WriteFile(dir / "payload", "payload");
  const std::vector<std::string> hostile = {"../../evil1",   "/tmp/evil2",    "C:\\..\\..\\evil3",
                                            "a/../../evil4", "..\\..\\evil5", "link/evil6",
                                            "planted",       "x/y",           "x\\y",
                                            "manifest.txt",  "./.././",       "d:evil7"};
  std::vector<std::string> args = {"create", dir / "p", dir / "Project.vyr"};
  for (const auto& name : hostile) {
    args.push_back("--add");
    args.push_back(name + "=" + (dir / "payload"));
  }
  ASSERT_EQ(Vyrpack(args).exitCode, 0);

  const std::string out = dir / "nested/out";
  const std::string outside = dir / "outside";
  fs::create_directories(out);
  fs::create_directories(outside);
  WriteFile(outside + "/target", "keep me");
  fs::create_directory_symlink(outside, out + "/link");
  fs::create_symlink(outside + "/target", out + "/planted");

  const auto extracted = Vyrpack({"extract", dir / "p", out});
  EXPECT_EQ(extracted.exitCode, 1) << "link/evil6 cannot pass through the planted link";
  EXPECT_EQ(ReadFile(outside + "/target"), "keep me");
  EXPECT_EQ(std::distance(fs::directory_iterator(outside), fs::directory_iterator()), 1);
  for (const auto& entry : fs::recursive_directory_iterator(dir.Path())) {
    if (!entry.is_regular_file() || entry.is_symlink()) continue;
    const std::string path = entry.path().string();
    if (path != dir / "payload" && ReadFile(path) == "payload") {
      EXPECT_EQ(path.rfind(out + "/", 0), 0u) << path << " lies outside the folder";
    }
  }
  EXPECT_EQ(ReadFile(out + "/evil1"), "payload");
  EXPECT_EQ(ReadFile(out + "/tmp/evil2"), "payload");
  EXPECT_EQ(ReadFile(out + "/planted"), "payload");
  EXPECT_FALSE(fs::is_symlink(out + "/planted"));
  EXPECT_EQ(ReadFile(out + "/x/y"), "payload");
  EXPECT_EQ(ReadFile(out + "/x/y~2"), "payload");
  EXPECT_EQ(ReadFile(out + "/manifest~2.txt"), "payload");
  EXPECT_NE(ReadFile(out + "/manifest.txt").find("manifest.txt\tmanifest~2.txt\n"),
            std::string::npos);
}

// Files the project names outside its folder go in only with --allow-outside; files inside,
// links within the folder included, go in either way.
TEST(Vyrpack, CreatePacksFilesOutsideTheProjectFolderOnlyWhenAllowed) {
  test::TTempDir dir;
  WriteFile(dir / "secret.txt", "secret");
  WriteFile(dir / "show/pics/in.jpg", "inside");
  fs::create_symlink(dir / "show/pics/in.jpg", dir / "show/pics/near.jpg");
  fs::create_symlink(dir / "secret.txt", dir / "show/pics/far.jpg");
  WriteFile(dir / "show/Project.vyr",
            "[Main]\r\nA=pics\\in.jpg\r\nB=pics/near.jpg\r\nC=../secret.txt\r\n"
            "D=pics/far.jpg\r\nE=pics/../../secret.txt\r\n");
  const std::string package = dir / "p.vyshow";

  const auto refused = Vyrpack({"create", package, dir / "show/Project.vyr"});
  EXPECT_EQ(refused.exitCode, 2);
  for (const char* value : {"../secret.txt", "pics/far.jpg", "pics/../../secret.txt"})
    EXPECT_NE(refused.err.find(std::string("\n  ") + value + " (" + (dir / "secret.txt") + ")"),
              std::string::npos)
        << refused.err;
  EXPECT_EQ(refused.err.find("in.jpg"), std::string::npos) << refused.err;
  EXPECT_EQ(refused.err.find("near.jpg"), std::string::npos) << refused.err;
  EXPECT_FALSE(fs::exists(package));

  const auto allowed = Vyrpack({"create", package, dir / "show/Project.vyr", "--allow-outside"});
  ASSERT_EQ(allowed.exitCode, 0) << allowed.err;
  for (const auto& [entry, content] :
       std::map<std::string, std::string>{{"pics\\in.jpg", "inside"},
                                          {"pics/near.jpg", "inside"},
                                          {"../secret.txt", "secret"},
                                          {"pics/far.jpg", "secret"},
                                          {"pics/../../secret.txt", "secret"}})
    EXPECT_EQ(Vyrpack({"cat", package, entry}).out, content) << entry;
}

TEST(Vyrpack, ErrorsAndTheirExitStatus) {
  test::TTempDir dir;
  WriteFile(dir / "Project.vyr", "[Main]\r\nPicture=pic.jpg\r\n");
  WriteFile(dir / "pic.jpg", PatternBytes(5000));
  ASSERT_EQ(Vyrpack({"create", dir / "good", dir / "Project.vyr"}).exitCode, 0);
  // The stored picture overwritten with other bytes still verifies (stored bytes carry no
  // check), so damage the deflated project instead: its first block header becomes invalid.
  std::string damaged = ReadFile(dir / "good");
  damaged[0] = '\x07';
  WriteFile(dir / "damaged", damaged);
  WriteFile(dir / "text", "no package in here at all");

  const struct {
    std::vector<std::string> args;
    int exitCode;
    std::string err;
  } cases[] = {
      {{}, 2, ""},
      {{"frobnicate"}, 2, "vyrpack: unknown command frobnicate (try vyrpack --help)\n"},
      {{"list", dir / "nothing"}, 2, "vyrpack: Slideshow File not Found\n"},
      {{"list", dir / "text"}, 2, "vyrpack: not a show package\n"},
      {{"cat", dir / "good", "nope.jpg"}, 1, "vyrpack: no entry nope.jpg\n"},
      {{"cat", dir / "damaged", "Project.vyr"}, 2, "vyrpack: invalid block type\n"},
      {{"verify", dir / "damaged"}, 1, "vyrpack: Project.vyr: invalid block type\n"},
      {{"create", dir / "x", dir / "missing.vyr"},
       2,
       "vyrpack: cannot read " + (dir / "missing.vyr") + "\n"},
      {{"create", dir / "x", dir / "Project.vyr", "--method", "7"},
       2,
       "vyrpack: --method takes 0, 1 or 2, not 7\n"},
  };
  for (const auto& c : cases) {
    const auto run = Vyrpack(c.args);
    EXPECT_EQ(run.exitCode, c.exitCode) << (c.args.empty() ? "" : c.args[0]) << run.err;
    if (!c.err.empty()) {
      EXPECT_EQ(run.err, c.err);
    }
  }
  EXPECT_FALSE(fs::exists(dir / "x"));

  const auto help = Vyrpack({"--help"});
  EXPECT_EQ(help.exitCode, 0);
  EXPECT_EQ(help.out.rfind("Usage: vyrpack", 0), 0u);
  const auto version = Vyrpack({"--version"});
  EXPECT_EQ(version.exitCode, 0);
  EXPECT_EQ(version.out.rfind("vyrpack ", 0), 0u);
}

}  // namespace
}  // namespace vyr
