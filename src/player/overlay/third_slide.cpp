#include "player/overlay/third_slide.h"

#include <algorithm>
#include <cmath>

#include "foundation/exceptions.h"
#include "imaging/bitmap/pixel_format.h"
#include "imaging/bitmap/reduce.h"
#include "package/access/placeholder_picture.h"
#include "package/access/show_color_management.h"
#include "platform/clock.h"
#include "platform/dpi.h"
#include "project/ini/ini.h"
#include "scene/filters/managed_cube.h"
#include "scene/objects/vyr_dialog.h"
#include "scene/objects/vyr_slide.h"

namespace vyr {

namespace {

int RoundEven(double v) { return static_cast<int>(std::clamp(std::nearbyint(v), -1e9, 1e9)); }

constexpr int kPointerLeft = 2147483647;
constexpr int64_t kDialogFadeMs = 200;

TRef<TImage> WrapPicture(TRef<TBitmap> bitmap, const char* name) {
  return MakeRef<TImage>(MakeRef<TWrapperBitmapStore>(name, nullptr, std::move(bitmap)));
}

}  // namespace

TThirdSlide::TThirdSlide(const TOverlayParams& params)
    : TOverlayDrawList(params.root),
      clock_(params.clock ? params.clock : TMsClock([] { return TickCount(); })),
      slideRect_(params.slideRect),
      windowSize_(params.windowSize),
      accessor_(params.accessor),
      displayProfile_(params.displayProfile),
      callbacks_(params.callbacks) {
  if (slideRect_.Width() > 0 && slideRect_.Height() > 0 && params.slideSize.width > 0 &&
      params.slideSize.height > 0)
    k_ = (static_cast<double>(slideRect_.Width()) / params.slideSize.width) *
         (static_cast<double>(params.slideSize.height) / slideRect_.Height());
  if (params.project) {
    LoadLogo(*params.project);
    if (!params.noPanel && ReadBool(params.project.Get(), "Main", "opt_fcp", false))
      BuildPanel(*params.project, params);
  }
  UpdateBandsPlace();
  SetStructureChanged();
}

TRef<TThirdSlide> BuildOverlay(const TOverlayParams& params) {
  return MakeRef<TThirdSlide>(params);
}

void TThirdSlide::LoadLogo(const TIniFile& project) {
  const std::string name = ReadText(&project, "Main", "opt_logo_fn", "");
  if (name.empty() || !ReadBool(&project, "Main", "opt_logo", false)) return;
  const double size = ReadFloat(&project, "Main", "opt_logo_size", 10);
  // A logo without positive area is not shown.
  if (!(size > 0) || !std::isfinite(size) || slideRect_.Height() <= 0) return;
  TRef<TImage> image = accessor_ ? accessor_->OpenPicture(name) : nullptr;
  if (!image)
    image = MakePlaceholderPicture(TPlaceholderKind::Image, TPlaceholderReason::NotFound, name);
  if (!image || image->Width() <= 0 || image->Height() <= 0) return;
  TRef<TBitmap> picture = image->Store().GetMipLevel(0, pf::A8R8G8B8());
  if (!picture) return;
  const double th = slideRect_.Height() * size / 100;
  const double tw = static_cast<double>(picture->Width()) / picture->Height() * th;
  // Halving stops at 1 x 1.
  while (picture->Width() >= 2 * tw && picture->Height() >= 2 * th &&
         (picture->Width() > 1 || picture->Height() > 1)) {
    auto half = MakeRef<TDirectBitmap>((picture->Width() + 1) / 2, (picture->Height() + 1) / 2,
                                       picture->Format());
    ReduceByTwo(*picture, *half);
    picture = half;
  }
  if (!ColorManagementOff() && displayProfile_)
    logoLut_ = PictureColourLookup(image->Store().Profile(), displayProfile_);
  const int h = RoundEven(slideRect_.Height() * size / 100);
  const int w = RoundEven(static_cast<double>(picture->Width()) * h / picture->Height() * k_);
  const int position = LogoPosition(ReadInt(&project, "Main", "opt_logo_pos", 0));
  const double offset = ReadFloat(&project, "Main", "opt_logo_offset", 0);
  const TIntRect r = PlaceByAnchor(slideRect_, w, h, NinePositionAnchor(position, offset));
  logoRecord_ = AddPicture(
      WrapPicture(picture, "logo"), static_cast<float>(r.left), static_cast<float>(r.top),
      static_cast<float>(w) / static_cast<float>(picture->Width()),
      static_cast<float>(h) / static_cast<float>(picture->Height()),
      static_cast<float>(ReadFloat(&project, "Main", "opt_logo_opacity", 100)));
}

void TThirdSlide::BuildPanel(const TIniFile& project, const TOverlayParams& params) {
  const TIniFile* p = &project;
  hideFadeOut_ = ReadInt(p, "Main", "opt_nav_hidefadeout", 1000);
  hideFadeIn_ = ReadInt(p, "Main", "opt_nav_fadein", 500);
  detector_.SetInterval(static_cast<int64_t>(ReadInt(p, "Main", "opt_nav_hideinterval", 0)) * 1000);
  detector_.ArmIdle(Now());
  autoHide_ = ReadBool(p, "Main", "opt_hidenavbar", false);
  hiding_ = autoHide_;
  opacity_ = hiding_ ? 0 : 100;

  TNavPanelParams panel;
  const bool windowBottom = ReadBool(p, "Main", "opt_nav_wndbottom", true);
  panel.area = windowBottom ? TIntRect{0, 0, windowSize_.width, windowSize_.height} : slideRect_;
  panel.anchor = NinePositionAnchor(NinePositionByName(ReadText(p, "Main", "opt_cp", "Center")),
                                    ReadFloat(p, "Main", "opt_nav_offset", 0));
  panel.viewScale = ReadFloat(p, "Main", "opt_nav_viewscale", 10);
  panel.useVideoScale = ReadBool(p, "Main", "opt_nav_usevideoscale", false);
  panel.videoExit = ReadBool(p, "Main", "opt_nav_videoexit", true);
  const int count = ReadInt(p, "Main", "opt_newnavbuttons_count", 0);
  for (int k = 1; k <= std::min(count, 64); ++k)
    panel.buttonNames.push_back(ReadText(p, "Main", "opt_newnavbutton" + std::to_string(k), ""));
  panel.showBackground = ReadBool(p, "Main", "opt_nav_showbg", false);
  panel.hue = ReadInt(p, "Main", "opt_nav_hue", 0);
  panel.setVolume = callbacks_.setVolume;
  panel.seek = callbacks_.seek;
  panel.isPlaying = callbacks_.isPlaying;
  panel.dpi = ScreenDpi();
  panel.placeBar = [this](TBitmap* picture, const TIntRect& rect, const TIntRect& changed) {
    PlacePanelPicture(bar_, picture, rect, changed);
  };
  panel.placeExit = [this](TBitmap* picture, const TIntRect& rect, const TIntRect& changed) {
    PlacePanelPicture(exit_, picture, rect, changed);
  };
  panel_ = std::make_unique<TNavPanel>(accessor_, std::move(panel));
  panel_->Load(ReadText(p, "Main", "opt_nav_inifile", ""), params.musicVolume, params.showDuration);
}

void TThirdSlide::PlacePanelPicture(TPanelRecord& panelRecord, TBitmap* picture,
                                    const TIntRect& rect, const TIntRect& changed) {
  const bool usable = picture && picture->Width() > 0 && picture->Height() > 0;
  if (!usable && panelRecord.index < 0) return;
  const float sx =
      usable ? static_cast<float>(rect.Width()) / static_cast<float>(picture->Width()) : 1;
  const float sy =
      usable ? static_cast<float>(rect.Height()) / static_cast<float>(picture->Height()) : 1;
  // The overlay shows the bar's own picture: a change of its pixels updates the textures in
  // place at the next draw; a new picture gets a new image.
  if (panelRecord.index >= 0 && usable && panelRecord.bitmap == picture) {
    const TIntRect& d = panelRecord.dirty;
    panelRecord.dirty =
        d.Empty() ? changed
                  : TIntRect{std::min(d.left, changed.left), std::min(d.top, changed.top),
                             std::max(d.right, changed.right), std::max(d.bottom, changed.bottom)};
  } else {
    panelRecord.bitmap = usable ? picture : nullptr;
    panelRecord.dirty = TIntRect{};
  }
  TRef<TImage> image;
  if (usable &&
      (panelRecord.index < 0 || !Record(panelRecord.index).picture || panelRecord.dirty.Empty()))
    image = WrapPicture(TRef<TBitmap>::Share(picture), "navigation bar");
  if (panelRecord.index < 0) {
    panelRecord.index =
        AddPicture(image, static_cast<float>(rect.left), static_cast<float>(rect.top), sx, sy,
                   autoHide_ ? static_cast<float>(opacity_) : 100.0f);
    Record(panelRecord.index).hidden = panelHidden_;
  } else {
    TOverlayRecord& r = Record(panelRecord.index);
    if (!usable || image) r.picture = image;
    r.left = static_cast<float>(rect.left);
    r.top = static_cast<float>(rect.top);
    r.scaleX = sx;
    r.scaleY = sy;
  }
  UpdateBandsPlace();
  if (panelRecord.dirty.Empty())
    SetStructureChanged();
  else
    SetContentChanged();
}

void TThirdSlide::UpdateBandsPlace() {
  if (!panel_ || panelHidden_) {
    SetBandsBefore(-1);
    return;
  }
  // Record indexes count as 0 until the panel's pictures exist.
  SetBandsBefore(std::min(std::max(bar_.index, 0), std::max(exit_.index, 0)));
}

void TThirdSlide::SetPanelHidden(bool hidden) {
  panelHidden_ = hidden;
  for (int index : {bar_.index, exit_.index})
    if (index >= 0) Record(index).hidden = hidden;
  UpdateBandsPlace();
  SetStructureChanged();
}

TPointerRoute TThirdSlide::RoutePointer(uint8_t shift, int x, int y, int eventType, int button) {
  TPointerRoute route;
  const bool left = x == kPointerLeft && y == kPointerLeft;
  for (auto it = dialogs_.rbegin(); it != dialogs_.rend(); ++it) {
    if (!it->slide) continue;
    const int slideButton = button == kNavLeftButton ? kMouseButtonLeft : button;
    const TMouseHit hit =
        it->slide->HandleMouse(shift & kNavLeftHeld, static_cast<float>(x), static_cast<float>(y),
                               !left, eventType, slideButton);
    if (it->slide->IsChanged()) SetContentChanged();
    if (hit.object) {
      route.dialogObject = hit.object;
      route.action = hit.action;
      break;
    }
  }
  if (!left) detector_.See(x, y, Now());
  if (panel_) {
    switch (eventType) {
      case kNavMove:
        panel_->Move(shift, x, y);
        break;
      case kNavButtonDown:
        panel_->ButtonDown(shift, x, y, button);
        break;
      case kNavButtonUp:
        panel_->ButtonUp(shift, x, y, button);
        break;
      case 3:
        break;  // a double click is not given to the panel
      default:
        VYR_ASSERT(false);
    }
    if (eventType != 3 && !panel_->Action().Empty()) {
      route.action = panel_->Action();
      route.dialogObject = nullptr;
    }
  }
  route.handled = route.dialogObject || IsOverPanel() || !route.action.Empty();
  return route;
}

int TThirdSlide::AnimatedIndex() const {
  for (size_t i = 0; i < dialogs_.size(); ++i)
    if (animated_ && dialogs_[i].slide.Get() == animated_) return static_cast<int>(i);
  return -1;
}

void TThirdSlide::UpdateDialogFade() {
  const int index = AnimatedIndex();
  if (index < 0) return;
  TOverlayDialog& dialog = dialogs_[static_cast<size_t>(index)];
  if (!dialog.drawn) return;
  if (closing_ && dialog.fade < 1) {
    RemoveDialog(index);
    return;
  }
  const int64_t now = Now();
  if (startPending_) {
    fadeStart_ = now;
    fadeEnd_ = now + kDialogFadeMs;
    startPending_ = false;
  }
  const double progress =
      now >= fadeEnd_
          ? 100
          : std::clamp(static_cast<double>(now - fadeStart_) / (fadeEnd_ - fadeStart_) * 100, 0.0,
                       100.0);
  const double value = closing_ ? 100 - progress : progress;
  if (std::fabs(value - dialog.fade) > 0.001) {
    dialog.fade = static_cast<float>(value);
    dialog.slide->SetFade(dialog.fade);
    SetContentChanged();
  }
}

void TThirdSlide::UpdateAutoHide() {
  const int64_t now = Now();
  double d = 100;
  if (now < hideEnd_ && hideStart_ < hideEnd_)
    d = std::clamp(static_cast<double>(now - hideStart_) / (hideEnd_ - hideStart_) * 100, 0.0,
                   100.0);
  if (panel_ && panel_->PointerOver()) detector_.Restamp();
  const bool idle = detector_.Idle(now);
  if (idle != hiding_) {
    hiding_ = idle;
    const int g = hiding_ ? hideFadeOut_ : hideFadeIn_;
    hideEnd_ = now + RoundEven(d * g / 100);
    hideStart_ = hideEnd_ - g;
    return;
  }
  opacity_ = hiding_ ? 100 - d : d;
  for (int index : {bar_.index, exit_.index}) {
    if (index < 0) continue;
    TOverlayRecord& r = Record(index);
    if (std::fabs(r.params.opacity - opacity_) > 0.001) {
      r.params.opacity = static_cast<float>(opacity_);
      SetContentChanged();
    }
  }
}

void TThirdSlide::UpdateFrame(double showTimeMs) {
  UpdateDialogFade();
  if (panel_ && panel_->Bar()) panel_->Bar()->Refresh(showTimeMs);
  if (autoHide_) UpdateAutoHide();
}

void TThirdSlide::DrawBelowRecords(TDeviceDrawer& drawer) {
  for (TOverlayDialog& dialog : dialogs_) {
    if (!dialog.slide) continue;
    drawer.DrawItem(*dialog.slide);
    dialog.drawn = true;
  }
}

void TThirdSlide::DrawRecord(TDeviceDrawer& drawer, TOverlayRecord& record) {
  for (TPanelRecord* panelRecord : {&bar_, &exit_})
    if (panelRecord->index >= 0 && &record == &Record(panelRecord->index) &&
        !panelRecord->dirty.Empty()) {
      drawer.UpdateImageRect(*record.picture, panelRecord->dirty);
      panelRecord->dirty = TIntRect{};
    }
  TImageDrawParams params = RecordDrawParams(record);
  if (logoRecord_ >= 0 && &record == &Record(logoRecord_) && logoLut_) {
    params.lutForm = TLutForm::kCross;
    params.leftLut = logoLut_.get();
    params.rightLut = logoLut_.get();
  }
  drawer.DrawImage(*record.picture, params);
}

void TThirdSlide::AddDialog(TOverlayDialog dialog) {
  if (closing_ || !dialog.slide) return;
  for (size_t i = 0; i < dialogs_.size(); ++i)
    if (dialogs_[i].name == dialog.name) {
      CloseDialog(static_cast<int>(i));
      return;
    }
  dialog.fade = 0;
  dialog.drawn = false;
  dialog.slide->SetFade(0);
  animated_ = dialog.slide.Get();
  dialogs_.push_back(std::move(dialog));
  startPending_ = true;
  SetStructureChanged();
}

void TThirdSlide::CloseDialog(int index) {
  if (closing_ || dialogs_.empty()) return;
  if (index < 0 || index >= static_cast<int>(dialogs_.size()))
    index = static_cast<int>(dialogs_.size()) - 1;
  closing_ = true;
  startPending_ = true;
  animated_ = dialogs_[static_cast<size_t>(index)].slide.Get();
}

void TThirdSlide::RemoveDialog(int index) {
  if (index == -1) index = static_cast<int>(dialogs_.size()) - 1;
  VYR_ASSERT(index >= 0 && index < static_cast<int>(dialogs_.size()));
  if (dialogs_[static_cast<size_t>(index)].slide.Get() == animated_) animated_ = nullptr;
  dialogs_.erase(dialogs_.begin() + index);
  // A dialog fading out above the removed one keeps fading out.
  if (AnimatedIndex() < 0) closing_ = false;
  SetStructureChanged();
}

void TThirdSlide::ClosePausingDialogs() {
  int top = -1;
  for (int i = static_cast<int>(dialogs_.size()) - 1; i >= 0; --i)
    if (dialogs_[static_cast<size_t>(i)].pause) {
      if (top < 0) {
        top = i;
        continue;
      }
      RemoveDialog(i);
      --top;
    }
  if (top >= 0) CloseDialog(top);
}

TOverlayDialog* TThirdSlide::TopDialog() { return dialogs_.empty() ? nullptr : &dialogs_.back(); }

bool TThirdSlide::HasPausingDialog() const {
  return std::any_of(dialogs_.begin(), dialogs_.end(),
                     [](const TOverlayDialog& d) { return d.pause; });
}

}  // namespace vyr
