// vyrviewer --frame of slide pictures and logos that carry colour profiles: converted to the
// display profile as Little CMS converts them, through the object's colour filters too; stored
// tables of a package convert when colour management is not active; untagged pictures and
// "-noicc" stay.
#include <gtest/gtest.h>
#include <jpeglib.h>
#include <lcms2.h>
#include <png.h>

#include <array>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "imaging/decode/decoder_registry.h"
#include "package/access_fixture.h"
#include "program_output.h"
#include "run_program.h"

namespace vyr {
namespace {

using test::PixelAt;
using test::TRgb;

constexpr int kWidth = 64, kHeight = 48, kStripes = 4;
// Kept below 231 so that the stored table's +16 does not wrap.
const std::array<TRgb, kStripes> kColours = {TRgb{40, 160, 60}, TRgb{200, 30, 30},
                                             TRgb{20, 40, 220}, TRgb{230, 200, 10}};

TRgb StripeColour(int x) { return kColours[x * kStripes / kWidth]; }

std::vector<uint8_t> SavedProfile(cmsHPROFILE profile) {
  cmsUInt32Number size = 0;
  cmsSaveProfileToMem(profile, nullptr, &size);
  std::vector<uint8_t> bytes(size);
  cmsSaveProfileToMem(profile, bytes.data(), &size);
  cmsCloseProfile(profile);
  return bytes;
}

// A wide-gamut camera profile: Adobe RGB (1998)'s primaries and gamma.
std::vector<uint8_t> CameraProfile() {
  const cmsCIExyY white = {0.3127, 0.3290, 1.0};
  const cmsCIExyYTRIPLE primaries = {{0.64, 0.33, 1.0}, {0.21, 0.71, 1.0}, {0.15, 0.06, 1.0}};
  cmsToneCurve* gamma = cmsBuildGamma(nullptr, 563.0 / 256.0);
  cmsToneCurve* curves[3] = {gamma, gamma, gamma};
  cmsHPROFILE profile = cmsCreateRGBProfile(&white, &primaries, curves);
  cmsFreeToneCurve(gamma);
  return SavedProfile(profile);
}

std::vector<uint8_t> DisplayProfile() { return SavedProfile(cmsCreate_sRGBProfile()); }

void WriteBytes(const std::string& path, const std::vector<uint8_t>& bytes) {
  test::WriteFile(path, std::string(bytes.begin(), bytes.end()));
}

std::vector<uint8_t> StripeRow() {
  std::vector<uint8_t> row;
  for (int x = 0; x < kWidth; ++x) {
    const TRgb c = StripeColour(x);
    row.insert(row.end(),
               {static_cast<uint8_t>(c.r), static_cast<uint8_t>(c.g), static_cast<uint8_t>(c.b)});
  }
  return row;
}

// Quality 100 without chroma subsampling: the stripes come back within a level or two.
void WriteJpeg(const std::string& path, const std::vector<uint8_t>& icc) {
  jpeg_compress_struct job{};
  jpeg_error_mgr errors{};
  job.err = jpeg_std_error(&errors);
  jpeg_create_compress(&job);
  FILE* file = std::fopen(path.c_str(), "wb");
  ASSERT_TRUE(file);
  jpeg_stdio_dest(&job, file);
  job.image_width = kWidth;
  job.image_height = kHeight;
  job.input_components = 3;
  job.in_color_space = JCS_RGB;
  jpeg_set_defaults(&job);
  jpeg_set_quality(&job, 100, TRUE);
  for (int c = 0; c < 3; ++c) job.comp_info[c].h_samp_factor = job.comp_info[c].v_samp_factor = 1;
  jpeg_start_compress(&job, TRUE);
  if (!icc.empty()) jpeg_write_icc_profile(&job, icc.data(), static_cast<unsigned>(icc.size()));
  std::vector<uint8_t> row = StripeRow();
  while (job.next_scanline < job.image_height) {
    JSAMPROW rows[1] = {row.data()};
    jpeg_write_scanlines(&job, rows, 1);
  }
  jpeg_finish_compress(&job);
  jpeg_destroy_compress(&job);
  std::fclose(file);
}

void WritePng(const std::string& path, const std::vector<uint8_t>& icc) {
  FILE* file = std::fopen(path.c_str(), "wb");
  ASSERT_TRUE(file);
  png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  png_infop info = png_create_info_struct(png);
  png_init_io(png, file);
  png_set_IHDR(png, info, kWidth, kHeight, 8, PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE,
               PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
  png_set_iCCP(png, info, "camera", PNG_COMPRESSION_TYPE_BASE, icc.data(),
               static_cast<png_uint_32>(icc.size()));
  png_write_info(png, info);
  std::vector<uint8_t> row = StripeRow();
  for (int y = 0; y < kHeight; ++y) png_write_row(png, row.data());
  png_write_end(png, info);
  png_destroy_write_struct(&png, &info);
  std::fclose(file);
}

// Little CMS's own conversion of the colour, perceptual as the player asks.
TRgb LcmsConverted(TRgb c, const std::vector<uint8_t>& from, const std::vector<uint8_t>& to) {
  cmsHPROFILE in = cmsOpenProfileFromMem(from.data(), static_cast<cmsUInt32Number>(from.size()));
  cmsHPROFILE out = cmsOpenProfileFromMem(to.data(), static_cast<cmsUInt32Number>(to.size()));
  cmsHTRANSFORM transform =
      cmsCreateTransform(in, TYPE_RGB_8, out, TYPE_RGB_8, INTENT_PERCEPTUAL, 0);
  uint8_t pixel[3] = {static_cast<uint8_t>(c.r), static_cast<uint8_t>(c.g),
                      static_cast<uint8_t>(c.b)};
  cmsDoTransform(transform, pixel, pixel, 1);
  cmsDeleteTransform(transform);
  cmsCloseProfile(in);
  cmsCloseProfile(out);
  return {pixel[0], pixel[1], pixel[2]};
}

std::string Project(const std::string& picture, const std::string& colorManagement,
                    const std::string& keyFrame = "") {
  return "[Main]\r\nopt_scr_width=64\r\nopt_scr_height=48\r\nColorManagement=" + colorManagement +
         "\r\n[Times]\r\nopt_slidescount=1\r\nopt_synchpos1=4000\r\n"
         "[Slide1]\r\nobject Root:Root\r\n"
         "object photo:Image\r\nGUID={00000000-0000-0000-0000-0000000000c1}\r\n"
         "ImageName=" +
         picture + "\r\nobject k:KeyPoint\r\nTime=0\r\n" + keyFrame + "end\r\nend\r\nend\r\n";
}

// The stripes of a rendered frame, each from its middle.
std::array<TRgb, kStripes> RenderedStripes(const std::string& show, const std::string& out,
                                           const std::vector<std::string>& options = {}) {
  std::vector<std::string> args = {"--frame", "1000", "--out", out, show};
  args.insert(args.end(), options.begin(), options.end());
  const test::TRunResult run = test::RunProgram(VYRVIEWER_PATH, args);
  EXPECT_EQ(run.exitCode, 0) << run.err;
  std::array<TRgb, kStripes> stripes{};
  const TRef<TImage> frame = OpenPicture(out);
  if (!frame) {
    ADD_FAILURE() << "no frame in " << out;
    return stripes;
  }
  const TRef<TBitmap> bitmap = frame->Bitmap();
  for (int i = 0; i < kStripes; ++i)
    stripes[i] = PixelAt(*bitmap, (2 * i + 1) * kWidth / (2 * kStripes), kHeight / 2);
  return stripes;
}

// The colours a picture file holds, as the decoder reads them.
std::array<TRgb, kStripes> StoredStripes(const std::string& file) {
  std::array<TRgb, kStripes> stripes{};
  const TRef<TImage> picture = OpenPicture(file);
  if (!picture) {
    ADD_FAILURE() << "cannot decode " << file;
    return stripes;
  }
  const TRef<TBitmap> bitmap = picture->Bitmap();
  for (int i = 0; i < kStripes; ++i)
    stripes[i] = PixelAt(*bitmap, (2 * i + 1) * kWidth / (2 * kStripes), kHeight / 2);
  return stripes;
}

void ExpectNear(TRgb got, TRgb want, int tolerance) {
  EXPECT_NEAR(got.r, want.r, tolerance) << "red";
  EXPECT_NEAR(got.g, want.g, tolerance) << "green";
  EXPECT_NEAR(got.b, want.b, tolerance) << "blue";
}

TEST(ManagedPictures, EmbeddedProfilesConvertAsLittleCmsConverts) {
  test::TTempDir dir;
  const std::vector<uint8_t> camera = CameraProfile(), display = DisplayProfile();
  WriteBytes(dir / "display.icc", display);
  WriteJpeg(dir / "tagged.jpg", camera);
  WritePng(dir / "tagged.png", camera);
  WriteJpeg(dir / "plain.jpg", {});
  const std::string managed = dir / "display.icc";

  enum TExpect { kConverted, kConvertedInverted, kStored };
  struct Case {
    const char* label;
    std::string picture;
    std::string keyFrame;
    std::vector<std::string> options;
    TExpect expect;
  };
  const Case cases[] = {
      {"JPEG", "tagged.jpg", "", {}, kConverted},
      {"PNG", "tagged.png", "", {}, kConverted},
      // The filters act on the colour-management lookup: invert the converted colour.
      {"JPEG through Invert",
       "tagged.jpg",
       "object Invert:Filter\r\nend\r\n",
       {},
       kConvertedInverted},
      {"no profile", "plain.jpg", "", {}, kStored},
      {"-noicc", "tagged.jpg", "", {"-noicc"}, kStored},
  };
  int n = 0;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.label);
    const std::string show = dir / ("show" + std::to_string(n) + ".vyr");
    test::WriteFile(show, Project(c.picture, managed, c.keyFrame));
    const auto rendered =
        RenderedStripes(show, dir / ("frame" + std::to_string(n++) + ".png"), c.options);
    const auto stored = StoredStripes(dir / c.picture);
    for (int i = 0; i < kStripes; ++i) {
      SCOPED_TRACE("stripe " + std::to_string(i));
      TRgb want = stored[i];
      if (c.expect != kStored) want = LcmsConverted(stored[i], camera, display);
      if (c.expect == kConvertedInverted) want = {255 - want.r, 255 - want.g, 255 - want.b};
      // The lookup is a 32-level cube read between its entries.
      ExpectNear(rendered[i], want, 3);
    }
  }
  // The stripe the issue names: (40,160,60) of Adobe RGB is far from itself on sRGB.
  const TRgb green = LcmsConverted(StoredStripes(dir / "tagged.jpg")[0], camera, display);
  EXPECT_GT(std::abs(green.r - 40) + std::abs(green.b - 60), 30);
}

TEST(ManagedPictures, TheLogoConvertsLikeTheSlides) {
  test::TTempDir dir;
  const std::vector<uint8_t> camera = CameraProfile(), display = DisplayProfile();
  WriteBytes(dir / "display.icc", display);
  WriteJpeg(dir / "logo.jpg", camera);
  // The logo as high as the slide covers it whole.
  const std::string show = dir / "logo.vyr";
  test::WriteFile(show, "[Main]\r\nopt_scr_width=64\r\nopt_scr_height=48\r\nColorManagement=" +
                            (dir / "display.icc") +
                            "\r\nopt_logo=1\r\nopt_logo_fn=logo.jpg\r\nopt_logo_size=100\r\n"
                            "[Times]\r\nopt_slidescount=1\r\nopt_synchpos1=4000\r\n"
                            "[Slide1]\r\nobject Root:Root\r\nend\r\n");
  const auto rendered = RenderedStripes(show, dir / "frame.png");
  const auto stored = StoredStripes(dir / "logo.jpg");
  for (int i = 0; i < kStripes; ++i) {
    SCOPED_TRACE("stripe " + std::to_string(i));
    ExpectNear(rendered[i], LcmsConverted(stored[i], camera, display), 3);
  }
}

TEST(ManagedPictures, APackageWithoutActiveManagementConvertsThroughItsStoredTable) {
  test::TTempDir dir;
  test::WriteFile(dir / "show/Project.vyr", Project("photo.jpg", "*"));
  WriteJpeg(dir / "show/photo.jpg", CameraProfile());
  // The table is stored as differences from the identity cube: +16 on every channel.
  test::WriteFile(dir / "table.qzgfx",
                  test::MakeGfxContainer("cube", 32, 1024, test::FlatBmp(32, 1024, 0x101010)));
  const std::string package = dir / "show.vyshow";
  const test::TRunResult pack =
      test::RunProgram(VYRPACK_PATH, {"create", package, dir / "show/Project.vyr", "--add",
                                      "ColorSpaceExe_photo.jpg].QZGFX=" + (dir / "table.qzgfx")});
  ASSERT_EQ(pack.exitCode, 0) << pack.err;
  const auto rendered = RenderedStripes(package, dir / "frame.png");
  const auto stored = StoredStripes(dir / "show/photo.jpg");
  for (int i = 0; i < kStripes; ++i) {
    SCOPED_TRACE("stripe " + std::to_string(i));
    ExpectNear(rendered[i], {stored[i].r + 16, stored[i].g + 16, stored[i].b + 16}, 3);
  }
}

}  // namespace
}  // namespace vyr
