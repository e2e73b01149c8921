#include "imaging/text/vector_text.h"

#include <bit>
#include <cstring>

#include "foundation/exceptions.h"
#include "foundation/utf.h"
#include "imaging/text/text_description.h"

namespace vyr {

namespace {

// Little-endian reads that know how many bytes are left, so counts never outrun the data.
class TEntryReader {
 public:
  explicit TEntryReader(TStream& s) : s_(s), left_(s.Size() - s.Position()) {}
  int64_t Left() const { return left_; }
  void Bytes(void* out, int64_t n) {
    if (n < 0 || n > left_) throw EStreamReadError();
    s_.ReadBuffer(out, n);
    left_ -= n;
  }
  uint32_t U32() {
    uint8_t b[4];
    Bytes(b, 4);
    return uint32_t{b[0]} | uint32_t{b[1]} << 8 | uint32_t{b[2]} << 16 | uint32_t{b[3]} << 24;
  }
  int32_t I32() { return static_cast<int32_t>(U32()); }
  float F32() { return std::bit_cast<float>(U32()); }
  uint16_t U16() {
    uint8_t b[2];
    Bytes(b, 2);
    return static_cast<uint16_t>(b[0] | b[1] << 8);
  }
  // A count of items of at least itemBytes each that the rest of the entry can hold.
  int32_t Count(int64_t itemBytes) {
    const int32_t n = I32();
    if (n < 0 || int64_t{n} * itemBytes > left_) throw EStreamReadError();
    return n;
  }
  // Length n and n UTF-16 code units.
  std::string Key() {
    const int32_t n = Count(2);
    std::u16string text(static_cast<size_t>(n), u'\0');
    for (auto& unit : text) unit = U16();
    return Utf16ToUtf8(text);
  }

 private:
  TStream& s_;
  int64_t left_;
};

class TEntryWriter {
 public:
  explicit TEntryWriter(TStream& s) : s_(s) {}
  void U32(uint32_t v) {
    const uint8_t b[4] = {uint8_t(v), uint8_t(v >> 8), uint8_t(v >> 16), uint8_t(v >> 24)};
    s_.WriteBuffer(b, 4);
  }
  void I32(int32_t v) { U32(static_cast<uint32_t>(v)); }
  void F32(float v) { U32(std::bit_cast<uint32_t>(v)); }
  void U16(uint16_t v) {
    const uint8_t b[2] = {uint8_t(v), uint8_t(v >> 8)};
    s_.WriteBuffer(b, 2);
  }
  void Key(const std::string& key) {
    const std::u16string text = Utf8ToUtf16(key);
    I32(static_cast<int32_t>(text.size()));
    for (char16_t unit : text) U16(unit);
  }

