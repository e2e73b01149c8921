// Button pictures from two themes of our own, whose pieces are drawn here: every pixel's
// colour names its piece (red), column (green) and row (blue), so each composed column and
// row can be traced back to the piece it came from.

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <string>

#include "imaging/bitmap/bitmap_factory.h"
#include "imaging/bitmap/png_writer.h"
#include "imaging/text/text_description.h"
#include "package/access/file_accessor.h"
#include "package/access/loose_file_sources.h"
#include "package/package_fixture.h"
#include "scene/button/button_host_link.h"
#include "scene/button/button_producer.h"
#include "scene/button/piece_cache.h"
#include "scene/host/slide_host.h"

namespace vyr {
namespace {

namespace fs = std::filesystem;

constexpr uint32_t kHoverRed = 200, kClickRed = 250;
uint32_t PieceRed(int kind) { return 10 + 10 * static_cast<uint32_t>(kind); }
uint32_t Traced(uint32_t red, int x, int y) {
  return 0xFF000000u | red << 16 | static_cast<uint32_t>(x) << 8 | static_cast<uint32_t>(y);
}

void WritePiece(const std::string& path, int w, int h, uint32_t red) {
  TRef<TBitmap> b = CreateSysBitmap(w, h, pf::A8R8G8B8());
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) reinterpret_cast<uint32_t*>(b->Row(y))[x] = Traced(red, x, y);
  std::string error;
  ASSERT_TRUE(WritePng(*b, path, error)) << error;
}

// A theme folder with copies of the fixture themes and their pieces drawn.
class ButtonThemes : public ::testing::Test {
 protected:
  void SetUp() override {
    const fs::path fixtures = fs::path(VYR_SOURCE_DIR) / "tests/fixtures/themes";
    for (const auto& [theme, w, h] : {std::tuple{"wide", 60, 20}, std::tuple{"thick", 50, 40}}) {
      const fs::path folder = dir_.Path() / "themes" / theme;
      fs::create_directories(folder);
      fs::copy_file(fixtures / theme / "btn.ini", folder / "btn.ini");
      for (int kind = 0; kind < kPieceKindCount; ++kind)
        WritePiece((folder / (std::to_string(kind) + ".png")).string(), w, h, PieceRed(kind));
      WritePiece((folder / "hover.png").string(), w, h, kHoverRed);
      WritePiece((folder / "click.png").string(), w, h, kClickRed);
    }
    files_ = MakeRef<TFileAccessor>(MakeRef<TRealFileSource>(dir_.Path().string()),
                                    dir_.Path().string());
  }

  std::string ThemeFolder() const { return (dir_.Path() / "themes").string() + "/"; }
  TRef<TImage> Picture(TButtonProducerHost& host, const TButtonPictureRequest& r) {
    return ProduceButtonPicture(ButtonPictureName(r), host, *files_);
  }

