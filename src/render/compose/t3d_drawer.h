#pragma once
// `T3DDrawer`: the frame drawer on the device layer. It turns the scene's draw calls into
// textured and coloured quads through the screen (T3DScreen), keeps the pictures' texture
// pages, the shader programs and two render-target pools (window size and half size) for
// blur, sharpening, masks and transitions.
//
// Threads: frames are drawn on the drawing thread; PrepareImage may come from the slide
// loader, which only prepares pixel data (the drawing thread uploads it, see gl_store.h).

#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <span>
#include <string>

#include "imaging/bitmap/bitmap.h"
#include "render/compose/kept_buffers.h"
#include "render/compose/render_target_pool.h"
#include "render/compose/texture_pages.h"
#include "render/compose/video_textures.h"
#include "render/device/screen.h"
#include "render/device/screen_resources.h"
#include "render/transitions/eff_controller.h"
#include "scene/device_drawer.h"

namespace vyr {

class TDrawFilter;
class TIniSection;
class TRealSlideFilter;
class TVyrSlide;

class T3DDrawer : public TDeviceDrawer {
 public:
  T3DDrawer();

  // Binds the screen to the device and loads the shader programs.
  void Attach(TDrawDevice* device);
  // Releases the renderer (log "T3DDrawer.Close"); the next frame makes a new one.
  void Close();
  // In capture mode EndFrame does not present; ReadBack and Capture read the frame.
  void SetCaptureMode(bool on) { captureMode_ = on; }
  bool CaptureMode() const override { return captureMode_; }
  // Builds a custom transition's slide from its effect section (the frame renderer passes
  // its slide producer's builder). Without one, custom transitions cross-fade.
  using TTransitionSlideFactory = std::function<TRef<TVyrSlide>(const TIniSection* section)>;
  void SetTransitionSlideFactory(TTransitionSlideFactory factory) {
    slideFactory_ = std::move(factory);
  }

  bool BeginFrame() override;
  bool EndFrame() override;
  // Presents a frame of one colour, with a small picture and a box drawn in that colour: the
  // rasteriser makes the programs and the present path of a first frame while the first
  // slide is still decoding, instead of when it is due.
  void WarmUp(uint32_t rgb);
  bool IsReady() const override;
  void SetCamera(const TIntRect& clip, int designWidth, const TCamera& camera) override;

  void DrawTransition(TDrawItem& leaving, TDrawItem& arriving, TVyrFilter* filter) override;
  void PrepareImage(TImage& image, const TImageDrawParams& params) override;
  void ForgetImage(TImage& image) override;
  void UpdateImageRect(TImage& image, const TIntRect& rect) override;
  void DrawImage(TImage& image, const TImageDrawParams& params) override;
  void DrawBox(const TPlacement& placement, const TFloatRect& rect,
               const TBoxDrawParams& params) override;
  void DrawLine(const TVec3& from, const TVec3& to, uint32_t color) override;
  // Video pictures of this drawer (T3DYUV); frames upload when drawn.
  TRef<TVideoPicture> CreateVideoImage(int width, int height, TVideoKind kind) override;
  void DrawVideo(const TVideoDrawParams& params) override;
  void DrawMasked(TDrawItem& stencil, TDrawItem& content, float opacity) override;
  void BeginSharpen() override;
  // amount is the fraction of the difference added back (constant c2).
  void EndSharpen(float amount) override;
  void DrawBlurred(TDrawItem& item, float radius) override;
  // Fills a rectangle of target pixels (shifted by the draw offset) with colour (ARGB).
  void FillRect(uint32_t color, const TIntRect& rect) override;
  void ClearAll(uint32_t color, bool depth = false);
  // Tests: every slide of a transition through an effect buffer, the plain way the straight
  // draws are checked against.
  void SetTransitionBuffersOnly(bool on) { buffersOnly_ = on; }
  // Slides that did not change since the last frame keep their effect buffers (on by
  // default); off, every slide is drawn afresh in every frame.
  void SetBufferReuse(bool on);
  bool BufferReuse() const { return reuse_; }
  // Slide draws saved by kept buffers so far.
  uint64_t ReusedBufferCount() const { return kept_.ReusedCount(); }
  // Counts every change outside the items that alters what they draw: camera, slide
  // rectangle, target size, renderer, pictures' textures. Equal counts: an unchanged item
  // draws the same pixels.
  uint64_t DrawState() const { return drawState_; }

  // The current target as an "A8R8G8B8" bitmap, top row first (capture mode only).
  TRef<TBitmap> ReadBack();
  // The drawing area of the last frame (capture mode only). Both may hand back the bitmap of
  // an earlier read, filled anew, once its receivers have all let it go.
  TRef<TBitmap> Capture();
  // What the last Capture gave, untouched since; null when a ReadBack came after it.
  TRef<TBitmap> LastCapture() const;

