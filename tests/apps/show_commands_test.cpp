// vyrpack info and decode: commands that open a whole show.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <string>

#include "package/package_fixture.h"
#include "run_program.h"

namespace vyr {
namespace {

using test::ReadFile;
using test::TRunResult;
using test::WriteFile;

TRunResult Vyrpack(const std::vector<std::string>& args) {
  return test::RunProgram(VYRPACK_PATH, args);
}

// Three slides ending at 5000, 9000 and 15000, each brought in by a 1000 ms dissolve, with a
// 2 x 1 picture named by an author's Windows path.
class InfoShow : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string text = "[Main]\r\nopt_scr_width=800\r\nopt_scr_height=600\r\n";
    text += "[Times]\r\nopt_slidescount=3\r\nopt_synchpos1=5000\r\nopt_synchpos2=9000\r\n";
    text += "opt_synchpos3=15000\r\n";
    for (int k = 1; k <= 3; ++k) {
      text += "[Slide" + std::to_string(k) + "]\r\n";
      if (k == 2) text += "slideid=Beach.Day\r\nPicture=C:\\Author\\dot.bmp\r\n";
      text += "object TheEffect:AnEffect\r\n  ref=dissolve\r\n  time=1000\r\nend\r\n";
    }
    WriteFile(dir_ / "show/Project.vyr", text);
    WriteFile(dir_ / "show/dot.bmp", TwoPixelBmp());
  }

  // A 24-bit bottom-up BMP of two pixels: red, then blue.
  static std::string TwoPixelBmp() {
    std::string bmp = "BM";
    auto u32 = [&](uint32_t v) {
      for (int i = 0; i < 4; ++i) bmp += static_cast<char>((v >> (8 * i)) & 255);
    };
    auto u16 = [&](uint16_t v) {
      bmp += static_cast<char>(v & 255);
      bmp += static_cast<char>(v >> 8);
    };
    u32(14 + 40 + 8), u32(0), u32(14 + 40);
    u32(40), u32(2), u32(1), u16(1), u16(24), u32(0), u32(8), u32(2835), u32(2835), u32(0), u32(0);
    bmp += std::string("\x00\x00\xFF\xFF\x00\x00\x00\x00", 8);  // BGR red, BGR blue, padding
    return bmp;
  }

  std::string Project() const { return dir_ / "show/Project.vyr"; }
  test::TTempDir dir_;
};

TEST_F(InfoShow, SameTimeLineFromProjectPackageAndSelfPlayingProgram) {
  const std::string package = dir_ / "show.vyshow";
  const std::string player = dir_ / "player";
  WriteFile(player, std::string(4096, '\x7f'));
  ::chmod(player.c_str(), 0755);
  const std::string program = dir_ / "show.run";
  ASSERT_EQ(Vyrpack({"create", package, Project()}).exitCode, 0);
  ASSERT_EQ(Vyrpack({"create", program, Project(), "--exe", player}).exitCode, 0);

  const TRunResult fromProject = Vyrpack({"info", "--json", "--seed", "7", Project()});
  ASSERT_EQ(fromProject.exitCode, 0) << fromProject.err;
  const std::string& json = fromProject.out;
  EXPECT_NE(json.find("\"slides\": 3"), std::string::npos) << json;
  EXPECT_NE(json.find("\"length\": 15000"), std::string::npos) << json;
  EXPECT_NE(json.find("\"size\": [800, 600]"), std::string::npos) << json;
  EXPECT_NE(json.find("\"id\": \"Beach.Day\""), std::string::npos) << json;
  EXPECT_NE(json.find("\"start\": 5000, \"end\": 9000"), std::string::npos) << json;

  for (const std::string& show : {package, program}) {
    const TRunResult other = Vyrpack({"info", "--json", "--seed", "7", show});
    EXPECT_EQ(other.exitCode, 0) << show << ": " << other.err;
    EXPECT_EQ(other.out, json) << show;
  }
}

TEST_F(InfoShow, DecodeReadsAPictureInsideAShow) {
  const std::string package = dir_ / "show.vyshow";
  ASSERT_EQ(Vyrpack({"create", package, Project()}).exitCode, 0);
  const std::string out = dir_ / "dot.png";
  const TRunResult decoded = Vyrpack({"decode", package + ":C:\\Author\\dot.bmp", out});
  ASSERT_EQ(decoded.exitCode, 0) << decoded.err;
  const std::string png = ReadFile(out);
  ASSERT_GE(png.size(), 24u);
  EXPECT_EQ(png.substr(1, 3), "PNG");
  // IHDR: width 2, height 1.
  EXPECT_EQ(png.substr(16, 8), std::string("\0\0\0\2\0\0\0\1", 8));
}

TEST_F(InfoShow, TextRendersWithAndWithoutAShow) {
  const std::string out = dir_ / "text.png";
  const std::string description = "Text: Arial:0.02:0:0::0:1:0:\"Hello\"";
  for (const std::vector<std::string>& extra :
       {std::vector<std::string>{}, std::vector<std::string>{"--show", Project()}}) {
    std::vector<std::string> args{"text", description, out};
    args.insert(args.end(), extra.begin(), extra.end());
    const TRunResult rendered = Vyrpack(args);
    ASSERT_EQ(rendered.exitCode, 0) << rendered.err;
    EXPECT_EQ(ReadFile(out).substr(1, 3), "PNG");
  }
  EXPECT_EQ(Vyrpack({"text"}).exitCode, 2);
}

TEST(VyrpackInfo, ErrorsNameTheReason) {
  const TRunResult missing = Vyrpack({"info", "/nonexistent/show.vyshow"});
  EXPECT_EQ(missing.exitCode, 2);
  EXPECT_EQ(missing.err, "vyrpack: Slideshow File not Found\n");
  const TRunResult usage = Vyrpack({"info"});
  EXPECT_EQ(usage.exitCode, 2);
  const TRunResult badSeed = Vyrpack({"info", "--seed", "x", "a"});
  EXPECT_EQ(badSeed.exitCode, 2);
}

}  // namespace
}  // namespace vyr
