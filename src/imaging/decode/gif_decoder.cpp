#include "imaging/decode/gif_decoder.h"

#include <cstring>
#include <vector>

#include "imaging/decode/gif_reader.h"

namespace vyr {

namespace {

TRef<TBitmapStore> WrapFrame(const TGifFrame& frame, const std::string& name,
                             const TRotationHook& rotation) {
  auto wrapper = MakeRef<TSysDirectWrapper>(frame.bitmap.Get(), true);
  return MakeRef<TWrapperBitmapStore>(name, rotation, std::move(wrapper));
}

struct TCell {
  uint8_t* at(TDirectBitmap& atlas, int32_t x, int32_t y) const {
    return atlas.Row(y) + static_cast<size_t>(left + x) * 4;
  }
  int32_t left;
};

// Fills the transparent pixels of cell `to` from cell `from`, except inside `keepClear`.
void FillFrom(TDirectBitmap& atlas, int32_t cellWidth, int to, int from, const TRect* keepClear) {
  const TCell dst{to * cellWidth}, src{from * cellWidth};
  for (int32_t y = 0; y < atlas.Height(); ++y)
    for (int32_t x = 0; x < cellWidth; ++x) {
      uint8_t* p = dst.at(atlas, x, y);
      if (p[3] != 0) continue;
      if (keepClear && x >= keepClear->left && x < keepClear->right && y >= keepClear->top &&
          y < keepClear->bottom)
        continue;
      std::memcpy(p, src.at(atlas, x, y), 4);
    }
}

// `read` holds the frames read so far (the first, and the second when there is one); the
// rest come from the reader. A later frame that does not decode whole ends the list.
TRef<TBitmapStore> BuildAtlas(TFPReaderGif& gif, std::vector<TGifFrame> read,
                              const std::string& name, const TRotationHook& rotation) {
  const int32_t w = gif.ScreenWidth(), h = gif.ScreenHeight();
  const int64_t cell = int64_t{w} * h;
  if (cell <= 0) return nullptr;
  std::vector<TGifFrame> frames;
  int64_t decodedPixels = 0;  // of the frames' own bitmaps, kept until the atlas is made
  for (size_t next = 0; frames.size() < kMaxAtlasFrames; ++next) {
    TGifFrame frame;
    if (next < read.size())
      frame = std::move(read[next]);
    else if (!gif.NextFrame(frame, kMaxAtlasPixels - decodedPixels))
      break;
    if (next > 0 && !frame.complete) break;
    const int64_t own = int64_t{frame.bitmap->Width()} * frame.bitmap->Height();
    if (cell * static_cast<int64_t>(frames.size() + 1) > kMaxAtlasPixels ||
        decodedPixels + own > kMaxAtlasPixels)
      break;
    decodedPixels += own;
    frames.push_back(std::move(frame));
  }
  if (frames.empty()) return nullptr;

  const int count = static_cast<int>(frames.size());
  auto atlas = MakeRef<TDirectBitmap>(w * count, h, pf::A8R8G8B8());
  auto rows = MakeRef<TSysDirectWrapper>(atlas.Get(), false);
  auto tag = MakeRef<TTilesTag>();
  int lastKept = -1;  // the most recent frame whose disposal was 1
  for (int i = 0; i < count; ++i) {
    const TGifFrame& f = frames[i];
    auto cellView = MakeRef<TCropBitmap>(*rows, TRect{i * w, 0, (i + 1) * w, h});
    cellView->CopyRect({f.left, f.top, f.left + f.bitmap->Width(), f.top + f.bitmap->Height()},
                       *f.bitmap, {0, 0});
    if (i > 0) {
      const TGifFrame& before = frames[i - 1];
      if (before.disposal == 2) {
        const TRect cleared{before.left, before.top, before.left + before.bitmap->Width(),
                            before.top + before.bitmap->Height()};
        FillFrom(*atlas, w, i, i - 1, &cleared);
      } else if (before.disposal == 3) {
        if (lastKept >= 0) FillFrom(*atlas, w, i, lastKept, nullptr);
      } else {
        FillFrom(*atlas, w, i, i - 1, nullptr);
      }
    }
    if (f.disposal == 1) lastKept = i;
    const int duration = f.delay == 0 ? 50 : f.delay * 10;
    tag->totalDuration += duration;
    if (i > 0) tag->durations += ",";
    tag->durations += std::to_string(duration);
  }
  tag->frameWidth = w;
  tag->frameHeight = h;
  tag->frameCount = tag->framesUsed = count;
  tag->averageDuration = tag->totalDuration / count;
  tag->repeatCount = gif.RepeatCount();
  auto store =
      MakeRef<TWrapperBitmapStore>(name, rotation, MakeRef<TSysDirectWrapper>(atlas.Get(), true));
  store->AddTag(std::move(tag));
  return store;
}

}  // namespace

TRef<TBitmapStore> ReadGifFirstFrame(TStream& stream, const std::string& name,
                                     const TRotationHook& rotation) {
  const int64_t start = stream.Position();
  TFPReaderGif gif;
  TGifFrame frame;
  if (gif.Open(stream, name) && gif.NextFrame(frame)) return WrapFrame(frame, name, rotation);
  stream.Seek(start);
  return nullptr;
}

TRef<TBitmapStore> ReadGifFramesAtlas(TStream& stream, const std::string& name,
                                      const TRotationHook& rotation) {
  const int64_t start = stream.Position();
  TFPReaderGif gif;
  TGifFrame first;
  if (!gif.Open(stream, name) || !gif.NextFrame(first)) {
    stream.Seek(start);
    return nullptr;
  }
  std::vector<TGifFrame> read{first};
  TGifFrame second;
  if (gif.NextFrame(second, kMaxAtlasPixels)) read.push_back(std::move(second));
  if (!gif.HasLoopExtension() && read.size() == 1) return WrapFrame(first, name, rotation);
  if (TRef<TBitmapStore> atlas = BuildAtlas(gif, std::move(read), name, rotation)) return atlas;
  return WrapFrame(first, name, rotation);
}

}  // namespace vyr
