#pragma once
// Paints paths and polygons into a fresh "A8R8G8B8" bitmap: transform, curve flattening,
// stroking, edge building, scan conversion and blending.

#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <vector>

#include "imaging/bitmap/bitmap.h"
#include "imaging/text/outline.h"
#include "imaging/text/raster_paint.h"
#include "imaging/text/raster_path.h"
#include "imaging/text/rasterizer.h"

namespace vyr {

// 3 x 3 matrix, the translation in the third row: x' = x*m0 + y*m3 + m6, y' = x*m1 + y*m4 + m7.
using TRasterMatrix = std::array<float, 9>;
inline constexpr TRasterMatrix kIdentityMatrix = {1, 0, 0, 0, 1, 0, 0, 0, 1};

// Transformed coordinates are clamped to this many pixels either way.
inline constexpr float kMaxRasterCoordinate = 67108864.0f;

struct TFloatPoint {
  float x = 0;
  float y = 0;
};

class TRasterHelper {
 public:
  TRasterHelper() = default;
  ~TRasterHelper() noexcept(false);
  TRasterHelper(const TRasterHelper&) = delete;
  TRasterHelper& operator=(const TRasterHelper&) = delete;

  // A new target filled with the colour's RGB and alpha 0; the colour becomes the paint colour.
  void BeginPaint(int32_t width, int32_t height, uint32_t color = 0xFF000000u);
  // The painted bitmap; the helper is free for the next painting.
  TRef<TDirectBitmap> EndPaint();
  bool Painting() const { return target_ != nullptr; }
  TDirectBitmap* Target() const { return target_.Get(); }

  void SetColor(uint32_t color) { color_ = color; }
  uint32_t Color() const { return color_; }
  // A gradient replaces the colour until cleared with nullopt.
  void SetGradient(std::optional<TGradient> gradient) { gradient_ = std::move(gradient); }

  void SetTransform(const TRasterMatrix& matrix) { matrix_ = matrix; }
  // Applies matrix after the current transform.
  void MultiplyTransform(const TRasterMatrix& matrix);
  const TRasterMatrix& Transform() const { return matrix_; }

  // Columns and rows [left, right) x [top, bottom); clipped to the target when painting.
  void SetClip(TRect clip) { clip_ = clip; }
  void ResetClip() { clip_.reset(); }

  // Outlined drawing: pen width (nothing is drawn below 0.0001) and stroke mode (1: each
  // side of a polyline is a contour of its own, else one contour around it).
  void SetStroke(bool stroke, float penWidth = 1, int mode = 0) {
    stroke_ = stroke;
    penWidth_ = penWidth;
    strokeMode_ = mode;
  }

  // Asked after each pixel row; true stops the painting of that shape.
  void SetCancel(std::function<bool()> cancel) { cancel_ = std::move(cancel); }

  // False (nothing drawn) when the path does not start with a move to, or a contour end is
  // not followed by a move to. An unknown command is an assertion.
  bool FillPath(const TPath& path, bool evenOdd = false);
  void FillPolygon(const std::vector<TFloatPoint>& points, bool evenOdd = false);

 private:
  TFloatPoint Map(float x, float y) const;
  void StartContour(TFloatPoint p);
  void AddPoint(TFloatPoint p);
  void EndContour();
  void Quadratic(TFloatPoint p0, TFloatPoint p1, TFloatPoint p2);
  void Cubic(TFloatPoint p0, TFloatPoint p1, TFloatPoint p2, TFloatPoint p3);
  void FlattenQuadratic(const TFloatPoint* c, float t0, float t1, TFloatPoint a, TFloatPoint b,
                        int depth);
  void FlattenCubic(const TFloatPoint* c, float t0, float t1, TFloatPoint a, TFloatPoint b,
                    int depth);
  bool OutsideClip(const TFloatPoint* points, int count) const;
  void StrokePolyline();
  void Rasterize();
  TRect ClipRect() const;

  TRef<TDirectBitmap> target_;
  uint32_t color_ = 0xFF000000u;
  std::optional<TGradient> gradient_;
  TRasterMatrix matrix_ = kIdentityMatrix;
  std::optional<TRect> clip_;
  bool stroke_ = false;
  float penWidth_ = 1;
  int strokeMode_ = 0;
  std::function<bool()> cancel_;

  TOutline outline_;
  TRasterizer rasterizer_;
  std::vector<TFloatPoint> polyline_;  // the current contour while stroking
  bool contourOpen_ = false;
};

}  // namespace vyr
