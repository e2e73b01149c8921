#pragma once
// The drawer interface the scene draws through. Records are plain values: a device drawer
// (OpenGL, or a recording one in tests) turns them into device calls. All positions are in
// drawing coordinates, the space that camera.h projects (pixels of the drawing area at
// z = 0, +z into the screen).

#include <cstdint>

#include "foundation/ref_object.h"
#include "scene/camera.h"
#include "scene/draw_item.h"
#include "scene/filters/colour_lut.h"
#include "scene/geometry.h"
#include "scene/video/video_picture.h"

namespace vyr {

class TImage;
class TVyrFilter;

struct TFloatRect {
  float left = 0, top = 0, right = 0, bottom = 0;
  float Width() const { return right - left; }
  float Height() const { return bottom - top; }
  bool Empty() const { return !(right > left) || !(bottom > top); }
  bool operator==(const TFloatRect&) const = default;
};

// An object's plane in space: the point (u, v) of its own plane lies at
// origin + u * axisX + v * axisY; axisZ is the plane's depth direction.
struct TPlacement {
  TVec3 origin;
  TVec3 axisX{1, 0, 0};
  TVec3 axisY{0, 1, 0};
  TVec3 axisZ{0, 0, 1};
  double inverseDeterminant = 1;  // 1 / det(axisX, axisY, axisZ)
  TVec3 PointAt(float u, float v) const {
    return {origin.x + u * axisX.x + v * axisY.x, origin.y + u * axisX.y + v * axisY.y,
            origin.z + u * axisX.z + v * axisY.z};
  }
};

enum class TFiltering : uint8_t { Default = 0, Nearest = 1, Bilinear = 2 };

// How a picture is drawn.
struct TImageDrawParams {
  TPlacement placement;
  // The drawn rectangle in the object's own plane: [left, right] x [top, bottom] around the
  // object's pivot (0, 0).
  TFloatRect pivotRect;
  // The part of the picture drawn, in level-0 picture pixels; empty: the whole picture.
  TFloatRect sourceRect;
  int reductionLevel = 0;  // the picture reduced by 2^level is uploaded
  float opacity = 100;     // percent
  // Multiplies the picture's colours (white text pictures take the text colour this way).
  uint32_t tint = 0xFFFFFFFF;  // 0xAARRGGBB
  TFiltering filtering = TFiltering::Default;
  float lodBias = 0;
  bool antialiased = false;
  // Colour filtering: the lookups of the keyframes left and right of the time, mixed by
  // lutMix (0: left only). Form kNone draws the colours unchanged; the tables belong to the
  // object and stay valid until its next layout.
  TLutForm lutForm = TLutForm::kNone;
  const TColorLut* leftLut = nullptr;
  const TColorLut* rightLut = nullptr;
  float lutMix = 0;
  // A border of borderMargin pixels (own plane units) drawn around pivotRect's inner
  // picture area; no border when 0.
  float borderMargin = 0;
  uint32_t borderColor = 0xFFFFFFFF;  // 0xAARRGGBB
  bool mask = false;                  // the picture is a grey mask (alpha from grey)
};

enum class TBoxFill : uint8_t { Solid = 0, HGradient, VGradient, TLBRGradient, TRBLGradient };

struct TBoxDrawParams {
  TBoxFill fill = TBoxFill::Solid;
  uint32_t color1 = 0xFF000000;  // 0xAARRGGBB, alpha included
  uint32_t color2 = 0xFF000000;
  float opacity = 100;  // percent
  bool antialiased = false;
};

// Video frames: a lent video picture drawn in the object's place through the video shaders.
struct TVideoDrawParams {
  TImageDrawParams image;  // placement, rectangles, opacity, border and colour lookups
  TVideoPicture* picture = nullptr;
  int field = 0;  // 0 the whole frame, 1 or 2 one field of an interlaced frame
  bool chromaKey = false;
  float chromaKeyU = 0, chromaKeyV = 0, chromaDelta = 0;
  // The picture's luma used as a grey mask ("videomask"), inverted when maskInvert.
  bool mask = false;
  bool maskInvert = false;
};

class TDeviceDrawer : public TRefObject {
 public:
  // Frame bracket, called by the outermost DrawItem.
  virtual bool BeginFrame() { return true; }
  virtual bool EndFrame() { return true; }
  virtual bool IsReady() const { return true; }
  // Capture mode: frames are read back rather than presented, and video clips wait for
  // the exact frame of each time.
  virtual bool CaptureMode() const { return false; }

