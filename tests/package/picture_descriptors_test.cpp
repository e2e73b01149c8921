// Pictures keep their files open while they live. When the process runs out of descriptors,
// a picture falls back to its placeholder with a log line naming the cause; the pictures
// already open stay whole, and descriptors given back serve the next picture.

#include <gtest/gtest.h>
#include <sys/resource.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "foundation/log.h"
#include "imaging/picture_tools.h"
#include "package/access/file_accessor.h"
#include "package/access/loose_file_sources.h"
#include "package_fixture.h"

namespace vyr {
namespace {

constexpr int kWidth = 37, kHeight = 23, kPictures = 40;
constexpr size_t kSpare = 8;  // descriptors left to the pictures

int HighestOpenDescriptor() {
  int highest = 2;
  for (const auto& entry : std::filesystem::directory_iterator("/proc/self/fd"))
    highest = std::max(highest, std::atoi(entry.path().filename().c_str()));
  return highest;
}

// Whether the picture is the JPEG itself: its size and its colour #336699.
bool IsTheJpeg(const TImage& picture) {
  if (picture.Width() != kWidth || picture.Height() != kHeight) return false;
  const TRef<TBitmap> bitmap = picture.Bitmap();
  if (!bitmap) return false;
  const uint8_t* bgra = bitmap->Row(kHeight / 2) + kWidth / 2 * 4;
  return std::abs(bgra[0] - 0x99) <= 3 && std::abs(bgra[1] - 0x66) <= 3 &&
         std::abs(bgra[2] - 0x33) <= 3;
}

// Runs in a child with a few descriptors to spare; reports on standard error, and the exit
// status says whether everything held.
int OpenPicturesUntilOutOfDescriptors(TFileAccessor& show) {
  std::vector<std::string> lines;
  auto log = MakeRef<TLog>();
  log->SetSink([&](const std::string& line) { lines.push_back(line); });
  SetGlobalLog(log);
  rlimit limit{};
  ::getrlimit(RLIMIT_NOFILE, &limit);
  limit.rlim_cur = static_cast<rlim_t>(HighestOpenDescriptor() + 1 + kSpare);
  if (::setrlimit(RLIMIT_NOFILE, &limit) != 0) return 10;
  // Every free descriptor below the limit taken, then kSpare given back.
  std::vector<int> taken;
  for (int fd; (fd = ::dup(2)) >= 0;) taken.push_back(fd);
  if (errno != EMFILE || taken.size() < kSpare) return 16;
  for (size_t i = 0; i < kSpare; ++i) ::close(taken[taken.size() - 1 - i]);

  std::vector<TRef<TImage>> pictures;
  int jpegs = 0, placeholders = 0;
  for (int i = 0; i < kPictures; ++i) {
    TRef<TImage> picture = show.OpenPicture(std::to_string(i) + ".jpg");
    if (!picture) return 11;
    // Every picture still decodes or draws its level 0, the early ones included.
    if (IsTheJpeg(*picture))
      ++jpegs;
    else if (picture->Bitmap())
      ++placeholders;
    else
      return 12;
    pictures.push_back(picture);
  }
  for (const TRef<TImage>& picture : pictures)
    if (picture->Width() == kWidth && !IsTheJpeg(*picture)) return 13;
  bool said = false;
  for (const std::string& line : lines)
    said = said || line.find("Too many open files") != std::string::npos;
  std::fprintf(stderr, "%d JPEGs, %d placeholders, log said so: %d\n", jpegs, placeholders, said);
  if (jpegs == 0 || placeholders == 0 || !said) return 14;

  // Given back, the descriptors serve a picture that fell back before.
  pictures.clear();
  const TRef<TImage> again = show.OpenPicture(std::to_string(kPictures - 1) + ".jpg");
  if (!again || !IsTheJpeg(*again)) return 15;
  SetGlobalLog(nullptr);
  return 0;
}

TEST(PictureDescriptors, RunningOutGivesPlaceholdersNotACrash) {
#if defined(__SANITIZE_ADDRESS__)
  // The sanitizers' own checks need descriptors (a pipe to probe memory), and without any they
  // report objects they cannot inspect as faults.
  GTEST_SKIP() << "the sanitizers cannot run out of descriptors";
#endif
  VYR_REQUIRE_TOOL(testing::kConvert);
  test::TTempDir dir;
  testing::RunTool(std::string(testing::kConvert) + " -size " + std::to_string(kWidth) + "x" +
                   std::to_string(kHeight) + " xc:#336699 -quality 100 " + (dir / "0.jpg"));
  for (int i = 1; i < kPictures; ++i)
    std::filesystem::copy_file(dir / "0.jpg", dir / (std::to_string(i) + ".jpg"));
  const auto show = MakeRef<TFileAccessor>(MakeRef<TRealFileSource>(dir.Path()), dir.Path());
  EXPECT_EXIT(std::exit(OpenPicturesUntilOutOfDescriptors(*show)), ::testing::ExitedWithCode(0),
              "");
}

}  // namespace
}  // namespace vyr
