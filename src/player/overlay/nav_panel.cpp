#include "player/overlay/nav_panel.h"

#include <climits>
#include <cmath>

#include "foundation/log.h"
#include "imaging/bitmap/pixel_format.h"
#include "player/overlay/nav_bar.h"
#include "player/overlay/video_nav_bar.h"
#include "project/ini/ini.h"

namespace vyr {

namespace {

int RoundEven(double v) { return static_cast<int>(std::clamp(std::nearbyint(v), -1e9, 1e9)); }

// The pointer-left event carries this value in both coordinates.
constexpr int kPointerLeft = INT_MAX;

std::string Lower(std::string s) {
  for (char& c : s)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c + 32);
  return s;
}

}  // namespace

TNavPanel::TNavPanel(TRef<TFileAccessor> accessor, TNavPanelParams params)
    : accessor_(std::move(accessor)), params_(std::move(params)) {}

TRef<TBitmap> TNavPanel::OpenBarPicture(const std::string& path) {
  // The show's root reaches the bar as "/" so that its folder ends with a delimiter.
  const std::string name =
      rootFolder_ && !path.empty() && path.front() == '/' ? path.substr(1) : path;
  TRef<TImage> image = accessor_ ? accessor_->OpenPicture(name) : nullptr;
  if (!image)
    image = MakePlaceholderPicture(TPlaceholderKind::Image, TPlaceholderReason::NotFound, name);
  if (!image) return nullptr;
  return image->Store().GetMipLevel(0, pf::A8R8G8B8());
}

void TNavPanel::Load(const std::string& descriptionPath, double musicVolume, double duration) {
  duration_ = duration;
  TRef<TStream> stream = accessor_ ? accessor_->OpenStream(descriptionPath) : nullptr;
  if (!stream) {
    WriteLine("Navigation bar description not found: " + descriptionPath);
    return;
  }
  auto description = MakeRef<TIniFile>();
  if (!description->LoadFromStream(*stream)) {
    WriteLine("Navigation bar description unreadable: " + descriptionPath);
    return;
  }
  videoStyle_ = ReadBool(description.Get(), "Common", "VideoStyle", false);
  TRef<TCustomNavBar> bar;
  if (videoStyle_)
    bar = MakeRef<TVideoNavBar>();
  else
    bar = MakeRef<TNavBar>();
  TNavBarCallbacks& c = bar->callbacks;
  c.pictureChanged = [this](TCustomNavBar&, const TRect& changed) { OnBarPicture(changed); };
  c.click = [this](TCustomNavBar&, int index) { OnClick(index); };
  c.loadPicture = [this](TCustomNavBar&, const std::string& path) { return OpenBarPicture(path); };
  c.getDuration = [this](TCustomNavBar&) { return duration_; };
  if (params_.isPlaying) c.isPlaying = [this](TCustomNavBar&) { return params_.isPlaying(); };
  if (params_.seek) c.seek = [this](TCustomNavBar&, double ms) { params_.seek(ms); };
  if (params_.setVolume)
    c.setVolume = [this](TCustomNavBar&, double volume) { params_.setVolume(volume); };
  if (videoStyle_ && params_.videoExit) {
    c.exitPictureChanged = [this](TCustomNavBar&, const TRect& changed) { OnExitPicture(changed); };
    c.inExitZone = [this](TCustomNavBar&) { return inExitZone_; };
  }
  bar->showBackground = params_.showBackground;
  bar->hue = params_.hue;
  const size_t cut = descriptionPath.find_last_of("\\/");
  std::string folder =
      cut == std::string::npos ? std::string() : descriptionPath.substr(0, cut + 1);
  rootFolder_ = folder.empty() && videoStyle_;
  if (rootFolder_) folder = "/";
  // The bar is published only once it is built: a malformed description leaves the panel
  // without one, while the rest of the overlay and the show go on.
  bar_ = bar;
  try {
    bar->LoadSkin(description, folder);
    bar->SetBarWidth(params_.area.Width());
    if (params_.useVideoScale)
      bar->SetBarHeight(RoundEven(params_.area.Height() * params_.viewScale * 0.01));
    else
      bar->SetBarScale(params_.dpi / 96.0);
    std::vector<int> indexes;
    for (const std::string& name : params_.buttonNames)
      for (size_t i = 0; i < bar->Names().size(); ++i)
        if (bar->Names()[i] == name) {
          indexes.push_back(static_cast<int>(i));
          break;
        }
    bar->SetButtons(indexes);
    bar->Refresh(0);
    bar->ShowVolume(musicVolume);
  } catch (const std::exception& e) {
    WriteLine(e.what());
    bar_ = nullptr;
    barRect_ = exitRect_ = TIntRect{};
    if (params_.placeBar) params_.placeBar(nullptr, TIntRect{}, TIntRect{});
    if (params_.placeExit) params_.placeExit(nullptr, TIntRect{}, TIntRect{});
  }
}

static TIntRect AsIntRect(const TRect& r) { return TIntRect{r.left, r.top, r.right, r.bottom}; }