  // Draws an item: the outermost call brackets a frame and calls FinishFrame afterwards.
  // Blur routing: amount > 0.00001 draws blurred (DrawBlurred) with radius
  // amount / 1000 x scale; amount < 0 draws between BeginSharpen and EndSharpen with
  // -amount / 100 x scale; scale = design width / clip width when both are positive. While
  // one item is blurred or sharpened its children draw plainly.
  virtual void DrawItem(TDrawItem& item);
  virtual void DrawTransition(TDrawItem& leaving, TDrawItem& arriving, TVyrFilter* filter) = 0;

  virtual void PrepareImage(TImage& /*image*/, const TImageDrawParams& /*params*/) {}
  virtual void ForgetImage(TImage& /*image*/) {}
  // The picture's pixels changed inside rect (level-0 pixels): its textures follow, in place
  // where the drawer can, else made again.
  virtual void UpdateImageRect(TImage& image, const TIntRect& /*rect*/) { ForgetImage(image); }
  virtual void DrawImage(TImage& image, const TImageDrawParams& params) = 0;
  // rect lies in the placement's plane.
  virtual void DrawBox(const TPlacement& placement, const TFloatRect& rect,
                       const TBoxDrawParams& params) = 0;
  // Fills the box record from plain colours and calls DrawBox.
  void DrawColourBox(const TPlacement& placement, const TFloatRect& rect, uint32_t color1,
                     uint32_t color2, TBoxFill fill, float opacity, bool antialiased);
  virtual void DrawLine(const TVec3& from, const TVec3& to, uint32_t color) = 0;
  // A video picture of the kind for frames of width x height; the base makes a plain one.
  virtual TRef<TVideoPicture> CreateVideoImage(int width, int height, TVideoKind kind);
  virtual void DrawVideo(const TVideoDrawParams& params) = 0;
  // The content item drawn through the stencil item's picture as its mask.
  virtual void DrawMasked(TDrawItem& stencil, TDrawItem& content, float opacity) = 0;
  virtual void BeginSharpen() = 0;
  virtual void EndSharpen(float amount) = 0;
  // Draws the item into a render target and back blurred with the given radius.
  virtual void DrawBlurred(TDrawItem& item, float radius) = 0;
  virtual void FillRect(uint32_t color, const TIntRect& rect) = 0;

  // A 2D shift added to everything drawn until reset to (0, 0).
  virtual void SetDrawOffset(float x, float y) {
    offsetX_ = x;
    offsetY_ = y;
  }
  float DrawOffsetX() const { return offsetX_; }
  float DrawOffsetY() const { return offsetY_; }
  bool HasDrawOffset() const { return offsetX_ != 0 || offsetY_ != 0; }

  // The slide rectangle, the design width of the show and the camera.
  virtual void SetCamera(const TIntRect& clip, int designWidth, const TCamera& camera) {
    clip_ = clip;
    designWidth_ = designWidth;
    camera_ = camera;
  }
  const TIntRect& ClipRect() const { return clip_; }
  const TCamera& Camera() const { return camera_; }
  int DesignWidth() const { return designWidth_; }
  // design width / clip width, 1 when either is not positive.
  float BlurScale() const;
  int Nesting() const { return nesting_; }
  // A blur or sharpen pass is open: the items inside draw plainly.
  bool FilterOpen() const { return filterOpen_; }

 private:
  void DrawRouted(TDrawItem& item);

  TIntRect clip_;
  int designWidth_ = 0;
  TCamera camera_;
  float offsetX_ = 0, offsetY_ = 0;
  int nesting_ = 0;
  bool filterOpen_ = false;  // a blur or sharpen pass is open
};

}  // namespace vyr
