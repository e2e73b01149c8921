// Liberation Sans text pictures against FreeType's own rasteriser filling the same outlines
// at the same places: an independent check of coverage.
#include <ft2build.h>
#include <gtest/gtest.h>
#include FT_FREETYPE_H
#include FT_OUTLINE_H

#include <cmath>

#include "imaging/text/font_vectorizer.h"
#include "imaging/text/text_picture.h"

namespace vyr {
namespace {

struct TReference {
  int width, height;
  std::vector<float> alpha;  // 0..1
};

void AddSpans(int y, int count, const FT_Span* spans, void* user) {
  auto* ref = static_cast<TReference*>(user);
  if (y < 0 || y >= ref->height) return;
  for (int i = 0; i < count; ++i)
    for (int x = spans[i].x; x < spans[i].x + spans[i].len && x < ref->width; ++x) {
      float& a = ref->alpha[size_t(y) * ref->width + x];
      const float c = spans[i].coverage / 255.0f;
      a = a + c * (1 - a);  // glyph over glyph, as the picture blends them
    }
}

// FreeType fills every glyph of the layout with FT_Outline_Render.
TReference RenderWithFreeType(const TCachedVectorText& text, const TTextLayout& layout) {
  TReference ref{layout.width, layout.height,
                 std::vector<float>(size_t(layout.width) * layout.height, 0)};
  FT_Library library;
  EXPECT_EQ(FT_Init_FreeType(&library), 0);
  for (size_t i = 0; i < text.lines.size(); ++i) {
    for (const TVectorGlyph& g : text.lines[i].glyphs) {
      // The key names the font file: "System: FILE#INDEX:STYLE".
      const std::string file = g.fontKey.substr(8, g.fontKey.rfind('#') - 8);
      FT_Face face;
      EXPECT_EQ(FT_New_Face(library, file.c_str(), 0, &face), 0) << file;
      EXPECT_EQ(FT_Load_Glyph(face, g.index, FT_LOAD_NO_SCALE | FT_LOAD_NO_HINTING), 0);
      FT_Outline& outline = face->glyph->outline;
      const double k = double(kSystemEmUnits) / face->units_per_EM * layout.scale;
      // Font units to 26.6 pixels, y flipped to point down.
      const FT_Matrix m = {FT_Fixed(std::lround(k * 64 * 65536)), 0, 0,
                           FT_Fixed(std::lround(-k * 64 * 65536))};
      FT_Outline_Transform(&outline, &m);
      FT_Outline_Translate(&outline, std::lround((layout.lines[i].x + g.x * layout.scale) * 64),
                           std::lround(layout.lines[i].baseline * 64));
      FT_Raster_Params params{};
      params.source = &outline;
      params.flags = FT_RASTER_FLAG_AA | FT_RASTER_FLAG_DIRECT | FT_RASTER_FLAG_CLIP;
      params.gray_spans = AddSpans;
      params.user = &ref;
      params.clip_box = {0, 0, layout.width, layout.height};
      EXPECT_EQ(FT_Outline_Render(library, &outline, &params), 0);
      FT_Done_Face(face);
    }
  }
  FT_Done_FreeType(library);
  return ref;
}

TEST(TextCoverage, LiberationSansMatchesFreeTypesRasteriser) {
  const struct {
    const char* description;
  } cases[] = {
      {"Text: Arial:0.0234375:0:0::0:1:0:\"<H>amburgefonstiv 0123 & @%\""},         // 48 px em
      {"Text: Arial:0.00732421875:0:0::0:1:0:\"<Q>uick brown fox, jumps! (ok)\""},  // 15 px
      {"Text: Times New Roman:0.03125:0:0:Bold,Italic:0:1:0:\"<W>axy gloss\""},
      {"Text: DejaVu Sans:0.015625:0:0::0:1:40:\"\xC3\xA6sop \xC3\x9F\r\n<ZZ> 42\""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.description);
    const TTextDescription description = ParseTextDescription(c.description);
    TRef<TCachedVectorText> text = LoadVectorText(description, nullptr);
    TTextLayout layout;
    TRef<TDirectBitmap> ours =
        TTextProducer::Render(*text, TextRenderOf(description.params), &layout);
    const TReference ref = RenderWithFreeType(*text, layout);
    double inkOurs = 0, inkRef = 0;
    int far = 0, worst = 0, inked = 0;
    for (int y = 0; y < layout.height; ++y)
      for (int x = 0; x < layout.width; ++x) {
        const int a = ours->Row(y)[x * 4 + 3];
        const int b = int(std::lround(ref.alpha[size_t(y) * layout.width + x] * 255));
        inkOurs += a;
        inkRef += b;
        worst = std::max(worst, std::abs(a - b));
        far += std::abs(a - b) > 32;
        inked += a > 0 || b > 0;
      }
    ASSERT_GT(inkRef, 1000);
    EXPECT_NEAR(inkOurs / inkRef, 1.0, 0.01);
    // Curves are flattened into chords of up to 2 pixels, which shifts a few edge pixels.
    EXPECT_LE(worst, 96);
    EXPECT_LE(far, inked * 3 / 100) << inked;
  }
}

}  // namespace
}  // namespace vyr
