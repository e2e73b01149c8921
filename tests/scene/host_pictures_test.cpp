// The slide host's pictures: the show's files, the reserved names it makes itself, and the
// host as the picture provider of the show's files.

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <string>
#include <thread>
#include <vector>

#include "host_show_fixture.h"
#include "imaging/text/text_description.h"
#include "imaging/text/text_picture.h"
#include "package/access_fixture.h"
#include "scene/host/grey_mask.h"
#include "scene/host/slide_host.h"

namespace vyr {
namespace {

using test::PixelAt;

constexpr uint32_t kRed = 0xFFFF0000, kBlue = 0xFF0000FF;

std::vector<uint32_t> AllPixels(const TBitmap& bitmap) {
  std::vector<uint32_t> pixels;
  for (int32_t y = 0; y < bitmap.Height(); ++y)
    for (int32_t x = 0; x < bitmap.Width(); ++x) pixels.push_back(PixelAt(bitmap, x, y));
  return pixels;
}

class HostPicturesTest : public ::testing::Test {
 protected:
  TRef<TVyrSlideHost> MakeHost(THostSettings settings = {}) {
    return MakeRef<TVyrSlideHost>(show_.files, std::move(settings));
  }
  void AddBmp(const std::string& name, int w, int h, std::function<uint32_t(int, int)> pixel) {
    show_.source->Add(name, test::MakeBmp(w, h, pixel));
  }

