// The thumbnailer on hostile shows: small packages claiming giant pictures or holding a text of
// megabytes give their thumbnail (the broken-picture placeholder where a picture was) within
// the thumbnailer's memory and time; past its limits the process ends with status 1 and no file.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "imaging/hostile_pictures.h"
#include "package/package_fixture.h"
#include "run_program.h"
#include "thumbnail_limits.h"

namespace vyr {
namespace {

using test::TRunResult;

#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
constexpr bool kSanitized = true;  // no address-space limit beside the shadow memory
#else
constexpr bool kSanitized = false;
#endif

std::string OneSlide(const std::string& object) {
  return "[Main]\r\nopt_scr_width=640\r\nopt_scr_height=480\r\n[Times]\r\nopt_slidescount=1\r\n"
         "opt_synchpos1=3000\r\n[Slide1]\r\nobject Root:Root\r\n" +
         object + "end\r\n";
}

TEST(ThumbnailBudget, HostileShowsAreDrawnWithinTheLimits) {
  test::TTempDir dir;
  const auto picture = [](const std::string& name) {
    return "object pic:Image\r\nGUID={00000000-0000-0000-0000-000000000001}\r\nImageName=" + name +
           "\r\nend\r\n";
  };
  const struct {
    std::string name;
    std::vector<uint8_t> bytes;  // the picture's, none for a text
    std::string object;
  } cases[] = {
      {"giant.gif", testing::HugeGif(65535, 65535), picture("giant.gif")},
      {"giant.bmp", testing::RleBmp(30000, 30000, 900000), picture("giant.bmp")},
      {"giant.png", testing::PaddedPng(30000, 30000, 3600000), picture("giant.png")},
      {"thin.bmp", testing::RleBmp(1 << 24, 1, 65536), picture("thin.bmp")},
      // The header reads, the data does not decode.
      {"refused.jpg", testing::JpegHeader(64, 64, 256, 3), picture("refused.jpg")},
      {"text",
       {},
       "object t:Text\r\nGUID={00000000-0000-0000-0000-000000000002}\r\nText=" +
           std::string(2 << 20, 'w') + "\r\nend\r\n"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const std::filesystem::path folder = dir / c.name;
    std::filesystem::create_directories(folder);
    if (!c.bytes.empty())
      test::WriteFile(
          folder / c.name,
          std::string_view(reinterpret_cast<const char*>(c.bytes.data()), c.bytes.size()));
    test::WriteFile(folder / "Project.vyr", OneSlide(c.object));
    const std::string show = dir / (c.name + ".vyshow");
    ASSERT_EQ(
        test::RunProgram(VYRPACK_PATH, {"create", show, folder / "Project.vyr", "--method", "1"})
            .exitCode,
        0);
    const std::string out = dir / (c.name + ".png");
    const TRunResult run =
        test::RunProgram(VYRVIEWER_PATH, {"--thumbnail", "128", "--out", out, show});
    EXPECT_EQ(run.exitCode, 0) << run.err;
    EXPECT_TRUE(std::filesystem::exists(out));
    EXPECT_LT(run.maxRssKb, 1L << 20);
    EXPECT_LT(run.seconds, viewer::kThumbnailSeconds);
  }
}

// The limits themselves, in a child process: an allocation past the address space fails, and
// when the time is up the process ends with status 1 and the thumbnail file is gone.
TEST(ThumbnailBudget, LimitsRefuseMemoryAndEndTheProcessWhenTheTimeIsUp) {
  test::TTempDir dir;
  const std::string out = dir / "thumbnail.png";
  const auto began = std::chrono::steady_clock::now();
  const pid_t child = ::fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    test::WriteFile(out, "partly written");
    viewer::LimitThumbnailProcess(out, int64_t{512} << 20, 1);
    if (!kSanitized && std::malloc(size_t{1} << 30) != nullptr) ::_exit(3);
    for (;;) ::pause();
  }
  int status = 0;
  ::waitpid(child, &status, 0);
  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), 1);
  EXPECT_FALSE(std::filesystem::exists(out));
  EXPECT_LT(std::chrono::steady_clock::now() - began, std::chrono::seconds(10));
}

}  // namespace
}  // namespace vyr
