#include "render/compose/t3d_drawer.h"

#include "foundation/log.h"
#include "imaging/bitmap/bitmap_factory.h"
#include "imaging/bitmap/bitmap_store.h"
#include "render/compose/compose_shaders.h"
#include "render/device/bitmap_texture.h"
#include "render/device/device_lock.h"

namespace vyr {
namespace {
constexpr int kVertexCapacity = 16384;
}

T3DDrawer::T3DDrawer()
    : screen_(MakeRef<T3DScreen>()), full_(*screen_, 1), half_(*screen_, 2), textures_(*screen_) {
  vertices_ = MakeRef<TVertexBuffer>(*screen_, kVertexCapacity, vcDiffuse, 2);
  for (const std::string& name : ComposeShaderNames())
    shaders_[name] = MakeRef<TShader>(*screen_, ComposeShaderSource(name), false);
}

void T3DDrawer::Dispose() {
  std::lock_guard guard(lock_);
  {
    // Video pictures outlive the drawer in their pools: they give up their textures now.
    std::lock_guard pictures(videoPictures_->lock);
    videoPictures_->drawerGone = true;
    for (T3DYUV* picture : videoPictures_->pictures) picture->DrawerGone();
    videoPictures_->pictures.clear();
  }
  sharpenTargets_.clear();
  lastRead_.Reset();
  effects_.reset();
  kept_.Clear();
  full_.Clear();
  half_.Clear();
  for (auto& cube : cubes_) cube.Reset();
  for (auto& strip : strips_) strip.Reset();
  shaders_.clear();
  vertices_.Reset();
  screen_.Reset();
}

void T3DDrawer::Attach(TDrawDevice* device) {
  std::lock_guard guard(lock_);
  ++drawState_;
  kept_.Clear();
  screen_->Attach(device);
}

void T3DDrawer::Close() {
  std::lock_guard guard(lock_);
  WriteLine("T3DDrawer.Close");
  sharpenTargets_.clear();
  ++drawState_;
  kept_.Clear();
  screen_->ReleaseRenderer();
}

void T3DDrawer::SetBufferReuse(bool on) {
  std::lock_guard guard(lock_);
  reuse_ = on;
  if (!on) kept_.Clear();
}

bool T3DDrawer::IsReady() const { return screen_->Ready(); }

bool T3DDrawer::BeginFrame() {
  std::lock_guard guard(lock_);
  if (!screen_->Device()) return false;
  if (!screen_->BeginScene()) return false;
  TRef<T3DSurface> back = screen_->Renderer()->BackBuffer();
  int width = 0, height = 0;
  if (back) back->Size(width, height);
  if (width != full_.Width() || height != full_.Height() || screen_->Renderer() != frameRenderer_) {
    ++drawState_;
    kept_.Clear();
    frameRenderer_ = screen_->Renderer();
  }
  kept_.BeginFrame();
  full_.SetWindowSize(width, height);
  half_.SetWindowSize(width, height);
  screen_->Clear(0xFF000000);  // the frame starts black wherever nothing is drawn
  if (cameraSet_) screen_->SetCamera(Camera());
  if (!ClipRect().Empty()) screen_->SetClipRect(ClipRect());
  sharpenTargets_.clear();
  return true;
}

bool T3DDrawer::EndFrame() {
  std::lock_guard guard(lock_);
  while (screen_->RenderTargetDepth() > 1) screen_->PopRenderTarget();
  return screen_->EndScene(!captureMode_);
}

void T3DDrawer::WarmUp(uint32_t rgb) {
  if (!BeginFrame()) return;
  const uint32_t colour = 0xFF000000u | rgb;
  ClearAll(colour, false);
  TRef<TBitmap> bitmap =
      CreateBitmap(4, 4, pf::R8G8B8(), nullptr, nullptr, TBitmapClass::SysBitmap);
  bitmap->FillRect({0, 0, 4, 4}, colour);
  TRef<TImage> image = MakeRef<TImage>(MakeRef<TWrapperBitmapStore>("warm-up", nullptr, bitmap));
  TImageDrawParams params;
  params.pivotRect = {0, 0, 4, 4};
  DrawImage(*image, params);
  ForgetImage(*image);
  DrawColourBox(TPlacement{}, TFloatRect{4, 0, 8, 4}, colour, colour, TBoxFill::Solid, 100, false);
  EndFrame();
}

void T3DDrawer::SetCamera(const TIntRect& clip, int designWidth, const TCamera& camera) {
  if (!cameraSet_ || !(clip == ClipRect()) || !(camera == Camera()) || designWidth != DesignWidth())
    ++drawState_;
  TDeviceDrawer::SetCamera(clip, designWidth, camera);
  cameraSet_ = true;
  if (screen_->Ready() && screen_->RenderTargetDepth() == 1) {
    screen_->SetCamera(camera);
    screen_->SetClipRect(clip);
  }
}

T3DShader* T3DDrawer::Shader(const char* name) const {
  auto it = shaders_.find(name);
  return it == shaders_.end() ? nullptr : it->second->DeviceShader();
}

bool T3DDrawer::DrawQuad(const TVec3 (&corners)[4], std::span<const TStage> stages,
                         const uint32_t (&colours)[4], uint32_t flags) {
  T3DRenderer* renderer = screen_->Renderer();
  if (!renderer || !screen_->Ready()) return false;
  TVertexRecord v[4];
  for (int i = 0; i < 4; ++i) {
    v[i].x = corners[i].x;
    v[i].y = corners[i].y;
    v[i].z = corners[i].z;
    v[i].diffuse = colours[i];
    for (size_t s = 0; s < stages.size() && s < 2; ++s) {
      v[i].tex[s][0] = (i % 2) ? stages[s].u1 : stages[s].u0;
      v[i].tex[s][1] = (i / 2) ? stages[s].v1 : stages[s].v0;
    }
  }
  if (!vertices_->Append(v, 4, TPrimitiveType::TriangleStrip, 2)) {
    vertices_->Reset();  // earlier draws of the frame already took their vertices
    if (!vertices_->Append(v, 4, TPrimitiveType::TriangleStrip, 2)) return false;
  }
  T3DVertexList* list = vertices_->DeviceList();
  if (!list) return false;
  T3DTexture* textures[2] = {};
  size_t count = 0;
  for (const TStage& stage : stages) {
    if (!stage.texture || count >= 2) break;
    textures[count++] = stage.texture;
  }
  if (count > 0) flags |= dfTextured;
  return renderer->DrawVertexList(std::span<T3DTexture* const>(textures, count), flags, *list);
}

bool T3DDrawer::DrawPass(const char* shader, std::span<const TStage> stages, float width,
                         float height, const float* constants, int constantCount, uint32_t colour) {
  T3DRenderer* renderer = screen_->Renderer();
  if (!renderer) return false;
  T3DShader* program = nullptr;
  if (shader) {
    program = Shader(shader);
    if (!program) return false;
    if (constantCount > 0) renderer->SetShaderConstants(0, constants, constantCount, false);
    renderer->SetShader(program);
  }
  const TVec3 corners[4] = {{0, 0, 0}, {width, 0, 0}, {0, height, 0}, {width, height, 0}};
  const uint32_t colours[4] = {colour, colour, colour, colour};
  const bool ok = DrawQuad(corners, stages, colours, dfModulateColor | dfModulateAlpha);
  if (program) renderer->SetShader(nullptr);
  return ok;
}

bool T3DDrawer::DrawIntoTarget(TDrawItem& item, TCustomTexture* target) {
  if (!PushTarget(target)) return false;
  try {
    DrawItem(item);
  } catch (...) {
    PopTarget();
    throw;
  }
  PopTarget();
  return true;
}

TCustomTexture* T3DDrawer::SlideBuffer(TDrawItem& item, const TDrawItem& other,
                                       std::optional<TPooledTarget>& scratch) {
  if (!reuse_ || &item == &other) {
    TPooledTarget& buffer = scratch.emplace(full_);
    return buffer && DrawIntoTarget(item, buffer.Get()) ? buffer.Get() : nullptr;
  }
  const TBufferContext context{drawState_, DrawOffsetX(), DrawOffsetY(), FilterOpen()};
  if (TCustomTexture* kept = kept_.Kept(item, context)) return kept;
  TCustomTexture* target = kept_.Fresh(item, context);
  bool drawn = false;
  try {
    drawn = target && DrawIntoTarget(item, target);
  } catch (...) {
    kept_.Forget(item);
    throw;
  }
  if (drawn) return target;
  kept_.Forget(item);
  return nullptr;
}

bool T3DDrawer::PushTarget(TCustomTexture* target) {
  T3DTexture* texture = target ? target->DeviceTexture() : nullptr;
  if (!texture) return false;
  TRef<T3DSurface> surface = texture->Level(0);
  if (!surface || !screen_->PushRenderTarget(surface.Get())) return false;
  // The whole target, though only its top-left part is drawn (targets are allocated in powers
  // of two): a clear without a scissor rectangle is the rasteriser's fast path.
  screen_->Clear(0x00000000);
  return true;
}

void T3DDrawer::PopTarget() { screen_->PopRenderTarget(); }

void T3DDrawer::FillRect(uint32_t color, const TIntRect& rect) {
  const int dx = static_cast<int>(DrawOffsetX()), dy = static_cast<int>(DrawOffsetY());
  const TIntRect shifted{rect.left + dx, rect.top + dy, rect.right + dx, rect.bottom + dy};
  if (!shifted.Empty()) screen_->ClearRects(&shifted, 1, color);
}

void T3DDrawer::ClearAll(uint32_t color, bool depth) { screen_->Clear(color, depth); }

TRef<TBitmap> T3DDrawer::ReadInto(T3DSurface& surface) {
  // The last read's bitmap is filled again once its receiver has let it go: no fresh
  // pages to fault in frame after frame.
  TRef<TBitmap> bitmap = ReadSurfaceBitmap(surface, std::move(lastRead_));
  lastRead_ = bitmap;
  return bitmap;
}

TRef<TBitmap> T3DDrawer::ReadBack() {
  std::lock_guard guard(lock_);
  lastReadIsCapture_ = false;
  T3DSurface* target = screen_->CurrentTarget();
  if (!target) {
    TRef<T3DSurface> back = screen_->Renderer() ? screen_->Renderer()->BackBuffer() : nullptr;
    return back ? ReadInto(*back) : nullptr;
  }
  return ReadInto(*target);
}

TRef<TBitmap> T3DDrawer::Capture() {
  if (!captureMode_) return nullptr;
  std::lock_guard guard(lock_);
  TRef<T3DSurface> back = screen_->Renderer() ? screen_->Renderer()->BackBuffer() : nullptr;
  lastReadIsCapture_ = static_cast<bool>(back);
  return back ? ReadInto(*back) : nullptr;
}

TRef<TBitmap> T3DDrawer::LastCapture() const {
  std::lock_guard guard(lock_);
  return lastReadIsCapture_ ? lastRead_ : nullptr;
}

}  // namespace vyr
