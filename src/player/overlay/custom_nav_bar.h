#pragma once
// `TCustomNavBar`: what both kinds of navigation bar share. A bar draws itself at its own
// pixel size into a 32-bit picture with alpha and talks to its owner only through the
// callbacks below; an absent callback is never called.

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "foundation/ref_object.h"
#include "imaging/bitmap/bitmap.h"
#include "project/ini/model.h"

namespace vyr {

class TCustomNavBar;

struct TNavBarCallbacks {
  std::function<void(TCustomNavBar&, const TRect& changed)> pictureChanged;
  std::function<void(TCustomNavBar&, const TRect& changed)> exitPictureChanged;
  // index >= 0: a position in the configured buttons; -1 play/pause, -2 exit.
  std::function<void(TCustomNavBar&, int index)> click;
  std::function<bool(TCustomNavBar&)> isPlaying;
  // A 32-bit picture with alpha (A8R8G8B8) for folder + name; the owner answers a
  // placeholder for a missing picture.
  std::function<TRef<TBitmap>(TCustomNavBar&, const std::string& path)> loadPicture;
  std::function<double(TCustomNavBar&)> getDuration;
  std::function<void(TCustomNavBar&, double ms)> seek;
  std::function<void(TCustomNavBar&, double volume)> setVolume;
  std::function<bool(TCustomNavBar&)> inExitZone;
};

// Pointer event types a bar is given.
enum TNavEventType : int { kNavMove = 0, kNavButtonDown = 1, kNavButtonUp = 2 };
inline constexpr int kNavLeftButton = 1;
inline constexpr uint8_t kNavLeftHeld = 16;  // the left-button bit of the shift state

class TCustomNavBar : public TRefObject {
 public:
  TNavBarCallbacks callbacks;
  bool showBackground = false;
  int hue = 0;  // whole degrees

  // folder ends with a path delimiter (or is empty); raises the description's assertions.
  virtual void LoadSkin(TRef<TIniFile> description, const std::string& folder) = 0;
  virtual void SetButtons(const std::vector<int>& indexes) { buttons_ = indexes; }
  virtual void MouseEvent(int button, uint8_t shift, int eventType, int y, int x) = 0;
  virtual void Refresh(double showTimeMs) = 0;
  virtual void ShowVolume(double volume) = 0;
  virtual void SetBarWidth(int pixels) = 0;
  virtual void SetBarHeight(int pixels) = 0;
  virtual void SetBarScale(double factor) = 0;

  const std::vector<std::string>& Names() const { return names_; }
  const std::vector<int>& Buttons() const { return buttons_; }
  // The bar picture (none until first drawn).
  TBitmap* Picture() const { return picture_.Get(); }
  const TRef<TDirectBitmap>& PictureRef() const { return picture_; }
  // The video-style bar's exit picture; none for other bars.
  virtual TBitmap* ExitPicture() const { return nullptr; }

 protected:
  void NotifyPictureChanged(const TRect& changed) {
    if (callbacks.pictureChanged) callbacks.pictureChanged(*this, changed);
  }
  TRef<TBitmap> LoadPicture(const std::string& path) {
    return callbacks.loadPicture ? callbacks.loadPicture(*this, path) : nullptr;
  }

  std::vector<std::string> names_;
  std::vector<int> buttons_;
  TRef<TDirectBitmap> picture_;
  TRef<TIniFile> description_;
  std::string folder_;
};

}  // namespace vyr
