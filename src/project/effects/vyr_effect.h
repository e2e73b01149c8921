#pragma once
// A transition as the catalogue describes it (TVyrEffect) and a slide's transition
// record (TVyrFilter). Neither draws: the drawer turns the effect into a draw filter.

#include <cstdint>
#include <string>
#include <vector>

#include "foundation/ref_object.h"
#include "project/effects/types.h"
#include "project/ini/model.h"

namespace vyr {

// Where a type keeps its variant flags: the action flags, then the direction flags.
struct TVariantLayout {
  int actionBegin = 0;
  int actionCount = 0;
  int directionBegin = 0;
  int directionCount = 0;
};
TVariantLayout VariantLayoutOf(TEffectType type);

class TVyrEffect : public TRefObject {
 public:
  static constexpr double kDefaultSmoothing = 0.001;

  TEffectType type = TEffectType::Dissolve;
  double smoothing = kDefaultSmoothing;
  int variants = 0;
  std::vector<uint8_t> flags;
  std::vector<int32_t> ints;
  std::vector<float> reals;
  std::string name;
  // The prepared copy of a custom effect's slide section (type Custom only).
  TRef<TIniSection> customSection;

  // Below 0.1 a smoothing counts as a hard edge.
  void SetSmoothing(double value) { smoothing = value < 0.1 ? kDefaultSmoothing : value; }
  bool Flag(int index) const {
    return index >= 0 && index < static_cast<int>(flags.size()) && flags[index] != 0;
  }
  int32_t Int(int index, int32_t fallback = 0) const {
    return index >= 0 && index < static_cast<int>(ints.size()) ? ints[index] : fallback;
  }
  float Real(int index, float fallback = 0) const {
    return index >= 0 && index < static_cast<int>(reals.size()) ? reals[index] : fallback;
  }
  // The 1-based number of the first set direction flag, 0 when none is set.
  int FirstDirection() const;
  // Whether action flag actionNumber (1-based) is set.
  bool ActionSet(int actionNumber) const;

  // The number of variants the flags give: actions x directions, or the set flags.
  int CountVariants() const;
  TRef<TVyrEffect> Clone() const;
  // A copy that keeps only variant v (0 <= v < variants); it has one variant.
  TRef<TVyrEffect> KeepVariant(int v) const;
};

// A slide's transition: the effect bringing the slide in, for how long, with what edge.
class TVyrFilter : public TRefObject {
 public:
  TVyrFilter(TRef<TVyrEffect> effect, double duration, float smoothing)
      : effect_(std::move(effect)), duration_(duration), smoothing_(smoothing) {}

  TVyrEffect* Effect() const { return effect_.Get(); }
  double Duration() const { return duration_; }
  // Fraction of the slide width.
  float Smoothing() const { return smoothing_; }
  // Milliseconds since the slide's start, set every frame.
  double CurrentTime() const { return currentTime_; }
  void SetCurrentTime(double ms) { currentTime_ = ms; }
  // The drawer's filter, made on the first frame of the transition and owned here.
  TRefObject* DrawFilter() const { return drawFilter_.Get(); }
  void SetDrawFilter(TRef<TRefObject> filter) { drawFilter_ = std::move(filter); }

 protected:
  void Dispose() override;

 private:
  TRef<TVyrEffect> effect_;
  double duration_;
  float smoothing_;
  double currentTime_ = 0;
  TRef<TRefObject> drawFilter_;
};

}  // namespace vyr
