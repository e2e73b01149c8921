#include "scene/objects/vyr_video.h"

#include <algorithm>
#include <cmath>

#include "package/access/placeholder_picture.h"
#include "project/ini/ini.h"
#include "scene/animation/slide_timing.h"
#include "scene/host/slide_host.h"
#include "scene/object_kind.h"
#include "scene/objects/object_creator.h"
#include "scene/objects/object_keys.h"
#include "scene/video/clip_timing.h"
#include "scene/video/video_picture.h"

namespace vyr {

namespace {

const TIniFile* ProjectOf(const TIniItem* item) {
  for (const TIniItem* at = item; at; at = at->Owner())
    if (auto* file = dynamic_cast<const TIniFile*>(at)) return file;
  return nullptr;
}

}  // namespace

void TVyrVideo::ReadKeys(const TIniObject* o) {
  if (o) {
    keys_ = TVideoKeys();
    project_ = TRef<TIniFile>::Share(const_cast<TIniFile*>(ProjectOf(o)));
    keys_.clipGuid = KeyText(o, "ClipGUID", "");
    // A clip that [Tracks] does not hold is forgotten; the object's own file keys apply.
    if (!keys_.clipGuid.empty() &&
        !(project_ && FindObject(FindSection(project_.Get(), "Tracks"), keys_.clipGuid)))
      keys_.clipGuid.clear();
    keys_.mute = KeyBool(o, "Mute", false);
    keys_.startVyrTime = KeyFloat(o, "StartVYRTime", 0);
    keys_.fpsMultiplier = KeyFloat(o, "FPSMultiplier", 1);
    keys_.loadFromDisk = KeyBool(o, "LoadFromDisk", false);
    if (keys_.clipGuid.empty()) {
      keys_.fileName = KeyText(o, "FileName", "");
      keys_.duration = KeyFloat(o, "Duration", 0);
      keys_.startVideoTime = KeyFloat(o, "StartVideoTime", 0);
    }
    keys_.antialiasedBorder = KeyBool(o, "AntialiasedBorder", true);
    keys_.deinterlace = static_cast<TDeinterlace>(
        KeyEnum(o, "DeinterlaceType", {"Auto", "Wave", "BobEven", "BobOdd"}, 0));
    keys_.waitForConvert = KeyBool(o, "WaitForConvert", false);
    keys_.chromaEnable = KeyBool(o, "ChromaEnable", false);
    const std::vector<double> key = KeyNumbers(o, "Chromakey");
    for (size_t i = 0; i < 3 && i < key.size(); ++i)
      keys_.chromaKey[i] = static_cast<float>(key[i]);
    keys_.chromaDelta = KeyFloat(o, "ChromaDelta", 0);
    ReadBorderKeys(o, border_);
    imageIndex_.reset();
    if (HasKey(o, "ImageIndex")) imageIndex_ = KeyInt(o, "ImageIndex", 0);
    playback_.Reset();
    playbackTried_ = false;
    placeholder_.Reset();
  }
  TVyrObject::ReadKeys(o);
}

TVideoPlayback* TVyrVideo::Playback() {
  if (playbackTried_) return playback_.Get();
  TVyrSlideHost* host = GetHost();
  if (!host) return nullptr;
  playbackTried_ = true;
  TVideoPlaybackRequest request;
  request.keys = &keys_;
  request.project = project_.Get();
  request.host = host;
  playback_ = MakeVideoPlayback(request);
  float w = 0, h = 0;
  if (GetNaturalSize(w, h)) SetOwnSize(w, h);
  changed_ = true;
  return playback_.Get();
}

bool TVyrVideo::GetNaturalSize(float& width, float& height) {
  TVideoSourceInfo info;
  if (!playback_) return false;
  if (!playback_->Info(info)) {
    // A clip that did not open takes the size of its placeholder picture.
    if (!Placeholder()) return false;
    width = static_cast<float>(placeholder_->Width());
    height = static_cast<float>(placeholder_->Height());
    return true;
  }
  const TFrameResult frame =
      vyr::ComputeFrame(FrameWorkingCopy(border_, 100, 0, 0), static_cast<float>(info.width),
                        static_cast<float>(info.height),
                        static_cast<float>(PixelAspect(info.aspectCode, info.width, info.height)));
  width = frame.contentWidth;
  height = frame.contentHeight;
  return true;
}

void TVyrVideo::ComputeFrame() {
  TVideoSourceInfo info;
  if (!playback_ || !playback_->Info(info)) {
    visible_ = {};
    margin_ = 0;
    return;
  }
  // The same pixel aspect as the natural size, so an anamorphic clip is framed as shown.
  const TFrameResult frame =
      vyr::ComputeFrame(FrameWorkingCopy(border_, Zoom(), OffsX(), OffsY()),
                        static_cast<float>(info.width), static_cast<float>(info.height),
                        static_cast<float>(PixelAspect(info.aspectCode, info.width, info.height)));
  visible_ = frame.visible;
  margin_ = frame.margin;
}

void TVyrVideo::UpdateLayout(bool recursive) {
  ComputeFrame();
  TVyrObject::UpdateLayout(recursive);
}

double TVyrVideo::ClipTimeAt(double slideTime) {
  TVideoPlayback* playback = Playback();
  if (!playback) return 0;
  TVideoTimes times;
  times.appearance = Props().DeltaTime1();
  times.slideStart = GetOriginTime(kSlideBegin);
  return playback->ClipTime(slideTime, times);
}

double TVyrVideo::CurrentClipTime() { return ClipTimeAt(showTime_ - GetOriginTime(kSlideBegin)); }

void TVyrVideo::SetTime(bool recursive, double showTime) {
  showTime_ = showTime;
  TVideoSourceInfo info;
  if (playback_ && playback_->Info(info))
    wantedIndex_ = FrameIndexOfTime(CurrentClipTime(), info.fps, info.frameCount);
  TVyrObject::SetTime(recursive, showTime);
}

bool TVyrVideo::IsChanged() const {
  return lagging_ || wantedIndex_ != shownIndex_ || TVyrObject::IsChanged();
}

void TVyrVideo::CommitState(bool recursive) {
  lagging_ = false;
  TVyrObject::CommitState(recursive);
}

void TVyrVideo::GetColourLookup(TImageDrawParams& params) {
  params.lutForm = TLutForm::kNone;
  TVideoPlayback* playback = Playback();
  TVyrSlideHost* host = GetHost();
  if (!playback || !host) return;
  // The clip's cube turns Y, U and V (or the RGBA channels) into display colours; the
  // object's colour filters act on it.
  const TColorLut& base = playback->ColourCube(host->ColorManagement());
  const TVyrObjectProps& props = Props();
  params.lutForm = TLutForm::kCross;
  params.leftLut = params.rightLut = &base;
  params.lutMix = 0;
  if (!props.HasColorKeyFrames()) return;
  filteredLeft_ = BuildFilterTable(props.ColorLeftFilters(), TLutForm::kCross, &base);
  filteredRight_ = BuildFilterTable(props.ColorRightFilters(), TLutForm::kCross, &base);
  params.leftLut = &filteredLeft_;
  params.rightLut = &filteredRight_;
  params.lutMix = static_cast<float>(props.ColorFraction());
}

void TVyrVideo::FillImageParams(TImageDrawParams& params) const {
  params.placement = Placement();
  params.pivotRect = PivotRect();
  params.sourceRect = visible_;
  params.opacity = GetOpacity();
  params.antialiased = keys_.antialiasedBorder;
  const float contentHeight = visible_.Height() + 2 * margin_;
  params.borderMargin = contentHeight > 0 ? margin_ * OwnHeight() / contentHeight : 0;
  params.borderColor = border_.borderColor;
}

bool TVyrVideo::InsideMaskStencil() const {
  for (const TVyrObject* at = Parent(); at; at = at->Parent())
    if (at->Kind() == kKindMaskStencil) return true;
  return false;
}

void TVyrVideo::PrepareResources(TDeviceDrawer& drawer) {
  Playback();
  ComputeFrame();
  UpdateShadow();
  TVyrObject::PrepareResources(drawer);
}

void TVyrVideo::RequestFrames(TDeviceDrawer& drawer, double slideTime) {
  if (TVideoPlayback* playback = Playback(); playback && playback->State() == TVideoState::Opened) {
    playback->AddPictures(drawer);
    playback->Prefetch(false, ClipTimeAt(slideTime));
  }
  TVyrObject::RequestFrames(drawer, slideTime);
}

void TVyrVideo::ReleaseResources() {
  if (lent_ && playback_) playback_->GiveBack();
  lent_ = false;
  dropShadow_.Clear();
  TVyrObject::ReleaseResources();
}

void TVyrVideo::UpdateShadow() {
  TVyrSlideHost* host = GetHost();
  float w = 0, h = 0;
  if (!Shadow().enabled || !host || !GetNaturalSize(w, h) || !(w > 0) || !(h > 0)) {
    dropShadow_.Clear();
    return;
  }
  // The normalised silhouette of the natural size without its border, the border as margins.
  const TFrameResult frame = vyr::ComputeFrame(FrameWorkingCopy(border_, 100, 0, 0), w, h);
  const float m = frame.margin;
  TShadowParams params = BaseShadowParams(Shadow(), 0, false);
  params.right = w - 2 * m;
  params.bottom = h - 2 * m;
  params.marginX = params.marginY = m;
  params.frameAlpha = static_cast<int>(border_.borderColor >> 24);
  dropShadow_.UpdateScaled(params, host->Files());
}

void TVyrVideo::DrawShadow(TDeviceDrawer& drawer) {
  dropShadow_.DrawOverRect(drawer, Shadow(), Placement(), PivotRect(), GetOpacity());
}

TImage* TVyrVideo::Placeholder() {
  if (!placeholder_ && playback_ && playback_->State() != TVideoState::Opened) {
    const TPlaceholderReason reason = playback_->State() == TVideoState::NotFound
                                          ? TPlaceholderReason::NotFound
                                          : TPlaceholderReason::LoadError;
    placeholder_ = MakePlaceholderPicture(TPlaceholderKind::Video, reason, playback_->FileName());
  }
  return placeholder_.Get();
}

void TVyrVideo::DrawPlaceholder(TDeviceDrawer& drawer) {
  if (!Placeholder()) return;
  TImageDrawParams params;
  params.placement = Placement();
  params.pivotRect = PivotRect();
  params.opacity = GetOpacity();
  drawer.DrawImage(*placeholder_, params);
}

void TVyrVideo::DrawSelf(TDeviceDrawer& drawer) {
  if (!(GetOpacity() > 0)) return;
  DrawShadow(drawer);
  TVideoPlayback* playback = Playback();
  if (!playback) return;
  if (playback->State() != TVideoState::Opened) {
    DrawPlaceholder(drawer);
    return;
  }
  TVideoSourceInfo info;
  if (!playback->Info(info)) return;
  playback->AddPictures(drawer);
  const double t = CurrentClipTime();
  if (!lent_) {
    if (drawer.CaptureMode()) playback->Request(true, t);
    lent_ = playback->Lend(60, t, lend_);
  }
  if (!lent_ || !lend_.picture || !lend_.picture->Valid()) return;
  TVideoDrawParams params;
  FillImageParams(params.image);
  GetColourLookup(params.image);
  params.picture = lend_.picture;
  params.field = FieldChoice(keys_.deinterlace, info, DisplayInterval(lend_.decoded, info.fps), t);
  params.chromaKey = keys_.chromaEnable;
  params.chromaKeyU = keys_.chromaKey[1];
  params.chromaKeyV = keys_.chromaKey[2];
  params.chromaDelta = keys_.chromaDelta;
  params.mask = InsideMaskStencil();
  drawer.DrawVideo(params);
  shownIndex_ = FrameIndexOfTime(t, info.fps, info.frameCount);
}

void TVyrVideo::FinishFrame() {
  if (lent_ && playback_) {
    TVideoSourceInfo info;
    if (playback_->Info(info) &&
        std::abs(lend_.decoded - lend_.requested) > std::ceil(info.fps / 60))
      lagging_ = true;  // the shown frame lags: draw again
    playback_->GiveBack();
  }
  lent_ = false;
  TVyrObject::FinishFrame();
}

namespace {
TObjectCreator previousCreator = nullptr;

TRef<TVyrObject> CreateVideoObject(int kind, TVyrObject* parent, TRef<TVyrObjectProps> props) {
  if (kind == kKindVideo) return MakeRef<TVyrVideo>(parent, std::move(props));
  return previousCreator ? previousCreator(kind, parent, std::move(props)) : nullptr;
}
}  // namespace

void RegisterVideoCreator() { previousCreator = RegisterObjectCreator(&CreateVideoObject); }

}  // namespace vyr
