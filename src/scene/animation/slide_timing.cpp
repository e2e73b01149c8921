#include "scene/animation/slide_timing.h"

#include <cmath>

#include "project/ini/lookup.h"
#include "project/ini/values.h"
#include "scene/object_props.h"

namespace vyr {

namespace {

int RoundMs(double ms) { return static_cast<int>(std::nearbyint(ms)); }

}  // namespace

TSlideOrigins MakeSlideOrigins(double slideBegin, double nextEffectBegin, double incoming,
                               double outgoing) {
  TSlideOrigins o;
  o.time[kSlideBegin] = slideBegin;
  o.time[kPrevEffectEnd] = slideBegin + incoming;
  o.time[kNextEffectBegin] = nextEffectBegin;
  o.time[kSlideEnd] = nextEffectBegin + outgoing;
  o.incoming = incoming;
  o.outgoing = outgoing;
  return o;
}

TSlideOrigins SynchronisedSlideOrigins(const TIniFile* project, int index, double incoming,
                                       double outgoing) {
  const TIniSection* times = FindSection(project, "Times");
  const int count = ReadInt(FindKey(times, "opt_slidescount"), 0);
  double begin = 0;
  if (index >= 1 && index <= count)
    begin = ReadInt(FindKeyNumbered(times, "opt_synchpos", index), 0);
  double next = begin;
  if (index >= 0 && index < count)
    next = ReadInt(FindKeyNumbered(times, "opt_synchpos", index + 1), RoundMs(begin));
  return MakeSlideOrigins(begin, next, incoming, outgoing);
}

TSlideOrigins CustomEffectSlideOrigins(const TIniList* section) {
  return MakeSlideOrigins(0, ReadInt(FindKey(section, "CustomEffTime"), 2000), 0, 0);
}

TSlideDurations SlideDurationsOf(const TSlideOrigins& o) {
  return {RoundMs(o.NextEffectBegin() - o.SlideBegin()) + RoundMs(o.outgoing), RoundMs(o.incoming),
          RoundMs(o.outgoing)};
}

TScaleTimes ReadScaleTimes(const TIniList* slideSection) {
  TScaleTimes s;
  s.mode = ReadInt(FindKey(slideSection, "ScaleMode"), 0);
  const std::vector<std::string> items = ReadList(FindKey(slideSection, "ScaleTimes"));
  int* fields[3] = {&s.main, &s.incoming, &s.outgoing};
  for (size_t i = 0; i < 3 && i < items.size(); ++i) {
    int32_t v = 0;
    if (ParseInt32(items[i], v)) *fields[i] = v;
  }
  return s;
}

TScalePlan PlanScaling(const TScaleTimes& scale, const TSlideDurations& actual) {
  TScalePlan plan;
  plan.load = actual;
  double g = 0, f = 0;
  if (scale.mode == 1) {
    g = double(scale.main) + scale.outgoing;
    f = actual.full;
  } else if (scale.mode == 2) {
    g = scale.main;
    f = double(actual.full) - actual.outgoing;
  }
  if (g != 0) {
    plan.load = {scale.main + scale.outgoing, scale.incoming, scale.outgoing};
    plan.rescale = true;
    plan.factor = f / g;
  }
  return plan;
}

void LoadSlideProps(TVyrObjectProps& root, TIniObject* rootObject, const TScaleTimes& scale,
                    const TSlideDurations& actual) {
  const TScalePlan plan = PlanScaling(scale, actual);
  root.Load(rootObject, plan.load);
  if (plan.rescale) root.Rescale(actual, plan.factor);
}

}  // namespace vyr
