#pragma once
// `TBmpCache`: the skin bar's texture pictures, loaded once per name, with the cut-outs
// made from them once per rectangle and look.

#include <functional>
#include <map>
#include <string>
#include <tuple>

#include "imaging/bitmap/bitmap.h"

namespace vyr {

enum class TTextureLook : int { Plain = 0, Grey = 1, Disabled = 2 };

// A cached picture with a source rectangle.
struct TNavTexture {
  TRef<TBitmap> picture;
  TRect rect;
};

class TBmpCache {
 public:
  using TLoader = std::function<TRef<TBitmap>(const std::string& path)>;
  explicit TBmpCache(TLoader loader) : loader_(std::move(loader)) {}

  // Plain: the whole picture with the rectangle as given. Grey and disabled: the rectangle
  // cut out and converted, used whole.
  TNavTexture Texture(const std::string& path, const TRect& rect, TTextureLook look);
  size_t PictureCount() const { return items_.size(); }

 private:
  struct TBmpCacheItem {
    TRef<TBitmap> picture;
    std::map<std::tuple<int, int, int, int, int>, TRef<TBitmap>> cutOuts;
  };
  TLoader loader_;
  std::map<std::string, TBmpCacheItem> items_;  // by lower-cased name
};

}  // namespace vyr
