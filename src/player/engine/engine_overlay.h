#pragma once
// What the engine needs of the overlay layer (logo, dialogs, navigation panel): it is
// drawn last, asked first about every pointer event, and told the show time every step.

#include <functional>
#include <string>

#include "package/access/file_accessor.h"
#include "player/loader/slide_producer.h"
#include "project/action.h"
#include "project/ini_model.h"
#include "render/compose/root_item.h"
#include "scene/objects/vyr_dialog.h"

namespace vyr {

struct TOverlayBuildParams {
  TRef<TFileAccessor> accessor;
  TRef<TIniFile> project;
  TIntRect slideRect;
  TRootItem* root = nullptr;
  TIntSize window, slide;
  float musicVolume = 0;
  double duration = 0;
  std::function<void(float)> setVolume;
  std::function<void(double)> seek;
  std::function<bool()> isPlaying;
};

struct TPointerRoute {
  bool handled = false;
  bool overActionObject = false;  // the object under the pointer has an action
  std::string className;          // that object's class name
  TVyrActionInfo action;
};

class TEngineOverlay : public TRefObject {
 public:
  virtual TDrawItem& Item() = 0;
  virtual TPointerRoute RoutePointer(uint8_t shift, int x, int y, int eventType, int button) {
    (void)shift, (void)x, (void)y, (void)eventType, (void)button;
    return {};
  }
  virtual bool IsOverPanel() const { return false; }
  virtual void UpdateFrame(double showTime) { (void)showTime; }
  virtual void AddDialog(const TBuiltDialog& dialog) { (void)dialog; }
  // -1 or any invalid index: the top one.
  virtual void CloseDialog(int index) { (void)index; }
  virtual void ClosePausingDialogs() {}
  virtual bool HasDialog() const { return false; }
  virtual bool HasPausingDialog() const { return false; }
  // The navigation panel stays out of captured frames.
  virtual void SetPanelHidden(bool hidden) { (void)hidden; }
};

using TOverlayFactory = std::function<TRef<TEngineOverlay>(const TOverlayBuildParams&)>;

// An overlay without panel, logo or dialogs: the bands around the slide only.
TRef<TEngineOverlay> MakePlainOverlay(const TOverlayBuildParams& params);

}  // namespace vyr
