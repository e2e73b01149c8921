// The picture supplier and the save flows, driven by function: a JPEG saved as its own bytes
// under its own name, any other picture as BMP, the frame on screen as "Slide" n ".bmp",
// written completely or not at all. And the fit of a picture on the printed page.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstring>
#include <filesystem>

#include "imaging/decode/bmp_reader.h"
#include "show_fixture.h"
#include "viewer/dialogs/picture_printer.h"
#include "viewer/dialogs/save_flow.h"

namespace vyr {
namespace {

using test::TDialogShow;

TRef<TDirectBitmap> Flat(int width, int height, uint8_t red) {
  auto bitmap = MakeRef<TDirectBitmap>(width, height, pf::R8G8B8());
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) bitmap->Row(y)[3 * x + 2] = red;
  return bitmap;
}

TCallBackClass Supplier(const TDialogShow& show, int slideIndex, TRef<TBitmap> captured) {
  return TCallBackClass(show.Show().project, show.Show().accessor, slideIndex, std::move(captured));
}

std::string Written(const TSavePlan& plan, const std::string& path) {
  std::string error;
  EXPECT_TRUE(WriteFileAtomically(*plan.stream, path, error)) << error;
  return test::ReadFile(path);
}

TEST(SaveFlow, AJpegIsSavedAsTheShowsOwnBytesUnderItsOwnName) {
  TDialogShow show;
  ASSERT_TRUE(show.Show().Ok()) << show.Show().error;
  if (!show.JpegMade()) GTEST_SKIP() << "ImageMagick is not installed";
  const auto plan = PlanSave(Supplier(show, 0, Flat(4, 4, 9)), true);
  ASSERT_TRUE(plan);
  EXPECT_EQ(plan->fileName, "photo.jpg");
  EXPECT_EQ(plan->extension, "jpg");
  EXPECT_EQ(plan->filter, "*.jpg");
  EXPECT_EQ(Written(*plan, show.Dir("saved.jpg")), show.JpegBytes());
}

TEST(SaveFlow, AnyOtherPictureIsSavedAsBmp) {
  TDialogShow show;
  ASSERT_TRUE(show.Show().Ok()) << show.Show().error;
  const auto plan = PlanSave(Supplier(show, 1, Flat(4, 4, 9)), true);
  ASSERT_TRUE(plan);
  EXPECT_EQ(plan->fileName, "art.bmp");
  EXPECT_EQ(plan->extension, "bmp");
  EXPECT_EQ(plan->filter, "*.bmp");
  const std::string bytes = Written(*plan, show.Dir("art.bmp"));
  TMemoryStream stream(std::vector<uint8_t>(bytes.begin(), bytes.end()));
  TRef<TDirectBitmap> back = ReadBmp(stream);
  ASSERT_TRUE(back);
  ASSERT_EQ(back->Width(), 9);
  ASSERT_EQ(back->Height(), 6);
  for (int y = 0; y < 6; ++y)
    EXPECT_EQ(std::memcmp(back->Row(y), show.Png().Row(y), 9 * 3), 0) << "row " << y;
}

TEST(SaveFlow, TheFrameOnScreenIsSavedAsSlideNumberBmp) {
  TDialogShow show;
  ASSERT_TRUE(show.Show().Ok()) << show.Show().error;
  struct Case {
    int slideIndex;
    bool onlyMainImage;
    std::string name;
  };
  // The third slide has no picture: "Only Main Image" falls back to the frame.
  for (const Case& c : {Case{2, false, "Slide3.bmp"}, Case{2, true, "Slide3.bmp"},
                        Case{0, false, "Slide1.bmp"}, Case{-1, true, "Slide0.bmp"}}) {
    SCOPED_TRACE(c.name);
    const auto plan = PlanSave(Supplier(show, c.slideIndex, Flat(5, 3, 77)), c.onlyMainImage);
    ASSERT_TRUE(plan);
    EXPECT_EQ(plan->fileName, c.name);
    EXPECT_EQ(plan->extension, "bmp");
    const std::string bytes = Written(*plan, show.Dir(c.name));
    TMemoryStream stream(std::vector<uint8_t>(bytes.begin(), bytes.end()));
    TRef<TDirectBitmap> back = ReadBmp(stream);
    ASSERT_TRUE(back);
    EXPECT_EQ(back->Width(), 5);
    EXPECT_EQ(back->Row(2)[3 * 4 + 2], 77);
  }
}

TEST(SaveFlow, NothingToSaveWithoutPictureOrFrame) {
  TDialogShow show;
  ASSERT_TRUE(show.Show().Ok()) << show.Show().error;
  EXPECT_FALSE(PlanSave(Supplier(show, 0, nullptr), false));
  EXPECT_FALSE(PlanSave(Supplier(show, 2, nullptr), true));
  TSuppliedPicture answer;
  EXPECT_FALSE(Supplier(show, 2, nullptr).Request(TPictureRequest::MainPicture, answer));
  EXPECT_FALSE(Supplier(show, 7, nullptr).Request(TPictureRequest::SourceFile, answer));
  ASSERT_TRUE(Supplier(show, 1, nullptr).Request(TPictureRequest::MainPicture, answer));
  EXPECT_EQ(answer.picture->Width(), 9);
}

TEST(SaveFlow, AFileIsWrittenWhollyOrNotAtAll) {
  test::TTempDir dir;
  TMemoryStream bytes(std::vector<uint8_t>{1, 2, 3, 4, 5});
  std::string error;
  test::WriteFile(dir / "old.bin", "an older and longer file");
  ASSERT_TRUE(WriteFileAtomically(bytes, dir / "old.bin", error)) << error;
  EXPECT_EQ(test::ReadFile(dir / "old.bin"), std::string("\1\2\3\4\5"));
  EXPECT_FALSE(WriteFileAtomically(bytes, dir / "missing/x.bin", error));
  EXPECT_FALSE(error.empty());
  // A folder we may not write to: nothing is left behind.
  std::filesystem::create_directories(dir / "locked");
  ::chmod((dir / "locked").c_str(), 0500);
  if (::access((dir / "locked").c_str(), W_OK) != 0) {
    EXPECT_FALSE(WriteFileAtomically(bytes, dir / "locked/x.bin", error));
  }
  ::chmod((dir / "locked").c_str(), 0700);
  size_t files = 0;
  for (const auto& entry : std::filesystem::recursive_directory_iterator(dir.Path()))
    files += entry.is_regular_file();
  EXPECT_EQ(files, 1u);  // old.bin alone: no temporary file stays
}

TEST(SaveFlow, TheDefaultExtensionIsAddedToANameWithout) {
  EXPECT_EQ(WithDefaultExtension("/home/a/picture", "jpg"), "/home/a/picture.jpg");
  EXPECT_EQ(WithDefaultExtension("/home/a/picture.jpeg", "jpg"), "/home/a/picture.jpeg");
  EXPECT_EQ(WithDefaultExtension("/home/a.b/picture", "bmp"), "/home/a.b/picture.bmp");
  EXPECT_EQ(WithDefaultExtension("/home/a/picture", "*"), "/home/a/picture");
}

TEST(PrintFit, APictureFillsOneSideOfThePageAndIsCentred) {
  struct Case {
    int pictureWidth, pictureHeight, pageWidth, pageHeight;
    TPagePlacement want;
  };
  const Case cases[] = {
      {200, 100, 770, 523, {0, 69, 770, 385}},  // wide on landscape: full width
      {100, 200, 523, 770, {69, 0, 385, 770}},  // tall on portrait: full height
      {100, 100, 300, 300, {0, 0, 300, 300}},   // same shape: the whole page
      {3, 1, 100, 101, {0, 34, 100, 33}},       // halves truncated
      {1, 3, 101, 100, {34, 0, 33, 100}},      {0, 10, 100, 100, {0, 0, 0, 0}},  // nothing to fit
  };
  for (const Case& c : cases) {
    const TPagePlacement got =
        FitPictureOnPage(c.pictureWidth, c.pictureHeight, c.pageWidth, c.pageHeight);
    EXPECT_EQ(got.left, c.want.left) << c.pictureWidth << "x" << c.pictureHeight;
    EXPECT_EQ(got.top, c.want.top) << c.pictureWidth << "x" << c.pictureHeight;
    EXPECT_EQ(got.width, c.want.width) << c.pictureWidth << "x" << c.pictureHeight;
    EXPECT_EQ(got.height, c.want.height) << c.pictureWidth << "x" << c.pictureHeight;
  }
}

}  // namespace
}  // namespace vyr
