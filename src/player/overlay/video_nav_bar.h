#pragma once
// `TVideoNavBar`: the video-style bar. Play/pause, optional backward and forward buttons, a
// position track with its slider, a time display, a sound button that mutes, a volume
// track, and a separate exit picture. Redraws only the elements that changed, restoring
// their background from a cached picture.

#include <array>
#include <vector>

#include "player/overlay/custom_nav_bar.h"
#include "player/overlay/nine_patch.h"

namespace vyr {

// The bar's layout at its current scale.
struct TVideoBarGeometry {
  int H = 0, bw = 0, bh = 0, dw = 0, dh = 0, pw = 0, ph = 0, th = 0, vl = 0;
  int E = 0, x0 = 0, x1 = 0, vs = 0, ve = 0;
  int TrackTop() const { return (H - th) / 2; }
  int TrackBottom() const { return (H + th) / 2; }
  int ButtonTop() const { return (H - bh) / 2; }
  int ButtonBottom() const { return (H + bh) / 2; }
};

// Glyph indexes of the time display: 0-9 the digits, 10 ":", 11 " / ".
enum : int { kGlyphColon = 10, kGlyphSlash = 11, kGlyphCount = 12 };
std::vector<int> TimeDisplayGlyphs(int64_t positionSeconds, int64_t lengthSeconds, bool hours);

class TVideoNavBar : public TCustomNavBar {
 public:
  enum TElement : int { kPlayPause = 0, kSound = 1, kExit = 2, kFirstButton = 3 };

  TVideoNavBar();
  void LoadSkin(TRef<TIniFile> description, const std::string& folder) override;
  void SetButtons(const std::vector<int>& indexes) override;
  void MouseEvent(int button, uint8_t shift, int eventType, int y, int x) override;
  void Refresh(double showTimeMs) override;
  void ShowVolume(double volume) override;
  void SetBarWidth(int pixels) override { width_ = pixels; }
  void SetBarHeight(int pixels) override;
  void SetBarScale(double factor) override;
  TBitmap* ExitPicture() const override { return exit_.Get(); }

  TVideoBarGeometry Geometry() const;
  double Scale() const { return scale_; }
  bool Inert() const { return inert_; }
  bool Hours() const { return hours_; }
  double Position() const { return position_; }
  double Duration() const { return duration_; }
  double Volume() const { return volume_; }
  bool Paused() const { return paused_; }
  int ElementState(int element) const;
  int SliderCentre() const;
  int VolumeCentre() const;
  // The glyph pictures (made on first use).
  const std::array<TRef<TBitmap>, kGlyphCount>& Glyphs();

 private:
  enum TRedraw : unsigned {
    kRedrawPlay = 1,
    kRedrawButtons = 2,
    kRedrawTrack = 4,
    kRedrawSound = 8,
    kRedrawVolume = 16,
    kRedrawExit = 32,
    kRedrawAll = 63,
  };
  void CheckScale();
  TVideoBarGeometry GeometryAt(double scale, int buttons, bool hours) const;
  double PositionInRound() const;
  double DragValue(int x, int grab, int from, int to, int pw) const;
  void RedrawElement(int element, unsigned& redraw) const;
  void ResetStates(unsigned& redraw);
  void Redraw(unsigned what);
  void RestoreColumns(int from, int to);
  void DrawCell(int state, int cell, TBitmap& target, int x, int y, int w, int h);
  void DrawTimeDisplay(const TVideoBarGeometry& g);
  bool InExitButton(const TVideoBarGeometry& g, int x, int y) const;
  int ButtonUnder(const TVideoBarGeometry& g, int x, int y) const;

  // Description sizes at scale 1.
  int barHeight_ = 0;
  TPoint btnSize_, digitSize_;
  int trackHeight_ = 0, volumeLength_ = 0;
  int leftSpace_ = 0, buttonsTrackSpace_ = 0, trackDigitsSpace_ = 0, digitsSoundBtnSpace_ = 0,
      soundBtnTrackSpace_ = 0, rightSpace_ = 0;
  TNinePatch background_, trackLine_, slider_;
  std::array<std::array<TNinePatch, 7>, 3> cells_;  // [state][cell]

  int width_ = 0;
  double scale_ = 1;
  double position_ = -1, duration_ = 0;
  bool hours_ = false;
  double volume_ = -1, savedVolume_ = 0;
  bool paused_ = false, savedPaused_ = false;
  bool dragPosition_ = false, dragVolume_ = false;
  int positionGrab_ = 0, volumeGrab_ = 0;
  std::vector<uint8_t> states_;
  bool inert_ = false;
  bool ready_ = false;  // SetButtons ran

  TRef<TDirectBitmap> backgroundCache_, trackCache_, exit_;
  std::array<TRef<TBitmap>, kGlyphCount> glyphs_;
  int glyphHeight_ = -1;
  TRect changed_;  // the columns drawn again by the current redraw
  int drawnSlider_ = -1;
  int64_t drawnSecond_ = -1;
  bool lastPaused_ = false;
};

}  // namespace vyr
