#include "scene/objects/vyr_slide.h"

#include <cmath>
#include <unordered_set>

#include "foundation/exceptions.h"
#include "foundation/log.h"
#include "project/ini/lookup.h"
#include "project/ini/values.h"
#include "scene/host/managed_colour.h"
#include "scene/host/slide_host.h"
#include "scene/objects/vyr_image.h"
#include "scene/objects/vyr_text.h"

namespace vyr {

namespace {

// The depth unit of the producer: depth in the same pixel unit as width and height.
constexpr double kDepthConstant = 1;

// Windows colour values 0x00BBGGRR.
uint32_t FromWindowsColor(int64_t value) {
  const uint32_t v = static_cast<uint32_t>(value);
  return 0xFF000000u | (v & 0xFF) << 16 | (v & 0xFF00) | (v >> 16 & 0xFF);
}

template <class T>
TRef<T> CloneOf(const T* section) {
  if (!section) return nullptr;
  TRef<TIniItem> copy = section->Clone();
  return TRef<T>::Share(static_cast<T*>(copy.Get()));
}

TSlideOrigins OriginsFromTimes(const TIniSection* times, int index, double incoming,
                               double outgoing) {
  if (auto* file = times ? dynamic_cast<const TIniFile*>(times->Owner()) : nullptr)
    return SynchronisedSlideOrigins(file, index, incoming, outgoing);
  // A detached copy: read it through a file of its own.
  auto file = MakeRef<TIniFile>();
  if (times) {
    TRef<TIniItem> copy = times->Clone();
    file->Add(copy);
  }
  return SynchronisedSlideOrigins(file.Get(), index, incoming, outgoing);
}

template <class Visit>
void VisitTree(TVyrObject& object, Visit&& visit) {
  for (int i = 0; i < object.ChildCount(); ++i) {
    visit(*object.Child(i));
    VisitTree(*object.Child(i), visit);
  }
}

}  // namespace

TBackgroundParams ReadBackground(const TIniSection* mainSection, const TIniSection* slideSection) {
  const bool own = ReadInt(FindKey(slideSection, "bstyle"), 0) != 0;
  const TIniSection* source = own ? slideSection : mainSection;
  const std::string prefix = own ? "" : "opt_";
  auto key = [&](const char* name) { return FindKey(source, prefix + name); };
  TBackgroundParams b;
  switch (ReadInt(key("bstyle"), 0)) {
    case 1:
      b.color1 = FromWindowsColor(ReadInt64(key("bcolor"), 0));
      break;
    case 2:
      b.file = ReadText(key("bfn"));
      if (!b.file.empty()) b.kind = TBackgroundParams::kPicture;
      b.size = static_cast<float>(ReadFloat(key("bsize"), 100));
      break;
    case 3: {
      const int style = ReadInt(key("bcolorstyle"), 0);
      if (style == 1 || style == 2) {
        b.kind = TBackgroundParams::kGradient;
        b.gradientKind = style == 1 ? 2 : 1;
        b.color1 = FromWindowsColor(ReadInt64(key("bcolor1"), 0));
        b.color2 = FromWindowsColor(ReadInt64(key("bcolor2"), 0));
      }
      break;
    }
    default:
      break;
  }
  return b;
}

TVyrSlide::TVyrSlide(TRef<TVyrSlideHost> host, TRefObject* owner, bool flag)
    : TVyrObject(nullptr, MakeRef<TVyrObjectProps>()),
      host_(std::move(host)),
      owner_(owner),
      flag_(flag) {
  root_ = this;
}

void TVyrSlide::Dispose() {
  ClearChildren();
  links_.clear();
  backgroundPicture_.Reset();
  TVyrObject::Dispose();
}

void TVyrSlide::SetReferenceOrigin(float x0, float y0) {
  rootPlacement_.origin = {x0, y0, 0};
  geometryChanged_ = true;
}

void TVyrSlide::BuildFromSection(const TIniSection* mainSection, const TIniSection* slideSection,
                                 bool noSync, double outDuration, double outDuration2,
                                 double inDuration, double inDuration2, int slideIndex,
                                 bool copySections, const TIniSection* timesSection) {
  if (copySections) {
    mainCopy_ = CloneOf(mainSection);
    slideCopy_ = CloneOf(slideSection);
    timesCopy_ = CloneOf(timesSection);
    mainSection = mainCopy_.Get();
    slideSection = slideCopy_.Get();
    timesSection = timesCopy_.Get();
  }
  slideIndex_ = slideIndex;
  outDuration2_ = outDuration2;
  inDuration2_ = inDuration2;
  if (!noSync)
    origins_ = OriginsFromTimes(timesSection, slideIndex, inDuration, outDuration);
  else
    origins_ = MakeSlideOrigins(origins_.SlideBegin(), origins_.NextEffectBegin(), inDuration,
                                outDuration);
  background_ = ReadBackground(mainSection, slideSection);
  background_.managedColor1 = ManagedColour(host_.Get(), background_.color1);
  background_.managedColor2 = background_.color2 == background_.color1
                                  ? background_.managedColor1
                                  : ManagedColour(host_.Get(), background_.color2);
  backgroundPicture_.Reset();
  name_ = slideSection ? slideSection->Name() : std::string();

  TIniObject* rootObject = nullptr;
  if (slideSection)
    for (TIniObject* object : slideSection->Objects())
      if (SameName(object->ClassName(), "Root")) {
        rootObject = object;
        break;
      }
  if (!rootObject) {
    if (!ownRoot_) ownRoot_ = MakeRef<TIniObject>("Container", "Root");
    rootObject = ownRoot_.Get();
  }
  LoadSlideProps(Props(), rootObject, ReadScaleTimes(slideSection), SlideDurationsOf(origins_));
  ReadKeys(rootObject);
  name_ = slideSection ? slideSection->Name() : std::string();
  prepared_ = false;
  CreateChildren();
}

double TVyrSlide::GetOriginTime(int origin) const {
  if (origin < 0 || origin > 3) {
    VYR_ASSERT_MSG(false, "Assertion failure");
    return 0;
  }
  return origins_.time[origin];
}

void TVyrSlide::GetParentSize(float& width, float& height) const {
  width = OwnWidth();
  height = OwnHeight();
}

const TPlacement& TVyrSlide::GetParentPlacement() const { return rootPlacement_; }

void TVyrSlide::SetTime(bool recursive, double showTime) {
  showTime_ = showTime;
  slideTime_ = showTime - origins_.SlideBegin();
  TVyrObject::SetTime(recursive, showTime);
}

void TVyrSlide::Advance(bool recursive, double showTime) {
  showTime_ = showTime;
  slideTime_ = showTime - origins_.SlideBegin();
  TVyrObject::Advance(recursive, showTime);
}

void TVyrSlide::UpdateDepthFactor() {
  const double c = host_ ? host_->CameraZ() : 0;
  const double h = OwnHeight();
  depthFactor_ = (-c > 0 && h > 0) ? -c * kDepthConstant / h : kDepthConstant;
}

void TVyrSlide::UpdateLayout(bool recursive) {
  UpdateDepthFactor();
  TVyrObject::UpdateLayout(recursive);
}

void TVyrSlide::Prepare(bool changeDetection) {
  const double recorded = showTime_;
  std::vector<double> times;
  std::unordered_set<double> seen;
  auto collect = [&](TVyrObject& object) {
    const TVyrObjectProps& props = object.Props();
    for (int i = 0; i < props.KeyFrameCount(); ++i)
      if (seen.insert(props.KeyFrame(i).Time()).second) times.push_back(props.KeyFrame(i).Time());
  };
  collect(*this);
  VisitTree(*this, collect);
  // Objects without keyframes are still measured once, at the recorded time.
  if (const double now = recorded - origins_.SlideBegin(); seen.insert(now).second)
    times.push_back(now);
  VisitTree(*this, [](TVyrObject& object) { object.ResetPreparation(); });

  TCamera camera;
  if (host_) camera.eye = host_->CameraPosition();
  preparing_ = true;
  try {
    for (double t : times) {
      Advance(true, t + origins_.SlideBegin());
      if (host_ && !host_->GoOn()) break;
      VisitTree(*this, [&](TVyrObject& object) { object.MeasurePreparation(camera); });
    }
  } catch (...) {
    preparing_ = false;
    throw;
  }
  preparing_ = false;
  Advance(true, recorded);

  SetNeededSize(static_cast<float>(ScaleX() * OwnWidth() * 0.01),
                static_cast<float>(ScaleY() * OwnHeight() * 0.01));
  const double c = camera.eye.z;
  auto neededOf = [&](TVyrObject& object) {
    const double nearest = object.NearestDepth();
    const double m = (c != 0 && nearest > c) ? 1 / (1 - nearest / c) : 1;
    if (object.SetNeededSize(static_cast<float>(object.LargestWidth() * m),
                             static_cast<float>(object.LargestHeight() * m)) &&
        changeDetection) {
      object.NeededSizeChanged();
      VisitTree(object, [](TVyrObject& below) { below.NeededSizeChanged(); });
    }
  };
  VisitTree(*this, neededOf);
}

void TVyrSlide::FetchAndMeasure() {
  // Pictures are fetched for their natural sizes and measured before any is prepared, so that
  // the preparation asks for the reduction level of the needed size.
  if (prepared_) return;
  VisitTree(*this, [](TVyrObject& object) {
    if (auto* image = dynamic_cast<TVyrImage*>(&object)) image->EnsureImage();
  });
  UpdateDepthFactor();
  Prepare(true);
  prepared_ = true;
}

void TVyrSlide::DecodePictures() {
  FetchAndMeasure();
  VisitTree(*this, [](TVyrObject& object) {
    if (auto* image = dynamic_cast<TVyrImage*>(&object)) image->DecodeAtDrawLevel();
  });
}

void TVyrSlide::PrepareResources(TDeviceDrawer& drawer) {
  FetchAndMeasure();
  TVyrObject::PrepareResources(drawer);
  if (background_.kind == TBackgroundParams::kPicture && !backgroundPicture_ && host_)
    backgroundPicture_ =
        host_->RequestPicture("SlideBg: " + FormatReal(background_.size) + ":" + background_.file);
}

void TVyrSlide::ReleaseResources() {
  backgroundPicture_.Reset();
  TVyrObject::ReleaseResources();
}

void TVyrSlide::Draw(TDeviceDrawer& drawer) { TVyrObject::Draw(drawer); }

void TVyrSlide::DrawSelf(TDeviceDrawer& drawer) {
  const TFloatRect rect = PivotRect();
  if (background_.kind == TBackgroundParams::kPicture) {
    if (!backgroundPicture_) return;
    TImageDrawParams params;
    params.placement = Placement();
    params.pivotRect = rect;
    params.opacity = GetOpacity();
    drawer.DrawImage(*backgroundPicture_, params);
    return;
  }
  const TBoxFill fill = background_.kind == TBackgroundParams::kGradient
                            ? static_cast<TBoxFill>(background_.gradientKind)
                            : TBoxFill::Solid;
  drawer.DrawColourBox(Placement(), rect, background_.managedColor1, background_.managedColor2,
                       fill, GetOpacity(), false);
}

TVyrImage* TVyrSlide::MainImage() const {
  TVyrImage* found = nullptr;
  VisitTree(*const_cast<TVyrSlide*>(this), [&](TVyrObject& object) {
    if (found || typeid(object) != typeid(TVyrImage)) return;
    auto& image = static_cast<TVyrImage&>(object);
    if (image.ImageIndex().has_value()) found = &image;
  });
  return found;
}

void TVyrSlide::SetCommentText(TVyrText* text) {
  if (commentText_ && commentText_ != text) commentText_->ClearComment();
  commentText_ = text;
}

TVyrObject* TVyrSlide::LinkedObject(const TVyrObjectProps* props) const {
  auto it = links_.find(props);
  return it == links_.end() ? nullptr : it->second;
}

void TVyrSlide::Link(const TVyrObjectProps* props, TVyrObject* object) {
  VYR_ASSERT_MSG(links_.find(props) == links_.end(), "Assertion failure");
  links_[props] = object;
}

void TVyrSlide::Unlink(const TVyrObjectProps* props, const TVyrObject* object) {
  auto it = links_.find(props);
  if (it != links_.end() && it->second == object) links_.erase(it);
  if (commentText_ == object) commentText_ = nullptr;
}

TMouseHit TVyrSlide::HandleMouse(int flags, float x, float y, bool inside, int kind, int button) {
  VisitTree(*this, [](TVyrObject& object) {
    if (auto* image = dynamic_cast<TVyrImage*>(&object))
      if (image->TakesMouseStates()) image->SetMouseState(kStateNormal);
  });
  TMouseHit result;
  if (!inside || (flags != 0 && flags != kMouseFlagButtonHeld)) return result;
  TVyrObject* hit = FindAt(x, y, MouseHitFilter);
  // A caption answers for its button.
  if (auto* text = dynamic_cast<TVyrText*>(hit); text && text->CaptionOf()) hit = text->CaptionOf();
  result.object = hit;
  if (!hit) return result;
  auto* image = dynamic_cast<TVyrImage*>(hit);
  const bool stateful = image && image->TakesMouseStates() && image->ReactsToMouse();
  const bool left = button == kMouseButtonLeft;
  if (stateful) {
    if (kind == kMouseMove) {
      image->SetMouseState(flags & kMouseFlagButtonHeld ? kStateClick : kStateHover);
    } else if (kind == kMousePress && left) {
      image->SetMouseState(kStateClick);
      hit->SetPressed(true);
    } else if (kind == kMouseRelease && left) {
      image->SetMouseState(kStateHover);
      if (hit->Pressed()) result.action = hit->Action();
      hit->SetPressed(false);
    }
  } else if (kind == kMousePress) {
    hit->SetPressed(true);
  } else if (kind == kMouseRelease) {
    if (hit->Pressed()) result.action = hit->Action();
    hit->SetPressed(false);
  }
  return result;
}

}  // namespace vyr
