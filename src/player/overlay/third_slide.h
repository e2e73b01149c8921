#pragma once
// `TThirdSlide`: the layer the engine draws above the slides. It holds the show's logo, the
// dialogs that actions open and the navigation panel with its bar; it places and fades
// them, hides the panel while the pointer rests, routes pointer events to the dialogs and
// the panel before the slides see them, and draws the background bands at their place in
// its order. Lives on the engine thread.

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "imaging/colour/color_profile.h"
#include "package/access/file_accessor.h"
#include "player/loader/slide_geometry.h"
#include "player/overlay/mouse_move_detector.h"
#include "player/overlay/nav_panel.h"
#include "project/action.h"
#include "project/ini/model.h"
#include "render/compose/overlay_draw_list.h"
#include "scene/filters/colour_lut.h"

namespace vyr {

class TVyrDialog;
class TVyrObject;

// Milliseconds of a monotonic clock (the tick count unless a test injects its own).
using TMsClock = std::function<int64_t()>;

struct TOverlayCallbacks {
  std::function<void(double volume)> setVolume;
  std::function<void(double ms)> seek;
  std::function<bool()> isPlaying;
};

struct TOverlayParams {
  TRef<TFileAccessor> accessor;
  TRef<TIniFile> project;
  TIntRect slideRect;  // window pixels
  TRef<TColorProfile> displayProfile;
  TRootItem* root = nullptr;
  bool noPanel = false;  // the overlay option: no navigation panel
  TOverlayCallbacks callbacks;
  TIntSize windowSize;
  TIntSize slideSize;  // the show's design size
  double musicVolume = 1;
  double showDuration = 0;  // ms
  TMsClock clock;           // empty: the process tick count
};

// An open dialog of the overlay.
struct TOverlayDialog {
  TRef<TVyrDialog> slide;
  std::string name;
  bool pause = true;  // "DialogPause"
  float fade = 0;     // 0 ... 100
  bool drawn = false;
};

struct TPointerRoute {
  bool handled = false;
  TVyrObject* dialogObject = nullptr;  // the dialog object hit, or none
  TVyrActionInfo action;
};

class TThirdSlide : public TOverlayDrawList {
 public:
  explicit TThirdSlide(const TOverlayParams& params);

  TPointerRoute RoutePointer(uint8_t shift, int x, int y, int eventType, int button);
  bool IsOverPanel() const { return panel_ && panel_->PointerOver(); }
  void UpdateFrame(double showTimeMs);

  void AddDialog(TOverlayDialog dialog);
  // -1 or any index outside the list: the top one. Does nothing without an open dialog.
  void CloseDialog(int index = -1);
  // -1: the top one.
  void RemoveDialog(int index = -1);
  void ClosePausingDialogs();
  TOverlayDialog* TopDialog();
  bool HasPausingDialog() const;
  const std::vector<TOverlayDialog>& Dialogs() const { return dialogs_; }
  bool DialogClosing() const { return closing_; }

  // Set by the engine while it captures a frame without the panel.
  void SetPanelHidden(bool hidden);
  bool PanelHidden() const { return panelHidden_; }

  TNavPanel* Panel() const { return panel_.get(); }
  int LogoRecord() const { return logoRecord_; }
  double PanelOpacity() const { return opacity_; }
  bool AutoHideEnabled() const { return autoHide_; }
  double XCorrection() const { return k_; }

 protected:
  void DrawBelowRecords(TDeviceDrawer& drawer) override;
  void DrawRecord(TDeviceDrawer& drawer, TOverlayRecord& record) override;

 private:
  void LoadLogo(const TIniFile& project);
  void BuildPanel(const TIniFile& project, const TOverlayParams& params);
  // A record of the panel: its index (-1 until the first picture), the bar's bitmap it
  // shows and the part of it changed since the last draw.
  struct TPanelRecord {
    int index = -1;
    TBitmap* bitmap = nullptr;
    TIntRect dirty;
  };
  void PlacePanelPicture(TPanelRecord& record, TBitmap* picture, const TIntRect& rect,
                         const TIntRect& changed);
  void UpdateBandsPlace();
  void UpdateDialogFade();
  void UpdateAutoHide();
  int AnimatedIndex() const;
  int64_t Now() const { return clock_(); }

  TMsClock clock_;
  TIntRect slideRect_;
  TIntSize windowSize_;
  double k_ = 1;
  TRef<TFileAccessor> accessor_;
  TRef<TColorProfile> displayProfile_;
  TOverlayCallbacks callbacks_;

  int logoRecord_ = -1;
  std::shared_ptr<const TColorLut> logoLut_;  // the logo's profile to the display's

  std::vector<TOverlayDialog> dialogs_;
  // The animated dialog, followed by identity so that removals below it keep it.
  TVyrDialog* animated_ = nullptr;
  bool closing_ = false;
  bool startPending_ = false;
  int64_t fadeStart_ = 0, fadeEnd_ = 0;

  std::unique_ptr<TNavPanel> panel_;
  TPanelRecord bar_, exit_;
  bool panelHidden_ = false;

  bool autoHide_ = false;
  int hideFadeOut_ = 1000, hideFadeIn_ = 500;
  bool hiding_ = false;
  int64_t hideStart_ = 0, hideEnd_ = 0;
  double opacity_ = 100;
  TMouseMoveDetector detector_;
};

// Builds the overlay of a show from its [Main] section.
TRef<TThirdSlide> BuildOverlay(const TOverlayParams& params);

}  // namespace vyr
