// T3DDrawer: blur, sharpening and masks through the render-target pools.

#include <algorithm>

#include "foundation/log.h"
#include "render/compose/blur_plan.h"
#include "render/compose/draw_colour.h"
#include "render/compose/t3d_drawer.h"

namespace vyr {

void T3DDrawer::BeginSharpen() {
  std::lock_guard guard(lock_);
  TRef<TCustomTexture> target = full_.Acquire();
  if (!target || !PushTarget(target.Get())) {
    if (target) full_.Release(std::move(target));
    sharpenTargets_.push_back(nullptr);  // EndSharpen pops nothing
    return;
  }
  screen_->SetClipRect(ClipRect());
  sharpenTargets_.push_back(std::move(target));
}

void T3DDrawer::EndSharpen(float amount) {
  std::lock_guard guard(lock_);
  if (sharpenTargets_.empty()) return;
  TRef<TCustomTexture> target = std::move(sharpenTargets_.back());
  sharpenTargets_.pop_back();
  if (!target) return;
  PopTarget();
  T3DTexture* texture = target->DeviceTexture();
  if (texture) {
    texture->SetFilter(TFilter::Point);
    const TStage stage{texture, 0, 0, full_.Width() * target->TexelScaleX(),
                       full_.Height() * target->TexelScaleY()};
    // The device counts as quality tier 2, where sharpening runs.
    const float constants[12] = {
        target->TexelScaleX(), target->TexelScaleY(), 0, 0, 0, 0, 0, 0, amount, 0, 0, 0};
    if (!DrawPass("unsharp", std::span<const TStage>(&stage, 1), static_cast<float>(full_.Width()),
                  static_cast<float>(full_.Height()), constants, 3))
      DrawPass(nullptr, std::span<const TStage>(&stage, 1), static_cast<float>(full_.Width()),
               static_cast<float>(full_.Height()), nullptr, 0);
  }
  full_.Release(std::move(target));
}

void T3DDrawer::DrawBlurred(TDrawItem& item, float radius) {
  std::lock_guard guard(lock_);
  TPooledTarget full(full_);
  if (!full || !PushTarget(full.Get())) {
    item.Draw(*this);  // no target: drawn sharp rather than not at all
    return;
  }
  try {
    item.Draw(*this);
  } catch (...) {
    PopTarget();
    throw;
  }
  PopTarget();
  TPooledTarget half(half_);
  if (!half || !PushTarget(half.Get())) {
    const TStage stage{full.Texture(), 0, 0, full.MaxU(), full.MaxV()};
    DrawPass(nullptr, std::span<const TStage>(&stage, 1), static_cast<float>(full_.Width()),
             static_cast<float>(full_.Height()), nullptr, 0);
    return;
  }
  full.Texture()->SetFilter(TFilter::Linear);
  const TStage copy{full.Texture(), 0, 0, full.MaxU(), full.MaxV()};
  DrawPass(nullptr, std::span<const TStage>(&copy, 1), static_cast<float>(half_.Width()),
           static_cast<float>(half_.Height()), nullptr, 0);
  PopTarget();
  RunBlurPasses(full, half, radius);
}

void T3DDrawer::RunBlurPasses(TPooledTarget& full, TPooledTarget& half, float radius) {
  const float fw = static_cast<float>(full_.Width()), fh = static_cast<float>(full_.Height());
  const float hw = static_cast<float>(half_.Width()), hh = static_cast<float>(half_.Height());
  const TBlurPlan plan = PlanBlur(radius);
  half.Texture()->SetFilter(TFilter::Linear);
  if (plan.mix) {
    const TStage stages[2] = {{full.Texture(), 0, 0, full.MaxU(), full.MaxV()},
                              {half.Texture(), 0, 0, half.MaxU(), half.MaxV()}};
    const float constants[4] = {plan.mixWeight, 0, 0, 0};
    DrawPass("gauss_mix", stages, fw, fh, constants, 1);
    return;
  }
  TPooledTarget other(half_);
  if (!other) return;
  other.Texture()->SetFilter(TFilter::Linear);
  const float texelU = half.Get()->TexelScaleX(), texelV = half.Get()->TexelScaleY();
  // Taps stay inside the picture: up to the centre of its last texel.
  const float maxU = half.MaxU() - texelU / 2, maxV = half.MaxV() - texelV / 2;
  auto pass = [&](bool horizontal, float strength, float distance, TPooledTarget& from,
                  TPooledTarget* to) {
    const TGaussWeights w = GaussWeights(strength);
    const float step = distance * (horizontal ? texelU : texelV);
    const float constants[12] = {w.w3, w.w2, w.w1, w.w0, step, 0, 0, 0, maxU, maxV, 0, 0};
    const TStage stage{from.Texture(), 0, 0, from.MaxU(), from.MaxV()};
    const char* shader = horizontal ? "gauss_blur_h7" : "gauss_blur_v7";
    if (!to) return DrawPass(shader, std::span<const TStage>(&stage, 1), fw, fh, constants, 3);
    if (!PushTarget(to->Get())) return false;
    const bool ok = DrawPass(shader, std::span<const TStage>(&stage, 1), hw, hh, constants, 3);
    PopTarget();
    return ok;
  };
  float distance = 1;
  for (int i = 0; i < plan.fullPairs; ++i) {
    pass(true, 1, distance, half, &other);
    pass(false, 1, distance, other, &half);
    distance *= 2;
  }
  pass(true, plan.lastStrength, distance, half, &other);
  pass(false, plan.lastStrength, distance, other, nullptr);
}

void T3DDrawer::DrawMasked(TDrawItem& stencil, TDrawItem& content, float opacity) {
  std::lock_guard guard(lock_);
  TPooledTarget stencilTarget(full_), contentTarget(full_);
  if (!stencilTarget || !contentTarget) return;
  TPooledTarget* targets[2] = {&stencilTarget, &contentTarget};
  TDrawItem* items[2] = {&stencil, &content};
  for (int i = 0; i < 2; ++i) {
    if (!PushTarget(targets[i]->Get())) return;
    try {
      DrawItem(*items[i]);
    } catch (...) {
      PopTarget();
      throw;
    }
    PopTarget();
  }
  // premul3 gives straight colour: the stencil stage must not switch the source factor.
  T3DTexture* stencilTexture = stencilTarget.Texture();
  const bool premultiplied = stencilTexture->premultiplied;
  stencilTexture->premultiplied = false;
  stencilTexture->SetFilter(TFilter::Point);
  contentTarget.Texture()->SetFilter(TFilter::Point);
  const TStage stages[2] = {
      {stencilTexture, 0, 0, stencilTarget.MaxU(), stencilTarget.MaxV()},
      {contentTarget.Texture(), 0, 0, contentTarget.MaxU(), contentTarget.MaxV()}};
  const uint32_t colour = WithOpacity(0xFFFFFFFF, opacity);
  DrawPass("premul3", stages, static_cast<float>(full_.Width()), static_cast<float>(full_.Height()),
           nullptr, 0, colour);
  stencilTexture->premultiplied = premultiplied;
}

}  // namespace vyr
