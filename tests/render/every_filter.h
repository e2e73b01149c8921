#pragma once
// Every kind of draw filter with the variants that change how it draws: the table the
// transition tests run through.

#include <string>
#include <vector>

#include "render/transitions/draw_filter_factory.h"

namespace vyr::test {

struct TNamedSpec {
  std::string name;
  TDrawFilterSpec spec;
};

inline std::vector<TNamedSpec> EveryFilter() {
  std::vector<TNamedSpec> all;
  auto add = [&](std::string name, TDrawFilterKind kind, auto&& setup) {
    TDrawFilterSpec spec;
    spec.kind = kind;
    setup(spec);
    all.push_back({std::move(name), spec});
  };
  auto none = [](TDrawFilterSpec&) {};
  add("cross-fade", TDrawFilterKind::CrossFade, none);
  for (bool reversed : {false, true}) {
    const std::string r = reversed ? " reversed" : "";
    for (auto [name, kind] : {std::pair{"circle", TDrawFilterKind::Circle},
                              {"rhomb", TDrawFilterKind::Rhomb},
                              {"square", TDrawFilterKind::Square},
                              {"h-lines", TDrawFilterKind::HLines},
                              {"v-lines", TDrawFilterKind::VLines}})
      add(name + r, kind, [&](TDrawFilterSpec& s) {
        s.reversed = reversed;
        s.centerX = 0.3;
        s.centerY = 0.8;
      });
    add("circle outside" + r, TDrawFilterKind::Circle, [&](TDrawFilterSpec& s) {
      s.reversed = reversed;
      s.centerX = 1.4;
      s.centerY = -0.2;
    });
    for (int corner = 1; corner <= 4; ++corner)
      for (TDiagLinesKind kind : {TDiagLinesKind::Gates, TDiagLinesKind::Page})
        add("diagonal " + std::to_string(corner) + r, TDrawFilterKind::DiagLines,
            [&](TDrawFilterSpec& s) {
              s.reversed = reversed;
              s.diagKind = kind;
              s.code = corner;
            });
  }
  for (double appearance : {0.0, 50.0, 1000.0, -5.0, 1e12})
    add("mosaic", TDrawFilterKind::RandomTiles, [&](TDrawFilterSpec& s) {
      s.cols = 5;
      s.rows = 3;
      s.seed = 77;
      s.appearance = appearance;
    });
  for (int code = 1; code <= 4; ++code) {
    add("push " + std::to_string(code), TDrawFilterKind::Push,
        [&](TDrawFilterSpec& s) { s.code = code; });
    add("slide " + std::to_string(code), TDrawFilterKind::SlideIn,
        [&](TDrawFilterSpec& s) { s.code = code; });
    add("two slides " + std::to_string(code), TDrawFilterKind::TwoSlides, [&](TDrawFilterSpec& s) {
      s.code = code;
      s.angle = 60;
      s.distance = 1;
      s.depth = 4;
    });
  }
  for (bool clockwise : {false, true})
    add("clock", TDrawFilterKind::Clock, [&](TDrawFilterSpec& s) { s.clockwise = clockwise; });
  for (int kind = 1; kind <= 16; ++kind)
    add("broom " + std::to_string(kind), TDrawFilterKind::Broom, [&](TDrawFilterSpec& s) {
      s.code = kind;
      s.sweepWidth = kind % 3 == 0 ? 40 : 0;
    });
  for (int code = 1; code <= 8; ++code)
    add("overturn " + std::to_string(code), TDrawFilterKind::Overturn, [&](TDrawFilterSpec& s) {
      s.code = code;
      s.volume = 0.5;
      s.nonlinearSpeed = code % 2 == 0;
    });
  for (int kind : {14, 15})
    for (int mode = 1; mode <= 8; ++mode)
      for (bool pipe : {false, true})
        add("roll " + std::to_string(kind) + " " + std::to_string(mode) + (pipe ? " pipe" : ""),
            TDrawFilterKind::Roll, [&](TDrawFilterSpec& s) {
              s.code = kind;
              s.mode = mode;
              s.pipe = pipe;
              s.radius = mode % 3 == 0 ? 0 : 12;
              s.useColor = mode % 2 == 0;
              s.color = 0x00C0FFEE;
              s.useVolume = mode > 2;
              s.volume = 0.125;
            });
  return all;
}

}  // namespace vyr::test
