// The picture cache: one decode for requests that overlap, nothing kept once unused,
// providers, placeholders and picture levels.

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <latch>
#include <thread>

#include "access_fixture.h"
#include "imaging/bitmap/bitmap_factory.h"
#include "imaging/decode/decoder_registry.h"
#include "package/access/file_accessor.h"
#include "package/access/loose_file_sources.h"
#include "package/access/picture_cache.h"
#include "package/access/placeholder_picture.h"

namespace vyr {
namespace {

using test::TTempDir;

std::atomic<int> gDecodes{0};

// Decodes any ".counted" file as a flat 4 x 4 picture, slowly, and counts its calls; a file
// holding "fail" raises, one holding "none" is refused.
void RegisterCountingDecoder() {
  static std::once_flag once;
  std::call_once(once, [] {
    RegisterDecoder(
        [](const TRef<TStream>& stream, const std::string& name,
           const TRotationHook&) -> TRef<TBitmapStore> {
          ++gDecodes;
          const auto bytes = stream->ReadRest();
          const std::string text(bytes.begin(), bytes.end());
          if (text == "fail") throw EStreamReadError("broken");
          if (text == "none") return nullptr;
          std::this_thread::sleep_for(std::chrono::milliseconds(30));
          TRef<TSysBitmap> bitmap = CreateSysBitmap(4, 4, pf::A8R8G8B8());
          bitmap->FillRect({0, 0, 4, 4}, 0xFF336699u);
          return MakeRef<TWrapperBitmapStore>(name, nullptr, bitmap);
        },
        {".counted"});
  });
}

class PictureCache : public ::testing::Test {
 protected:
  void SetUp() override {
    RegisterCountingDecoder();
    gDecodes = 0;
    baseline_ = LivePictureHandles();
    test::WriteFile(dir_ / "pic.counted", "picture");
    test::WriteFile(dir_ / "broken.counted", "fail");
    test::WriteFile(dir_ / "refused.counted", "none");
    accessor_ = MakeRef<TFileAccessor>(MakeRef<TRealFileSource>(dir_.Path().string()), dir_.Path());
  }
  void TearDown() override { SetPlaceholderProducer(DefaultPlaceholderProducer()); }

