#pragma once
// The tile renderer of transitions (`TEffController`): takes triangles whose vertices pair a
// point of the slide with a drawing position and an ARGB colour, cuts them at the borders
// of the slide picture's tiles and draws them with the device layer, the picture
// modulated by the vertex colour. Untextured triangles draw their colour only.
//
// Triangles are kept in the order given unless the caller says they never overlap (flat
// masks), in which case they are grouped per tile into fewer draw calls.

#include <array>
#include <vector>

#include "render/device/screen.h"
#include "render/device/screen_resources.h"
#include "render/transitions/separators.h"

namespace vyr {

class TEffController {
 public:
  explicit TEffController(T3DScreen& screen);
  ~TEffController();
  TEffController(const TEffController&) = delete;
  TEffController& operator=(const TEffController&) = delete;

  // The picture the following textured triangles map onto (none: they are dropped).
  void SetSlide(const TMultiTile* slide) { slide_ = slide; }
  // False when triangles may be grouped per tile (they never overlap on the screen).
  void SetKeepOrder(bool keep) { keepOrder_ = keep; }

  void AddTriangle(const TEffVertex& a, const TEffVertex& b, const TEffVertex& c);
  // The quad a-b over c-d: triangles (a, b, c) and (b, d, c).
  void AddQuad(const TEffVertex& a, const TEffVertex& b, const TEffVertex& c, const TEffVertex& d);
  // The whole slide rectangle as one quad whose corners (top-left, top-right, bottom-left,
  // bottom-right) land at the given points, all in one vertex colour.
  void AddSlideQuad(const TIntRect& rect, const std::array<TVec3, 4>& corners, uint32_t colour);
  // Untextured: only the vertex colours, cut to the slide picture's bounds when one is set.
  void AddColourTriangle(const TEffVertex& a, const TEffVertex& b, const TEffVertex& c);
  // An untextured rectangle of the drawing plane in one colour.
  void AddColourRect(const TIntRect& rect, uint32_t colour);

  // Draws what was added; false when a draw call failed.
  bool Flush();

  // The camera's eye in drawing coordinates (for facing tests of three-dimensional filters).
  TVec3 Eye() const { return screen_->Camera().eye; }
  T3DScreen& Screen() const { return *screen_; }
  // Draw calls made by the last Flush.
  int LastDrawCalls() const { return lastDrawCalls_; }

 private:
  struct TRun {
    T3DTexture* texture = nullptr;  // none: untextured
    std::vector<TVertexRecord> vertices;
  };
  TRun& RunFor(T3DTexture* texture);
  T3DShader* ModulateShader();
  void AddPolygon(const TEffPolygon& polygon, const TEffTile* tile);

  TRef<T3DScreen> screen_;
  const TMultiTile* slide_ = nullptr;
  bool keepOrder_ = true;
  std::vector<TRun> runs_;
  std::vector<TVertexRecord> packed_;
  TRef<TVertexBuffer> buffer_;
  TRef<TShader> modulate_;
  int capacity_ = 0;
  int lastDrawCalls_ = 0;
};

}  // namespace vyr
