#pragma once
// `TNavBar`: the skin bar. A grid of cells tiled from texture pictures, with a row of
// buttons in one cell, each drawn from textures for its states; only the invalid rectangle
// is repainted.

#include <memory>
#include <vector>

#include "player/overlay/bmp_cache.h"
#include "player/overlay/custom_nav_bar.h"

namespace vyr {

struct TNavCell {
  TNavTexture texture;
  int x = 0, y = 0, w = 0, h = 0;
};

enum TNavButtonState : int { kNavNormal = 0, kNavHover = 1, kNavPressed = 2, kNavDisabled = 3 };

struct TNavObject {
  int state = kNavNormal;
  TNavTexture button[4];
  TNavTexture background[4];
  TNavTexture play[4];
  bool hasPlay = false;
  int pressedShift = 0;
  bool greyNormal = false, greyDisabled = false;
  int x = 0, y = 0, w = 0, h = 0;
  int space = 0;
  TRect Rect() const { return TRect{x, y, x + w, y + h}; }
};

class TNavBar : public TCustomNavBar {
 public:
  // The grid is refused (the bar never draws) beyond these.
  static constexpr int kMaxGridSide = 64;
  static constexpr int kMaxButtons = 64;

  TNavBar();
  void LoadSkin(TRef<TIniFile> description, const std::string& folder) override;
  void SetButtons(const std::vector<int>& indexes) override;
  void MouseEvent(int button, uint8_t shift, int eventType, int y, int x) override;
  void Refresh(double showTimeMs) override;
  void ShowVolume(double) override {}
  void SetBarWidth(int) override {}
  void SetBarHeight(int) override {}
  void SetBarScale(double) override {}

  int Cols() const { return cols_; }
  int Rows() const { return rows_; }
  const TNavCell& Cell(int i, int j) const { return cells_[Index(i, j)]; }  // 1-based
  const std::vector<TNavObject>& Objects() const { return objects_; }
  int BarWidth() const { return width_; }
  int BarHeight() const { return height_; }
  bool Loaded() const { return loaded_; }

 private:
  size_t Index(int i, int j) const { return static_cast<size_t>((j - 1) * cols_ + (i - 1)); }
  bool ObjectsCellInGrid() const;
  void Layout();
  void Draw();
  void DrawButton(const TNavObject& object);
  void SetState(TNavObject& object, int state);
  void Invalidate(const TRect& r);
  bool PointOnBar(int x, int y) const;
  void HandleMove(uint8_t shift, int x, int y);

  std::unique_ptr<TBmpCache> cache_;
  int cols_ = 0, rows_ = 0;
  std::vector<TNavCell> cells_;
  int objCol_ = 1, objRow_ = 1;
  int leftOffset_ = 0, topOffset_ = 0, rightOffset_ = 0, bottomOffset_ = 0;
  std::vector<TNavObject> objects_;
  int width_ = 0, height_ = 0;
  TRect invalid_;
  bool pressedMode_ = false;
  int pressedButton_ = -1;
  bool pointerInside_ = false;
  bool loaded_ = false;
  bool refreshed_ = false;
  bool lastPlaying_ = false;
};

}  // namespace vyr
