#pragma once
// The property set of a scene object: its keyframes, the property sets of its child
// objects, and the current values of its 15 animated values at a slide-relative time.

#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

#include "foundation/ref_object.h"
#include "project/ini/model.h"
#include "scene/animation/keyframe.h"

namespace vyr {

// Where a value group stands: the keyframes around the time and the fraction between.
struct TGroupCursor {
  int first = 0;
  int last = -1;  // -1: no keyframe sets the group
  int left = 0;
  int right = 0;
  double inverseDuration = 0;
  double fraction = 0;
};

class TVyrObjectProps : public TRefObject, public TAnimatedState {
 public:
  TVyrObjectProps() = default;
  TVyrObjectProps(std::string guid, TVyrObjectProps* owner, int index)
      : guid_(std::move(guid)), owner_(owner), index_(index) {}

  // Reads (or re-reads) the property set tree from an object block.
  void Load(TIniObject* object, const TSlideDurations& durations);
  // The values at slide-relative time t (clamped to the slide), of the children too
  // when recursive.
  void Evaluate(bool recursive, double t);
  // New durations; keyframe times and DeltaTimes multiplied by factor (below 0.0001
  // counts as 1) and rounded to whole ms; the children likewise.
  void Rescale(const TSlideDurations& durations, double factor);

  // TAnimatedState: what expressions read and write.
  double GroupFraction(int group) const override { return cursors_[group].fraction; }
  void SetGroupFraction(int group, double f) override { cursors_[group].fraction = f; }
  const double* GroupFractionAddress(int group) const override { return &cursors_[group].fraction; }
  float AnimatedValue(int index) const override { return values_[index]; }
  void SetAnimatedValue(int index, float value) override { values_[index] = value; }

  const TGroupCursor& Cursor(int group) const { return cursors_[group]; }
  int KeyFrameCount() const { return static_cast<int>(keyframes_.size()); }
  const TVyrKeyFrame& KeyFrame(int i) const { return *keyframes_[i]; }
  // Changes one value of keyframe i; the next evaluation takes it up.
  void SetKeyFrameValue(int i, int index, float value);
  int ChildCount() const { return static_cast<int>(children_.size()); }
  TVyrObjectProps* Child(int i) const { return children_[i].Get(); }

  // The colour filtering at the last evaluated time: the chains of the Color group's
  // keyframes around it and the fraction between them; none without Color keyframes.
  bool HasColorKeyFrames() const { return cursors_[kGroupColor].last >= 0; }
  const TObjectFilter* ColorLeftFilters() const;
  const TObjectFilter* ColorRightFilters() const;
  double ColorFraction() const { return cursors_[kGroupColor].fraction; }

  // OffsX and OffsY scale with the picture's aspect when the object asks for it.
  void SetAspect(double aspect, int pictureWidth, int pictureHeight);

  const std::string& Guid() const { return guid_; }
  const std::string& Name() const { return name_; }
  int Kind() const { return kind_; }
  TIniObject* IniObject() const { return object_.Get(); }
  TVyrObjectProps* Owner() const { return owner_; }
  int Index() const { return index_; }
  const TSlideDurations& Durations() const { return durations_; }
  bool Rescaled() const { return rescaled_; }
  double DeltaTime1() const { return deltaTime1_; }
  double DeltaTime2() const { return deltaTime2_; }
  int TreeNode() const { return treeNode_; }
  double LastTime() const { return lastTime_; }

 private:
  void LoadChildren(TIniObject* object);
  void SortKeyFrames();
  void ResetCursors();
  void RecomputeModifierRanges();
  void AdvanceCursor(int group, double t);
  float Interpolate(int index) const;
  void EvaluateSingle(double t);
  double KeyTime(int i) const { return keyframes_[i]->Time(); }
  bool KeyHas(int i, int group) const { return keyframes_[i]->HasGroup(group); }

  std::vector<TRef<TVyrObjectProps>> children_;
  TRef<TIniObject> object_;
  std::string guid_;
  std::string name_;
  int kind_ = 0;
  TVyrObjectProps* owner_ = nullptr;
  int index_ = 0;
  std::vector<std::unique_ptr<TVyrKeyFrame>> keyframes_;
  uint32_t changeCounter_ = 0;
  uint32_t lastSeenCounter_ = ~0u;
  TGroupCursor cursors_[kGroupCount];
  TIndexRange timeModRange_;
  TIndexRange valueModRange_;
  float values_[kAnimatedValueCount] = {};
  double lastTime_ = -1;
  TSlideDurations durations_;
  bool rescaled_ = false;
  float aspectX_ = 0.01f;
  float aspectY_ = 0.01f;
  double deltaTime1_ = 0;
  double deltaTime2_ = 0;
  int treeNode_ = 1;
};

}  // namespace vyr
