#pragma once
// Vector text and glyph caches as the package stores them: the glyph positions of a text's
// lines, and per font key the outlines and ABC widths of the glyphs used.

#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <unordered_map>
#include <vector>

#include "foundation/ref_object.h"
#include "foundation/stream.h"
#include "foundation/stream_opener.h"
#include "imaging/text/raster_path.h"

namespace vyr {

// One glyph of a glyph cache; values in the units of its em size.
struct TGlyph {
  uint16_t index = 0;
  int32_t a = 0, b = 0, c = 0;  // ABC widths: bearing, ink width, trailing space
  int32_t ascent = 0, descent = 0;
  float emSize = 1;
  TPath path;  // y pointing down, baseline at 0
};

class TGlyphCache : public TRefObject {
 public:
  explicit TGlyphCache(std::string key) : key_(std::move(key)) {}
  const std::string& Key() const { return key_; }

  std::shared_ptr<const TGlyph> Find(uint16_t index) const;
  // Keeps the first glyph of an index.
  void Add(TGlyph glyph);
  size_t Count() const;

  // Reads the entry format; a short or malformed entry keeps the glyphs read whole, and so
  // does a glyph of more points than any font has. False when it was not read to its end.
  bool Read(TStream& stream);
  void Write(TStream& stream) const;

 private:
  std::string key_;
  mutable std::mutex lock_;
  std::unordered_map<uint16_t, std::shared_ptr<const TGlyph>> glyphs_;
  std::vector<uint16_t> order_;
};

// The package entry holding the glyph cache of a font key.
inline std::string GlyphCacheEntryName(const std::string& fontKey) {
  return "VectTextCache: " + fontKey;
}

// The process-wide glyph caches by exact key. A different show key empties it.
class TFontCache {
 public:
  static TFontCache& Instance();

  void SetShowKey(const std::string& key);
  const std::string& ShowKey() const { return showKey_; }
  void Clear();

  TRef<TGlyphCache> Find(const std::string& key) const;
  TRef<TGlyphCache> FindOrAdd(const std::string& key);
  // The cache of the key, read from the package entry of that key when not in memory yet
  // (empty when there is no such entry).
  TRef<TGlyphCache> FindOrLoad(const std::string& key, const TStreamOpener& open);

 private:
  mutable std::mutex lock_;
  std::string showKey_;
  std::unordered_map<std::string, TRef<TGlyphCache>> caches_;
};

struct TVectorGlyph {
  int32_t x = 0;   // position in the line, font units
  float size = 0;  // the outline's scale relative to its em size
  uint16_t index = 0;
  std::string fontKey;
  std::shared_ptr<const TGlyph> glyph;  // resolved from the glyph cache; none: nothing drawn
  // Scale from the glyph's em units to font units.
  double UnitScale() const { return glyph && glyph->emSize != 0 ? size / glyph->emSize : 0; }
};

struct TVectorLine {
  std::vector<TVectorGlyph> glyphs;
};

class TCachedVectorText : public TRefObject {
 public:
  int32_t ascent = 0, descent = 0;  // font units
  float underlinePosition = 0, underlineThickness = 0;
  float strikeOutPosition = 0, strikeOutThickness = 0;
  std::vector<TVectorLine> lines;

  // Raises EStreamReadError when the entry is shorter than its counts claim or holds more
  // glyphs than the text character budget.
  static TRef<TCachedVectorText> Read(TStream& stream);
  void Write(TStream& stream) const;
  // Attaches each glyph's outline from the cache of its font key.
  void Resolve(const std::function<TRef<TGlyphCache>(const std::string& key)>& cacheOf);
};

}  // namespace vyr
