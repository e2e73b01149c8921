// The PNG writer and its queue of worker threads: pixels read back by libpng itself.
#include <gtest/gtest.h>
#include <png.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "imaging/bitmap/pixel_memory.h"
#include "imaging/bitmap/png_file_queue.h"
#include "imaging/bitmap/png_writer.h"
#include "picture_tools.h"

namespace vyr {
namespace {

// Noise over gradients, so that every filter and level has work; seed makes each different.
TRef<TDirectBitmap> Picture(int w, int h, const TPixelFormat* format, uint32_t seed) {
  auto bitmap = MakeRef<TDirectBitmap>(w, h, format);
  for (int y = 0; y < h; ++y) {
    uint8_t* row = bitmap->Row(y);
    for (size_t i = 0; i < bitmap->RowBytes(); ++i) {
      seed = seed * 1664525u + 1013904223u;
      row[i] = static_cast<uint8_t>(int(i) + y * 3 + ((seed >> 24) & 15));
    }
  }
  return bitmap;
}

// The file's pixels as BGR or BGRA bytes, read by libpng's simplified reader.
std::vector<uint8_t> ReadBack(const std::string& path, bool alpha, int& w, int& h) {
  png_image image;
  std::memset(&image, 0, sizeof image);
  image.version = PNG_IMAGE_VERSION;
  if (!png_image_begin_read_from_file(&image, path.c_str())) return {};
  image.format = alpha ? PNG_FORMAT_BGRA : PNG_FORMAT_BGR;
  std::vector<uint8_t> pixels(PNG_IMAGE_SIZE(image));
  if (!png_image_finish_read(&image, nullptr, pixels.data(), 0, nullptr)) return {};
  w = static_cast<int>(image.width);
  h = static_cast<int>(image.height);
  return pixels;
}

void ExpectSamePixels(const TBitmap& bitmap, const std::string& path) {
  const bool alpha = bitmap.Format()->HasAlpha();
  int w = 0, h = 0;
  const std::vector<uint8_t> pixels = ReadBack(path, alpha, w, h);
  ASSERT_EQ(w, bitmap.Width()) << path;
  ASSERT_EQ(h, bitmap.Height()) << path;
  for (int y = 0; y < h; ++y)
    ASSERT_EQ(std::memcmp(pixels.data() + size_t(y) * bitmap.RowBytes(), bitmap.Row(y),
                          bitmap.RowBytes()),
              0)
        << path << " row " << y;
}

std::string Bytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

TEST(PngWriter, DefaultWritesLibpngsOwnBytesAndFastKeepsThePixels) {
  const std::string dir = testing::TempDir();
  for (const TPixelFormat* format : {pf::R8G8B8(), pf::A8R8G8B8()}) {
    const bool alpha = format->HasAlpha();
    TRef<TDirectBitmap> bitmap = Picture(97, 61, format, alpha ? 5 : 9);
    // libpng's simplified writer with its defaults: the bytes the default options must give.
    const std::string reference = dir + "/reference.png";
    png_image image;
    std::memset(&image, 0, sizeof image);
    image.version = PNG_IMAGE_VERSION;
    image.width = 97;
    image.height = 61;
    image.format = alpha ? PNG_FORMAT_BGRA : PNG_FORMAT_BGR;
    ASSERT_TRUE(png_image_write_to_file(&image, reference.c_str(), 0, bitmap->Row(0),
                                        static_cast<png_int_32>(bitmap->RowBytes()), nullptr));
    std::string error;
    ASSERT_TRUE(WritePng(*bitmap, dir + "/default.png", error)) << error;
    EXPECT_EQ(Bytes(dir + "/default.png"), Bytes(reference));
    ASSERT_TRUE(WritePng(*bitmap, dir + "/fast.png", error, kFastPng)) << error;
    ExpectSamePixels(*bitmap, dir + "/fast.png");
  }
  // Another format is converted first.
  TRef<TDirectBitmap> bgr = Picture(33, 20, pf::B8G8R8(), 3);
  auto rgb = MakeRef<TDirectBitmap>(33, 20, pf::R8G8B8());
  rgb->CopyRect({0, 0, 33, 20}, *bgr, {0, 0});
  std::string error;
  ASSERT_TRUE(WritePng(*bgr, dir + "/converted.png", error, kFastPng)) << error;
  ExpectSamePixels(*rgb, dir + "/converted.png");
}

TEST(PngWriter, AFileThatCannotBeWrittenIsAnError) {
  const std::string path = testing::TempDir() + "/missing/folder.png";
  std::string error;
  EXPECT_FALSE(WritePng(*Picture(4, 4, pf::R8G8B8(), 1), path, error, kFastPng));
  EXPECT_FALSE(error.empty());
  EXPECT_FALSE(std::filesystem::exists(path));
}

TEST(PngFileQueue, WritesEveryPictureOnItsWorkers) {
  const std::string dir = testing::TempDir();
  std::vector<TRef<TDirectBitmap>> pictures;
  {
    TPngFileQueue queue(3, 2, kFastPng);
    for (uint32_t i = 0; i < 12; ++i) {
      pictures.push_back(Picture(40 + int(i), 30, i % 2 ? pf::A8R8G8B8() : pf::R8G8B8(), i));
      ASSERT_TRUE(queue.Add(pictures.back(), dir + "/" + std::to_string(i) + ".png"));
    }
    EXPECT_EQ(queue.Finish(), "");
  }
  for (size_t i = 0; i < pictures.size(); ++i)
    ExpectSamePixels(*pictures[i], dir + "/" + std::to_string(i) + ".png");
}

TEST(PngFileQueue, TheFirstFailureIsReportedAndStopsTheQueue) {
  const std::string dir = testing::TempDir();
  const std::string bad = dir + "/missing/1.png";
  TPngFileQueue queue(2, 1, kFastPng);
  ASSERT_TRUE(queue.Add(Picture(8, 8, pf::R8G8B8(), 1), dir + "/0.png"));
  queue.Add(Picture(8, 8, pf::R8G8B8(), 2), bad);
  const std::string failure = queue.Finish();
  EXPECT_EQ(failure.rfind(bad + ": ", 0), 0u) << failure;
  EXPECT_FALSE(queue.Add(Picture(8, 8, pf::R8G8B8(), 3), dir + "/2.png"));
  EXPECT_EQ(queue.Finish(), failure);
}

// Pictures big enough for the kernel's huge pages start zeroed and are wholly writable.
TEST(PixelMemory, BlocksAroundTheHugePageSizeStartZeroed) {
  for (const size_t bytes : {size_t{100}, kHugePixelBlock - 1, kHugePixelBlock,
                             kHugePixelBlock + 4097, size_t{3} * kHugePixelBlock + 1}) {
    uint8_t* block = AllocatePixels(bytes);
    ASSERT_NE(block, nullptr);
    size_t nonzero = 0;
    for (size_t i = 0; i < bytes; ++i) nonzero += block[i] != 0;
    EXPECT_EQ(nonzero, 0u) << bytes;
    std::memset(block, 0xAB, bytes);
    EXPECT_EQ(block[bytes - 1], 0xAB);
    FreePixels(block, bytes);
  }
}

}  // namespace
}  // namespace vyr