 private:
  TStream& s_;
};

constexpr int64_t kGlyphRecordBytes = 2 + 5 * 4 + 4 + 4;  // without points
constexpr int64_t kPointBytes = 12;
constexpr int64_t kVectorGlyphBytes = 4 + 4 + 2 + 4;  // without the key
// Real glyphs have a few hundred points; one of more would make every text using it slow.
constexpr int32_t kMaxGlyphPoints = 16384;

}  // namespace

std::shared_ptr<const TGlyph> TGlyphCache::Find(uint16_t index) const {
  std::lock_guard lock(lock_);
  const auto it = glyphs_.find(index);
  return it == glyphs_.end() ? nullptr : it->second;
}

void TGlyphCache::Add(TGlyph glyph) {
  std::lock_guard lock(lock_);
  const uint16_t index = glyph.index;
  if (glyphs_.count(index)) return;
  glyphs_.emplace(index, std::make_shared<const TGlyph>(std::move(glyph)));
  order_.push_back(index);
}

size_t TGlyphCache::Count() const {
  std::lock_guard lock(lock_);
  return glyphs_.size();
}

bool TGlyphCache::Read(TStream& stream) {
  try {
    TEntryReader in(stream);
    const int32_t count = in.Count(kGlyphRecordBytes);
    in.Key();  // the entry's own copy of the key
    for (int32_t g = 0; g < count; ++g) {
      TGlyph glyph;
      glyph.index = in.U16();
      glyph.a = in.I32();
      glyph.b = in.I32();
      glyph.c = in.I32();
      glyph.ascent = in.I32();
      glyph.descent = in.I32();
      glyph.emSize = in.F32();
      const int32_t points = in.Count(kPointBytes);
      if (points > kMaxGlyphPoints) return false;
      glyph.path.resize(static_cast<size_t>(points));
      for (TPathPoint& p : glyph.path) {
        p.x = in.F32();
        p.y = in.F32();
        p.command = in.I32();
      }
      Add(std::move(glyph));
    }
    return true;
  } catch (const EStreamError&) {
    return false;
  }
}

void TGlyphCache::Write(TStream& stream) const {
  std::lock_guard lock(lock_);
  TEntryWriter out(stream);
  out.I32(static_cast<int32_t>(order_.size()));
  out.Key(key_);
  for (uint16_t index : order_) {
    const TGlyph& glyph = *glyphs_.at(index);
    out.U16(glyph.index);
    for (int32_t v : {glyph.a, glyph.b, glyph.c, glyph.ascent, glyph.descent}) out.I32(v);
    out.F32(glyph.emSize);
    out.I32(static_cast<int32_t>(glyph.path.size()));
    for (const TPathPoint& p : glyph.path) {
      out.F32(p.x);
      out.F32(p.y);
      out.I32(p.command);
    }
  }
}

TFontCache& TFontCache::Instance() {
  static auto* cache = new TFontCache;  // lives for the process
  return *cache;
}

void TFontCache::SetShowKey(const std::string& key) {
  std::lock_guard lock(lock_);
  if (key == showKey_) return;
  showKey_ = key;
  caches_.clear();
}

void TFontCache::Clear() {
  std::lock_guard lock(lock_);
  caches_.clear();
}

TRef<TGlyphCache> TFontCache::Find(const std::string& key) const {
  std::lock_guard lock(lock_);
  const auto it = caches_.find(key);
  return it == caches_.end() ? nullptr : it->second;
}

TRef<TGlyphCache> TFontCache::FindOrAdd(const std::string& key) {
  std::lock_guard lock(lock_);
  TRef<TGlyphCache>& cache = caches_[key];
  if (!cache) cache = MakeRef<TGlyphCache>(key);
  return cache;
}

TRef<TGlyphCache> TFontCache::FindOrLoad(const std::string& key, const TStreamOpener& open) {
  if (TRef<TGlyphCache> found = Find(key)) return found;
  auto loaded = MakeRef<TGlyphCache>(key);
  if (open)
    if (TRef<TStream> stream = open(GlyphCacheEntryName(key))) loaded->Read(*stream);
  std::lock_guard lock(lock_);
  TRef<TGlyphCache>& cache = caches_[key];
  if (!cache) cache = loaded;  // another thread may have been first
  return cache;
}

TRef<TCachedVectorText> TCachedVectorText::Read(TStream& stream) {
  TEntryReader in(stream);
  auto text = MakeRef<TCachedVectorText>();
  const int32_t lineCount = in.Count(4);
  text->ascent = in.I32();
  text->descent = in.I32();
  text->underlinePosition = in.F32();
  text->underlineThickness = in.F32();
  text->strikeOutPosition = in.F32();
  text->strikeOutThickness = in.F32();
  if (static_cast<size_t>(lineCount) > kMaxTextCharacters + 1) throw EStreamReadError();
  text->lines.resize(static_cast<size_t>(lineCount));
  size_t characters = 0;
  for (TVectorLine& line : text->lines) {
    const int32_t glyphs = in.Count(kVectorGlyphBytes);
    // A text beyond the character budget is no text a show needs.
    characters += static_cast<size_t>(glyphs);
    if (characters > kMaxTextCharacters) throw EStreamReadError();
    line.glyphs.resize(static_cast<size_t>(glyphs));
    for (TVectorGlyph& g : line.glyphs) {
      g.x = in.I32();
      g.size = in.F32();
      g.index = in.U16();
      g.fontKey = in.Key();
    }
  }
  return text;
}

void TCachedVectorText::Write(TStream& stream) const {
  TEntryWriter out(stream);
  out.I32(static_cast<int32_t>(lines.size()));
  out.I32(ascent);
  out.I32(descent);
  for (float v : {underlinePosition, underlineThickness, strikeOutPosition, strikeOutThickness})
    out.F32(v);
  for (const TVectorLine& line : lines) {
    out.I32(static_cast<int32_t>(line.glyphs.size()));
    for (const TVectorGlyph& g : line.glyphs) {
      out.I32(g.x);
      out.F32(g.size);
      out.U16(g.index);
      out.Key(g.fontKey);
    }
  }
}

void TCachedVectorText::Resolve(
    const std::function<TRef<TGlyphCache>(const std::string& key)>& cacheOf) {
  std::unordered_map<std::string, TRef<TGlyphCache>> seen;
  for (TVectorLine& line : lines)
    for (TVectorGlyph& g : line.glyphs) {
      auto [it, added] = seen.try_emplace(g.fontKey);
      if (added) it->second = cacheOf(g.fontKey);
      g.glyph = it->second ? it->second->Find(g.index) : nullptr;
    }
}

}  // namespace vyr
