#include "imaging/text/text_picture.h"

#include "foundation/exceptions.h"
#include "imaging/decode/picture_budget.h"
#include "imaging/text/font_vectorizer.h"

namespace vyr {

TRef<TCachedVectorText> LoadVectorText(const TTextDescription& description,
                                       const TStreamOpener& open, TFontCache& cache) {
  if (open) {
    if (TRef<TStream> stream = open(VectorTextKey(description))) {
      try {
        TRef<TCachedVectorText> text = TCachedVectorText::Read(*stream);
        text->Resolve([&](const std::string& key) { return cache.FindOrLoad(key, open); });
        return text;
      } catch (const EStreamError&) {
        // A damaged entry: the system fonts stand in.
      }
    }
  }
  const std::vector<uint8_t> bytes = TWinVectorizer::Instance().BuildVectorText(
      description.params.fontName, description.params.style, description.lines, cache);
  auto stream = MakeRef<TMemoryStream>(bytes);
  TRef<TCachedVectorText> text = TCachedVectorText::Read(*stream);
  text->Resolve([&](const std::string& key) { return cache.FindOrAdd(key); });
  return text;
}

TTextRender TextRenderOf(const TTextParams& params) {
  TTextRender render;
  render.color = 0xFFFFFFFF;
  render.background = 0x00FFFFFF;
  render.offsetX = params.offsetX;
  render.offsetY = params.offsetY;
  render.underline = (params.style & kStyleUnderline) != 0;
  render.strikeOut = (params.style & kStyleStrikeOut) != 0;
  render.alignment = params.alignment;
  render.lineSpacing = params.lineSpacing;
  render.scale = params.scale;
  render.factor = params.factor;
  render.cancel = [] { return !DecodeGoOn(); };  // a stopping player does not wait for texts
  return render;
}

TTextBitmapStore::TTextBitmapStore(std::string name, TTextDescription description,
                                   TRef<TCachedVectorText> text, TTextRender render,
                                   TTextLayout layout)
    : TSysBitmapStore(std::move(name), nullptr, pf::A8R8G8B8(), layout.width, layout.height),
      description_(std::move(description)),
      text_(std::move(text)),
      render_(std::move(render)),
      layout_(std::move(layout)) {}

TRef<TTextBitmapStore> TTextBitmapStore::Create(const std::string& descriptionText,
                                                const TStreamOpener& open,
                                                const std::vector<uint32_t>& lineColors) {
  TTextDescription description = ParseTextDescription(descriptionText);
  TRef<TCachedVectorText> text = LoadVectorText(description, open);
  TTextRender render = TextRenderOf(description.params);
  render.lineColors = lineColors;
  render.scale = TTextProducer::BoundedScale(*text, render);
  TTextLayout layout = TTextProducer::Measure(*text, render);
  return TRef<TTextBitmapStore>::Adopt(new TTextBitmapStore(
      descriptionText, std::move(description), std::move(text), render, std::move(layout)));
}

std::vector<TRect> TTextBitmapStore::HitRects() const {
  std::vector<TRect> rects;
  for (const auto& line : layout_.lines) rects.push_back(line.box);
  return rects;
}

TPoint TTextBitmapStore::SizeAtScale(double scale) const {
  TTextRender render = render_;
  render.scale = scale;
  render.scale = TTextProducer::BoundedScale(*text_, render);
  const TTextLayout layout = TTextProducer::Measure(*text_, render);
  return {layout.width, layout.height};
}

TRef<TDirectBitmap> TTextBitmapStore::Render() const {
  return TTextProducer::Render(*text_, render_);
}

TStoreLevel TTextBitmapStore::Decode(int level) {
  if (level != 0) return {};
  return {Render(), true, 0};
}

TRef<TImage> OpenTextPicture(const std::string& description, const TStreamOpener& open) {
  return MakeRef<TImage>(TTextBitmapStore::Create(description, open));
}

}  // namespace vyr
