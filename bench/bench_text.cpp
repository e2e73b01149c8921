// Text rendering speed: a 40-character line at 48 pixels and a 10-line paragraph, each against
// FreeType's own rasteriser filling the same outlines (FT_Outline_Render, its spans blended into
// the same kind of "A8R8G8B8" picture as ours) in the same run; and glyph outline fetches with a
// cold and a warm glyph cache.
#include <benchmark/benchmark.h>
#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_OUTLINE_H

#include <chrono>
#include <cmath>
#include <cstring>
#include <map>
#include <vector>

#include "imaging/text/font_vectorizer.h"
#include "imaging/text/raster_paint.h"
#include "imaging/text/text_picture.h"
#include "thread_clock.h"

namespace {

using namespace vyr;
// The thread's CPU time: the machine is shared.
using Clock = ThreadClock;

constexpr const char* kLine = "<T>he quick brown fox jumps over the dog.";  // 40 characters

std::string Paragraph() {
  std::string lines;
  for (int i = 0; i < 10; ++i) lines += std::string(i ? "\r\n" : "") + kLine;
  return lines;
}

// FreeType's side: the glyph outlines of the same layout, loaded once, filled per picture.
struct TFreeTypeText {
  FT_Library library = nullptr;
  std::map<std::string, FT_Face> faces;
  struct TPlaced {
    FT_Outline outline;  // already scaled and placed, 26.6 pixels, y down
  };
  std::vector<TPlaced> glyphs;
  int width = 0, height = 0;

  TFreeTypeText(const TCachedVectorText& text, const TTextLayout& layout) {
    FT_Init_FreeType(&library);
    width = layout.width;
    height = layout.height;
    for (size_t i = 0; i < text.lines.size(); ++i)
      for (const TVectorGlyph& g : text.lines[i].glyphs) {
        const std::string file = g.fontKey.substr(8, g.fontKey.rfind('#') - 8);
        FT_Face& face = faces[file];
        if (!face) FT_New_Face(library, file.c_str(), 0, &face);
        FT_Load_Glyph(face, g.index, FT_LOAD_NO_SCALE | FT_LOAD_NO_HINTING);
        TPlaced placed{};
        FT_Outline_New(library, face->glyph->outline.n_points, face->glyph->outline.n_contours,
                       &placed.outline);
        FT_Outline_Copy(&face->glyph->outline, &placed.outline);
        const double k = double(kSystemEmUnits) / face->units_per_EM * layout.scale;
        const FT_Matrix m = {FT_Fixed(std::lround(k * 64 * 65536)), 0, 0,
                             FT_Fixed(std::lround(-k * 64 * 65536))};
        FT_Outline_Transform(&placed.outline, &m);
        FT_Outline_Translate(&placed.outline,
                             std::lround((layout.lines[i].x + g.x * layout.scale) * 64),
                             std::lround(layout.lines[i].baseline * 64));
        glyphs.push_back(placed);
      }
  }
  ~TFreeTypeText() {
    for (auto& g : glyphs) FT_Outline_Done(library, &g.outline);
    for (auto& [file, face] : faces) FT_Done_Face(face);
    FT_Done_FreeType(library);
  }
  // One picture like ours: a fresh "A8R8G8B8" bitmap cleared to the colour's RGB, every glyph
  // rendered into it through FreeType's span callback, coverage blended as our painter does.
  struct TTarget {
    TDirectBitmap* bitmap;
    uint32_t color;
  };
  static void PaintSpans(int y, int count, const FT_Span* spans, void* user) {
    auto* target = static_cast<TTarget*>(user);
    uint8_t* row = target->bitmap->Row(y);
    for (const FT_Span* span = spans; span < spans + count; ++span) {
      const int coverage = (span->coverage * 257) >> 8;  // 0..255 to 0..256
      for (int x = span->x; x < span->x + span->len; ++x) {
        uint32_t pixel;
        std::memcpy(&pixel, row + size_t(x) * 4, 4);
        pixel = PaintCoverage(target->color, coverage, pixel);
        std::memcpy(row + size_t(x) * 4, &pixel, 4);
      }
    }
  }
  TRef<TDirectBitmap> Render(uint32_t color) {
    auto bitmap = MakeRef<TDirectBitmap>(width, height, pf::A8R8G8B8());
    const uint32_t clear = color & 0x00FFFFFFu;
    for (int y = 0; y < height; ++y)
      for (int x = 0; x < width; ++x) std::memcpy(bitmap->Row(y) + size_t(x) * 4, &clear, 4);
    TTarget target{bitmap.Get(), color};
    for (auto& g : glyphs) {
      FT_Raster_Params params{};
      params.source = &g.outline;
      params.flags = FT_RASTER_FLAG_AA | FT_RASTER_FLAG_DIRECT | FT_RASTER_FLAG_CLIP;
      params.gray_spans = PaintSpans;
      params.user = &target;
      params.clip_box = {0, 0, width, height};
      FT_Outline_Render(library, &g.outline, &params);
    }
    return bitmap;
  }
};

// The outlines are placed y down, so FreeType's span rows are our rows.
void RenderAgainstFreeType(benchmark::State& state, const std::string& lines) {
  const TTextDescription description =
      ParseTextDescription("Text: Arial:0.0234375:0:0::0:1:0:\"" + lines + "\"");  // 48 px em
  TRef<TCachedVectorText> text = LoadVectorText(description, nullptr);
  const TTextRender render = TextRenderOf(description.params);
  const TTextLayout layout = TTextProducer::Measure(*text, render);
  TFreeTypeText freetype(*text, layout);
  double ours = 0, theirs = 0;
  for (auto _ : state) {
    const auto t0 = Clock::now();
    TRef<TDirectBitmap> bitmap = TTextProducer::Render(*text, render);
    benchmark::DoNotOptimize(bitmap->Row(0));
    const auto t1 = Clock::now();
    TRef<TDirectBitmap> anchor = freetype.Render(render.color);
    benchmark::DoNotOptimize(anchor->Row(0));
    const auto t2 = Clock::now();
    const double mine = std::chrono::duration<double>(t1 - t0).count();
    ours += mine;
    theirs += std::chrono::duration<double>(t2 - t1).count();
    state.SetIterationTime(mine);
  }
  const double n = double(state.iterations());
  state.counters["ms_per_picture"] = ours / n * 1000;
  state.counters["freetype_ms"] = theirs / n * 1000;
  state.counters["ratio"] = ours / theirs;
  state.counters["pixels"] = double(layout.width) * layout.height;
}

void BM_Line48(benchmark::State& state) { RenderAgainstFreeType(state, kLine); }
void BM_Paragraph48(benchmark::State& state) { RenderAgainstFreeType(state, Paragraph()); }
BENCHMARK(BM_Line48)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Paragraph48)->UseManualTime()->Unit(benchmark::kMillisecond);