  test::TMemoryShow show_;
};

TEST_F(HostPicturesTest, OtherNamesComeFromTheShowFilesWithThePlaceholderForMissingOnes) {
  AddBmp("C:\\Show\\red.bmp", 4, 2, [](int, int) { return 0xFF0000u; });
  auto host = MakeHost();
  TRef<TImage> red = host->RequestPicture("C:\\Show\\red.bmp");
  ASSERT_TRUE(red);
  EXPECT_EQ(red->Width(), 4);
  EXPECT_EQ(red->Height(), 2);
  EXPECT_EQ(PixelAt(*red, 3, 1), kRed);
  TRef<TImage> missing = host->RequestPicture("C:\\Show\\missing.bmp");
  ASSERT_TRUE(missing);  // the placeholder
  EXPECT_NE(missing->Width(), 4);
}

TEST_F(HostPicturesTest, ButtonAndShadowNamesFollowTheInstalledProducers) {
  auto host = MakeHost();
  host->SetReservedProducer("Shadow: ", {});
  host->SetReservedProducer("Button: ", {});
  EXPECT_FALSE(host->RequestPicture("Button: aqua:0:120:40"));
  EXPECT_FALSE(host->RequestPicture("Shadow: 16:59:0"));

  std::vector<std::string> asked;
  host->SetReservedProducer("Shadow: ", [&](const std::string& name) -> TRef<TImage> {
    asked.push_back(name);
    auto bitmap = MakeRef<TDirectBitmap>(3, 5, pf::A8R8G8B8());
    return MakeRef<TImage>(MakeRef<TWrapperBitmapStore>(name, nullptr, bitmap));
  });
  TRef<TImage> shadow = host->RequestPicture("Shadow: 16:59:0");
  ASSERT_TRUE(shadow);
  EXPECT_EQ(shadow->Width(), 3);
  EXPECT_EQ(asked, std::vector<std::string>{"Shadow: 16:59:0"});
  EXPECT_FALSE(host->RequestPicture("Button: aqua:0:120:40"));  // still no button producer
}

TEST_F(HostPicturesTest, TheShowFilesAskTheHostForReservedNamesWhileItLives) {
  const std::string name = "PresetedMask:4:4:0:0:0";
  {
    auto host = MakeHost();
    TRef<TImage> mask = show_.files->OpenPicture(name);
    ASSERT_TRUE(mask);
    EXPECT_EQ(mask->Width(), 4);
    EXPECT_EQ(PixelAt(*mask, 0, 0), 0xFFFFFFFFu);
  }
  // The host is gone: the name is an ordinary (missing) file now.
  TRef<TImage> after = show_.files->OpenPicture(name);
  ASSERT_TRUE(after);
  EXPECT_NE(after->Width(), 4);
}

TEST_F(HostPicturesTest, SimultaneousRequestsShareOnePictureAndTextKeepsItsCase) {
  auto host = MakeHost();
  TRef<TImage> first = host->RequestPicture("TextWithSize:40:20:Abc");
  TRef<TImage> second = host->RequestPicture("TextWithSize:40:20:Abc");
  TRef<TImage> lower = host->RequestPicture("TextWithSize:40:20:abc");
  ASSERT_TRUE(first && second && lower);
  EXPECT_EQ(&first->Store(), &second->Store());
  EXPECT_NE(&first->Store(), &lower->Store());
}

TEST_F(HostPicturesTest, OverlappingRequestsOnSeveralThreadsMakeThePictureOnce) {
  auto host = MakeHost();
  std::atomic<int> made{0};
  host->SetReservedProducer("Button: ", [&](const std::string& name) -> TRef<TImage> {
    ++made;
    std::this_thread::sleep_for(std::chrono::milliseconds(30));
    auto bitmap = MakeRef<TDirectBitmap>(2, 2, pf::A8R8G8B8());
    return MakeRef<TImage>(MakeRef<TWrapperBitmapStore>(name, nullptr, bitmap));
  });
  std::vector<TRef<TImage>> pictures(4);
  std::vector<std::thread> threads;
  for (auto& picture : pictures)
    threads.emplace_back([&] { picture = host->RequestPicture("Button: aqua:1:80:30"); });
  for (auto& thread : threads) thread.join();
  EXPECT_EQ(made.load(), 1);
  for (const auto& picture : pictures) {
    ASSERT_TRUE(picture);
    EXPECT_EQ(&picture->Store(), &pictures[0]->Store());
  }
}

TEST_F(HostPicturesTest, TextDescriptionsBecomeTextPictures) {
  auto host = MakeHost();
  TTextParams params;
  TRef<TImage> text = host->RequestPicture(FormatTextDescription(params, {"Hello"}));
  ASSERT_TRUE(text);
  EXPECT_GT(text->Width(), text->Height());
  EXPECT_NE(dynamic_cast<TTextBitmapStore*>(&text->Store()), nullptr);
}

// Grey = (299 R + 587 G + 114 B) / 1000, rounded; alpha weighs the colour.
TEST_F(HostPicturesTest, MaskNamesTurnTheFilePictureGrey) {
  const uint32_t colours[] = {0xFF0000, 0x00FF00, 0x0000FF, 0xFFFFFF, 0x646464, 0x000000};
  AddBmp("m.bmp", 6, 1, [&](int x, int) { return colours[x]; });
  auto host = MakeHost();
  TRef<TImage> mask = host->RequestPicture("Mask: m.bmp");
  ASSERT_TRUE(mask);
  EXPECT_EQ(mask->Format(), pf::R8G8B8());
  const int expected[] = {76, 150, 29, 255, 100, 0};
  for (int x = 0; x < 6; ++x) {
    const uint32_t grey = static_cast<uint32_t>(expected[x]);
    EXPECT_EQ(PixelAt(*mask, x, 0), 0xFF000000u | grey << 16 | grey << 8 | grey) << x;
  }

  auto translucent = MakeRef<TDirectBitmap>(3, 1, pf::A8R8G8B8());
  translucent->FillRect({0, 0, 1, 1}, 0x80FFFFFF);  // half-transparent white
  translucent->FillRect({1, 0, 2, 1}, 0x00FF0000);  // fully transparent red
  translucent->FillRect({2, 0, 3, 1}, 0xFF00FF00);
  TRef<TDirectBitmap> grey = MakeGreyMask(*translucent);
  EXPECT_EQ(test::GreyAt(*grey, 0, 0), 128);
  EXPECT_EQ(test::GreyAt(*grey, 1, 0), 0);
  EXPECT_EQ(test::GreyAt(*grey, 2, 0), 150);
}

TEST_F(HostPicturesTest, EffectResourcesAreStretchedToTheFrame) {
  EXPECT_FALSE(MakeHost()->RequestPicture("EffectResource1, 4, 2"));  // no callback

  auto resource = MakeRef<TDirectBitmap>(2, 1, pf::A8R8G8B8());
  resource->FillRect({0, 0, 1, 1}, kRed);
  resource->FillRect({1, 0, 2, 1}, kBlue);
  std::vector<int> asked;
  THostSettings settings;
  settings.effectResource = [&](int index) -> TRef<TImage> {
    asked.push_back(index);
    if (index != 1) return nullptr;
    return MakeRef<TImage>(MakeRef<TWrapperBitmapStore>("resource", nullptr, resource));
  };
  auto host = MakeHost(settings);
  TRef<TImage> stretched = host->RequestPicture("EffectResource1, 4, 2");
  ASSERT_TRUE(stretched);
  EXPECT_EQ(stretched->Width(), 4);
  EXPECT_EQ(stretched->Height(), 2);
  EXPECT_EQ(PixelAt(*stretched, 0, 0), kRed);
  EXPECT_EQ(PixelAt(*stretched, 3, 1), kBlue);
  // Target pixel 1's centre lies a quarter of the way from the red to the blue pixel.
  EXPECT_EQ(PixelAt(*stretched, 1, 0), 0xFFBF0040u);

  host->SetFrameSize(6, 3);
  TRef<TImage> frameSized = host->RequestPicture("EffectResource1");
  ASSERT_TRUE(frameSized);
  EXPECT_EQ(frameSized->Width(), 6);
  EXPECT_EQ(frameSized->Height(), 3);
  EXPECT_FALSE(host->RequestPicture("EffectResource2, 4, 2"));  // the callback has none
  EXPECT_FALSE(host->RequestPicture("EffectResourceX, 4, 2"));  // not a digit
  EXPECT_FALSE(host->RequestPicture("EffectResource1, 100000, 100000"));
  EXPECT_EQ(asked, (std::vector<int>{1, 1, 2}));
}

TEST_F(HostPicturesTest, EffectBuffersAreEmptyFrameSizedPictures) {
  auto host = MakeHost();
  TRef<TImage> sized = host->RequestPicture("SlideEffectBuffer1, 64, 32");
  ASSERT_TRUE(sized);
  EXPECT_EQ(sized->Width(), 64);
  EXPECT_EQ(sized->Height(), 32);
  EXPECT_EQ(PixelAt(*sized, 63, 31), 0u);
  EXPECT_FALSE(host->RequestPicture("SlideEffectBuffer"));  // no frame yet
  host->SetFrameSize(16, 9);
  TRef<TImage> frame = host->RequestPicture("SlideEffectBuffer");
  ASSERT_TRUE(frame);
  EXPECT_EQ(frame->Width(), 16);
  EXPECT_FALSE(host->RequestPicture("SlideEffectBuffer2, 100000, 100000"));

  THostSettings settings;
  settings.frameSize = [] { return TFrameSize{20, 10}; };
  auto followed = MakeHost(settings);
  followed->SetFrameSize(16, 9);  // the callback wins
  TRef<TImage> fromCallback = followed->RequestPicture("SlideEffectBuffer2");
  ASSERT_TRUE(fromCallback);
  EXPECT_EQ(fromCallback->Width(), 20);
  EXPECT_EQ(fromCallback->Height(), 10);
}

TEST_F(HostPicturesTest, TextWithSizeDrawsTheGreyFieldWithItsInset) {
  auto host = MakeHost();
  TRef<TImage> field = host->RequestPicture("TextWithSize:200:100:");
  ASSERT_TRUE(field);
  EXPECT_EQ(field->Width(), 200);
  EXPECT_EQ(field->Height(), 100);
  // Inset round(0.02 x 100) = 2.
  EXPECT_EQ(PixelAt(*field, 0, 0), 0xFFAAAAAAu);
  EXPECT_EQ(PixelAt(*field, 1, 1), 0xFFAAAAAAu);
  EXPECT_EQ(PixelAt(*field, 2, 2), 0xFF646464u);
  EXPECT_EQ(PixelAt(*field, 197, 97), 0xFF646464u);
  EXPECT_EQ(PixelAt(*field, 198, 98), 0xFFAAAAAAu);
  EXPECT_EQ(PixelAt(*field, 100, 50), 0xFF646464u);
}

TEST_F(HostPicturesTest, TextWithSizeBreaksLinesAsEveryTextDoes) {
  // LF CR and a lone CR end one line each, like CR LF: the same two lines, the same picture.
  const std::vector<uint32_t> twoLines =
      AllPixels(*MakeHost()->RequestPicture("TextWithSize:120:90:Ab\r\ncd")->Bitmap());
  for (const char* text : {"Ab\n\rcd", "Ab\rcd", "Ab\ncd"}) {
    TRef<TImage> field = MakeHost()->RequestPicture(std::string("TextWithSize:120:90:") + text);
    ASSERT_TRUE(field);
    EXPECT_EQ(AllPixels(*field->Bitmap()), twoLines) << text;
  }
}

TEST_F(HostPicturesTest, TextWithSizeCentresItsTextWithinTheScaleLimits) {
  auto host = MakeHost();
  TRef<TImage> field =
      host->RequestPicture("TextWithSize:400:300:A long line: of placeholder text");
  ASSERT_TRUE(field);
  TRef<TBitmap> bitmap = field->Bitmap();
  int left = 400, right = -1, top = 300, bottom = -1;
  for (int y = 0; y < 300; ++y)
    for (int x = 0; x < 400; ++x) {
      const uint32_t p = PixelAt(*bitmap, x, y);
      if (p == 0xFF646464u || p == 0xFFAAAAAAu) continue;
      EXPECT_EQ(p & 0xFF, (p >> 8) & 0xFF);  // the text is white over grey
      left = std::min(left, x), right = std::max(right, x);
      top = std::min(top, y), bottom = std::max(bottom, y);
    }
  ASSERT_GE(right, left);
  // Inked glyphs lie within 90 % of the width and 20 % of the height, around the centre.
  EXPECT_LE(right - left + 1, 360);
  EXPECT_LE(bottom - top + 1, 60);
  EXPECT_GT(right - left + 1, 300);  // a long line reaches the width limit
  EXPECT_NEAR((left + right) / 2.0, 199.5, 12);
  EXPECT_NEAR((top + bottom) / 2.0, 149.5, 12);
}

TEST_F(HostPicturesTest, TextWithSizeShrinksAbsurdSizesAndRefusesInvalidOnes) {
  auto host = MakeHost();
  TRef<TImage> huge = host->RequestPicture("TextWithSize:100000:50000:Hi");
  ASSERT_TRUE(huge);
  EXPECT_EQ(huge->Width(), 4096);
  EXPECT_EQ(huge->Height(), 2048);
  EXPECT_FALSE(host->RequestPicture("TextWithSize:0:10:Hi"));
  EXPECT_FALSE(host->RequestPicture("TextWithSize:abc:10:Hi"));
  EXPECT_FALSE(host->RequestPicture("TextWithSize:10"));
}

TEST_F(HostPicturesTest, SlideBackgroundsComeAtTheirSizePercent) {
  AddBmp("bg.bmp", 8, 4, [](int, int) { return 0x0000FFu; });
  auto host = MakeHost();
  struct TCase {
    const char* name;
    int width, height;
  };
  const TCase cases[] = {
      {"SlideBg: 50:bg.bmp", 4, 2},
      {"SlideBg: 100:bg.bmp", 8, 4},
      {"SlideBg: 150:bg.bmp", 12, 6},
      {"SlideBg: x:bg.bmp", 8, 4},  // a size that does not parse is 100
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.name);
    TRef<TImage> bg = host->RequestPicture(c.name);
    ASSERT_TRUE(bg);
    EXPECT_EQ(bg->Width(), c.width);
    EXPECT_EQ(bg->Height(), c.height);
    EXPECT_EQ(PixelAt(*bg, c.width - 1, c.height - 1), kBlue);
  }
  EXPECT_FALSE(host->RequestPicture("SlideBg: 0:bg.bmp"));
  EXPECT_FALSE(host->RequestPicture("SlideBg: 1e9:bg.bmp"));
}

}  // namespace
}  // namespace vyr
