#pragma once
// The picture of a text description: vector text from the show package when it has one,
// else from the system fonts, rendered white on transparent.

#include <string>
#include <vector>

#include "foundation/stream_opener.h"
#include "imaging/bitmap/bitmap_store.h"
#include "imaging/text/text_description.h"
#include "imaging/text/text_producer.h"
#include "imaging/text/vector_text.h"

namespace vyr {

// The vector text of a description, its glyphs resolved: from the package entry named by
// the vector-text key when `open` finds one that reads whole, else from the system fonts.
TRef<TCachedVectorText> LoadVectorText(const TTextDescription& description,
                                       const TStreamOpener& open,
                                       TFontCache& cache = TFontCache::Instance());

// The render settings of a description: opaque white on transparent white.
TTextRender TextRenderOf(const TTextParams& params);

class TTextBitmapStore : public TSysBitmapStore {
 public:
  // description: the whole "Text: ..." text; open: the show's package entries (may be empty);
  // lineColors: colours of the lines instead of white, where given.
  static TRef<TTextBitmapStore> Create(const std::string& description, const TStreamOpener& open,
                                       const std::vector<uint32_t>& lineColors = {});

  const TTextDescription& Description() const { return description_; }
  const TTextLayout& Layout() const { return layout_; }
  // The hit rectangles of the lines, in picture pixels.
  std::vector<TRect> HitRects() const;
  // The picture's size with another scale.
  TPoint SizeAtScale(double scale) const;
  TRef<TDirectBitmap> Render() const;

 protected:
  TStoreLevel Decode(int level) override;

 private:
  TTextBitmapStore(std::string name, TTextDescription description, TRef<TCachedVectorText> text,
                   TTextRender render, TTextLayout layout);

  TTextDescription description_;
  TRef<TCachedVectorText> text_;
  TTextRender render_;
  TTextLayout layout_;
};

// A picture over a new text store.
TRef<TImage> OpenTextPicture(const std::string& description, const TStreamOpener& open);

}  // namespace vyr
