#include "render/compose/texture_pages.h"

#include <algorithm>
#include <cstring>
#include <map>

#include "imaging/bitmap/bitmap_store.h"
#include "imaging/bitmap/pixel_format.h"
#include "render/device/bitmap_texture.h"
#include "render/device/device_types.h"

namespace vyr {
namespace {

// Splits [0, size) into tile interiors with their page origins and the texels they need.
struct TSpan {
  int from = 0, to = 0, pageOrigin = 0, needed = 0;
};
std::vector<TSpan> Spans(int size) {
  std::vector<TSpan> spans;
  if (size <= TTileManager::kMaxPage) {
    spans.push_back({0, size, 0, size});
    return spans;
  }
  constexpr int kInterior = TTileManager::kMaxPage - 2;  // room for both gutters
  for (int from = 0; from < size; from += kInterior) {
    TSpan s;
    s.from = from;
    s.to = std::min(size, from + kInterior);
    s.pageOrigin = from > 0 ? from - 1 : 0;
    s.needed = s.to - s.pageOrigin + (s.to < size ? 1 : 0);
    spans.push_back(s);
  }
  return spans;
}

// The textures of one picture, kept as a tag of the image.
class TImageTextures : public TRefObject {
 public:
  T3DScreen* screen = nullptr;
  std::map<std::string, TRef<TMultiTexture6>> byKey;
};

TImageTextures* FindStore(TImage& image, T3DScreen* screen) {
  for (auto& tag : image.Tags())
    if (auto* store = dynamic_cast<TImageTextures*>(tag.Get()); store && store->screen == screen)
      return store;
  return nullptr;
}

}  // namespace

const std::vector<TPageSize>& TexturePageSizes() {
  static const std::vector<TPageSize> sizes = {{512, 512}, {512, 256}, {256, 512},
                                               {256, 256}, {256, 128}, {128, 256},
                                               {256, 64},  {64, 256},  {64, 64}};
  return sizes;
}

TPageSize PageFor(int width, int height) {
  TPageSize best = TexturePageSizes().front();
  for (const TPageSize& p : TexturePageSizes())
    if (p.width >= width && p.height >= height && p.width * p.height <= best.width * best.height)
      best = p;
  return best;
}

std::vector<TTileLayout> TTileManager::Layout(int width, int height) {
  std::vector<TTileLayout> tiles;
  if (width <= 0 || height <= 0) return tiles;
  const std::vector<TSpan> columns = Spans(width), rows = Spans(height);
  for (const TSpan& row : rows)
    for (const TSpan& column : columns) {
      TTileLayout t;
      t.x0 = column.from;
      t.x1 = column.to;
      t.y0 = row.from;
      t.y1 = row.to;
      t.pageX = column.pageOrigin;
      t.pageY = row.pageOrigin;
      t.page = PageFor(column.needed, row.needed);
      tiles.push_back(t);
    }
  return tiles;
}

TTextureTile::TTextureTile(T3DScreen& screen, TRef<TBitmap> picture, const TTileLayout& layout)
    : TCustomTexture(screen, TTextureKind::Picture, layout.page.width, layout.page.height),
      picture_(std::move(picture)),
      layout_(layout) {
  premultiplied = picture_->Format()->Premultiplied();
}

void TTextureTile::FillLevel0(TLockedPixels& level0) {
  if (!picture_) return;
  const TBitmap& source = *picture_;
  // The texels the page holds, clamped to the picture; the rest repeats the edge.
  const int w = std::min(level0.width, source.Width() - layout_.pageX);
  const int h = std::min(level0.height, source.Height() - layout_.pageY);
  TScanLines rows(static_cast<size_t>(level0.height));
  for (int y = 0; y < level0.height; ++y) rows[static_cast<size_t>(y)] = level0.Row(y);
  const TPixelFormat* format =
      premultiplied ? pf::PremulA8R8G8B8() : SurfaceBitmapFormat(level0.format);
  TSysBitmap target(level0.width, level0.height, format, std::move(rows));
  target.CopyRect(TRect{0, 0, w, h}, source, TPoint{layout_.pageX, layout_.pageY});
  const int gutterW = std::min(level0.width, w + 1), gutterH = std::min(level0.height, h + 1);
  for (int y = 0; y < h; ++y)
    for (int x = w; x < gutterW; ++x)
      std::memcpy(level0.Row(y) + x * 4, level0.Row(y) + (w - 1) * 4, 4);
  for (int y = h; y < gutterH; ++y)
    std::memcpy(level0.Row(y), level0.Row(h - 1), static_cast<size_t>(gutterW) * 4);
}

void TTextureTile::UpdateRect(const TIntRect& rect) {
  if (!picture_) return;
  const TBitmap& source = *picture_;
  // Texels [0, w) x [0, h) show the picture from the page origin; the texel after the last
  // repeats it (the gutter).
  const int w = std::min(AllocatedWidth(), source.Width() - layout_.pageX);
  const int h = std::min(AllocatedHeight(), source.Height() - layout_.pageY);
  if (w <= 0 || h <= 0) return;
  const int gutterW = std::min(AllocatedWidth(), w + 1);
  const int gutterH = std::min(AllocatedHeight(), h + 1);
  TIntRect texels{std::max(rect.left - layout_.pageX, 0), std::max(rect.top - layout_.pageY, 0),
                  std::min(rect.right - layout_.pageX, w),
                  std::min(rect.bottom - layout_.pageY, h)};
  if (texels.Empty()) return;
  if (texels.right == w) texels.right = gutterW;
  if (texels.bottom == h) texels.bottom = gutterH;
  const TPixelFormat* format =
      premultiplied ? pf::PremulA8R8G8B8() : SurfaceBitmapFormat(KindFormat(Kind()));
  TDirectBitmap pixels(texels.Width(), texels.Height(), format);
  for (int y = 0; y < texels.Height(); ++y) {
    const int sourceRow = layout_.pageY + std::min(texels.top + y, h - 1);
    const int copied = std::min(texels.right, w) - texels.left;
    pixels.CopyRect(TRect{0, y, copied, y + 1}, source,
                    TPoint{layout_.pageX + texels.left, sourceRow});
    for (int x = copied; x < texels.Width(); ++x)
      std::memcpy(pixels.Row(y) + x * 4, pixels.Row(y) + (copied - 1) * 4, 4);
  }
  if (!WriteLevel0Rect(texels, pixels.Row(0), static_cast<int>(pixels.RowBytes())))
    FreeDeviceTexture();
}

void TMultiTexture6::UpdateRect(const TIntRect& rect) {
  for (auto& tile : tiles_) {
    const TTileLayout& t = tile->Layout();
    // A tile shows its interior and one texel of each neighbour.
    if (rect.right > t.x0 - 1 && rect.left < t.x1 + 1 && rect.bottom > t.y0 - 1 &&
        rect.top < t.y1 + 1)
      tile->UpdateRect(rect);
  }
}

TMultiTexture6::TMultiTexture6(T3DScreen& screen, TRef<TBitmap> picture)
    : width_(picture->Width()),
      height_(picture->Height()),
      premultiplied_(picture->Format()->Premultiplied()) {
  for (const TTileLayout& layout : TTileManager::Layout(width_, height_))
    tiles_.push_back(MakeRef<TTextureTile>(screen, picture, layout));
}

void TMultiTexture6::Preload() {
  for (auto& tile : tiles_) tile->Preload();
}

std::string MultiTextureKey(int level, int width, int height, bool anisotropic, bool mipmaps) {
  return "MultiTexID: " + std::to_string(level) + ":" + std::to_string(width) + ":" +
         std::to_string(height) + ":" + (anisotropic ? "True" : "False") + ":" +
         (mipmaps ? "True" : "False");
}

TMultiTexture6* TTextureManager6::Find(TImage& image, int level, bool make) {
  const int w = LevelSide(image.Width(), level), h = LevelSide(image.Height(), level);
  const std::string key = MultiTextureKey(level, w, h, false, false);
  TImageTextures* store = FindStore(image, screen_);
  if (store) {
    auto it = store->byKey.find(key);
    if (it != store->byKey.end()) return it->second.Get();
  }
  if (!make) return nullptr;
  TRef<TBitmap> bitmap = image.Store().GetMipLevel(level);
  if (!bitmap || bitmap->Width() <= 0 || bitmap->Height() <= 0) return nullptr;
  if (!store) {
    TRef<TImageTextures> created = MakeRef<TImageTextures>();
    created->screen = screen_;
    store = created.Get();
    image.Tags().push_back(std::move(created));
  }
  TRef<TMultiTexture6>& slot = store->byKey[key];
  slot = MakeRef<TMultiTexture6>(*screen_, bitmap);
  return slot.Get();
}

void TTextureManager6::Forget(TImage& image) {
  std::erase_if(image.Tags(), [this](const TRef<TRefObject>& tag) {
    auto* store = dynamic_cast<TImageTextures*>(tag.Get());
    return store && store->screen == screen_;
  });
}

}  // namespace vyr
