// The pixel budget: small files claiming enormous pictures are refused from their headers
// (with one log line naming them), a 24-megapixel picture is untouched, a huge JPEG is taken
// at a reduced scale, and decodes stop when they are told to.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstring>

#include "hostile_pictures.h"
#include "imaging/decode/decoder_registry.h"
#include "imaging/decode/gif_decoder.h"
#include "imaging/decode/imaging_log.h"
#include "imaging/decode/picture_budget.h"

namespace vyr {
namespace {

using namespace vyr::testing;

TRef<TImage> Decode(const std::vector<uint8_t>& bytes, const std::string& name) {
  return DecodePicture(TRef<TStream>(MakeRef<TMemoryStream>(bytes)), name);
}

// Collects the decoders' log lines while it lives.
class TLogLines {
 public:
  TLogLines() {
    SetImagingLogSink([this](const std::string& line) { lines.push_back(line); });
  }
  ~TLogLines() { SetImagingLogSink(nullptr); }
  std::vector<std::string> lines;
};

TEST(PictureBudget, ClaimedGiantsAreRefusedFromTheirHeadersWithOneLogLine) {
  const std::vector<std::pair<std::string, std::string>> fields = {
      {"File", "p.bmp"}, {"Width", "30000"}, {"Height", "30000"}, {"OriginalSize", "1"}};
  const struct {
    std::string name;
    std::vector<uint8_t> bytes;
  } cases[] = {
      {"giant.gif", HugeGif(65535, 65535)},
      {"giant.bmp", RleBmp(30000, 30000, 900000)},
      {"giant.png", PaddedPng(30000, 30000, 3600000)},
      {"giant.qzgfx", Container(fields, std::vector<uint8_t>(3600000, 0))},
      {"wide.bmp", RleBmp(8193, 8192, 65536)},  // one column over 8192 x 8192
      {"thin.bmp", RleBmp(1 << 24, 1, 65536)},  // a row costs textures 64 rows high
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    TLogLines log;
    const auto began = std::chrono::steady_clock::now();
    EXPECT_FALSE(Decode(c.bytes, c.name));
    // Refused before anything the size of the picture was made.
    EXPECT_LT(std::chrono::steady_clock::now() - began, std::chrono::seconds(2));
    ASSERT_EQ(log.lines.size(), 1u);
    EXPECT_NE(log.lines[0].find("over the pixel budget"), std::string::npos) << log.lines[0];
    EXPECT_NE(log.lines[0].find(c.name), std::string::npos) << log.lines[0];
  }
}

// A stored entry of 5 GB: the picture's first bytes, then zeros; it counts what is read.
class TFiveGigabytes : public TStream {
 public:
  explicit TFiveGigabytes(std::vector<uint8_t> head) : head_(std::move(head)) {}
  int64_t Read(void* buffer, int64_t count) override {
    count = std::clamp<int64_t>(Size() - position_, 0, count);
    auto* out = static_cast<uint8_t*>(buffer);
    for (int64_t i = 0; i < count; ++i, ++position_)
      out[i] = position_ < static_cast<int64_t>(head_.size()) ? head_[position_] : 0;
    read += count;
    return count;
  }
  int64_t Write(const void*, int64_t) override { return 0; }
  int64_t Seek(int64_t position) override { return position_ = position; }
  int64_t Position() const override { return position_; }
  int64_t Size() const override { return int64_t{5} << 30; }
  void SetSize(int64_t) override {}
  int64_t read = 0;

