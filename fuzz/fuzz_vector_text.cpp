// Vector-text and glyph-cache entries on arbitrary bytes, laid out and rendered small.
// Input: one byte n, then n x 16 bytes of vector text, the rest the glyph cache of every key.
#include <cstddef>
#include <cstdint>

#include "foundation/exceptions.h"
#include "imaging/text/text_producer.h"
#include "imaging/text/vector_text.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace vyr;
  if (size < 1) return 0;
  const size_t split = std::min(size - 1, size_t{data[0]} * 16);
  const std::vector<uint8_t> textBytes(data + 1, data + 1 + split);
  const std::vector<uint8_t> cacheBytes(data + 1 + split, data + size);
  TRef<TCachedVectorText> text;
  try {
    auto stream = MakeRef<TMemoryStream>(textBytes);
    text = TCachedVectorText::Read(*stream);
  } catch (const EStreamError&) {
    return 0;
  }
  TFontCache cache;
  text->Resolve([&](const std::string& key) {
    return cache.FindOrLoad(key, [&](const std::string&) -> TRef<TStream> {
      return MakeRef<TMemoryStream>(cacheBytes);
    });
  });
  TTextRender render;
  render.scale = 0.05;
  render.lineSpacing = 50;
  render.alignment = static_cast<int>(size % 3);
  render.underline = true;
  const TTextLayout layout = TTextProducer::Measure(*text, render);
  if (int64_t{layout.width} * layout.height > 1 << 20) return 0;  // keep each run quick
  try {
    TTextProducer::Render(*text, render);
  } catch (const EAssertionFailed&) {
    // Unknown path commands are assertions: they report, they do not crash.
  }
  return 0;
}
