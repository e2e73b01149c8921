// The slide host's other services: camera, load-yield hook, the show's text-cache key and the
// picture macros of the main image.

#include <gtest/gtest.h>

#include <string>

#include "foundation/utf.h"
#include "host_show_fixture.h"
#include "imaging/text/vector_text.h"
#include "package/access_fixture.h"
#include "package/container/load_callback.h"
#include "scene/host/exe_guid.h"
#include "scene/host/slide_host.h"

namespace vyr {
namespace {

using test::PutLe;

void ExpectVec(const TVec3& v, float x, float y, float z) {
  EXPECT_FLOAT_EQ(v.x, x);
  EXPECT_FLOAT_EQ(v.y, y);
  EXPECT_FLOAT_EQ(v.z, z);
}

TEST(HostServicesTest, DefaultCameraLooksAtTheFrameFromItsHeightAway) {
  test::TMemoryShow show;
  auto host = MakeRef<TVyrSlideHost>(show.files, THostSettings{});
  TVec3 origin, direction;
  EXPECT_FALSE(host->ViewRay(1, 1, origin, direction));  // no frame yet
  host->SetFrameSize(800, 600);
  ExpectVec(host->CameraPosition(), 400, 300, -600);
  EXPECT_FLOAT_EQ(host->CameraZ(), -600);
  ASSERT_TRUE(host->ViewRay(400, 300, origin, direction));
  ExpectVec(origin, 400, 300, -600);
  ExpectVec(direction, 0, 0, 600);
  // The ray reaches the screen plane at the window point.
  ASSERT_TRUE(host->ViewRay(0, 600, origin, direction));
  ExpectVec(TVec3{origin.x + direction.x, origin.y + direction.y, origin.z + direction.z}, 0, 600,
            0);
}

TEST(HostServicesTest, CameraServicesOfTheComposerReplaceTheDefault) {
  test::TMemoryShow show;
  auto host = MakeRef<TVyrSlideHost>(show.files, THostSettings{});
  host->SetFrameSize(800, 600);
  TVyrSlideHost::TCameraServices services;
  services.position = [] { return TVec3{1, 2, -3}; };
  services.viewRay = [](float x, float y, TVec3& origin, TVec3& direction) {
    origin = TVec3{x, y, -1};
    direction = TVec3{0, 0, 1};
    return true;
  };
  host->SetCameraServices(services);
  ExpectVec(host->CameraPosition(), 1, 2, -3);
  EXPECT_FLOAT_EQ(host->CameraZ(), -3);
  TVec3 origin, direction;
  ASSERT_TRUE(host->ViewRay(5, 6, origin, direction));
  ExpectVec(origin, 5, 6, -1);
}

TEST(HostServicesTest, GoOnFollowsTheLoadYieldHookAndSettingsArePassedOn) {
  test::TMemoryShow show;
  THostSettings settings;
  settings.slideCount = 12;
  settings.themeFolder = "/themes/";
  auto host = MakeRef<TVyrSlideHost>(show.files, settings);
  EXPECT_EQ(host->SlideCount(), 12);
  EXPECT_EQ(host->ThemeFolder(), "/themes/");
  EXPECT_TRUE(host->GoOn());
  SetLoadCallBackMode(TLoadCallBackMode::Cancel);
  EXPECT_FALSE(host->GoOn());
  SetLoadCallBackMode(TLoadCallBackMode::None);
}

std::string ExeGuidBytes(int32_t count, std::u16string_view text) {
  std::string out;
  PutLe(out, static_cast<uint32_t>(count), 4);
  for (char16_t c : text) PutLe(out, c, 2);
  return out;
}

TEST(HostServicesTest, TheTextCacheKeyIsThePackagedExeGuid) {
  const std::u16string guid = u"{0F1E2D3C-4B5A-6978-8796-A5B4C3D2E1F0}";
  test::TMemoryShow show;
  show.source->Add("ExeGUID", ExeGuidBytes(static_cast<int32_t>(guid.size()), guid));
  auto host = MakeRef<TVyrSlideHost>(show.files, THostSettings{});
  EXPECT_EQ(host->FontCacheKey(), Utf16ToUtf8(guid));
  EXPECT_EQ(TFontCache::Instance().ShowKey(), Utf16ToUtf8(guid));

  test::TMemoryShow bare;
  EXPECT_EQ(MakeRef<TVyrSlideHost>(bare.files, THostSettings{})->FontCacheKey(), "");

  struct TCase {
    const char* what;
    std::string bytes;
  };
  const TCase bad[] = {
      {"short count", "\x05"},
      {"text shorter than its count", ExeGuidBytes(10, u"{abc}")},
      {"negative count", ExeGuidBytes(-1, u"{abc}")},
      {"absurd count", ExeGuidBytes(0x7FFFFFFF, u"{abc}")},
  };
  for (const TCase& c : bad) {
    TMemoryStream stream(std::vector<uint8_t>(c.bytes.begin(), c.bytes.end()));
    EXPECT_EQ(ReadExeGuid(stream), "") << c.what;
  }
}

// A JPEG whose APP1 segment holds an EXIF directory with a description and a date.
std::string JpegWithExif(const std::string& description, const std::string& dateTime) {
  std::string tiff = "II";
  PutLe(tiff, 42, 2);
  PutLe(tiff, 8, 4);
  PutLe(tiff, 2, 2);  // IFD0 entries
  const uint32_t descriptionAt = 8 + 2 + 2 * 12 + 4;
  const uint32_t dateAt = descriptionAt + static_cast<uint32_t>(description.size()) + 1;
  PutLe(tiff, 0x010E, 2);
  PutLe(tiff, 2, 2);
  PutLe(tiff, description.size() + 1, 4);
  PutLe(tiff, descriptionAt, 4);
  PutLe(tiff, 0x0132, 2);
  PutLe(tiff, 2, 2);
  PutLe(tiff, dateTime.size() + 1, 4);
  PutLe(tiff, dateAt, 4);
  PutLe(tiff, 0, 4);  // no next directory
  tiff += description + '\0' + dateTime + '\0';
  const std::string exif = std::string("Exif\0\0", 6) + tiff;
  std::string jpeg = "\xFF\xD8\xFF\xE1";
  jpeg += static_cast<char>((exif.size() + 2) >> 8);
  jpeg += static_cast<char>((exif.size() + 2) & 0xFF);
  return jpeg + exif + "\xFF\xD9";
}

TEST(HostServicesTest, PictureMacrosReadTheMainImageOrGiveNothing) {
  test::TMemoryShow show;
  show.source->Add("D:\\Photos\\harbour.jpg",
                   JpegWithExif("  Harbour at dawn  ", "2024:05:17 08:30:00"));
  show.source->Add("D:\\Photos\\notes.txt", "not a picture");
  auto host = MakeRef<TVyrSlideHost>(show.files, THostSettings{});
  struct TCase {
    const char* image;
    const char* macro;
    const char* value;
  };
  const TCase cases[] = {
      {"D:\\Photos\\harbour.jpg", "<%MainImg.Exif.Description%>", "Harbour at dawn"},
      {"D:\\Photos\\harbour.jpg", "<%mainimg.exif.date%>", "2024:05:17 08:30:00"},
      {"D:\\Photos\\harbour.jpg", "<%MainImg.IPTC.City%>", ""},
      {"D:\\Photos\\harbour.jpg", "<%SlideIndex%>", ""},
      {"D:\\Photos\\missing.jpg", "<%MainImg.Exif.Description%>", ""},
      {"D:\\Photos\\notes.txt", "<%MainImg.Exif.Description%>", ""},
      {"", "<%MainImg.Exif.Description%>", ""},
  };
  for (const TCase& c : cases)
    EXPECT_EQ(host->PictureMacro(c.image, c.macro), c.value) << c.image << " " << c.macro;
}

}  // namespace
}  // namespace vyr
