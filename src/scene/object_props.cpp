#include "scene/object_props.h"

#include <algorithm>
#include <cmath>

#include "foundation/case_fold.h"
#include "foundation/log.h"
#include "project/ini/lookup.h"
#include "project/ini/values.h"
#include "scene/guid.h"
#include "scene/object_kind.h"

namespace vyr {

namespace {

constexpr double kTinySpan = 0.0001;

double InverseSpan(double span) { return span <= kTinySpan ? 0 : 1 / span; }

void Widen(TIndexRange& range, TIndexRange add) {
  if (add.first == add.end) return;
  if (range.first == range.end) {
    range = add;
    return;
  }
  range.first = std::min(range.first, add.first);
  range.end = std::max(range.end, add.end);
}

}  // namespace

void TVyrObjectProps::Load(TIniObject* object, const TSlideDurations& durations) {
  static const bool tableChecked = (CheckAnimatedFieldTable(), true);
  (void)tableChecked;
  object_ = TRef<TIniObject>::Share(object);
  durations_ = durations;
  name_ = object->Name();
  kind_ = ObjectKindOfClass(object->ClassName());
  if (kind_ == kKindImage && ReadText(FindKey(object, "AnimEnable")) == "1") kind_ = kKindAniImage;
  deltaTime1_ = ReadInt(FindKey(object, "DeltaTime1"), 0);
  deltaTime2_ = ReadInt(FindKey(object, "DeltaTime2"), 0);
  treeNode_ = ReadInt(FindKey(object, "TreeNode"), 1);

  LoadChildren(object);

  ++changeCounter_;
  SortKeyFrames();
  ResetCursors();
  RecomputeModifierRanges();
  for (int i = 0; i < kAnimatedValueCount; ++i)
    values_[i] = keyframes_.empty() ? kAnimatedFields[i].defaultValue : keyframes_[0]->Value(i);
  lastTime_ = -1;
  Evaluate(false, 0);
}

void TVyrObjectProps::LoadChildren(TIniObject* object) {
  size_t r = 0;  // property sets placed
  size_t s = 0;  // keyframes read
  std::vector<TRef<TVyrObjectProps>> aside;
  std::unordered_map<std::string, size_t> asideIndex;
  for (TIniObject* child : object->Objects()) {
    if (SameName(child->ClassName(), "KeyPoint")) {
      if (s == keyframes_.size())
        keyframes_.push_back(std::make_unique<TVyrKeyFrame>(*this, static_cast<int>(s)));
      keyframes_[s]->Read(*child, durations_, kind_);
      ++s;
      continue;
    }
    TIniItem* guidKey = FindKey(child, "GUID");
    std::string guid = guidKey ? guidKey->Value() : std::string();
    if (guid.empty()) {
      // Reported, then the child gets an identity of its own so that it can be kept.
      WriteLine("VyrObject GUID not Assigned");
      guid = NewGuidText();
      WriteText(FindOrAddKey(child, "GUID"), guid);
    }
    if (r >= children_.size() || children_[r]->guid_ != guid) {
      for (size_t k = r; k < children_.size(); ++k) {
        asideIndex[children_[k]->guid_] = aside.size();
        aside.push_back(std::move(children_[k]));
      }
      children_.resize(r);
      TRef<TVyrObjectProps> found;
      if (auto it = asideIndex.find(guid); it != asideIndex.end() && aside[it->second]) {
        found = std::move(aside[it->second]);
        asideIndex.erase(it);
      }
      if (!found) found = MakeRef<TVyrObjectProps>(guid, this, static_cast<int>(r));
      children_.push_back(std::move(found));
    }
    TVyrObjectProps& props = *children_[r];
    props.owner_ = this;
    props.index_ = static_cast<int>(r);
    props.Load(child, durations_);
    ++r;
  }
  children_.resize(r);  // the rest, and those left aside, go
  keyframes_.resize(s);
}

void TVyrObjectProps::SortKeyFrames() {
  bool sorted = true;
  for (size_t i = 1; i < keyframes_.size(); ++i)
    if (keyframes_[i]->Time() < keyframes_[i - 1]->Time()) sorted = false;
  if (!sorted) {
    std::stable_sort(keyframes_.begin(), keyframes_.end(),
                     [](const auto& a, const auto& b) { return a->Time() < b->Time(); });
  }
  for (size_t i = 0; i < keyframes_.size(); ++i) keyframes_[i]->SetIndex(static_cast<int>(i));
}

void TVyrObjectProps::ResetCursors() {
  for (int g = 0; g < kGroupCount; ++g) {
    TGroupCursor c;
    for (int i = 0; i < KeyFrameCount(); ++i) {
      if (!KeyHas(i, g)) continue;
      if (c.last < 0) c.first = i;
      c.last = i;
    }
    c.left = c.right = c.first;
    cursors_[g] = c;
  }
}

void TVyrObjectProps::RecomputeModifierRanges() {
  timeModRange_ = {};
  valueModRange_ = {};
  for (const auto& k : keyframes_) {
    Widen(timeModRange_, k->TimeModifierRange());
    Widen(valueModRange_, k->ValueModifierRange());
  }
}

void TVyrObjectProps::AdvanceCursor(int group, double t) {
  TGroupCursor& c = cursors_[group];
  if (c.last < 0) return;
  if (c.first == c.last) {
    c.left = c.right = c.first;
    const double tk = KeyTime(c.first);
    if (tk > t) {
      c.inverseDuration = 0;
      c.fraction = 0;
    } else {
      c.inverseDuration = InverseSpan(durations_.full - tk);
      c.fraction = (t - tk) * c.inverseDuration;
    }
    return;
  }
  if (t < KeyTime(c.left)) {
    if (c.left == c.first) {
      c.right = c.left;
      c.inverseDuration = 0;
    } else {
      int left = c.left, right = c.left;
      while (left > c.first) {
        --left;
        if (!KeyHas(left, group)) continue;
        if (KeyTime(left) <= t) break;
        right = left;
      }
      c.left = left;
      c.right = right;
      c.inverseDuration = left < right ? InverseSpan(KeyTime(right) - KeyTime(left)) : 0;
    }
  } else if (t >= KeyTime(c.right)) {
    int left = c.right, right = c.right;
    while (right < c.last) {
      ++right;
      if (!KeyHas(right, group)) continue;
      if (KeyTime(right) > t) break;
      left = right;
    }
    if (left < right) {
      c.left = left;
      c.right = right;
      c.inverseDuration = InverseSpan(KeyTime(right) - KeyTime(left));
    } else {
      c.left = c.right = c.last;
      c.inverseDuration = InverseSpan(durations_.full - KeyTime(c.last));
    }
  }
  c.fraction = (t - KeyTime(c.left)) * c.inverseDuration;
}

float TVyrObjectProps::Interpolate(int index) const {
  const TGroupCursor& c = cursors_[kAnimatedFields[index].group];
  if (c.last < 0) return kAnimatedFields[index].defaultValue;
  const TVyrKeyFrame& kl = *keyframes_[c.left];
  const float vl = kl.Value(index);
  if (c.left >= c.right) return vl;
  const TVyrKeyFrame& kr = *keyframes_[c.right];
  const float vr = kr.Value(index);
  if (index == kValueOffsX || index == kValueOffsY) {
    // Keeps the framed part of a picture moving evenly while zooming.
    const double zl = kl.Value(kValueZoom), zr = kr.Value(kValueZoom);
    if (std::fabs(vl - vr) > kTinySpan && std::fabs(zl - zr) > kTinySpan) {
      const double a = index == kValueOffsX ? aspectX_ : aspectY_;
      const double d = values_[kValueZoom] * a - 1;
      if (d > 0) {
        const double wl = (zl * a - 1) * vl, wr = (zr * a - 1) * vr;
        return static_cast<float>((wl + (wr - wl) * c.fraction) / d);
      }
    }
  }
  return static_cast<float>(vl + (vr - vl) * c.fraction);
}

void TVyrObjectProps::Evaluate(bool recursive, double t) {
  lastTime_ = t;
  t = std::clamp(t, 0.0, static_cast<double>(std::max(0, durations_.full)));
  if (keyframes_.size() >= 2) {
    if (changeCounter_ != lastSeenCounter_) {
      lastSeenCounter_ = changeCounter_;
      RecomputeModifierRanges();
      ResetCursors();
    }
    for (int g = 0; g < kGroupCount; ++g) AdvanceCursor(g, t);
    for (int g = timeModRange_.first; g < timeModRange_.end; ++g) {
      if (cursors_[g].last >= 0) ApplyModifierChain(keyframes_[cursors_[g].left]->TimeModifiers(g));
    }
    for (int i = 0; i < kAnimatedValueCount; ++i) values_[i] = Interpolate(i);
    for (int i = valueModRange_.first; i < valueModRange_.end; ++i) {
      const TGroupCursor& c = cursors_[kAnimatedFields[i].group];
      if (c.last >= 0) ApplyModifierChain(keyframes_[c.left]->ValueModifiers(i));
    }
  } else if (keyframes_.size() == 1) {
    EvaluateSingle(t);
  }
  if (recursive) {
    for (const auto& child : children_) child->Evaluate(true, lastTime_);
  }
}

void TVyrObjectProps::EvaluateSingle(double t) {
  const TVyrKeyFrame& k = *keyframes_[0];
  const double span = durations_.full - k.Time();
  const bool animated = k.HasModifiers() && span > kTinySpan;
  if (changeCounter_ == lastSeenCounter_ && !animated) return;
  if (changeCounter_ != lastSeenCounter_) {
    lastSeenCounter_ = changeCounter_;
    RecomputeModifierRanges();
    ResetCursors();
  }
  cursors_[kGroupColor].last = k.HasGroup(kGroupColor) ? 0 : -1;
  const bool modified = animated && t > k.Time();
  if (modified) {
    for (int g = 0; g < kGroupCount; ++g) {
      if (!k.HasGroup(g)) continue;
      cursors_[g].fraction = (t - k.Time()) / span;
      ApplyModifierChain(k.TimeModifiers(g));
    }
  }
  for (int i = 0; i < kAnimatedValueCount; ++i) {
    const TAnimatedFieldDesk& f = kAnimatedFields[i];
    if (!k.HasGroup(f.group)) {
      values_[i] = f.defaultValue;
      continue;
    }
    values_[i] = k.Value(i);
    if (modified) ApplyModifierChain(k.ValueModifiers(i));
  }
}

void TVyrObjectProps::Rescale(const TSlideDurations& durations, double factor) {
  durations_ = durations;
  rescaled_ = true;
  if (factor < 0.0001) factor = 1;
  deltaTime1_ = std::nearbyint(deltaTime1_ * factor);
  deltaTime2_ = std::nearbyint(deltaTime2_ * factor);
  for (auto& k : keyframes_) k->SetTime(std::nearbyint(k->Time() * factor));
  SortKeyFrames();
  ResetCursors();
  for (const auto& child : children_) child->Rescale(durations, factor);
}

const TObjectFilter* TVyrObjectProps::ColorLeftFilters() const {
  const TGroupCursor& c = cursors_[kGroupColor];
  return c.last >= 0 ? keyframes_[c.left]->Filters() : nullptr;
}

const TObjectFilter* TVyrObjectProps::ColorRightFilters() const {
  const TGroupCursor& c = cursors_[kGroupColor];
  return c.last >= 0 ? keyframes_[c.right]->Filters() : nullptr;
}

void TVyrObjectProps::SetKeyFrameValue(int i, int index, float value) {
  keyframes_[i]->SetValue(index, value);
  ++changeCounter_;
}

void TVyrObjectProps::SetAspect(double aspect, int pictureWidth, int pictureHeight) {
  aspectX_ = aspectY_ = 0.01f;
  if (!(aspect > 0) || pictureWidth <= 0 || pictureHeight <= 0) return;
  if (aspect < double(pictureWidth) / pictureHeight) {
    aspectX_ = static_cast<float>(0.01 * pictureWidth / (aspect * pictureHeight));
  } else {
    aspectY_ = static_cast<float>(0.01 * pictureHeight * aspect / pictureWidth);
  }
}

}  // namespace vyr
