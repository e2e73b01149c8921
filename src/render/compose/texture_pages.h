#pragma once
// Pictures on texture pages. A picture (at one reduction level) is split into tiles of at
// most 512 x 512 texels; each tile lives on a page of one of the listed sizes, the smallest
// that holds it. Tiles carry a one-texel gutter copied from their neighbours (or the
// picture's edge), so linear filtering shows no seams between tiles.

#include <string>
#include <vector>

#include "imaging/bitmap/bitmap.h"
#include "render/device/custom_texture.h"

namespace vyr {

class TImage;

struct TPageSize {
  int width = 0, height = 0;
};
// 512x512, 512x256, 256x512, 256x256, 256x128, 128x256, 256x64, 64x256, 64x64.
const std::vector<TPageSize>& TexturePageSizes();
// The smallest listed page holding width x height (both at most 512).
TPageSize PageFor(int width, int height);

// Where a tile sits: its interior [x0, x1) x [y0, y1) in picture pixels, and the picture
// pixel at page texel (0, 0).
struct TTileLayout {
  int x0 = 0, y0 = 0, x1 = 0, y1 = 0;
  int pageX = 0, pageY = 0;  // picture coordinates of page texel (0, 0)
  TPageSize page;
};

// `TTileManager`: the tiles of a picture of width x height.
class TTileManager {
 public:
  static constexpr int kMaxPage = 512;
  static std::vector<TTileLayout> Layout(int width, int height);
};

// One page holding one tile of a picture.
class TTextureTile : public TCustomTexture {
 public:
  TTextureTile(T3DScreen& screen, TRef<TBitmap> picture, const TTileLayout& layout);
  void FillLevel0(TLockedPixels& level0) override;
  // The picture changed inside rect (picture pixels): the texels that show it, gutters
  // included, are written again in place (or the device texture is made again).
  void UpdateRect(const TIntRect& rect);
  const TTileLayout& Layout() const { return layout_; }
  // Texture coordinate of picture pixel position x (y).
  float U(float x) const { return (x - static_cast<float>(layout_.pageX)) * TexelScaleX(); }
  float V(float y) const { return (y - static_cast<float>(layout_.pageY)) * TexelScaleY(); }

 private:
  TRef<TBitmap> picture_;  // kept: a re-made device texture is filled again
  TTileLayout layout_;
};

// `TMultiTexture6`: a picture level on its pages.
class TMultiTexture6 : public TRefObject {
 public:
  TMultiTexture6(T3DScreen& screen, TRef<TBitmap> picture);
  int Width() const { return width_; }
  int Height() const { return height_; }
  bool Premultiplied() const { return premultiplied_; }
  const std::vector<TRef<TTextureTile>>& Tiles() const { return tiles_; }
  // Prepares every page's pixels and queues or performs the uploads (see TCustomTexture).
  void Preload();
  void UpdateRect(const TIntRect& rect);

 private:
  int width_ = 0, height_ = 0;
  bool premultiplied_ = false;
  std::vector<TRef<TTextureTile>> tiles_;
};

// The key of a picture's textures: "MultiTexID: " level ":" width ":" height ":"
// anisotropic ":" mipmaps, the switches as "True"/"False".
std::string MultiTextureKey(int level, int width, int height, bool anisotropic, bool mipmaps);

// `TTextureManager6`: the per-picture stores of textures, kept with the picture itself (a
// tag of the image) so they go when the picture goes. Callers hold the drawer's lock.
class TTextureManager6 {
 public:
  explicit TTextureManager6(T3DScreen& screen) : screen_(&screen) {}
  // The textures of the image at a reduction level, made when missing; null when the
  // picture has no bitmap at that level.
  TMultiTexture6* Find(TImage& image, int level, bool make);
  void Forget(TImage& image);

 private:
  T3DScreen* screen_;
};

}  // namespace vyr
