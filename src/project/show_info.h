#pragma once
// The report of "vyrpack info": a show's settings and slide table, as JSON or as text.
// Building it asks every slide for its transition once, in slide order, so a source made
// with a seed gives the same report on every run.

#include <string>
#include <vector>

#include "project/vyr_source.h"

namespace vyr {

struct TShowInfoSlide {
  int index = 0;
  std::string id;
  TSlideTiming timing;
  TEndAction endAction;
  TRunApp runApp;
  TSlideEffect effect;
};

struct TShowInfo {
  int slides = 0;
  double length = 0;
  TRepeatMode repeat = TRepeatMode::Repeat;
  bool manual = false;
  int width = 0;
  int height = 0;
  std::vector<TShowInfoSlide> slide;
};

TShowInfo CollectShowInfo(TVyrSource& source);

// Keys: "slides", "length", "repeat", "manual", "size", "slide" (per slide "index", "id",
// "start", "end", "in", "out", "visible_end", "end_action", "loop_length", "run_app",
// "effect" with "type", "name", "duration", "smoothing" and, for a default transition,
// "variant").
std::string ShowInfoJson(const TShowInfo& info);
// One settings line each, then one line per slide.
std::string ShowInfoText(const TShowInfo& info);

std::string_view RepeatModeName(TRepeatMode mode);
std::string_view EndActionName(TEndActionKind kind);

}  // namespace vyr