// The glyph indices of the line in Liberation Sans.
std::vector<uint16_t> LineGlyphs() {
  TFontCache cache;
  std::vector<uint16_t> indices;
  for (const TLaidGlyph& g : TWinVectorizer::Instance().Layout("Arial", 0, kLine, cache))
    indices.push_back(g.index);
  return indices;
}

// Cold: every outline comes from the font file through FreeType into a new glyph cache.
void BM_GlyphFetchCold(benchmark::State& state) {
  const std::vector<uint16_t> indices = LineGlyphs();
  for (auto _ : state) {
    auto cache = MakeRef<TGlyphCache>("bench");
    for (uint16_t index : indices)
      if (!cache->Find(index))
        cache->Add(TWinVectorizer::Instance().GlyphOutline("Arial", 0, index));
    benchmark::DoNotOptimize(cache->Count());
  }
  state.SetItemsProcessed(int64_t(state.iterations()) * int64_t(indices.size()));
}
BENCHMARK(BM_GlyphFetchCold);

// Warm: every outline is already in the glyph cache.
void BM_GlyphFetchWarm(benchmark::State& state) {
  const std::vector<uint16_t> indices = LineGlyphs();
  auto cache = MakeRef<TGlyphCache>("bench");
  for (uint16_t index : indices)
    if (!cache->Find(index)) cache->Add(TWinVectorizer::Instance().GlyphOutline("Arial", 0, index));
  for (auto _ : state)
    for (uint16_t index : indices) benchmark::DoNotOptimize(cache->Find(index));
  state.SetItemsProcessed(int64_t(state.iterations()) * int64_t(indices.size()));
}
BENCHMARK(BM_GlyphFetchWarm);

}  // namespace

BENCHMARK_MAIN();