void TNavPanel::OnBarPicture(const TRect& changed) {
  if (!bar_ || !bar_->Picture()) return;
  const TBitmap& picture = *bar_->Picture();
  if (videoStyle_) {
    barRect_ = PlaceByAnchor(params_.area, picture.Width(), picture.Height(),
                             NinePositionAnchor(kBottom, 0));
  } else {
    const int h = RoundEven(params_.area.Height() * params_.viewScale / 100);
    const int w = picture.Height() > 0
                      ? RoundEven(static_cast<double>(h) * picture.Width() / picture.Height())
                      : 0;
    barRect_ = PlaceByAnchor(params_.area, w, h, params_.anchor);
  }
  if (params_.placeBar) params_.placeBar(bar_->Picture(), barRect_, AsIntRect(changed));
}

void TNavPanel::OnExitPicture(const TRect& changed) {
  if (!bar_ || !bar_->ExitPicture()) return;
  const TBitmap& picture = *bar_->ExitPicture();
  exitRect_ = TIntRect{params_.area.right - picture.Width(), params_.area.top, params_.area.right,
                       params_.area.top + picture.Height()};
  if (params_.placeExit) params_.placeExit(bar_->ExitPicture(), exitRect_, AsIntRect(changed));
}

bool TNavPanel::HitTest(int x, int y) const {
  if (!bar_) return false;
  auto in = [x, y](const TIntRect& r) {
    return !r.Empty() && x >= r.left && x < r.right && y >= r.top && y < r.bottom;
  };
  return in(barRect_) || (videoStyle_ && bar_->ExitPicture() && in(exitRect_));
}

void TNavPanel::Forward(uint8_t shift, int x, int y, int eventType, int button) {
  if (!bar_) return;
  if (x == kPointerLeft && y == kPointerLeft) {
    // The pointer left the window: a point outside the bar, never scaled.
    inExitZone_ = false;
    bar_->MouseEvent(button, shift, eventType, -1, -1);
    return;
  }
  inExitZone_ = static_cast<bool>(bar_->callbacks.inExitZone) &&
                y < (params_.area.top + params_.area.bottom) / 2;
  const TBitmap* picture = inExitZone_ ? bar_->ExitPicture() : bar_->Picture();
  const TIntRect& r = inExitZone_ ? exitRect_ : barRect_;
  if (!picture || r.Empty()) {
    bar_->MouseEvent(button, shift, eventType, -1, -1);
    return;
  }
  const int bx = RoundEven(static_cast<double>(x - r.left) / r.Width() * picture->Width());
  const int by = RoundEven(static_cast<double>(y - r.top) / r.Height() * picture->Height());
  bar_->MouseEvent(button, shift, eventType, by, bx);
}

void TNavPanel::ButtonDown(uint8_t shift, int x, int y, int button) {
  action_ = {};
  if (!bar_) return;
  const bool over = HitTest(x, y);
  if ((!over && !pointerOver_) || button != kNavLeftButton) {
    pointerOver_ = over;
    return;
  }
  Forward(shift, x, y, kNavButtonDown, button);
  pressedInside_ = true;
  pointerOver_ = over;
  if (over && action_.Empty()) action_.kind = TVyrActionKind::PanelHandled;
}

void TNavPanel::Move(uint8_t shift, int x, int y) {
  action_ = {};
  if (!bar_) return;
  const bool over = HitTest(x, y);
  if (!over && !pointerOver_ && !pressedInside_) {
    pointerOver_ = over;
    return;
  }
  Forward(shift, x, y, kNavMove, 0);
  pointerOver_ = over;
  if (over && action_.Empty()) action_.kind = TVyrActionKind::PanelHandled;
}

void TNavPanel::ButtonUp(uint8_t shift, int x, int y, int button) {
  action_ = {};
  if (!bar_) return;
  const bool over = HitTest(x, y);
  if ((!over && !pointerOver_ && !pressedInside_) || button != kNavLeftButton) {
    pointerOver_ = over;
    return;
  }
  Forward(shift, x, y, kNavButtonUp, button);
  pressedInside_ = false;
  pointerOver_ = over;
  if (over && action_.Empty()) action_.kind = TVyrActionKind::PanelHandled;
}

void TNavPanel::OnClick(int index) {
  if (!bar_) return;
  if (index >= 0) {
    if (index >= static_cast<int>(bar_->Buttons().size())) return;
    const int nameIndex = bar_->Buttons()[static_cast<size_t>(index)];
    if (nameIndex < 0 || nameIndex >= static_cast<int>(bar_->Names().size())) return;
    const std::string name = Lower(bar_->Names()[static_cast<size_t>(nameIndex)]);
    TVyrActionInfo action;
    if (name == "home")
      action = {TVyrActionKind::GotoSlide, 0, {}};
    else if (name == "forward")
      action.kind = TVyrActionKind::NextSlide;
    else if (name == "backward")
      action.kind = TVyrActionKind::PrevSlide;
    else if (name == "print")
      action.kind = TVyrActionKind::Print;
    else if (name == "pause")
      action.kind = TVyrActionKind::Pause;
    else if (name == "help")
      action.kind = TVyrActionKind::Help;
    else if (name == "exit")
      action.kind = TVyrActionKind::Exit;
    action_ = action;
  } else if (videoStyle_ && index == -1) {
    action_ = {TVyrActionKind::Pause, 0, {}};
  } else if (videoStyle_ && index == -2) {
    action_ = {TVyrActionKind::Exit, 0, {}};
  }
}

}  // namespace vyr
