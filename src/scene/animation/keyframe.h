#pragma once
// One keyframe (a KeyPoint object): its time on the slide, the value groups it sets,
// the values it gives, and its modifiers and colour filters.

#include <cstdint>
#include <string>
#include <vector>

#include "project/ini/model.h"
#include "scene/animation/animated_fields.h"
#include "scene/expressions/anim_variables.h"
#include "scene/expressions/modifiers.h"
#include "scene/filters/object_filter.h"

namespace vyr {

// The slide-relative durations keyframe origins resolve against (ms).
struct TSlideDurations {
  int full = 0;  // SlideEnd - SlideBegin
  int incoming = 0;
  int outgoing = 0;
  bool operator==(const TSlideDurations&) const = default;
};

enum TKeyOrigin : int {
  kOriginSlideBegin = 0,
  kOriginPrevEffectEnd = 1,
  kOriginNextEffectBegin = 2,
  kOriginSlideEnd = 3,
};

// The time an origin stands for in a slide of those durations.
double OriginBase(int origin, const TSlideDurations& durations);

class TVyrKeyFrame {
 public:
  TVyrKeyFrame(TAnimatedState& state, int index) : state_(state), index_(index) {}

  // Reads the keyframe from its KeyPoint object for an object of that kind. Modifiers
  // and filters of the previous read with the same id and $rev are kept.
  void Read(TIniObject& object, const TSlideDurations& durations, int kind);

  TIniObject* IniObject() const { return object_.Get(); }
  int Index() const { return index_; }
  void SetIndex(int index) { index_ = index; }
  double Time() const { return time_; }
  void SetTime(double time) { time_ = time; }
  int Origin() const { return origin_; }
  int Groups() const { return groups_; }
  bool HasGroup(int group) const { return (groups_ >> group) & 1; }
  const std::vector<std::string>& PositionItems() const { return position_; }
  const std::vector<std::string>& CenterItems() const { return center_; }

  // The value this keyframe gives value i (the table default when it does not set
  // i's group).
  float Value(int index) const { return values_[index]; }
  void SetValue(int index, float value) { values_[index] = value; }

  bool HasModifiers() const { return !modifiers_.empty(); }
  const std::vector<TRef<TVyrObjectMod>>& Modifiers() const { return modifiers_; }
  TObjectFilter* TimeModifiers(int group) const { return timeMods_[group].Get(); }
  TObjectFilter* ValueModifiers(int index) const { return valueMods_[index].Get(); }
  TIndexRange TimeModifierRange() const { return timeRange_; }
  TIndexRange ValueModifierRange() const { return valueRange_; }
  // The colour filters, newest first.
  TObjectFilter* Filters() const { return filters_.Get(); }

 private:
  float ReadValue(int index) const;
  void ReadChildren();
  static void Grow(TIndexRange& range, int index);

  TAnimatedState& state_;
  int index_;
  TRef<TIniObject> object_;
  double time_ = 0;
  int origin_ = kOriginSlideBegin;
  int groups_ = 0;
  std::vector<std::string> position_;
  std::vector<std::string> center_;
  float values_[kAnimatedValueCount] = {};
  std::vector<TRef<TVyrObjectMod>> modifiers_;
  TRef<TObjectFilter> timeMods_[kGroupCount];
  TRef<TObjectFilter> valueMods_[kAnimatedValueCount];
  TIndexRange timeRange_;
  TIndexRange valueRange_;
  TRef<TObjectFilter> filters_;
};

}  // namespace vyr
