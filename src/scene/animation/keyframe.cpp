#include "scene/animation/keyframe.h"

#include "foundation/case_fold.h"
#include "project/ini/lookup.h"
#include "project/ini/values.h"
#include "scene/filters/colour_filters.h"
#include "scene/object_kind.h"

namespace vyr {

namespace {

constexpr std::string_view kOriginNames[] = {"SlideBegin", "PrevEffectEnd", "NextEffectBegin",
                                             "SlideEnd"};

// The characters before the first "." as an integer: fractions of a ms are dropped.
int ReadWholeMs(const TIniItem* item) {
  if (!item) return 0;
  const std::string& v = item->Value();
  int32_t ms = 0;
  return ParseInt32(std::string_view(v).substr(0, v.find('.')), ms) ? ms : 0;
}

// A keyframe child that was read before, kept when its id and $rev are unchanged.
template <class T>
TRef<T> TakeMatching(std::vector<TRef<T>>& old, const TIniObject& object) {
  for (auto& f : old) {
    if (f && f->Matches(object)) {
      TRef<T> kept = std::move(f);
      kept->SetNext(nullptr);
      return kept;
    }
  }
  return nullptr;
}

}  // namespace

double OriginBase(int origin, const TSlideDurations& d) {
  switch (origin) {
    case kOriginPrevEffectEnd:
      return d.incoming;
    case kOriginNextEffectBegin:
      return d.full - d.outgoing;
    case kOriginSlideEnd:
      return d.full;
    default:
      return 0;
  }
}

void TVyrKeyFrame::Read(TIniObject& object, const TSlideDurations& durations, int kind) {
  object_ = TRef<TIniObject>::Share(&object);
  groups_ = ReadInt(FindKey(&object, "grps"), 255) & AnimatableGroups(kind);
  origin_ = ReadEnum(FindKey(&object, "Origin"), kOriginNames, kOriginSlideBegin, true);
  time_ = OriginBase(origin_, durations) + ReadWholeMs(FindKey(&object, "Time"));
  position_ = ReadList(FindKey(&object, "Position"));
  center_ = ReadList(FindKey(&object, "CenterPos"));
  for (int i = 0; i < kAnimatedValueCount; ++i) values_[i] = ReadValue(i);
  ReadChildren();
}

float TVyrKeyFrame::ReadValue(int index) const {
  const TAnimatedFieldDesk& f = kAnimatedFields[index];
  if (!HasGroup(f.group)) return f.defaultValue;
  const TAnimatedFieldDesk& keyRow = kAnimatedFields[f.keyRow];
  if (index == kValuePosX || index == kValuePosY || index == kValueCenterX ||
      index == kValueCenterY) {
    const std::vector<std::string>& items = f.group == kGroupPos ? position_ : center_;
    if (items.size() <= static_cast<size_t>(f.component)) return f.defaultValue;
    double v = 0;
    return ParseFloat(items[f.component], v) ? static_cast<float>(v) : 0.0f;
  }
  return static_cast<float>(ReadFloat(FindKey(object_.Get(), keyRow.iniKey), f.defaultValue));
}

void TVyrKeyFrame::Grow(TIndexRange& range, int index) {
  VYR_ASSERT(index >= 0 && index <= 254);
  if (range.first == range.end) {
    range = {static_cast<uint8_t>(index), static_cast<uint8_t>(index + 1)};
    return;
  }
  if (index < range.first) range.first = static_cast<uint8_t>(index);
  if (index >= range.end) range.end = static_cast<uint8_t>(index + 1);
}

void TVyrKeyFrame::ReadChildren() {
  std::vector<TRef<TVyrObjectMod>> oldMods = std::move(modifiers_);
  std::vector<TRef<TObjectFilter>> oldFilters;
  for (TObjectFilter* f = filters_.Get(); f; f = f->Next())
    oldFilters.push_back(TRef<TObjectFilter>::Share(f));
  modifiers_.clear();
  for (auto& chain : timeMods_) chain.Reset();
  for (auto& chain : valueMods_) chain.Reset();
  filters_.Reset();
  timeRange_ = {};
  valueRange_ = {};

  for (TIniObject* child : object_->Objects()) {
    if (SameName(child->ClassName(), "Mod")) {
      TRef<TVyrObjectMod> mod = TakeMatching(oldMods, *child);
      if (mod) {
        mod->Attach(child);
      } else {
        mod = CreateModifier(*child, state_);
      }
      if (!mod || mod->NeedsPreparing()) continue;
      if (mod->IsTimeModifier()) {
        PushFilter(timeMods_[mod->Target()], mod);
        Grow(timeRange_, mod->Target());
      } else {
        PushFilter(valueMods_[mod->Target()], mod);
        Grow(valueRange_, mod->Target());
      }
      modifiers_.push_back(std::move(mod));
    } else if (SameName(child->ClassName(), "Filter")) {
      TRef<TObjectFilter> filter = TakeMatching(oldFilters, *child);
      if (filter) {
        filter->Attach(child);
      } else {
        filter = CreateColourFilter(*child);
      }
      if (filter) PushFilter(filters_, std::move(filter));
    }
  }
}

}  // namespace vyr
