#include "player/overlay/bmp_cache.h"

#include "player/overlay/bar_pixels.h"

namespace vyr {

TNavTexture TBmpCache::Texture(const std::string& path, const TRect& rect, TTextureLook look) {
  std::string key = path;
  for (char& c : key)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c + 32);
  auto [it, added] = items_.try_emplace(key);
  TBmpCacheItem& item = it->second;
  if (added && loader_) item.picture = loader_(path);
  if (!item.picture || look == TTextureLook::Plain) return {item.picture, rect};
  auto& cut = item.cutOuts[{rect.left, rect.top, rect.right, rect.bottom, static_cast<int>(look)}];
  if (!cut) {
    TRef<TDirectBitmap> part = CutBarArea(*item.picture, rect);
    for (int y = 0; y < part->Height(); ++y) {
      uint32_t* row = BarRow(*part, y);
      for (int x = 0; x < part->Width(); ++x)
        row[x] = look == TTextureLook::Grey ? GreyPixel(row[x]) : DisabledPixel(row[x]);
    }
    cut = part;
  }
  return {cut, TRect{0, 0, cut->Width(), cut->Height()}};
}

}  // namespace vyr