  T3DScreen& Screen() const { return *screen_; }
  // Width and height of the frame being drawn.
  int AreaWidth() const { return full_.Width(); }
  int AreaHeight() const { return full_.Height(); }

 protected:
  void Dispose() override;

 private:
  struct TStage {
    T3DTexture* texture = nullptr;
    float u0 = 0, v0 = 0, u1 = 1, v1 = 1;
  };
  // Corners in drawing coordinates (top-left, top-right, bottom-left, bottom-right).
  bool DrawQuad(const TVec3 (&corners)[4], std::span<const TStage> stages,
                const uint32_t (&colours)[4], uint32_t flags);
  // A flat pass over target pixels [0, w) x [0, h) through a shader (none: the fixed stage).
  bool DrawPass(const char* shader, std::span<const TStage> stages, float width, float height,
                const float* constants, int constantCount, uint32_t colour = 0xFFFFFFFF);
  T3DShader* Shader(const char* name) const;
  bool PushTarget(TCustomTexture* target);
  void PopTarget();
  // Binds the colour lookups of a picture to stages first and first + 1 (1 and 2 for
  // pictures, 3 and 4 for video planes); false when they cannot be.
  bool BindLookups(const TImageDrawParams& params, int first = 1);
  void UnbindLookups(int first = 1);
  void DrawPictureTiles(TMultiTexture6& texture, const TImageDrawParams& params, int level);
  void DrawBorder(const TImageDrawParams& params, const TVec3& offset);
  void DrawBoxFringe(const TPlacement& placement, const TFloatRect& rect,
                     const uint32_t (&colours)[4]);
  void RunBlurPasses(TPooledTarget& full, TPooledTarget& half, float radius);
  // The transition's draw filter, made on first use; none when the effect has none.
  TDrawFilter* DrawFilterOf(TVyrFilter& filter);
  // Draws the item into the target, cleared first; false when it cannot be drawn to.
  bool DrawIntoTarget(TDrawItem& item, TCustomTexture* target);
  // The slide drawn into an effect buffer of the window's size for this frame: its kept
  // buffer when it still stands, else drawn now (into scratch when reuse is off). other is
  // the transition's other slide: a slide in both roles is drawn straight too, which leaves
  // it reporting no change, so it is always drawn afresh. Null when no target could be had.
  TCustomTexture* SlideBuffer(TDrawItem& item, const TDrawItem& other,
                              std::optional<TPooledTarget>& scratch);
  // The arriving slide faded in over the leaving one (custom transitions without a slide).
  void DrawCrossFade(TDrawItem& leaving, TDrawItem& arriving, double progress);
  // The custom transition's slide over both slides' buffers; false when it has no slide.
  bool DrawCustomTransition(TRealSlideFilter& filter, TDrawItem& leaving, TDrawItem& arriving);
  // The transition's slide, built on first use.
  TVyrSlide* TransitionSlide(TRealSlideFilter& filter);
  // While a custom transition's slide is drawn: the effect buffer a host effect picture
  // stands for; null for any other picture.
  TCustomTexture* EffectBufferFor(const TImage& image) const;
  // A picture whose pixels are already in a device texture.
  void DrawOwnTexture(TCustomTexture& own, const TImageDrawParams& params);
  TVec3 Offset() const { return TVec3{DrawOffsetX(), DrawOffsetY(), 0}; }
  // A surface read into a bitmap for ReadBack and Capture.
  TRef<TBitmap> ReadInto(T3DSurface& surface);

  mutable std::recursive_mutex lock_;
  TRef<T3DScreen> screen_;
  TRenderTargetManager full_, half_;
  TTextureManager6 textures_;
  TRef<TVertexBuffer> vertices_;
  std::map<std::string, TRef<TShader>> shaders_;
  std::unique_ptr<TEffController> effects_;  // the tile renderer of transitions
  TTransitionSlideFactory slideFactory_;
  TCustomTexture* effectBuffers_[2] = {};  // leaving and arriving slide, during a custom one
  std::vector<TRef<TCustomTexture>> sharpenTargets_;
  // Colour lookups as device textures, re-made with the renderer.
  T3DRenderer* lookupRenderer_ = nullptr;
  TRef<TVolumeTexture> cubes_[2];
  TRef<T3DTexture> strips_[2];
  std::vector<uint8_t> lookupBytes_[2];
  std::shared_ptr<TVideoPictureList> videoPictures_ = std::make_shared<TVideoPictureList>();
  TRef<TBitmap> lastRead_;  // reused by the next read when no one else holds it
  bool lastReadIsCapture_ = false;
  TKeptBuffers kept_{full_};
  uint64_t drawState_ = 0;
  T3DRenderer* frameRenderer_ = nullptr;  // the renderer of the last frame
  bool reuse_ = true;
  bool captureMode_ = false;
  bool buffersOnly_ = false;
  bool cameraSet_ = false;
};

}  // namespace vyr
