// Text descriptions, vector text from the package, layout and the text picture.
#include <gtest/gtest.h>

#include "foundation/exceptions.h"
#include "imaging/text/font_vectorizer.h"
#include "imaging/text/placeholder_text.h"
#include "imaging/text/text_description.h"
#include "imaging/text/text_picture.h"
#include "imaging/text/text_producer.h"
#include "text_fixtures.h"

namespace vyr {
namespace {

using testing::AddSquareGlyph;
using testing::AlphaAt;
using testing::InkedColumns;
using testing::InkedRows;
using testing::TEntries;
using testing::TEntryBytes;

TEST(TextDescription, FieldsParseAndFallBackToTheDefaults) {
  const TTextDescription d =
      ParseTextDescription("Text: Times New Roman:0.5:3:-4:Bold,Underline:2:1.5:100:\"A\r\nb\"");
  EXPECT_EQ(d.params.fontName, "Times New Roman");
  EXPECT_DOUBLE_EQ(d.params.scale, 0.5);
  EXPECT_DOUBLE_EQ(d.params.offsetX, 3);
  EXPECT_DOUBLE_EQ(d.params.offsetY, -4);
  EXPECT_EQ(d.params.style, kStyleBold | kStyleUnderline);
  EXPECT_EQ(d.params.alignment, 2);
  EXPECT_DOUBLE_EQ(d.params.factor, 1.5);
  EXPECT_EQ(d.params.lineSpacing, 100);
  EXPECT_EQ(d.lines, (std::vector<std::string>{"A", "b"}));
  // LF CR is one break, as CR LF is; a lone CR or LF is one too.
  for (const char* lines : {"\"A\n\rb\"", "\"A\rb\"", "\"A\nb\""})
    EXPECT_EQ(ParseTextDescription(std::string("Text: Arial:1:0:0::0:1:0:") + lines).lines,
              (std::vector<std::string>{"A", "b"}))
        << lines;

  TTextParams defaults;
  defaults.scale = 0.25;
  defaults.offsetX = 7;
  defaults.alignment = 1;
  defaults.lineSpacing = 30;
  const TTextDescription bad =
      ParseTextDescription("Text: Arial:big:x:2:Italic,Wavy:centre:no:wide:\"x\"", defaults);
  EXPECT_DOUBLE_EQ(bad.params.scale, 0.25);
  EXPECT_DOUBLE_EQ(bad.params.offsetX, 7);
  EXPECT_DOUBLE_EQ(bad.params.offsetY, 2);
  EXPECT_EQ(bad.params.style, kStyleItalic);
  EXPECT_EQ(bad.params.alignment, 1);
  EXPECT_DOUBLE_EQ(bad.params.factor, 1);
  EXPECT_EQ(bad.params.lineSpacing, 30);

  // Missing fields: the defaults, and the default text.
  const TTextDescription shortOne = ParseTextDescription("Text: Arial:2", defaults);
  EXPECT_DOUBLE_EQ(shortOne.params.scale, 2);
  EXPECT_EQ(shortOne.params.alignment, 1);
  EXPECT_EQ(shortOne.lines, (std::vector<std::string>{"Text"}));
  // A spacing written in general format.
  EXPECT_EQ(ParseTextDescription("Text: Arial:1:0:0::0:1:1E2:\"x\"").params.lineSpacing, 100);
}

TEST(TextDescription, CaseMarkingRoundTrips) {
  const struct {
    const char* plain;
    const char* marked;
  } cases[] = {
      {"Hello World", "<H>ello <W>orld"},
      {"ABC def", "<ABC> def"},
      {"a<b>c", "a<<b>>c"},
      {"<X>", "<<<X>>>"},
      {"\xC3\x84rger", "<\xC3\x84>rger"},  // Ä
      {"", ""},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(MarkCase(c.plain), c.marked) << c.plain;
    EXPECT_EQ(UnmarkCase(c.marked), c.plain) << c.marked;
  }
  TTextParams p;
  p.fontName = "Arial";
  p.scale = 0.123456789;
  p.style = kStyleBold | kStyleItalic;
  p.lineSpacing = 100;
  const std::string text = FormatTextDescription(p, {"Big A", "b"});
  EXPECT_EQ(text, "Text: Arial:0.123457:0:0:Bold,Italic:0:1:100:\"<B>ig <A>\r\nb\"");
  const TTextDescription back = ParseTextDescription(text);
  EXPECT_EQ(back.lines, (std::vector<std::string>{"Big A", "b"}));
  EXPECT_EQ(VectorTextKey(back), "VectTxt2: Arial:Bold,Italic:\"<B>ig <A>\r\nb\"");
}

// A package whose vector text draws each line as squares of 10 font units (em 10).
struct TSquareText {
  TEntries package;
  TEntryBytes cache;
  TSquareText() {
    cache.I32(1).Key("TestFont:");
    AddSquareGlyph(cache, 7, 10);
    package.entries["VectTextCache: TestFont:"] = cache.bytes;
  }
  // Lines of n squares each, side by side; descent d, underline at u (thickness 1).
  void AddText(const std::string& key, const std::vector<int>& squares, int32_t descent = 0,
               float underline = -2, float strikeOut = 5) {
    TEntryBytes text;
    text.I32(int32_t(squares.size())).I32(10).I32(descent);
    text.F32(underline).F32(1).F32(strikeOut).F32(1);
    for (int n : squares) {
      text.I32(n);
      for (int i = 0; i < n; ++i) text.I32(10 * i).F32(10).U16(7).Key("TestFont:");
    }
    package.entries[key] = text.bytes;
  }
};

TEST(TextPicture, PackageVectorTextIsPreferredAndPlacedExactly) {
  TFontCache::Instance().SetShowKey("square-show");
  TSquareText show;
  show.AddText("VectTxt2: Arial::\"<S>quare\"", {1});
  TRef<TImage> picture =
      OpenTextPicture("Text: Arial:2:0:0::0:1:0:\"<S>quare\"", show.package.Opener());
  ASSERT_TRUE(picture);
  EXPECT_EQ(picture->Width(), 22);  // 20 pixels of text and a pixel either side
  EXPECT_EQ(picture->Height(), 22);
  TRef<TBitmap> bitmap = picture->Bitmap();
  for (int y = 0; y < 22; ++y)
    for (int x = 0; x < 22; ++x) {
      const bool inside = x >= 1 && x <= 20 && y >= 1 && y <= 20;
      ASSERT_EQ(AlphaAt(*bitmap, x, y), inside ? 255 : 0) << x << "," << y;
    }
  EXPECT_EQ(bitmap->Row(5)[5 * 4], 255);  // white
  TFontCache::Instance().SetShowKey("");
}

TEST(TextPicture, LineSpacingAndEmptyLines) {
  TFontCache::Instance().SetShowKey("spacing-show");
  TSquareText show;
  show.AddText("VectTxt2: Arial::\"a\r\nb\"", {1, 1});
  show.AddText("VectTxt2: Arial::\"a\r\n\r\nb\"", {1, 0, 1});
  // Spacing 100: baselines 1.5 line heights (30 pixels) apart.
  TRef<TImage> spaced =
      OpenTextPicture("Text: Arial:2:0:0::0:1:100:\"a\r\nb\"", show.package.Opener());
  EXPECT_EQ(spaced->Height(), 52);
  std::vector<int> rows = InkedRows(*spaced->Bitmap());
  ASSERT_EQ(rows.size(), 40u);
  EXPECT_EQ(rows.front(), 1);
  EXPECT_EQ(rows[19], 20);
  EXPECT_EQ(rows[20], 31);
  EXPECT_EQ(rows.back(), 50);
  // An empty line keeps its height.
  TRef<TImage> gap =
      OpenTextPicture("Text: Arial:2:0:0::0:1:0:\"a\r\n\r\nb\"", show.package.Opener());
  EXPECT_EQ(gap->Height(), 62);
  rows = InkedRows(*gap->Bitmap());
  ASSERT_EQ(rows.size(), 40u);
  EXPECT_EQ(rows[20], 41);
  EXPECT_EQ(rows.back(), 60);
  TFontCache::Instance().SetShowKey("");
}

TEST(TextPicture, CentreAndRightAlignmentPlaceNarrowLinesInTheWidestBox) {
  TFontCache::Instance().SetShowKey("align-show");
  TSquareText show;
  show.AddText("VectTxt2: Arial::\"abc\r\nd\"", {3, 1});
  const struct {
    int alignment;
    int first;
  } cases[] = {{0, 1}, {1, 21}, {2, 41}};
  for (const auto& c : cases) {
    TRef<TImage> picture =
        OpenTextPicture("Text: Arial:2:0:0::" + std::to_string(c.alignment) + ":1:0:\"abc\r\nd\"",
                        show.package.Opener());
    EXPECT_EQ(picture->Width(), 62);
    const std::vector<int> cols = InkedColumns(*picture->Bitmap(), 21, 41);
    ASSERT_EQ(cols.size(), 20u) << c.alignment;
    EXPECT_EQ(cols.front(), c.first) << c.alignment;
    EXPECT_EQ(InkedColumns(*picture->Bitmap(), 1, 21).size(), 60u);
    auto store = TRef<TTextBitmapStore>::Share(static_cast<TTextBitmapStore*>(&picture->Store()));
    const std::vector<TRect> hits = store->HitRects();
    ASSERT_EQ(hits.size(), 2u);
    EXPECT_EQ(hits[1].left, c.first);
    EXPECT_EQ(hits[1].right, c.first + 20);
    EXPECT_EQ(hits[1].top, 21);
    EXPECT_EQ(hits[1].bottom, 41);
  }
  TFontCache::Instance().SetShowKey("");
}

TEST(TextPicture, UnderlineAndStrikeOutBarsSitAtTheirPositions) {
  TFontCache::Instance().SetShowKey("bars-show");
  TSquareText show;
  show.AddText("VectTxt2: Arial:Underline:\"a\"", {1}, 5, -2);
  show.AddText("VectTxt2: Arial:StrikeOut:\"a\"", {1}, 5, -2, 5);
  // Baseline at 21; underline 2 font units below it, 1 thick: rows 25 and 26 (scale 2).
  TRef<TBitmap> under =
      OpenTextPicture("Text: Arial:2:0:0:Underline:0:1:0:\"a\"", show.package.Opener())->Bitmap();
  EXPECT_EQ(under->Height(), 32);
  EXPECT_EQ(InkedRows(*under), (std::vector<int>{1,  2,  3,  4,  5,  6,  7,  8,  9,  10, 11,
                                                 12, 13, 14, 15, 16, 17, 18, 19, 20, 25, 26}));
  // Strike-out 5 units above the baseline, 1 thick: rows 11 and 12, inside the square, so
  // the square itself shows; the bar spans the same advance.
  TRef<TBitmap> struck =
      OpenTextPicture("Text: Arial:2:0:0:StrikeOut:0:1:0:\"a\"", show.package.Opener())->Bitmap();
  EXPECT_EQ(InkedRows(*struck).size(), 20u);
  TFontCache::Instance().SetShowKey("");
}

TEST(TextPicture, MissingGlyphCacheDrawsNothingButKeepsTheSize) {
  TFontCache::Instance().SetShowKey("no-cache-show");
  TSquareText show;
  show.AddText("VectTxt2: Arial::\"a\"", {1});
  show.package.entries.erase("VectTextCache: TestFont:");
  TRef<TImage> picture = OpenTextPicture("Text: Arial:2:0:0::0:1:0:\"a\"", show.package.Opener());
  EXPECT_EQ(picture->Height(), 22);
  EXPECT_TRUE(InkedRows(*picture->Bitmap()).empty());
  TFontCache::Instance().SetShowKey("");
}

TEST(TextPicture, SystemFontsStandInForMissingOrDamagedVectorText) {
  TEntries package;
  // Claims five lines but ends after the line count.
  package.entries["VectTxt2: Arial::\"<H>i\""] = TEntryBytes().I32(5).bytes;
  for (const TStreamOpener& open : {TStreamOpener(), package.Opener()}) {
    TRef<TImage> picture = OpenTextPicture("Text: Arial:0.03125:0:0::0:1:0:\"<H>i\"", open);
    // Liberation Sans at a 64-pixel em: ascent + descent 2288 units = 71.5 pixels.
    EXPECT_EQ(picture->Height(), 74);
    EXPECT_FALSE(InkedRows(*picture->Bitmap()).empty());
  }
}

TEST(VectorText, ShortAndHugeCountsAreRejectedWithoutAllocating) {
  const std::vector<std::vector<uint8_t>> bad = {
      TEntryBytes().I32(0x7FFFFFF0).I32(10).I32(2).bytes,
      TEntryBytes().I32(1).I32(10).I32(2).F32(0).F32(0).F32(0).F32(0).I32(0x7FFFFFFF).bytes,
      TEntryBytes()
          .I32(1)
          .I32(10)
          .I32(2)
          .F32(0)
          .F32(0)
          .F32(0)
          .F32(0)
          .I32(1)
          .I32(0)
          .F32(1)
          .U16(3)
          .I32(0x40000000)
          .bytes,
      TEntryBytes().I32(-1).bytes,
      TEntryBytes().I32(1).I32(10).bytes,
  };
  for (const auto& bytes : bad) {
    auto stream = MakeRef<TMemoryStream>(bytes);
    EXPECT_THROW(TCachedVectorText::Read(*stream), EStreamReadError);
  }
}

// Texts beyond the character budget (line breaks count) are cut at a whole character, and a
// package's vector text of more glyphs is not read.
TEST(TextBudget, LongTextsAreCutToTheCharacterBudget) {
  const size_t budget = kMaxTextCharacters;
  std::string accented;
  for (size_t i = 0; i < budget + 10; ++i) accented += "\xC3\xA9";  // U+00E9, two bytes
  const struct {
    std::vector<std::string> lines;
    size_t wantLines, wantLastBytes;
  } cases[] = {
      {{"short", "two"}, 2, 3},
      {{std::string(budget, 'a')}, 1, budget},
      {{std::string(budget + 5000, 'a')}, 1, budget},
      {{"ab", std::string(budget, 'c')}, 2, budget - 3},
      {std::vector<std::string>(budget + 5000), budget + 1, 0},
      {{accented}, 1, budget * 2},
  };
  for (const auto& c : cases) {
    std::vector<std::string> lines = c.lines;
    const bool cut = CutToTextBudget(lines);
    EXPECT_EQ(cut, lines != c.lines);
    ASSERT_EQ(lines.size(), c.wantLines);
    EXPECT_EQ(lines.back().size(), c.wantLastBytes);
  }
  const TTextDescription parsed = ParseTextDescription("Text: Arial:0.03125:0:0::0:1:0:\"" +
                                                       std::string(budget * 2, 'x') + "\"");
  ASSERT_EQ(parsed.lines.size(), 1u);
  EXPECT_EQ(parsed.lines[0].size(), budget);

  TEntryBytes e;
  e.I32(1).I32(10).I32(2).F32(0).F32(0).F32(0).F32(0).I32(static_cast<int32_t>(budget + 1));
  for (size_t i = 0; i <= budget; ++i) e.I32(0).F32(1).U16(3).Key("");
  auto stream = MakeRef<TMemoryStream>(e.bytes);
  EXPECT_THROW(TCachedVectorText::Read(*stream), EStreamReadError);
}

TEST(GlyphCache, KeepsTheGlyphsReadWholeFromAShortEntry) {
  TEntryBytes e;
  e.I32(3).Key("K");
  AddSquareGlyph(e, 1, 10);
  AddSquareGlyph(e, 2, 10);
  e.bytes.resize(e.bytes.size() - 5);  // the second glyph is cut
  auto cache = MakeRef<TGlyphCache>("K");
  auto stream = MakeRef<TMemoryStream>(e.bytes);
  EXPECT_FALSE(cache->Read(*stream));
  EXPECT_EQ(cache->Count(), 1u);
  ASSERT_TRUE(cache->Find(1));
  EXPECT_EQ(cache->Find(1)->path.size(), 4u);

  TEntryBytes huge;
  huge.I32(0x7FFFFFFF).Key("K");
  huge.U16(1).I32(0).I32(0).I32(0).I32(0).I32(0).F32(1).I32(0x7FFFFFFF);
  auto hugeCache = MakeRef<TGlyphCache>("K");
  auto hugeStream = MakeRef<TMemoryStream>(huge.bytes);
  EXPECT_FALSE(hugeCache->Read(*hugeStream));
  EXPECT_EQ(hugeCache->Count(), 0u);
}

TEST(FontCache, ADifferentShowKeyEmptiesTheCache) {
  TFontCache& cache = TFontCache::Instance();
  cache.SetShowKey("one");
  cache.FindOrAdd("X");
  cache.SetShowKey("one");
  EXPECT_TRUE(cache.Find("X"));
  cache.SetShowKey("two");
  EXPECT_FALSE(cache.Find("X"));
  cache.SetShowKey("");
}

TEST(TextPicture, HugeScalesGiveABoundedPicture) {
  TFontCache::Instance().SetShowKey("huge-show");
  TSquareText show;
  show.AddText("VectTxt2: Arial::\"a\"", {1});
  TRef<TImage> picture =
      OpenTextPicture("Text: Arial:1e30:0:0::0:1:0:\"a\"", show.package.Opener());
  EXPECT_LE(picture->Width(), kMaxTextSide);
  EXPECT_LE(int64_t{picture->Width()} * picture->Height(), kMaxTextPixels);
  EXPECT_GT(picture->Width(), 1000);
  TRef<TBitmap> bitmap = picture->Bitmap();
  EXPECT_EQ(AlphaAt(*bitmap, bitmap->Width() / 2, bitmap->Height() / 2), 255);
  TFontCache::Instance().SetShowKey("");
}

TEST(GlyphFitting, InkIsMovedAndSqueezedToTheAbcWidths) {
  TPath path = {{-4, 0, kPathMoveTo}, {16, 0, kPathLineTo}, {16, -5, kPathLineTo}};
  FitPathToAbc(path, 2, 10);  // ink from 2 to 12
  EXPECT_FLOAT_EQ(path[0].x, 2);
  EXPECT_FLOAT_EQ(path[1].x, 12);
  EXPECT_FLOAT_EQ(path[2].y, -5);
  TPath inside = {{3, 0, kPathMoveTo}, {5, 0, kPathLineTo}};
  FitPathToAbc(inside, 2, 10);  // already inside: unchanged
  EXPECT_FLOAT_EQ(inside[0].x, 3);
  EXPECT_FLOAT_EQ(inside[1].x, 5);
}

}  // namespace
}  // namespace vyr

