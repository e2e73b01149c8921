#include "scene/shadow/silhouette.h"

#include <algorithm>
#include <cmath>

#include "imaging/bitmap/bitmap_factory.h"
#include "imaging/bitmap/reduce.h"
#include "package/access/file_accessor.h"

namespace vyr {

namespace {

int32_t Rounded(double v) {
  if (!std::isfinite(v)) return 0;
  return static_cast<int32_t>(std::clamp<double>(std::round(v), -1e9, 1e9));
}

TRect Clipped(TRect r, const TBitmap& b) {
  r.left = std::max(r.left, 0);
  r.top = std::max(r.top, 0);
  r.right = std::min(r.right, b.Width());
  r.bottom = std::min(r.bottom, b.Height());
  return r;
}

TRect Whole(const TBitmap& b) { return {0, 0, b.Width(), b.Height()}; }

// The picture part, halved k times, stretched into target.
void CopyPicturePart(const TBitmap& picture, TRect part, int k, TBitmap& target,
                     const TGoOn& goOn) {
  part = Clipped(part, picture);
  if (part.Empty()) return;
  if (k == 0) {
    StretchCopy(picture, part, target, Whole(target));
    return;
  }
  TRef<TBitmap> current = CreateSysBitmap(part.Width(), part.Height(), pf::A8R8G8B8());
  current->CopyRect(Whole(*current), picture, {part.left, part.top});
  for (int i = 0; i < k && (current->Width() > 1 || current->Height() > 1); ++i) {
    TRef<TBitmap> half =
        CreateSysBitmap((current->Width() + 1) / 2, (current->Height() + 1) / 2, pf::A8R8G8B8());
    if (goOn) half->SetProgress([&goOn](float) { return goOn(); });
    ReduceByTwo(*current, *half);
    current = std::move(half);
  }
  StretchCopy(*current, Whole(*current), target, Whole(target));
}

void CopyPictureSilhouette(const TShadowParams& p, TFileAccessor* files, int k, double s,
                           TBitmap& frame, TRect inner, const TGoOn& goOn) {
  TRef<TImage> picture = files ? files->OpenPicture(p.pictureName) : nullptr;
  if (!picture) {
    frame.FillRect(inner, 0xFF000000);
    return;
  }
  const int level = std::clamp(p.level, 0, 30);
  TRef<TBitmap> source = picture->Store().GetMipLevel(level, pf::A8R8G8B8());
  if (!source) return;
  const TRect part{Rounded(p.left), Rounded(p.top), Rounded(p.right), Rounded(p.bottom)};
  const bool framed = p.marginX > 0 || p.marginY > 0;
  TRef<TBitmap> target = TRef<TBitmap>::Share(&frame);
  if (framed) {
    // Never larger than the frame itself (negative margins).
    const int32_t tw = std::clamp(Rounded((p.right - p.left) / s), 1, frame.Width());
    const int32_t th = std::clamp(Rounded((p.bottom - p.top) / s), 1, frame.Height());
    target = CreateSysBitmap(tw, th, pf::A8R8G8B8());
  }
  CopyPicturePart(*source, part, k, *target, goOn);
  if (framed) StretchCopy(*target, Whole(*target), frame, inner);
}

}  // namespace

uint8_t FillAlpha(int kind, int64_t x, int64_t y, int64_t w, int64_t h, int start, int end) {
  const int64_t d = end - start;
  const int64_t sum = std::max<int64_t>(w + h, 1);
  w = std::max<int64_t>(w, 1);
  h = std::max<int64_t>(h, 1);
  int64_t v = start;
  switch (kind) {
    case kFillTopLeftToBottomRight:
      v = start + d * (x + y) / sum;
      break;
    case kFillTopRightToBottomLeft:
      v = start + d * ((w - 1 - x) + y) / sum;
      break;
    case kFillBottomRightToTopLeft:
      v = start + d * ((w - 1 - x) + (h - 1 - y)) / sum;
      break;
    case kFillBottomLeftToTopRight:
      v = start + d * (x + (h - 1 - y)) / sum;
      break;
    case kFillBottomToTop:
      v = start + d * (h - 1 - y) / h;
      break;
    case kFillTopToBottom:
      v = start + d * y / h;
      break;
    case kFillLeftToRight:
      v = start + d * x / w;
      break;
    case kFillRightToLeft:
      v = start + d * (w - 1 - x) / w;
      break;
    default:
      break;
  }
  return static_cast<uint8_t>(std::clamp<int64_t>(v, 0, 255));
}

void FillSilhouette(TBitmap& bitmap, int kind, int start, int end) {
  const int32_t w = bitmap.Width(), h = bitmap.Height();
  for (int32_t y = 0; y < h; ++y) {
    auto* px = reinterpret_cast<uint32_t*>(bitmap.Row(y));
    for (int32_t x = 0; x < w; ++x) px[x] = uint32_t{FillAlpha(kind, x, y, w, h, start, end)} << 24;
  }
}

void StretchCopy(const TBitmap& source, TRect from, TBitmap& dest, TRect to) {
  from = Clipped(from, source);
  if (from.Empty() || to.Empty()) return;
  const TRect clipped = Clipped(to, dest);
  if (clipped.Empty()) return;
  const size_t n = static_cast<size_t>(dest.BytesPerPixel());
  VYR_ASSERT_MSG(source.Format() == dest.Format(), "StretchCopy - same pixel format");
  const int64_t sw = from.Width(), sh = from.Height(), dw = to.Width(), dh = to.Height();
  std::vector<int32_t> columns(static_cast<size_t>(clipped.Width()));
  for (int32_t x = clipped.left; x < clipped.right; ++x)
    columns[static_cast<size_t>(x - clipped.left)] =
        static_cast<int32_t>(from.left + (x - to.left) * sw / dw);
  for (int32_t y = clipped.top; y < clipped.bottom; ++y) {
    const auto sy = static_cast<int32_t>(from.top + (y - to.top) * sh / dh);
    const uint8_t* in = source.Row(sy);
    uint8_t* out = dest.Row(y) + static_cast<size_t>(clipped.left) * n;
    for (size_t i = 0; i < columns.size(); ++i, out += n)
      std::copy_n(in + static_cast<size_t>(columns[i]) * n, n, out);
  }
}

TSilhouette BuildSilhouette(const TShadowParams& p, TFileAccessor* files, const TGoOn& goOn) {
  float w = p.SilhouetteWidth(), h = p.SilhouetteHeight();
  TSilhouette result;
  result.halvings = ShadowHalvings(w, h);
  const double s = std::ldexp(1.0, result.halvings);
  const int32_t bw = std::max(Rounded(w), 1), bh = std::max(Rounded(h), 1);
  result.bitmap = CreateSysBitmap(bw, bh, pf::A8R8G8B8());
  TBitmap& frame = *result.bitmap;
  const auto frameAlpha = static_cast<uint32_t>(std::clamp(p.frameAlpha, 0, 255));
  frame.FillRect(Whole(frame), frameAlpha << 24);
  const TRect inner{Rounded(p.marginX / s), Rounded(p.marginY / s), Rounded(w - p.marginX / s),
                    Rounded(h - p.marginY / s)};
  if (p.pictureName != kNoShadowPicture)
    CopyPictureSilhouette(p, files, result.halvings, s, frame, inner, goOn);
  else if (p.startAlpha == 255 && p.endAlpha == 255)
    frame.FillRect(inner, 0xFF000000);
  else
    FillSilhouette(frame, p.fillKind, p.startAlpha, p.endAlpha);
  return result;
}

}  // namespace vyr
