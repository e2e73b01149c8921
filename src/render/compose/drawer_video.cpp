// T3DDrawer: video pictures and their shaders.

#include <algorithm>

#include "render/compose/draw_colour.h"
#include "render/compose/t3d_drawer.h"

namespace vyr {

namespace {

TVec3 Add(const TVec3& a, const TVec3& b) { return {a.x + b.x, a.y + b.y, a.z + b.z}; }

const char* VideoShaderName(bool field, bool chromaKey) {
  if (chromaKey) return field ? "color_grade_chroma_deinter" : "color_grade_chromakey";
  return field ? "color_grade_deinter" : "color_grade_video";
}

}  // namespace

TRef<TVideoPicture> T3DDrawer::CreateVideoImage(int width, int height, TVideoKind kind) {
  std::lock_guard guard(lock_);
  return MakeRef<T3DYUV>(width, height, kind, *screen_, videoPictures_);
}

void T3DDrawer::DrawVideo(const TVideoDrawParams& params) {
  std::lock_guard guard(lock_);
  const TImageDrawParams& image = params.image;
  auto* picture = dynamic_cast<T3DYUV*>(params.picture);
  T3DRenderer* renderer = screen_->Renderer();
  if (!picture || !renderer || !IsReady() || image.pivotRect.Empty()) return;
  if (!picture->Upload(*renderer)) return;  // no textures: nothing this frame

  const float w = static_cast<float>(picture->Width()), h = static_cast<float>(picture->Height());
  TFloatRect source = image.sourceRect.Empty() ? TFloatRect{0, 0, w, h} : image.sourceRect;
  source.right = std::min(source.right, w);
  source.bottom = std::min(source.bottom, h);
  const float m = image.borderMargin;
  const TFloatRect inner{image.pivotRect.left + m, image.pivotRect.top + m,
                         image.pivotRect.right - m, image.pivotRect.bottom - m};
  if (source.Empty() || inner.Empty()) return;
  const TVec3 offset = Offset();
  const TVec3 corners[4] = {Add(image.placement.PointAt(inner.left, inner.top), offset),
                            Add(image.placement.PointAt(inner.right, inner.top), offset),
                            Add(image.placement.PointAt(inner.left, inner.bottom), offset),
                            Add(image.placement.PointAt(inner.right, inner.bottom), offset)};
  const uint32_t colour = WithOpacity(0xFFFFFFFF, image.opacity);
  const uint32_t colours[4] = {colour, colour, colour, colour};
  // The textures are exactly the frame's size.
  const TStage stage{picture->Texture(0), source.left / w, source.top / h, source.right / w,
                     source.bottom / h};
  const TFilter filter = image.filtering == TFiltering::Nearest ? TFilter::Point : TFilter::Linear;
  stage.texture->SetFilter(filter);
  const std::span<const TStage> stages(&stage, 1);

  if (picture->Kind() == TVideoKind::Rgba || picture->Converted16()) {
    // One colour texture: drawn as a picture, through the clip's cube when it can be bound.
    const bool graded = picture->Kind() == TVideoKind::Rgba && image.lutForm == TLutForm::kCross &&
                        BindLookups(image);
    T3DShader* program = graded ? Shader("color_grading") : nullptr;
    if (program) {
      const float constants[4] = {image.lutMix, 0, 0, 0};
      renderer->SetShaderConstants(0, constants, 1, false);
      renderer->SetShader(program);
    }
    DrawQuad(corners, stages, colours, dfModulateColor | dfModulateAlpha);
    if (program) renderer->SetShader(nullptr);
    if (graded) UnbindLookups();
    DrawBorder(image, offset);
    return;
  }

  if (params.mask) {
    // The clip's luma is the mask.
    T3DShader* program = Shader("videomask");
    if (!program) return;
    const float constants[4] = {params.maskInvert ? 1.0f : 0.0f, 0, 0, 0};
    renderer->SetShaderConstants(0, constants, 1, false);
    renderer->SetShader(program);
    DrawQuad(corners, stages, colours, dfModulateColor | dfModulateAlpha);
    renderer->SetShader(nullptr);
    return;
  }

  if (image.lutForm != TLutForm::kCross || !BindLookups(image, 3)) return;
  const bool field = params.field == 1 || params.field == 2;
  const bool keyed = params.chromaKey;
  T3DShader* program = Shader(VideoShaderName(field, keyed));
  if (!program) {
    UnbindLookups(3);
    return;
  }
  const float d = params.chromaDelta > 0 ? params.chromaDelta : 0;
  const float constants[20] = {image.lutMix,
                               0,
                               0,
                               0,  // c0: mix
                               h,
                               1 / h,
                               0,
                               0,  // c1: the Y plane's height
                               params.field == 2 ? 1.0f : 0.0f,
                               params.field == 2 ? -1.0f : 0.0f,
                               0,
                               0,  // c2: field
                               d,
                               d > 0 ? 1 / d : 0,
                               0,
                               0,  // c3: chroma delta
                               params.chromaKeyU,
                               params.chromaKeyV,
                               0,
                               0};  // c4: key colour
  renderer->SetShaderConstants(0, constants, 5, false);
  renderer->SetTexture(1, picture->Texture(1));
  renderer->SetTexture(2, picture->Texture(2));
  renderer->SetShader(program);
  DrawQuad(corners, stages, colours, dfModulateColor | dfModulateAlpha);
  renderer->SetShader(nullptr);
  renderer->SetTexture(1, nullptr);
  renderer->SetTexture(2, nullptr);
  UnbindLookups(3);
  DrawBorder(image, offset);
}

}  // namespace vyr
