#include "video/gif_video_source.h"

#include <algorithm>
#include <cstring>

#include "foundation/log.h"
#include "imaging/decode/gif_decoder.h"
#include "scene/video/video_picture.h"

namespace vyr {

namespace {
// A still picture (or one without durations) runs at this rate.
constexpr int kDefaultFrameMs = 100;
}  // namespace

TRef<TGifVideoSource> TGifVideoSource::Open(TStream& stream, const std::string& fileName) {
  TRef<TBitmapStore> store;
  try {
    store = ReadGifFramesAtlas(stream, fileName, {});
  } catch (const std::exception&) {
    return nullptr;
  }
  if (!store) return nullptr;
  TRef<TBitmap> atlas = store->GetMipLevel(0);
  if (!atlas || atlas->BytesPerPixel() != 4) return nullptr;
  auto source = MakeRef<TGifVideoSource>();
  TVideoSourceInfo& p = source->params_;
  int frames = 1, total = kDefaultFrameMs;
  int width = atlas->Width(), height = atlas->Height();
  if (const TTilesTag* tiles = store->FindTag<TTilesTag>()) {
    frames = std::max(1, static_cast<int>(tiles->framesUsed));
    width = tiles->frameWidth;
    height = tiles->frameHeight;
    total = tiles->totalDuration > 0 ? tiles->totalDuration : frames * kDefaultFrameMs;
  }
  if (width <= 0 || height <= 0 || width > kMaxVideoSide || height > kMaxVideoSide ||
      static_cast<int64_t>(width) * frames > atlas->Width() || height > atlas->Height())
    return nullptr;
  p.width = width;
  p.height = height;
  p.frameCount = frames;
  p.fps = frames * 1000.0 / total;
  p.rgba = true;
  source->atlas_ = std::move(atlas);
  return source;
}

bool TGifVideoSource::GetFrame(int index, TVideoPicture& picture) {
  if (index < 0 || index >= params_.frameCount || picture.Kind() != TVideoKind::Rgba) return false;
  const int w = std::min(params_.width, picture.Width());
  const int h = std::min(params_.height, picture.Height());
  const size_t offset = static_cast<size_t>(index) * params_.width * 4;
  for (int y = 0; y < h; ++y)
    std::memcpy(picture.Plane(0) + static_cast<ptrdiff_t>(y) * picture.Pitch(0),
                atlas_->Row(y) + offset, static_cast<size_t>(w) * 4);
  return true;
}

}  // namespace vyr
