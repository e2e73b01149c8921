// T3DDrawer: pictures on their texture pages, colour lookups and borders.

#include <algorithm>
#include <cmath>
#include <cstring>

#include "imaging/bitmap/bitmap_store.h"
#include "render/compose/draw_colour.h"
#include "render/compose/t3d_drawer.h"

namespace vyr {
namespace {

constexpr int kMaxLevel = 16;

TVec3 Add(const TVec3& a, const TVec3& b) { return {a.x + b.x, a.y + b.y, a.z + b.z}; }

// A generated picture (text, video frame) may bring its own device texture as a tag.
TCustomTexture* OwnTexture(TImage& image) {
  for (auto& tag : image.Tags())
    if (auto* texture = dynamic_cast<TCustomTexture*>(tag.Get())) return texture;
  return nullptr;
}

TFloatRect Deflated(const TFloatRect& r, float margin) {
  return TFloatRect{r.left + margin, r.top + margin, r.right - margin, r.bottom - margin};
}

}  // namespace

void T3DDrawer::PrepareImage(TImage& image, const TImageDrawParams& params) {
  std::lock_guard guard(lock_);
  if (OwnTexture(image) || EffectBufferFor(image)) return;
  const int level = std::clamp(params.reductionLevel, 0, kMaxLevel);
  if (TMultiTexture6* texture = textures_.Find(image, level, true)) texture->Preload();
}

void T3DDrawer::ForgetImage(TImage& image) {
  std::lock_guard guard(lock_);
  textures_.Forget(image);
}

void T3DDrawer::DrawImage(TImage& image, const TImageDrawParams& params) {
  std::lock_guard guard(lock_);
  if (!IsReady() || params.pivotRect.Empty()) return;
  TCustomTexture* own = EffectBufferFor(image);
  if (!own) own = OwnTexture(image);
  if (own) {
    DrawOwnTexture(*own, params);
    return;
  }
  const int level = std::clamp(params.reductionLevel, 0, kMaxLevel);
  TMultiTexture6* texture = textures_.Find(image, level, true);
  if (!texture) return;
  DrawPictureTiles(*texture, params, level);
  DrawBorder(params, Offset());
}

void T3DDrawer::DrawOwnTexture(TCustomTexture& own, const TImageDrawParams& params) {
  T3DTexture* texture = own.DeviceTexture();
  if (!texture) return;
  const TFloatRect inner = Deflated(params.pivotRect, params.borderMargin);
  TFloatRect source = params.sourceRect.Empty() ? TFloatRect{0, 0, static_cast<float>(own.Width()),
                                                             static_cast<float>(own.Height())}
                                                : params.sourceRect;
  texture->SetFilter(params.filtering == TFiltering::Nearest ? TFilter::Point : TFilter::Linear);
  const TVec3 offset = Offset();
  const TVec3 corners[4] = {Add(params.placement.PointAt(inner.left, inner.top), offset),
                            Add(params.placement.PointAt(inner.right, inner.top), offset),
                            Add(params.placement.PointAt(inner.left, inner.bottom), offset),
                            Add(params.placement.PointAt(inner.right, inner.bottom), offset)};
  uint32_t colour = WithOpacity(params.tint, params.opacity);
  if (own.premultiplied) colour = Premultiplied(colour);
  const uint32_t colours[4] = {colour, colour, colour, colour};
  const TStage stage{texture, source.left * own.TexelScaleX(), source.top * own.TexelScaleY(),
                     source.right * own.TexelScaleX(), source.bottom * own.TexelScaleY()};
  DrawQuad(corners, std::span<const TStage>(&stage, 1), colours, dfModulateColor | dfModulateAlpha);
  DrawBorder(params, offset);
}

void T3DDrawer::DrawPictureTiles(TMultiTexture6& texture, const TImageDrawParams& params,
                                 int level) {
  // Level-0 coordinates divided by 2^level.
  const float scale = 1.0f / static_cast<float>(1 << level);
  TFloatRect source = params.sourceRect;
  if (source.Empty())
    source =
        TFloatRect{0, 0, static_cast<float>(texture.Width()), static_cast<float>(texture.Height())};
  else
    source = TFloatRect{source.left * scale, source.top * scale, source.right * scale,
                        source.bottom * scale};
  source.right = std::min(source.right, static_cast<float>(texture.Width()));
  source.bottom = std::min(source.bottom, static_cast<float>(texture.Height()));
  if (source.Empty()) return;
  const TFloatRect inner = Deflated(params.pivotRect, params.borderMargin);
  if (inner.Empty()) return;
  const float kx = inner.Width() / source.Width(), ky = inner.Height() / source.Height();
  auto planeX = [&](float x) { return inner.left + (x - source.left) * kx; };
  auto planeY = [&](float y) { return inner.top + (y - source.top) * ky; };

  uint32_t colour = WithOpacity(params.tint, params.opacity);
  if (texture.Premultiplied()) colour = Premultiplied(colour);
  const uint32_t colours[4] = {colour, colour, colour, colour};

  const char* shader = nullptr;
  if (params.lutForm != TLutForm::kNone && BindLookups(params))
    shader = params.lutForm == TLutForm::kCross ? "color_grading" : "color_grade_linear";
  T3DRenderer* renderer = screen_->Renderer();
  if (shader) {
    const float constants[4] = {params.lutMix, 0, 0, 0};
    renderer->SetShaderConstants(0, constants, 1, false);
    if (T3DShader* program = Shader(shader))
      renderer->SetShader(program);
    else
      shader = nullptr;
  }
  const TVec3 offset = Offset();
  const TFilter filter = params.filtering == TFiltering::Nearest ? TFilter::Point : TFilter::Linear;
  for (const auto& tile : texture.Tiles()) {
    const TTileLayout& t = tile->Layout();
    const float x0 = std::max(static_cast<float>(t.x0), source.left);
    const float x1 = std::min(static_cast<float>(t.x1), source.right);
    const float y0 = std::max(static_cast<float>(t.y0), source.top);
    const float y1 = std::min(static_cast<float>(t.y1), source.bottom);
    if (!(x1 > x0) || !(y1 > y0)) continue;
    T3DTexture* device = tile->DeviceTexture();
    if (!device) continue;  // out of video memory: this part stays undrawn this frame
    device->SetFilter(filter);
    const TVec3 corners[4] = {Add(params.placement.PointAt(planeX(x0), planeY(y0)), offset),
                              Add(params.placement.PointAt(planeX(x1), planeY(y0)), offset),
                              Add(params.placement.PointAt(planeX(x0), planeY(y1)), offset),
                              Add(params.placement.PointAt(planeX(x1), planeY(y1)), offset)};
    const TStage stage{device, tile->U(x0), tile->V(y0), tile->U(x1), tile->V(y1)};
    DrawQuad(corners, std::span<const TStage>(&stage, 1), colours,
             dfModulateColor | dfModulateAlpha);
  }
  if (shader) {
    renderer->SetShader(nullptr);
    UnbindLookups();
  }
}

void T3DDrawer::DrawBorder(const TImageDrawParams& params, const TVec3& offset) {
  const float m = params.borderMargin;
  if (!(m > 0)) return;
  const TFloatRect& o = params.pivotRect;
  const TFloatRect i = Deflated(o, m);
  const uint32_t colour = WithOpacity(params.borderColor, params.opacity);
  const uint32_t colours[4] = {colour, colour, colour, colour};
  const TFloatRect bands[4] = {{o.left, o.top, o.right, i.top},
                               {o.left, i.bottom, o.right, o.bottom},
                               {o.left, i.top, i.left, i.bottom},
                               {i.right, i.top, o.right, i.bottom}};
  for (const TFloatRect& b : bands) {
    if (b.Empty()) continue;
    const TVec3 corners[4] = {Add(params.placement.PointAt(b.left, b.top), offset),
                              Add(params.placement.PointAt(b.right, b.top), offset),
                              Add(params.placement.PointAt(b.left, b.bottom), offset),
                              Add(params.placement.PointAt(b.right, b.bottom), offset)};
    DrawQuad(corners, {}, colours, 0);
  }
}

bool T3DDrawer::BindLookups(const TImageDrawParams& params, int first) {
  T3DRenderer* renderer = screen_->Renderer();
  if (!renderer || !params.leftLut || params.leftLut->Empty()) return false;
  if (lookupRenderer_ != renderer) {
    for (auto& cube : cubes_) cube.Reset();
    for (auto& strip : strips_) strip.Reset();
    for (auto& bytes : lookupBytes_) bytes.clear();
    lookupRenderer_ = renderer;
  }
  const TColorLut* luts[2] = {params.leftLut, params.rightLut && !params.rightLut->Empty()
                                                  ? params.rightLut
                                                  : params.leftLut};
  const bool cube = params.lutForm == TLutForm::kCross;
  for (int k = 0; k < 2; ++k) {
    const TColorLut& lut = *luts[k];
    if (cube) {
      constexpr int n = TColorLut::kCubeSide;
      if (lut.Width() != n || lut.Height() != n * n) return false;
      if (!cubes_[k]) {
        cubes_[k] = renderer->CreateVolumeTexture(n, n, n);
        lookupBytes_[k].clear();
      }
      if (!cubes_[k]) return false;
      if (lookupBytes_[k] != lut.Bytes()) {
        TLockedPixels pixels;
        if (!cubes_[k]->LockBox(0, TBox{0, 0, 0, n, n, n}, pixels)) return false;
        for (int row = 0; row < n * n; ++row)
          std::memcpy(pixels.Row(row), lut.Entry(0, row), n * 4);
        cubes_[k]->UnlockBox(0, pixels);
        lookupBytes_[k] = lut.Bytes();
      }
      renderer->SetTexture(first + k, cubes_[k].Get());
    } else {
      if (lut.Width() != 256 || lut.Height() < 1) return false;
      if (!strips_[k]) {
        strips_[k] = renderer->CreateTexture(TTextureKind::Picture, 256, 1, false);
        lookupBytes_[k].clear();
      }
      if (!strips_[k]) return false;
      if (lookupBytes_[k] != lut.Bytes()) {
        if (!strips_[k]->WriteRect(0, TIntRect{0, 0, 256, 1}, lut.Entry(0, 0), 256 * 4))
          return false;
        lookupBytes_[k] = lut.Bytes();
      }
      renderer->SetTexture(first + k, strips_[k].Get());
    }
  }
  return true;
}

void T3DDrawer::UnbindLookups(int first) {
  if (T3DRenderer* renderer = screen_->Renderer()) {
    renderer->SetTexture(first, nullptr);
    renderer->SetTexture(first + 1, nullptr);
  }
}

}  // namespace vyr
