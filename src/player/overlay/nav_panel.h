#pragma once
// `TNavPanel`: the navigation panel of the overlay. It loads the bar that the show's bar
// description names, places the bar picture (and the video-style bar's exit picture) in
// its area, hit-tests and forwards pointer events in bar pixels and turns bar clicks into
// actions.

#include <functional>
#include <string>
#include <vector>

#include "package/access/file_accessor.h"
#include "package/access/placeholder_picture.h"
#include "player/overlay/anchor_position.h"
#include "player/overlay/custom_nav_bar.h"
#include "project/action.h"

namespace vyr {

struct TNavPanelParams {
  TIntRect area;  // window pixels
  TAnchor anchor;
  double viewScale = 10;  // percent of the area height
  bool useVideoScale = false;
  bool videoExit = true;
  std::vector<std::string> buttonNames;  // configured, in order
  bool showBackground = false;
  int hue = 0;
  std::function<void(double volume)> setVolume;
  std::function<void(double ms)> seek;
  std::function<bool()> isPlaying;
  // The bar's picture (or its exit picture) to show at rect; changed: the part of the
  // picture drawn again (picture pixels). A null picture takes the record's picture away.
  using TPlacePicture =
      std::function<void(TBitmap* picture, const TIntRect& rect, const TIntRect& changed)>;
  TPlacePicture placeBar;
  TPlacePicture placeExit;
  int dpi = 96;  // the screen's vertical pixels per inch
};

class TNavPanel {
 public:
  TNavPanel(TRef<TFileAccessor> accessor, TNavPanelParams params);

  // Opens and parses the description and builds the bar; a description that cannot be
  // opened, or a malformed one (logged), leaves the panel without a bar.
  void Load(const std::string& descriptionPath, double musicVolume, double duration);

  bool HitTest(int x, int y) const;
  void ButtonDown(uint8_t shift, int x, int y, int button);
  void Move(uint8_t shift, int x, int y);
  void ButtonUp(uint8_t shift, int x, int y, int button);

  TCustomNavBar* Bar() const { return bar_.Get(); }
  bool VideoStyle() const { return videoStyle_; }
  const TIntRect& BarRect() const { return barRect_; }
  const TIntRect& ExitRect() const { return exitRect_; }
  bool PointerOver() const { return pointerOver_; }
  // The action of the current event (empty before each event).
  TVyrActionInfo& Action() { return action_; }
  const TNavPanelParams& Params() const { return params_; }

 private:
  void Forward(uint8_t shift, int x, int y, int eventType, int button);
  void UpdatePointerOver(int x, int y);
  void OnClick(int index);
  void OnBarPicture(const TRect& changed);
  void OnExitPicture(const TRect& changed);
  TRef<TBitmap> OpenBarPicture(const std::string& path);

  TRef<TFileAccessor> accessor_;
  TNavPanelParams params_;
  TRef<TCustomNavBar> bar_;
  bool videoStyle_ = false;
  TIntRect barRect_, exitRect_;
  bool pointerOver_ = false;
  bool pressedInside_ = false;
  bool inExitZone_ = false;
  bool rootFolder_ = false;  // the description lies in the show's root
  TVyrActionInfo action_;
  double duration_ = 0;
};

}  // namespace vyr