  test::TTempDir dir_;
  TRef<TFileAccessor> files_;
};

// The expected source of each composed pixel of a normal-state picture of width w, from the
// theme's edges: left column width lw, right lr, top height th, bottom tb, reference rw x h.
struct TThemeEdges {
  int rw, h, lw, rwid, th, bh;
};

uint32_t ExpectedPixel(const TThemeEdges& e, int w, int x, int y) {
  const int cl = e.lw, cr = w - e.rwid, ct = e.th, cb = e.h - e.bh;
  int row = y < ct ? 0 : y < cb ? 1 : 2;
  int sy = row == 2 ? y - cb + (e.h - e.bh) : y;
  // The pieces are drawn centre, top, bottom, left, right, left-top, right-top, right-bottom,
  // left-bottom: where the sides overlap, the right ones cover the left ones except in the
  // bottom row, where the left-bottom corner comes last.
  if (x < cl && row == 2) return Traced(PieceRed(kPieceLeftBottom), x, sy);
  if (x >= cr) {
    static constexpr int kRight[] = {kPieceRightTop, kPieceRight, kPieceRightBottom};
    return Traced(PieceRed(kRight[row]), x - cr + (e.rw - e.rwid), sy);
  }
  if (x < cl) {
    static constexpr int kLeft[] = {kPieceLeftTop, kPieceLeft, kPieceLeftBottom};
    return Traced(PieceRed(kLeft[row]), x, sy);
  }
  static constexpr int kMiddle[] = {kPieceTop, kPieceCenter, kPieceBottom};
  return Traced(PieceRed(kMiddle[row]), cl, sy);
}

void ExpectComposed(const TImage& image, const TThemeEdges& e, int w) {
  ASSERT_EQ(image.Width(), w);
  ASSERT_EQ(image.Height(), e.h);
  TRef<TBitmap> b = image.Bitmap();
  int wrong = 0;
  for (int y = 0; y < e.h; ++y)
    for (int x = 0; x < w; ++x) {
      const uint32_t got = reinterpret_cast<const uint32_t*>(b->Row(y))[x];
      if (got != ExpectedPixel(e, w, x, y) && ++wrong < 5)
        ADD_FAILURE() << "pixel " << x << "," << y << " " << std::hex << got << " expected "
                      << ExpectedPixel(e, w, x, y);
    }
  EXPECT_EQ(wrong, 0);
}

constexpr TThemeEdges kWide{60, 20, 6, 6, 6, 6};
constexpr TThemeEdges kThick{50, 40, 20, 20, 15, 15};

TEST_F(ButtonThemes, WideCentreStretchesToAnyWidth) {
  TButtonProducerHost host(ThemeFolder());
  std::string theme = "wide";
  TRef<TButtonProducer> producer = host.LoadTheme(*files_, theme);
  ASSERT_TRUE(producer);
  EXPECT_EQ(theme, "wide");
  const TButtonTheme t = producer->Theme();
  EXPECT_EQ(t.referenceWidth, 60);
  EXPECT_EQ(t.referenceHeight, 20);
  EXPECT_EQ(t.captionColor, 0xFFFF8000u);
  EXPECT_DOUBLE_EQ(t.btnOffset, 20);
  EXPECT_DOUBLE_EQ(t.btnMinWidth, 150);
  EXPECT_EQ(t.filtering, TButtonFiltering::Nearest);
  for (int w : {60, 61, 200, 13}) {
    TRef<TImage> image = Picture(host, {"wide", kButtonNormal, w});
    ASSERT_TRUE(image);
    EXPECT_EQ(image->Name(), ButtonPictureName({"wide", kButtonNormal, w}));
    ExpectComposed(*image, kWide, w);
  }
}

TEST_F(ButtonThemes, ThickCornersAndNarrowerThanTheReference) {
  TButtonProducerHost host(ThemeFolder());
  std::string theme = "THICK";  // theme names ignore case on the way in
  ASSERT_TRUE(host.LoadTheme(*files_, theme));
  for (int w : {50, 123}) ExpectComposed(*Picture(host, {"thick", kButtonNormal, w}), kThick, w);
  // 30 wide: the right pieces start at 10, left of the centre, and overlap the left ones.
  ExpectComposed(*Picture(host, {"thick", kButtonNormal, 30}), kThick, 30);
  // Narrower than the right pieces: raised to the reference width.
  ExpectComposed(*Picture(host, {"thick", kButtonNormal, 12}), kThick, 50);
}

TEST_F(ButtonThemes, StatesTakeTheirOwnPieces) {
  TButtonProducerHost host(ThemeFolder());
  std::string theme = "thick";
  ASSERT_TRUE(host.LoadTheme(*files_, theme));
  for (const auto& [state, red] : {std::pair{kButtonHover, kHoverRed}, {kButtonClick, kClickRed}}) {
    TRef<TImage> image = Picture(host, {"thick", state, 80});
    ASSERT_TRUE(image);
    TRef<TBitmap> b = image->Bitmap();
    const auto px = [&b](int x, int y) { return reinterpret_cast<const uint32_t*>(b->Row(y))[x]; };
    EXPECT_EQ(px(0, 0), Traced(red, 0, 0));
    EXPECT_EQ(px(40, 20), Traced(red, 20, 20));  // centre column 20
    EXPECT_EQ(px(79, 39), Traced(red, 49, 39));
  }
}

TEST_F(ButtonThemes, ColourShiftAppliesToTheComposedPicture) {
  TButtonProducerHost host(ThemeFolder());
  std::string theme = "wide";
  ASSERT_TRUE(host.LoadTheme(*files_, theme));
  TRef<TImage> grey = Picture(host, {"wide", kButtonNormal, 70, 0, -100, 0});
  TRef<TBitmap> b = grey->Bitmap();
  for (int x = 0; x < 70; x += 7) {
    const uint32_t c = reinterpret_cast<const uint32_t*>(b->Row(10))[x];
    EXPECT_EQ((c >> 16) & 0xFF, (c >> 8) & 0xFF);
    EXPECT_EQ((c >> 8) & 0xFF, c & 0xFF);
  }
}

TEST_F(ButtonThemes, MissingThemeFallsBackToAquaThenToNothing) {
  TButtonProducerHost host(ThemeFolder());
  std::string theme = "nosuch";
  EXPECT_FALSE(host.LoadTheme(*files_, theme));
  EXPECT_EQ(theme, "nosuch");
  EXPECT_FALSE(Picture(host, {"nosuch", kButtonNormal, 60}));  // never loaded: no picture

  fs::create_directories(dir_.Path() / "themes/aqua");
  fs::copy_file(dir_.Path() / "themes/wide/btn.ini", dir_.Path() / "themes/aqua/btn.ini");
  for (int kind = 0; kind < kPieceKindCount; ++kind)
    fs::copy_file(dir_.Path() / "themes/wide" / (std::to_string(kind) + ".png"),
                  dir_.Path() / "themes/aqua" / (std::to_string(kind) + ".png"));
  ASSERT_TRUE(host.LoadTheme(*files_, theme));
  EXPECT_EQ(theme, "aqua");
  ExpectComposed(*Picture(host, {"aqua", kButtonNormal, 90}), kWide, 90);
}

// The "Incorrect Image: " picture's text line.
std::string ErrorLine(const TRef<TImage>& image) {
  if (!image) return "(none)";
  const TTextDescription d = ParseTextDescription(image->Name());
  return d.lines.empty() ? image->Name() : d.lines[0];
}

TEST_F(ButtonThemes, BrokenPiecesGiveTheIncorrectImagePicture) {
  const fs::path folder = dir_.Path() / "themes/broken";
  fs::create_directories(folder);
  fs::copy_file(dir_.Path() / "themes/wide/btn.ini", folder / "btn.ini");
  for (int kind = 0; kind < kPieceKindCount; ++kind)
    if (kind != kPieceLeftBottom)
      WritePiece((folder / (std::to_string(kind) + ".png")).string(), 60, 20, PieceRed(kind));
  WritePiece((folder / "6.png").string(), 59, 20, 1);  // one pixel narrow
  TButtonProducerHost host(ThemeFolder());
  std::string theme = "broken";
  ASSERT_TRUE(host.LoadTheme(*files_, theme));
  EXPECT_EQ(ErrorLine(Picture(host, {"broken", kButtonNormal, 80})), "Incorrect Image: 6.png");

  fs::remove(folder / "5.png");  // missing: the cache keeps the first answer, so a new theme
  test::WriteFile((dir_.Path() / "themes/gone/btn.ini").string(),
                  "[NormalState]\nCenter=none.png,6,6,54,14\nRight=3.png,54,6,60,14\n"
                  "Bottom=5.png,6,14,54,20\n");
  theme = "gone";
  ASSERT_TRUE(host.LoadTheme(*files_, theme));
  EXPECT_EQ(ErrorLine(Picture(host, {"gone", kButtonNormal, 80})), "Incorrect Image: none.png");
  // A state without a section: its pieces have no file names.
  EXPECT_EQ(ErrorLine(Picture(host, {"gone", kButtonHover, 80})), "Incorrect Image: ");
}

TEST_F(ButtonThemes, NonNumericRectanglesAndEnormousWidthsStayBounded) {
  test::WriteFile((dir_.Path() / "themes/odd/btn.ini").string(),
                  "[NormalState]\nLeftTop=0.png,x,y,z,w\nRight=3.png,a,b\nBottom=5.png,,,,\n");
  TButtonProducerHost host(ThemeFolder());
  std::string theme = "odd";
  ASSERT_TRUE(host.LoadTheme(*files_, theme));
  EXPECT_EQ(host.Find("odd")->Theme().referenceHeight, 0);
  TRef<TImage> odd = Picture(host, {"odd", kButtonNormal, 100});
  EXPECT_EQ(ErrorLine(odd), "Incorrect Image: ");  // no reference size: no piece fits

  theme = "wide";
  ASSERT_TRUE(host.LoadTheme(*files_, theme));
  for (int w : {2000000000, -5, 0}) {
    TRef<TImage> image = Picture(host, {"wide", kButtonNormal, w, 0, 0, 0});
    ASSERT_TRUE(image);
    EXPECT_LE(image->Width(), kMaxButtonWidth);
    EXPECT_GE(image->Width(), 60);
    EXPECT_EQ(image->Height(), 20);
  }
}

TEST_F(ButtonThemes, PiecesAreOpenedOncePerPath) {
  TButtonProducerHost host(ThemeFolder());
  std::string theme = "thick";
  ASSERT_TRUE(host.LoadTheme(*files_, theme));
  ASSERT_TRUE(Picture(host, {"thick", kButtonNormal, 70}));
  const size_t pieces = ButtonPieceCount();
  ASSERT_TRUE(Picture(host, {"thick", kButtonNormal, 90}));
  ASSERT_TRUE(Picture(host, {"thick", kButtonHover, 90}));  // one more picture: hover.png
  EXPECT_EQ(ButtonPieceCount(), pieces + 1);
}

TEST_F(ButtonThemes, SlideHostAnswersButtonNamesOfLoadedThemes) {
  THostSettings settings;
  settings.themeFolder = ThemeFolder();
  auto host = MakeRef<TVyrSlideHost>(files_, settings);
  const std::string name = ButtonPictureName({"wide", kButtonHover, 90});
  EXPECT_FALSE(host->RequestPicture(name));  // the theme was not loaded yet
  std::string theme = "wide";
  ASSERT_TRUE(host->ButtonProducers().LoadTheme(*files_, theme));
  TRef<TImage> picture = host->RequestPicture(ButtonPictureName({"wide", kButtonNormal, 90}));
  ASSERT_TRUE(picture);
  ExpectComposed(*picture, kWide, 90);
}

}  // namespace
}  // namespace vyr