 private:
  std::vector<uint8_t> head_;
  int64_t position_ = 0;
};

TEST(PictureBudget, FilesOverTheSizeBudgetAreNeitherReadWholeNorKept) {
  std::vector<uint8_t> gif = HugeGif(64, 64, 16);
  gif.pop_back();  // no trailer: the zeros follow the image
  const struct {
    std::string name;
    std::vector<uint8_t> head;
  } cases[] = {
      {"big.gif", gif},
      {"big.jpg", JpegHeader(640, 480, 0)},
      {"big.png", PaddedPng(64, 64, 0)},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    TLogLines log;
    auto stream = MakeRef<TFiveGigabytes>(c.head);
    EXPECT_FALSE(DecodePicture(TRef<TStream>(stream), c.name));
    EXPECT_LT(stream->read, int64_t{1} << 20);
    ASSERT_FALSE(log.lines.empty());
    EXPECT_NE(log.lines.back().find("over the size budget"), std::string::npos) << log.lines.back();
  }
}

TEST(PictureBudget, PhotoSizedPicturesAreUntouchedAndHugeJpegsTakeAReducedScale) {
  TLogLines log;
  // 6000 x 4000: a 24-megapixel photo, decoded whole.
  const TRef<TImage> photo = Decode(RleBmp(6000, 4000, 65536), "photo.bmp");
  ASSERT_TRUE(photo);
  EXPECT_EQ(photo->Bitmap()->Width(), 6000);
  EXPECT_EQ(photo->Bitmap()->Height(), 4000);
  const TRef<TImage> jpeg = Decode(JpegHeader(6000, 4000, 4096), "photo.jpg");
  ASSERT_TRUE(jpeg);
  EXPECT_EQ(jpeg->Width(), 6000);
  // 20000 x 12000 is over the budget whole, within it at half size; libjpeg's largest,
  // 65500 x 65500, at an eighth.
  const TRef<TImage> half = Decode(JpegHeader(20000, 12000, 65536), "panorama.jpg");
  ASSERT_TRUE(half);
  EXPECT_EQ(half->Width(), 10000);
  EXPECT_EQ(half->Height(), 6000);
  const TRef<TImage> eighth = Decode(JpegHeader(65500, 65500, 1100000), "giant.jpg");
  ASSERT_TRUE(eighth);
  EXPECT_EQ(eighth->Width(), 8188);
  EXPECT_TRUE(log.lines.empty());
}

TEST(PictureBudget, AnAnimationKeepsNoMoreFramesThanTheAtlasHolds) {
  auto stream = MakeRef<TMemoryStream>(TinyFramesGif(20000));
  const TRef<TBitmapStore> atlas = ReadGifFramesAtlas(*stream, "tiny.gif|framesatlas", nullptr);
  ASSERT_TRUE(atlas);
  ASSERT_TRUE(atlas->FindTag<TTilesTag>());
  EXPECT_EQ(atlas->FindTag<TTilesTag>()->frameCount, static_cast<int32_t>(kMaxAtlasFrames));
}

TEST(PictureBudget, DecodesStopWhenToldTo) {
  // 512 x 512 of red in each format; a decode that was told to stop gives no picture, or
  // (PNG, whose rows come later) a picture none of whose rows were decoded.
  TGifWriter gif(512, 512, {0xFF0000});
  gif.Image(0, 0, 512, 512, std::vector<uint8_t>(512 * 512, 0));
  const struct {
    std::string name;
    std::vector<uint8_t> bytes;
  } cases[] = {
      {"red.gif", gif.Finish()},
      {"red.bmp", RleBmp(512, 512, 8192)},
      {"red.jpg", JpegHeader(512, 512, 4096)},
      {"red.png", PaddedPng(512, 512, 0)},
  };
  SetDecodeGoOnHook([] { return false; });
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    TRef<TBitmap> bitmap;
    try {
      if (const TRef<TImage> image = Decode(c.bytes, c.name)) bitmap = image->Bitmap();
    } catch (const std::exception&) {
      // A JPEG level that was stopped raises its error.
    }
    if (bitmap) {
      for (int y = 0; y < bitmap->Height(); y += 64)
        EXPECT_EQ(bitmap->Row(y)[0], 0) << "row " << y << " was decoded";
    }
  }
  SetDecodeGoOnHook(nullptr);
  // Without the hook every case decodes.
  for (const auto& c : cases) EXPECT_TRUE(Decode(c.bytes, c.name)) << c.name;
}

}  // namespace
}  // namespace vyr