  TTempDir dir_;
  size_t baseline_ = 0;
  TRef<TFileAccessor> accessor_;
};

TEST_F(PictureCache, EightConcurrentRequestsDecodeOnce) {
  constexpr int kThreads = 8;
  std::vector<TRef<TImage>> pictures(kThreads);
  std::latch start(kThreads);
  std::vector<std::thread> threads;
  for (int i = 0; i < kThreads; ++i)
    threads.emplace_back([&, i] {
      start.arrive_and_wait();
      pictures[i] = accessor_->OpenPicture(i % 2 ? "PIC.COUNTED" : "pic.counted");
    });
  for (auto& thread : threads) thread.join();

  EXPECT_EQ(gDecodes.load(), 1);
  for (const auto& picture : pictures) {
    ASSERT_TRUE(picture);
    EXPECT_NE(dynamic_cast<TSharedImage*>(picture.Get()), nullptr);
    EXPECT_EQ(&picture->Store(), &pictures[0]->Store());
  }
  EXPECT_EQ(LivePictureHandles(), baseline_ + 1);

  // Nothing is kept once every picture is gone: the next request decodes again.
  pictures.clear();
  EXPECT_EQ(LivePictureHandles(), baseline_);
  EXPECT_TRUE(accessor_->OpenPicture("pic.counted"));
  EXPECT_EQ(gDecodes.load(), 2);
  EXPECT_EQ(LivePictureHandles(), baseline_);
}

TEST_F(PictureCache, ClonesShareOtherSourcesDoNot) {
  TRef<TImage> first = accessor_->OpenPicture("pic.counted");
  TRef<TImage> fromClone = accessor_->Clone()->OpenPicture("pic.counted");
  EXPECT_EQ(gDecodes.load(), 1);
  EXPECT_EQ(&first->Store(), &fromClone->Store());

  TFileAccessor other(MakeRef<TRealFileSource>(dir_.Path().string()), dir_.Path());
  TRef<TImage> fromOther = other.OpenPicture("pic.counted");
  EXPECT_EQ(gDecodes.load(), 2);
  EXPECT_NE(&first->Store(), &fromOther->Store());
}

TEST_F(PictureCache, StoresReportToTheLoadYieldHook) {
  TRef<TImage> picture = accessor_->OpenPicture("pic.counted");
  ASSERT_TRUE(picture);
  EXPECT_TRUE(static_cast<bool>(picture->Store().Progress()));
}

TEST_F(PictureCache, PictureLevelGivesTheReducedView) {
  accessor_->SetPictureLevel(1);
  TRef<TImage> picture = accessor_->OpenPicture("pic.counted");
  ASSERT_TRUE(picture);
  EXPECT_EQ(picture->Width(), 2);
  TRef<TBitmap> bitmap = picture->Bitmap();
  EXPECT_EQ(bitmap->Width(), 2);
  EXPECT_EQ(bitmap->Height(), 2);
  EXPECT_EQ(bitmap->Row(1)[0], 0x99);  // B of 0x336699
}

TEST_F(PictureCache, ProvidersAnswerFirstUntilUnregistered) {
  TRef<TSysBitmap> made = CreateSysBitmap(1, 1, pf::A8R8G8B8());
  auto provided = MakeRef<TImage>(MakeRef<TWrapperBitmapStore>("gen", nullptr, made));
  std::vector<std::string> asked;
  TRef<TCallbackHandle> handle =
      accessor_->RegisterPictureProvider([&](const std::string& name) -> TRef<TImage> {
        asked.push_back(name);
        return name.starts_with("Shadow: ") || name == "pic.counted" ? provided : nullptr;
      });
  EXPECT_EQ(&accessor_->OpenPicture("Shadow: 1;2;3")->Store(), &provided->Store());
  EXPECT_EQ(&accessor_->OpenPicture("pic.counted")->Store(), &provided->Store());
  EXPECT_EQ(gDecodes.load(), 0);

  handle.Reset();
  asked.clear();
  TRef<TImage> decoded = accessor_->OpenPicture("pic.counted");
  EXPECT_TRUE(asked.empty());
  EXPECT_EQ(gDecodes.load(), 1);
  EXPECT_NE(&decoded->Store(), &provided->Store());
}

TEST_F(PictureCache, PlaceholdersNameWhatWentWrong) {
  // Without a producer there is no placeholder, and nothing stays in the cache.
  SetPlaceholderProducer(nullptr);
  EXPECT_FALSE(accessor_->OpenPicture("C:\\Show\\missing.counted"));
  EXPECT_FALSE(accessor_->OpenPicture("broken.counted"));
  EXPECT_EQ(LivePictureHandles(), baseline_);

  std::vector<TPlaceholderText> made;
  SetPlaceholderProducer([&made](const TPlaceholderText& text) {
    made.push_back(text);
    return MakeRef<TImage>(MakeRef<TWrapperBitmapStore>("placeholder", nullptr,
                                                        CreateSysBitmap(8, 2, pf::A8R8G8B8())));
  });
  EXPECT_TRUE(accessor_->OpenPicture("C:\\Show\\missing.counted"));
  EXPECT_TRUE(accessor_->OpenPicture("broken.counted"));
  EXPECT_TRUE(accessor_->OpenPicture("refused.counted"));
  ASSERT_EQ(made.size(), 3u);
  EXPECT_EQ(made[0].firstLine, " Image not found ");
  EXPECT_EQ(made[0].secondLine, " missing.counted ");
  EXPECT_EQ(made[0].firstColor, 0xFFE6E6E6u);
  EXPECT_EQ(made[0].secondColor, 0xFF646464u);
  EXPECT_EQ(made[0].factor, 0.5);
  EXPECT_EQ(made[1].firstLine, " Image load error: ");
  EXPECT_EQ(made[1].secondLine, " broken.counted ");
  EXPECT_EQ(made[2].firstLine, " Image load error: ");
}

TEST_F(PictureCache, DefaultPlaceholderShowsBothLines) {
  const TRef<TImage> picture = accessor_->OpenPicture("C:\\Show\\missing.counted");
  ASSERT_TRUE(picture);
  const TRef<TBitmap> bitmap = picture->Store().GetMipLevel(0);
  ASSERT_TRUE(bitmap);
  // Two lines of text at half the text producer's size: wider than tall, and not empty.
  EXPECT_GT(bitmap->Width(), bitmap->Height());
  EXPECT_GT(bitmap->Height(), 4);
  int inked = 0;
  for (int32_t y = 0; y < bitmap->Height(); ++y) {
    const uint8_t* row = bitmap->Row(y);
    for (size_t i = 0; i < bitmap->RowBytes(); ++i) inked += row[i] != 0;
  }
  EXPECT_GT(inked, 0) << "the placeholder's lines are drawn";
}

TEST(Placeholder, VideoTexts) {
  const auto notFound =
      PlaceholderText(TPlaceholderKind::Video, TPlaceholderReason::NotFound, "D:/Clips/a.avi");
  EXPECT_EQ(notFound.firstLine, " Video not found ");
  EXPECT_EQ(notFound.secondLine, " a.avi ");
  const auto loadError =
      PlaceholderText(TPlaceholderKind::Video, TPlaceholderReason::LoadError, "b.gif|framesatlas");
  EXPECT_EQ(loadError.firstLine, " Video load error: ");
  EXPECT_EQ(loadError.secondLine, " b.gif ");
}

}  // namespace
}  // namespace vyr
