#include "imaging/text/font_vectorizer.h"

#include <fontconfig/fontconfig.h>
#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_OUTLINE_H
#include FT_TRUETYPE_TABLES_H
#include <hb.h>

#include <algorithm>
#include <cmath>
#include <limits>

#include "foundation/case_fold.h"
#include "foundation/utf.h"
#include "imaging/text/text_description.h"

namespace vyr {

struct TWinVectorizer::TFace {
  std::string family;  // as asked
  uint32_t style = 0;  // bold and italic bits
  bool outline = false;
  std::string file;
  int index = 0;
  std::string key;
  FT_Face ft = nullptr;
  hb_font_t* hb = nullptr;
  double toUnits = 1;  // design units -> font units
};

namespace {

FT_Library Library() {
  static FT_Library library = [] {
    FT_Library lib = nullptr;
    FT_Init_FreeType(&lib);
    return lib;
  }();
  return library;
}

TPath* PathOf(void* user) { return static_cast<TPath*>(user); }
void Add(void* user, const FT_Vector* v, int32_t command) {
  // y is negated: outlines point up, our paths down.
  PathOf(user)->push_back({static_cast<float>(v->x), static_cast<float>(-v->y), command});
}
int MoveTo(const FT_Vector* to, void* user) {
  Add(user, to, kPathMoveTo);
  return 0;
}
int LineTo(const FT_Vector* to, void* user) {
  Add(user, to, kPathLineTo);
  return 0;
}
int ConicTo(const FT_Vector* control, const FT_Vector* to, void* user) {
  Add(user, control, kPathQuadratic);
  Add(user, to, kPathQuadratic);
  return 0;
}
int CubicTo(const FT_Vector* c1, const FT_Vector* c2, const FT_Vector* to, void* user) {
  Add(user, c1, kPathCubic);
  Add(user, c2, kPathCubic);
  Add(user, to, kPathCubic);
  return 0;
}

int32_t Saturate(double v) {
  if (!(v == v)) return 0;
  return static_cast<int32_t>(std::clamp(std::round(v), -2147483647.0, 2147483647.0));
}

}  // namespace

#if defined(__SANITIZE_ADDRESS__)
// fontconfig 2.14 loses a few bytes while parsing its configuration; not ours to free.
extern "C" const char* __lsan_default_suppressions() { return "leak:libfontconfig.so\n"; }
#endif

std::mutex& FontSystemLock() {
  static std::mutex lock;
  return lock;
}

void FitPathToAbc(TPath& path, int32_t a, int32_t b) {
  if (path.empty()) return;
  float m = path[0].x, M = path[0].x;
  for (const TPathPoint& p : path) {
    m = std::min(m, p.x);
    M = std::max(M, p.x);
  }
  if (float(a) - m > 0 && m < M) {
    const float shift = float(a) - m;
    for (TPathPoint& p : path) p.x += shift;
    m += shift;
    M += shift;
  }
  if (M - float(a) - float(b) > 0 && m < M) {
    const float factor = (float(a) + float(b) - m) / (M - m);
    for (TPathPoint& p : path) p.x = m + (p.x - m) * factor;
  }
}

TWinVectorizer& TWinVectorizer::Instance() {
  static auto* vectorizer = new TWinVectorizer;  // lives for the process
  return *vectorizer;
}

TWinVectorizer::TFace* TWinVectorizer::FaceFor(const std::string& family, uint32_t style) {
  style &= kStyleBold | kStyleItalic;
  for (TFace* face : faces_)
    if (face->style == style && SameName(face->family, family)) return face;

  auto* face = new TFace;
  face->family = family;
  face->style = style;
  faces_.push_back(face);
  if (!FcInit()) return face;
  FcPattern* pattern = FcPatternCreate();
  FcPatternAddString(pattern, FC_FAMILY, reinterpret_cast<const FcChar8*>(family.c_str()));
  FcPatternAddInteger(pattern, FC_WEIGHT, style & kStyleBold ? FC_WEIGHT_BOLD : FC_WEIGHT_REGULAR);
  FcPatternAddInteger(pattern, FC_SLANT, style & kStyleItalic ? FC_SLANT_ITALIC : FC_SLANT_ROMAN);
  FcConfigSubstitute(nullptr, pattern, FcMatchPattern);
  FcDefaultSubstitute(pattern);
  FcResult result = FcResultNoMatch;
  FcPattern* match = FcFontMatch(nullptr, pattern, &result);
  FcPatternDestroy(pattern);
  if (!match) return face;
  FcChar8* file = nullptr;
  FcBool outline = FcFalse;
  int index = 0;
  if (FcPatternGetString(match, FC_FILE, 0, &file) == FcResultMatch && file &&
      FcPatternGetBool(match, FC_OUTLINE, 0, &outline) == FcResultMatch && outline) {
    FcPatternGetInteger(match, FC_INDEX, 0, &index);
    face->file = reinterpret_cast<const char*>(file);
    face->index = index;
  }
  FcPatternDestroy(match);
  if (face->file.empty() || !Library()) return face;
  if (FT_New_Face(Library(), face->file.c_str(), face->index, &face->ft) != 0) {
    face->ft = nullptr;
    return face;
  }
  if (!FT_IS_SCALABLE(face->ft) || face->ft->units_per_EM == 0) return face;
  face->outline = true;
  face->toUnits = double{kSystemEmUnits} / face->ft->units_per_EM;
  face->key =
      "System: " + face->file + "#" + std::to_string(face->index) + ":" + StyleWords(face->style);
  hb_blob_t* blob = hb_blob_create_from_file(face->file.c_str());
  hb_face_t* hbFace = hb_face_create(blob, static_cast<unsigned>(face->index));
  face->hb = hb_font_create(hbFace);
  hb_font_set_scale(face->hb, kSystemEmUnits, kSystemEmUnits);
  hb_face_destroy(hbFace);
  hb_blob_destroy(blob);
  return face;
}

bool TWinVectorizer::IsVectorFont(const std::string& family, uint32_t style) {
  std::lock_guard lock(FontSystemLock());
  return FaceFor(family, style)->outline;
}

std::string TWinVectorizer::UsableFamily(const std::string& family, uint32_t style) {
  return IsVectorFont(family, style) ? family : "Arial";
}

TFontMetrics TWinVectorizer::Metrics(const std::string& family, uint32_t style) {
  std::lock_guard lock(FontSystemLock());
  TFace* face = FaceFor(family, style);
  TFontMetrics m;
  if (!face->outline) return m;
  const FT_Face ft = face->ft;
  const auto* os2 = static_cast<const TT_OS2*>(FT_Get_Sfnt_Table(ft, FT_SFNT_OS2));
  const auto* post = static_cast<const TT_Postscript*>(FT_Get_Sfnt_Table(ft, FT_SFNT_POST));
  const bool haveOs2 = os2 && os2->version != 0xFFFF && os2->usWinAscent + os2->usWinDescent > 0;
  const double a = haveOs2 ? os2->usWinAscent : ft->ascender;
  const double d = haveOs2 ? os2->usWinDescent : -static_cast<double>(ft->descender);
  const double k = face->toUnits;
  m.ascent = Saturate(a * k);
  m.descent = Saturate(d * k);
  if (post && post->underlineThickness > 0) {
    m.underlinePosition = static_cast<float>(post->underlinePosition * k);
    m.underlineThickness = static_cast<float>(post->underlineThickness * k);
  } else {
    m.underlinePosition = static_cast<float>(-d / 2 * k);
    m.underlineThickness = static_cast<float>(d / 4 * k);
  }
  if (haveOs2 && os2->yStrikeoutSize > 0) {
    m.strikeOutPosition = static_cast<float>(os2->yStrikeoutPosition * k);
    m.strikeOutThickness = static_cast<float>(os2->yStrikeoutSize * k);
  } else {
    m.strikeOutPosition = static_cast<float>((a - d) / 2 * k);
    m.strikeOutThickness = static_cast<float>(d / 4 * k);
  }
  return m;
}

TGlyph TWinVectorizer::LoadGlyph(TFace& face, uint16_t index) {
  TGlyph glyph;
  glyph.index = index;
  glyph.emSize = face.ft ? face.ft->units_per_EM : 1;
  if (!face.outline ||
      FT_Load_Glyph(face.ft, index, FT_LOAD_NO_SCALE | FT_LOAD_NO_HINTING | FT_LOAD_NO_BITMAP) != 0)
    return glyph;
  const FT_GlyphSlot slot = face.ft->glyph;
  const FT_Glyph_Metrics& metrics = slot->metrics;
  glyph.a = Saturate(double(metrics.horiBearingX));
  glyph.b = Saturate(double(metrics.width));
  glyph.c = Saturate(double(metrics.horiAdvance) - glyph.a - glyph.b);
  glyph.ascent = Saturate(double(metrics.horiBearingY));
  glyph.descent = Saturate(double(metrics.height) - double(metrics.horiBearingY));
  if (slot->format != FT_GLYPH_FORMAT_OUTLINE) return glyph;
  FT_Outline_Funcs funcs{};
  funcs.move_to = MoveTo;
  funcs.line_to = LineTo;
  funcs.conic_to = ConicTo;
  funcs.cubic_to = CubicTo;
  if (FT_Outline_Decompose(&slot->outline, &funcs, &glyph.path) != 0) glyph.path.clear();
  FitPathToAbc(glyph.path, glyph.a, glyph.b);
  return glyph;
}

TGlyph TWinVectorizer::GlyphOutline(const std::string& family, uint32_t style, uint16_t index) {
  std::lock_guard lock(FontSystemLock());
  return LoadGlyph(*FaceFor(family, style), index);
}

std::vector<TLaidGlyph> TWinVectorizer::IndexLayout(TFace& face, std::string_view line) {
  std::vector<TLaidGlyph> glyphs;
  double pen = 0;
  for (size_t pos = 0; pos < line.size();) {
    const char32_t c = NextCodePoint(line, pos);
    TLaidGlyph g;
    g.fontKey = face.key;
    g.index = static_cast<uint16_t>(FT_Get_Char_Index(face.ft, c));  // 0 marks a missing glyph
    g.x = Saturate(pen);
    if (FT_Load_Glyph(face.ft, g.index, FT_LOAD_NO_SCALE | FT_LOAD_NO_HINTING) == 0)
      pen += double(face.ft->glyph->metrics.horiAdvance) * face.toUnits;  // A + B + C
    glyphs.push_back(std::move(g));
  }
  return glyphs;
}

void TWinVectorizer::StoreGlyphs(TFace& face, const std::vector<TLaidGlyph>& glyphs,
                                 TFontCache& cache) {
  TRef<TGlyphCache> glyphCache = cache.FindOrAdd(face.key);
  for (const TLaidGlyph& g : glyphs)
    if (!glyphCache->Find(g.index)) glyphCache->Add(LoadGlyph(face, g.index));
}

std::vector<TLaidGlyph> TWinVectorizer::LayoutByGlyphIndices(const std::string& family,
                                                             uint32_t style, std::string_view line,
                                                             TFontCache& cache) {
  std::lock_guard lock(FontSystemLock());
  TFace& face = *FaceFor(family, style);
  if (!face.outline) return {};
  std::vector<TLaidGlyph> glyphs = IndexLayout(face, line);
  StoreGlyphs(face, glyphs, cache);
  return glyphs;
}

std::vector<TLaidGlyph> TWinVectorizer::Layout(const std::string& family, uint32_t style,
                                               std::string_view line, TFontCache& cache) {
  std::lock_guard lock(FontSystemLock());
  TFace& face = *FaceFor(family, style);
  if (!face.outline) return {};
  std::vector<TLaidGlyph> glyphs;
  hb_buffer_t* buffer = hb_buffer_create();
  hb_buffer_add_utf8(buffer, line.data(), static_cast<int>(line.size()), 0,
                     static_cast<int>(line.size()));
  hb_buffer_guess_segment_properties(buffer);
  if (face.hb && hb_buffer_allocation_successful(buffer)) {
    hb_shape(face.hb, buffer, nullptr, 0);
    unsigned count = 0;
    const hb_glyph_info_t* info = hb_buffer_get_glyph_infos(buffer, &count);
    const hb_glyph_position_t* pos = hb_buffer_get_glyph_positions(buffer, &count);
    int64_t pen = 0;
    for (unsigned i = 0; i < count; ++i) {
      TLaidGlyph g;
      g.fontKey = face.key;
      g.index = static_cast<uint16_t>(info[i].codepoint);
      g.x = Saturate(double(pen + pos[i].x_offset));
      pen += pos[i].x_advance;
      glyphs.push_back(std::move(g));
    }
  }
  const bool shaped = !line.empty() ? !glyphs.empty() : true;
  hb_buffer_destroy(buffer);
  if (!shaped) glyphs = IndexLayout(face, line);
  StoreGlyphs(face, glyphs, cache);
  return glyphs;
}

std::vector<uint8_t> TWinVectorizer::BuildVectorText(const std::string& family, uint32_t style,
                                                     const std::vector<std::string>& lines,
                                                     TFontCache& cache) {
  const std::string used = UsableFamily(family, style);
  const TFontMetrics metrics = Metrics(used, style);
  auto vector = MakeRef<TCachedVectorText>();
  TCachedVectorText& text = *vector;
  text.ascent = metrics.ascent;
  text.descent = metrics.descent;
  text.underlinePosition = metrics.underlinePosition;
  text.underlineThickness = metrics.underlineThickness;
  text.strikeOutPosition = metrics.strikeOutPosition;
  text.strikeOutThickness = metrics.strikeOutThickness;
  for (const std::string& line : lines) {
    TVectorLine& out = text.lines.emplace_back();
    for (TLaidGlyph& g : Layout(used, style, line, cache))
      out.glyphs.push_back({g.x, g.size, g.index, std::move(g.fontKey), nullptr});
  }
  auto stream = MakeRef<TMemoryStream>();
  text.Write(*stream);
  stream->Seek(0);
  return stream->ReadRest();
}

}  // namespace vyr
