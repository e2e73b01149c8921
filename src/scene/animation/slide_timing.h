#pragma once
// The slide time line: the four time origins of a slide on the show's time line, the
// slide-relative durations its property sets work with, stretching authored keyframe
// times to the slide's actual length, and the shared clock record.

#include <atomic>

#include "foundation/ref_object.h"
#include "project/ini/model.h"
#include "scene/animation/keyframe.h"

namespace vyr {

class TVyrObjectProps;

enum TSlideOrigin : int {
  kSlideBegin = 0,       // the incoming transition starts
  kPrevEffectEnd = 1,    // the incoming transition ends
  kNextEffectBegin = 2,  // the outgoing transition starts
  kSlideEnd = 3,         // the outgoing transition ends
};

struct TSlideOrigins {
  double time[4] = {};  // show time, ms, by TSlideOrigin
  double incoming = 0;  // transition durations, ms
  double outgoing = 0;

  double SlideBegin() const { return time[kSlideBegin]; }
  double PrevEffectEnd() const { return time[kPrevEffectEnd]; }
  double NextEffectBegin() const { return time[kNextEffectBegin]; }
  double SlideEnd() const { return time[kSlideEnd]; }
};

// The four origins from the slide's begin, the begin of its outgoing transition and
// the two transition durations.
TSlideOrigins MakeSlideOrigins(double slideBegin, double nextEffectBegin, double incoming,
                               double outgoing);

// Slide index (0-based) on the show's time line from the [Times] section:
// "opt_synchpos" + k is where slide k - 1 starts its outgoing transition and slide k
// its incoming one. Outside the counted slides a slide begins at 0 and has no main part.
TSlideOrigins SynchronisedSlideOrigins(const TIniFile* project, int index, double incoming,
                                       double outgoing);

// A custom transition's slide: begins at 0, its main part lasts "CustomEffTime" of its
// section (default 2000 ms), no transitions.
TSlideOrigins CustomEffectSlideOrigins(const TIniList* section);

// full = round(NextEffectBegin - SlideBegin) + round(outgoing), and the rounded
// transition durations.
TSlideDurations SlideDurationsOf(const TSlideOrigins& origins);

// "ScaleMode" and "ScaleTimes" of a slide section: the authored main length and
// transition durations, and how to stretch them.
struct TScaleTimes {
  int mode = 0;
  int main = 0;
  int incoming = 0;
  int outgoing = 0;
};
TScaleTimes ReadScaleTimes(const TIniList* slideSection);

struct TScalePlan {
  TSlideDurations load;  // the durations the property sets are read with
  bool rescale = false;
  double factor = 1;  // then applied to reach the actual durations
};
TScalePlan PlanScaling(const TScaleTimes& scale, const TSlideDurations& actual);

// Reads the slide's property set tree as designed and stretches it to the slide.
void LoadSlideProps(TVyrObjectProps& root, TIniObject* rootObject, const TScaleTimes& scale,
                    const TSlideDurations& actual);

// Something that knows the current show time.
class TTimeSource {
 public:
  virtual double CurrentTime() const = 0;

 protected:
  ~TTimeSource() = default;
};

// The shared clock record: written by the engine, read by slides and objects.
class TTiming : public TRefObject, public TTimeSource {
 public:
  double CurrentTime() const override { return current_.load(std::memory_order_acquire); }
  void SetCurrentTime(double ms) { current_.store(ms, std::memory_order_release); }
  double ProposedTime() const { return proposed_.load(std::memory_order_acquire); }
  void SetProposedTime(double ms) { proposed_.store(ms, std::memory_order_release); }

 private:
  std::atomic<double> current_{0};
  std::atomic<double> proposed_{0};
};

}  // namespace vyr
