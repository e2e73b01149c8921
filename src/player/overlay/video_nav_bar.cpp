#include "player/overlay/video_nav_bar.h"

#include <algorithm>
#include <cmath>

#include "foundation/exceptions.h"
#include "imaging/bitmap/pixel_format.h"
#include "imaging/text/text_picture.h"
#include "player/overlay/bar_pixels.h"
#include "player/overlay/bar_values.h"
#include "project/ini/ini.h"

namespace vyr {

namespace {

// Whole seconds of a time in ms, kept in a range every display can take.
int64_t WholeSeconds(double ms) {
  return std::isfinite(ms) ? static_cast<int64_t>(std::clamp(std::trunc(ms / 1000), 0.0, 1e12)) : 0;
}

int RoundEven(double v) {
  if (!std::isfinite(v)) return kMaxBarSide + 1;
  return static_cast<int>(std::clamp(std::nearbyint(v), -1e9, 1e9));
}

void PushTwoDigits(std::vector<int>& glyphs, int64_t value) {
  glyphs.push_back(static_cast<int>(value / 10 % 10));
  glyphs.push_back(static_cast<int>(value % 10));
}

void PushTime(std::vector<int>& glyphs, int64_t seconds, bool hours) {
  if (hours) {
    PushTwoDigits(glyphs, seconds / 3600 % 100);
    glyphs.push_back(kGlyphColon);
    PushTwoDigits(glyphs, seconds / 60 % 60);
  } else {
    PushTwoDigits(glyphs, seconds / 60 % 100);
  }
  glyphs.push_back(kGlyphColon);
  PushTwoDigits(glyphs, seconds % 60);
}

}  // namespace

std::vector<int> TimeDisplayGlyphs(int64_t positionSeconds, int64_t lengthSeconds, bool hours) {
  std::vector<int> glyphs;
  PushTime(glyphs, std::max<int64_t>(positionSeconds, 0), hours);
  glyphs.push_back(kGlyphSlash);
  PushTime(glyphs, std::max<int64_t>(lengthSeconds, 0), hours);
  return glyphs;
}

TVideoNavBar::TVideoNavBar() = default;

void TVideoNavBar::LoadSkin(TRef<TIniFile> description, const std::string& folder) {
  VYR_ASSERT_MSG(!folder.empty() && (folder.back() == '/' || folder.back() == '\\'),
                 "Path delimiter nof found!");
  description_ = std::move(description);
  folder_ = folder;
  const TIniFile* file = description_.Get();
  const TPoint bar = ParseSizeValue(ReadText(file, "Pixel positions", "BarSize", ""));
  barHeight_ = bar.y;
  btnSize_ = ParseSizeValue(ReadText(file, "Pixel positions", "BtnSize", ""));
  digitSize_ = ParseSizeValue(ReadText(file, "Pixel positions", "DigitSize", ""));
  trackHeight_ = ReadInt(file, "Pixel positions", "TrackHeight", 0);
  volumeLength_ = ReadInt(file, "Pixel positions", "VolumeControlLength", 0);
  leftSpace_ = ReadInt(file, "Pixel positions", "LeftSpace", 0);
  buttonsTrackSpace_ = ReadInt(file, "Pixel positions", "ButtonsTrackSpace", 0);
  trackDigitsSpace_ = ReadInt(file, "Pixel positions", "TrackDigitsSpace", 0);
  digitsSoundBtnSpace_ = ReadInt(file, "Pixel positions", "DigitsSoundBtnSpace", 0);
  soundBtnTrackSpace_ = ReadInt(file, "Pixel positions", "SoundBtnTrackSpace", 0);
  rightSpace_ = ReadInt(file, "Pixel positions", "RightSpace", 0);
  background_ =
      TNinePatch{LoadPicture(folder_ + ReadText(file, "Common", "flnm_back", "")),
                 ReadInt(file, "Common", "BgLeft", 0), 0, ReadInt(file, "Common", "BgRight", 0), 0};
  trackLine_ = TNinePatch{LoadPicture(folder_ + ReadText(file, "Trackbar", "flnm_Line", "")),
                          ReadInt(file, "Common", "TrackLineLeft", 0), 0,
                          ReadInt(file, "Common", "TrackLineRight", 0), 0};
  slider_ = TNinePatch{LoadPicture(folder_ + ReadText(file, "Trackbar", "flnm_Polzun", ""))};
  static constexpr const char* kStrips[] = {"flnm_Normal", "flnm_Hover", "flnm_Click"};
  for (int s = 0; s < 3; ++s) {
    TRef<TBitmap> strip = LoadPicture(folder_ + ReadText(file, "Buttons", kStrips[s], ""));
    for (int k = 0; k < 7; ++k) {
      cells_[s][k] = TNinePatch{};
      const long long left = static_cast<long long>(k) * btnSize_.x;
      if (!strip || btnSize_.x <= 0 || btnSize_.y <= 0 || left >= strip->Width()) continue;
      const int l = static_cast<int>(left);
      cells_[s][k].picture = CutBarArea(*strip, TRect{l, 0, l + btnSize_.x, btnSize_.y});
    }
  }
  names_ = {"backward", "forward"};
}

TVideoBarGeometry TVideoNavBar::GeometryAt(double s, int n, bool hours) const {
  TVideoBarGeometry g;
  g.H = RoundEven(barHeight_ * s);
  g.bw = RoundEven(btnSize_.x * s);
  g.bh = RoundEven(btnSize_.y * s);
  g.dw = RoundEven(digitSize_.x * s);
  g.dh = RoundEven(digitSize_.y * s);
  g.pw = RoundEven(slider_.Width() * s);
  g.ph = RoundEven(slider_.Height() * s);
  g.th = RoundEven(trackHeight_ * s);
  g.vl = RoundEven(volumeLength_ * s);
  // Sums in 64 bits: description values are not trusted.
  auto clampInt = [](long long v) { return static_cast<int>(std::clamp<long long>(v, -1e9, 1e9)); };
  g.E = clampInt(static_cast<long long>(width_) - rightSpace_ - g.vl - soundBtnTrackSpace_ - g.bw -
                 digitsSoundBtnSpace_);
  g.x0 = clampInt(static_cast<long long>(leftSpace_) + static_cast<long long>(g.bw) * (n + 1) +
                  buttonsTrackSpace_);
  g.x1 = clampInt(static_cast<long long>(g.E) - (hours ? 18LL : 12LL) * g.dw);
  g.vs = clampInt(static_cast<long long>(width_) - rightSpace_ - g.vl);
  g.ve = clampInt(static_cast<long long>(width_) - rightSpace_);
  return g;
}

TVideoBarGeometry TVideoNavBar::Geometry() const {
  return GeometryAt(scale_, static_cast<int>(buttons_.size()), hours_);
}

void TVideoNavBar::SetBarHeight(int pixels) {
  scale_ = barHeight_ != 0 ? static_cast<double>(pixels) / barHeight_ : NAN;
  CheckScale();
}

void TVideoNavBar::SetBarScale(double factor) {
  scale_ = factor;
  CheckScale();
}

void TVideoNavBar::CheckScale() {
  const auto tooLarge = [this](const TVideoBarGeometry& g) {
    return width_ <= 0 || width_ > kMaxBarSide || g.H <= 0 || g.H > kMaxBarElement ||
           static_cast<long long>(width_) * g.H > kMaxBarPixels || g.bw > kMaxBarElement ||
           g.bh > kMaxBarElement || g.pw > kMaxBarElement || g.ph > kMaxBarElement ||
           g.th > kMaxBarElement || g.dh > kMaxBarElement || g.vl > kMaxBarSide;
  };
  if (!std::isfinite(scale_) || scale_ <= 0) {
    inert_ = true;
    return;
  }
  const int n = static_cast<int>(buttons_.size());
  TVideoBarGeometry g = GeometryAt(scale_, n, hours_);
  if (g.pw + g.x0 >= g.x1 || tooLarge(g)) {
    inert_ = true;
    return;
  }
  while (g.pw + g.x0 + 100 >= g.x1) {
    // Halving stops once it changes nothing more: such a bar can never meet the rule.
    const TVideoBarGeometry half = GeometryAt(scale_ / 2, n, hours_);
    if (half.x0 == g.x0 && half.x1 == g.x1 && half.pw == g.pw) {
      inert_ = true;
      return;
    }
    scale_ /= 2;
    g = half;
  }
  inert_ = tooLarge(g);
}

int TVideoNavBar::ElementState(int element) const {
  return element >= 0 && element < static_cast<int>(states_.size())
             ? states_[static_cast<size_t>(element)]
             : 0;
}

double TVideoNavBar::PositionInRound() const {
  if (!std::isfinite(position_)) return 0;
  if (duration_ < 1e-6) return std::max(position_, 0.0);
  double p = position_;
  const double q = std::trunc(position_ / duration_);
  if (q > 0) p = position_ - q * duration_;
  return p;
}

int TVideoNavBar::SliderCentre() const {
  const TVideoBarGeometry g = Geometry();
  if (duration_ < 1e-6 || position_ < 0) return g.x0 + g.pw / 2;
  const double p = PositionInRound();
  return g.pw / 2 + static_cast<int>(std::clamp(
                        std::trunc((g.x1 - g.pw - g.x0) * p / duration_ + g.x0), -1e9, 1e9));
}

int TVideoNavBar::VolumeCentre() const {
  const TVideoBarGeometry g = Geometry();
  if (!(volume_ >= 0 && volume_ <= 1)) return g.vs + g.pw / 2;
  return g.pw / 2 + RoundEven((g.ve - g.pw - g.vs) * volume_ + g.vs);
}

double TVideoNavBar::DragValue(int x, int grab, int from, int to, int pw) const {
  int c = grab >= -(pw / 2) && grab <= pw / 2 ? x - grab : x;
  c = std::min(c, to - pw / 2);
  c = std::max(c, from + pw / 2);
  const int span = to - from - pw;
  return span > 0 ? static_cast<double>(c - from - pw / 2) / span : 0;
}

bool TVideoNavBar::InExitButton(const TVideoBarGeometry& g, int x, int y) const {
  const int dx = x - (g.H - g.bw) / 2, dy = y - (g.H - g.bh) / 2;
  return dx >= 0 && dx <= g.bw && dy >= 0 && dy <= g.bh;
}

// The element under a point in the button band (play/pause, sound or a configured button),
// or -1.
int TVideoNavBar::ButtonUnder(const TVideoBarGeometry& g, int x, int y) const {
  if (y < g.ButtonTop() || y > g.ButtonBottom()) return -1;
  if (x >= leftSpace_ && x < leftSpace_ + g.bw) return kPlayPause;
  const int sound = g.E + digitsSoundBtnSpace_;
  if (x >= sound && x < sound + g.bw) return kSound;
  if (g.bw > 0 && x >= leftSpace_ + g.bw && x < g.x0 - buttonsTrackSpace_) {
    const int a = (x - leftSpace_) / g.bw;
    if (a - 1 < static_cast<int>(buttons_.size())) return a + 2;
  }
  return -1;
}

void TVideoNavBar::RedrawElement(int element, unsigned& redraw) const {
  if (element == kPlayPause)
    redraw |= kRedrawPlay;
  else if (element == kSound)
    redraw |= kRedrawSound;
  else if (element == kExit)
    redraw |= kRedrawExit;
  else
    redraw |= kRedrawButtons;
}

void TVideoNavBar::ResetStates(unsigned& redraw) {
  for (size_t e = 0; e < states_.size(); ++e) {
    if (states_[e] != 0) RedrawElement(static_cast<int>(e), redraw);
    states_[e] = 0;
  }
}

void TVideoNavBar::MouseEvent(int button, uint8_t, int eventType, int y, int x) {
  if (inert_ || !ready_) return;
  const bool left = button == kNavLeftButton;
  if (eventType != kNavMove &&
      !((eventType == kNavButtonDown || eventType == kNavButtonUp) && left))
    return;
  const TVideoBarGeometry g = Geometry();
  const bool exitZone = callbacks.inExitZone && callbacks.inExitZone(*this);
  const bool trackBand = !exitZone && y >= g.TrackTop() && y <= g.TrackBottom();
  unsigned redraw = 0;
  auto setState = [&](int element, int state) {
    if (element < 0 || element >= static_cast<int>(states_.size())) return;
    states_[static_cast<size_t>(element)] = static_cast<uint8_t>(state);
    RedrawElement(element, redraw);
  };
  if (eventType == kNavButtonDown) {
    ResetStates(redraw);
    if (exitZone) {
      if (InExitButton(g, x, y)) {
        setState(kExit, 2);
        if (callbacks.click) callbacks.click(*this, -2);
      }
    } else {
      if (trackBand && x >= g.x0 && x <= g.x1) {
        dragPosition_ = true;
        savedPaused_ = paused_;
        paused_ = true;
        positionGrab_ = x - SliderCentre();
        if (!savedPaused_ && callbacks.click) callbacks.click(*this, -1);
        return;
      }
      if (trackBand && x >= g.vs && x <= g.ve) {
        dragVolume_ = true;
        volumeGrab_ = x - VolumeCentre();
        return;
      }
      const int element = ButtonUnder(g, x, y);
      if (element == kPlayPause) {
        setState(kPlayPause, 2);
        paused_ = !paused_;
        if (callbacks.click) callbacks.click(*this, -1);
      } else if (element == kSound) {
        setState(kSound, 2);
        if (volume_ != 0) {
          savedVolume_ = volume_;
          volume_ = 0;
        } else {
          volume_ = savedVolume_;
        }
        redraw |= kRedrawVolume;
        if (callbacks.setVolume) callbacks.setVolume(*this, volume_);
      } else if (element >= kFirstButton) {
        setState(element, 2);
        if (callbacks.click) callbacks.click(*this, element - kFirstButton);
      }
    }
  } else if (eventType == kNavMove) {
    if (std::find(states_.begin(), states_.end(), 2) != states_.end()) return;
    ResetStates(redraw);
    if (dragPosition_ && x >= g.x0 && x <= g.x1) {
      position_ = duration_ * DragValue(x, positionGrab_, g.x0, g.x1, g.pw);
      redraw |= kRedrawTrack;
      if (callbacks.seek) callbacks.seek(*this, position_);
    }
    if (dragVolume_ && x >= g.vs && x <= g.ve) {
      volume_ = std::clamp(DragValue(x, volumeGrab_, g.vs, g.ve, g.pw), 0.0, 1.0);
      redraw |= kRedrawVolume | kRedrawSound;
      if (callbacks.setVolume) callbacks.setVolume(*this, volume_);
    }
    if (exitZone && InExitButton(g, x, y)) {
      setState(kExit, 1);
    } else if (!exitZone && !dragPosition_ && !dragVolume_) {
      const int element = ButtonUnder(g, x, y);
      if (element >= 0) setState(element, 1);
    }
  } else {
    ResetStates(redraw);
    if (dragPosition_) {
      paused_ = savedPaused_;
      redraw |= kRedrawPlay;
      if (!savedPaused_ && callbacks.click) callbacks.click(*this, -1);
    }
    if ((dragPosition_ || trackBand) && x >= g.x0 && x <= g.x1) {
      position_ = duration_ * DragValue(x, dragPosition_ ? positionGrab_ : 0, g.x0, g.x1, g.pw);
      redraw |= kRedrawTrack;
      if (callbacks.seek) callbacks.seek(*this, position_);
    }
    if ((dragVolume_ || trackBand) && x >= g.vs && x <= g.ve) {
      volume_ = std::clamp(DragValue(x, dragVolume_ ? volumeGrab_ : 0, g.vs, g.ve, g.pw), 0.0, 1.0);
      redraw |= kRedrawVolume | kRedrawSound;
      if (callbacks.setVolume) callbacks.setVolume(*this, volume_);
    }
    dragPosition_ = dragVolume_ = false;
  }
  if (redraw) Redraw(redraw);
}

void TVideoNavBar::Refresh(double t) {
  if (inert_ || !ready_) return;
  const bool oldPaused = paused_;
  if (callbacks.isPlaying) paused_ = !callbacks.isPlaying(*this);
  if ((t == position_ && paused_ == oldPaused) || dragPosition_) return;
  const int oldSlider = SliderCentre();
  const int64_t oldSecond = WholeSeconds(PositionInRound());
  position_ = t;
  unsigned redraw = 0;
  if (SliderCentre() != oldSlider || WholeSeconds(PositionInRound()) != oldSecond)
    redraw |= kRedrawTrack;
  if (paused_ != oldPaused) redraw |= kRedrawPlay;
  if (redraw) Redraw(redraw);
}

void TVideoNavBar::ShowVolume(double v) {
  if (inert_ || !ready_ || v == volume_ || dragVolume_) return;
  const double old = volume_;
  const int oldCentre = VolumeCentre();
  volume_ = v;
  unsigned redraw = 0;
  if ((old == 0) != (v == 0)) redraw |= kRedrawSound;
  if (VolumeCentre() != oldCentre) redraw |= kRedrawVolume;
  if (redraw) Redraw(redraw);
}

void TVideoNavBar::SetButtons(const std::vector<int>& indexes) {
  if (inert_) return;
  TCustomNavBar::SetButtons(indexes);
  states_.assign(indexes.size() + 4, 0);
  duration_ = callbacks.getDuration ? callbacks.getDuration(*this) : 0;
  if (!std::isfinite(duration_)) duration_ = 0;
  hours_ = duration_ >= 3600000;
  ready_ = true;
  drawnSlider_ = -1;
  drawnSecond_ = -1;
  trackCache_ = nullptr;
  Redraw(callbacks.inExitZone ? kRedrawAll : kRedrawAll & ~kRedrawExit);
}

void TVideoNavBar::RestoreColumns(int from, int to) {
  from = std::max(from, 0);
  to = std::min(to, picture_->Width());
  if (to <= from) return;
  changed_ = changed_.Empty() ? TRect{from, 0, to, picture_->Height()}
                              : TRect{std::min(changed_.left, from), 0,
                                      std::max(changed_.right, to), picture_->Height()};
  CopyBarArea(*picture_, from, 0, *backgroundCache_, TRect{from, 0, to, picture_->Height()});
}

void TVideoNavBar::DrawCell(int state, int cell, TBitmap& target, int x, int y, int w, int h) {
  const TNinePatch& patch =
      cells_[static_cast<size_t>(std::clamp(state, 0, 2))][static_cast<size_t>(cell)];
  patch.Draw(target, TRect{x, y, x + w, y + h});
}

const std::array<TRef<TBitmap>, kGlyphCount>& TVideoNavBar::Glyphs() {
  const int dh = Geometry().dh;
  if (glyphHeight_ == dh && glyphs_[0]) return glyphs_;
  static constexpr const char* kTexts[kGlyphCount] = {"0", "1", "2", "3", "4", "5",
                                                      "6", "7", "8", "9", ":", " / "};
  glyphHeight_ = dh;
  for (int i = 0; i < kGlyphCount; ++i) {
    glyphs_[static_cast<size_t>(i)] = nullptr;
    if (dh <= 0) continue;
    TTextParams params;  // the producer's default font
    const std::string natural = FormatTextDescription(params, {kTexts[i]});
    const TRef<TTextBitmapStore> probe = TTextBitmapStore::Create(natural, nullptr);
    const int h0 = probe ? probe->Params().height : 0;
    if (h0 <= 0) continue;
    params.factor = static_cast<double>(dh) / h0;
    const TRef<TTextBitmapStore> store =
        TTextBitmapStore::Create(FormatTextDescription(params, {kTexts[i]}), nullptr);
    if (store) glyphs_[static_cast<size_t>(i)] = store->GetMipLevel(0, pf::A8R8G8B8());
  }
  return glyphs_;
}

void TVideoNavBar::DrawTimeDisplay(const TVideoBarGeometry& g) {
  const auto& glyphs = Glyphs();
  const int64_t position = WholeSeconds(PositionInRound());
  const std::vector<int> shown = TimeDisplayGlyphs(position, WholeSeconds(duration_), hours_);
  int total = 0;
  for (int i : shown)
    if (glyphs[static_cast<size_t>(i)]) total += glyphs[static_cast<size_t>(i)]->Width();
  const int start = g.x1 + trackDigitsSpace_;
  int x = start + (g.E - start - total) / 2;
  for (int i : shown) {
    const TBitmap* glyph = glyphs[static_cast<size_t>(i)].Get();
    if (!glyph) continue;
    CompositeBarArea(*picture_, x, (g.H - g.dh) / 2, *glyph,
                     TRect{0, 0, glyph->Width(), glyph->Height()});
    x += glyph->Width();
  }
}

void TVideoNavBar::Redraw(unsigned what) {
  if (inert_ || !ready_) return;
  const TVideoBarGeometry g = Geometry();
  changed_ = TRect{};
  if (!picture_ || picture_->Width() != width_ || picture_->Height() != g.H) {
    backgroundCache_ = MakeRef<TDirectBitmap>(width_, g.H, pf::A8R8G8B8());
    background_.Draw(*backgroundCache_, TRect{0, 0, width_, g.H});
    picture_ = MakeRef<TDirectBitmap>(width_, g.H, pf::A8R8G8B8());
    RestoreColumns(0, width_);
    what = kRedrawAll & (callbacks.inExitZone ? kRedrawAll : ~kRedrawExit);
    drawnSlider_ = -1;
    drawnSecond_ = -1;
  }
  const int n = static_cast<int>(buttons_.size());
  if (what & kRedrawPlay) {
    RestoreColumns(leftSpace_, leftSpace_ + g.bw);
    const bool paused = dragPosition_ ? savedPaused_ : paused_;
    DrawCell(ElementState(kPlayPause), paused ? 0 : 1, *picture_, leftSpace_, g.ButtonTop(), g.bw,
             g.bh);
  }
  if (what & kRedrawButtons) {
    RestoreColumns(leftSpace_ + g.bw, leftSpace_ + g.bw * (n + 1));
    for (int i = 0; i < n; ++i) {
      const int index = buttons_[static_cast<size_t>(i)];
      if (index < 0 || index > 1) continue;
      DrawCell(ElementState(kFirstButton + i), index + 4, *picture_, leftSpace_ + g.bw * (i + 1),
               g.ButtonTop(), g.bw, g.bh);
    }
  }
  if (what & kRedrawTrack) {
    const int slider = SliderCentre();
    const int trackWidth = std::max(1, g.x1 - g.x0), trackHeight = std::max(1, g.th);
    if (slider != drawnSlider_ || !trackCache_ || trackCache_->Width() != trackWidth ||
        trackCache_->Height() != trackHeight) {
      RestoreColumns(g.x0, g.x1);
      if (!trackCache_ || trackCache_->Width() != trackWidth ||
          trackCache_->Height() != trackHeight) {
        trackCache_ = MakeRef<TDirectBitmap>(trackWidth, trackHeight, pf::A8R8G8B8());
        trackLine_.Draw(*trackCache_, TRect{0, 0, trackWidth, trackHeight});
      }
      CompositeBarArea(*picture_, g.x0, g.TrackTop(), *trackCache_,
                       TRect{0, 0, trackWidth, trackHeight});
      slider_.Draw(*picture_, TRect{slider - g.pw / 2, (g.H - g.ph) / 2, slider - g.pw / 2 + g.pw,
                                    (g.H - g.ph) / 2 + g.ph});
      drawnSlider_ = slider;
    }
    const int64_t second = WholeSeconds(PositionInRound());
    if (second != drawnSecond_ || !glyphs_[0] || glyphHeight_ != g.dh) {
      RestoreColumns(g.x1, g.E + digitsSoundBtnSpace_);
      DrawTimeDisplay(g);
      drawnSecond_ = second;
    }
  }
  if (what & kRedrawSound) {
    const int x = g.E + digitsSoundBtnSpace_;
    RestoreColumns(x, x + g.bw);
    DrawCell(ElementState(kSound), volume_ != 0 ? 2 : 3, *picture_, x, g.ButtonTop(), g.bw, g.bh);
  }
  if (what & kRedrawVolume) {
    RestoreColumns(g.vs, g.ve);
    trackLine_.Draw(*picture_, TRect{g.vs, g.TrackTop(), g.ve, g.TrackTop() + g.th});
    const int centre = VolumeCentre();
    slider_.Draw(*picture_, TRect{centre - g.pw / 2, (g.H - g.ph) / 2, centre - g.pw / 2 + g.pw,
                                  (g.H - g.ph) / 2 + g.ph});
  }
  const bool exitDrawn = (what & kRedrawExit) && callbacks.inExitZone;
  if (exitDrawn) {
    if (!exit_ || exit_->Width() != g.H) exit_ = MakeRef<TDirectBitmap>(g.H, g.H, pf::A8R8G8B8());
    exit_->FillRect(TRect{0, 0, g.H, g.H}, 0);
    DrawCell(ElementState(kExit), 6, *exit_, (g.H - g.bw) / 2, (g.H - g.bh) / 2, g.bw, g.bh);
  }
  // Only the columns drawn again are reported, so that the owner updates just those.
  if (!changed_.Empty()) NotifyPictureChanged(changed_);
  if (exitDrawn && callbacks.exitPictureChanged)
    callbacks.exitPictureChanged(*this, TRect{0, 0, exit_->Width(), exit_->Height()});
}

}  // namespace vyr