namespace vyr {
namespace {

TEST(PlaceholderText, TwoCentredLinesInTheirColoursAtTheFactor) {
  TRef<TImage> full =
      MakePlaceholderTextPicture(" Image not found ", " photo.jpg ", 0xFFE6E6E6, 0xFF646464, 1);
  TRef<TImage> half =
      MakePlaceholderTextPicture(" Image not found ", " photo.jpg ", 0xFFE6E6E6, 0xFF646464, 0.5);
  // Default scale: a 64-pixel em, two lines of 71.5 pixels; the factor halves it.
  EXPECT_EQ(full->Height(), 2 + 143);
  EXPECT_EQ(half->Height(), 2 + 72);
  EXPECT_NEAR(half->Width(), full->Width() / 2.0, 2);
  TRef<TBitmap> bitmap = half->Bitmap();
  const std::vector<int> rows = InkedRows(*bitmap);
  ASSERT_FALSE(rows.empty());
  // Opaque pixels of the first line are (230,230,230), of the second (100,100,100).
  int first = 0, second = 0;
  for (int y = 0; y < bitmap->Height(); ++y)
    for (int x = 0; x < bitmap->Width(); ++x) {
      const uint8_t* p = bitmap->Row(y) + x * 4;
      if (p[3] != 255) continue;
      ASSERT_EQ(p[0], p[1]);
      ASSERT_TRUE(p[0] == 230 || p[0] == 100) << int(p[0]);
      (y < bitmap->Height() / 2 ? first : second) += 1;
      EXPECT_EQ(p[0], y < bitmap->Height() / 2 ? 230 : 100) << x << "," << y;
    }
  EXPECT_GT(first, 50);
  EXPECT_GT(second, 50);
  // The shorter second line is centred under the first.
  const std::vector<int> cols = InkedColumns(*bitmap, bitmap->Height() / 2, bitmap->Height());
  ASSERT_FALSE(cols.empty());
  EXPECT_NEAR((cols.front() + cols.back()) / 2.0, bitmap->Width() / 2.0, 3);
}

}  // namespace
}  // namespace vyr
