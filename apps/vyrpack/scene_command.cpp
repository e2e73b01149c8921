// vyrpack scene: builds one slide of a show as the player would and prints its object tree at
// a slide time, with each object's corners projected into window pixels.
#include <cmath>
#include <cstdio>
#include <string>

#include "cli_error.h"
#include "commands.h"
#include "json_text.h"
#include "package/access/show_opener.h"
#include "player/loader/layout_only_drawer.h"
#include "player/loader/show_frame_size.h"
#include "player/loader/slide_producer.h"
#include "project/ini/values.h"
#include "project/vyr_source.h"
#include "render/device/frame_limits.h"
#include "scene/camera.h"
#include "scene/objects/vyr_slide.h"

namespace vyr::pack {

namespace {

constexpr const char* kSceneUsage =
    "usage: vyrpack scene [--json] [--size WxH] [--seed N] SHOW SLIDE TIME_MS";

struct TSceneArgs {
  bool json = false;
  TIntSize size;  // 0 x 0: the show's own size
  TVyrSourceOptions options;
  std::string show;
  int slide = 0;
  double timeMs = 0;
};

[[noreturn]] void Usage() { throw ECliError(kExitTrouble, kSceneUsage); }

TIntSize ParseSize(const std::string& text) {
  const size_t x = text.find_first_of("xX");
  int32_t width = 0, height = 0;
  if (x == std::string::npos || !ParseInt32(text.substr(0, x), width) ||
      !ParseInt32(text.substr(x + 1), height))
    throw ECliError(kExitTrouble, "--size takes WIDTHxHEIGHT, e.g. 1920x1080");
  // The window sizes the player draws, no others.
  if (const std::string problem = FrameSizeProblem(width, height); !problem.empty())
    throw ECliError(kExitTrouble, "--size " + problem);
  return {width, height};
}

TSceneArgs ParseArgs(const TArgs& args) {
  TSceneArgs parsed;
  std::vector<std::string> positional;
  for (size_t i = 0; i < args.size(); ++i) {
    if (args[i] == "--json") {
      parsed.json = true;
    } else if (args[i] == "--size" && i + 1 < args.size()) {
      parsed.size = ParseSize(args[++i]);
    } else if (args[i] == "--seed" && i + 1 < args.size()) {
      int64_t seed = 0;
      if (!ParseInt64(args[++i], seed) || seed < 0 || seed > 0xFFFFFFFFll)
        throw ECliError(kExitTrouble, "--seed takes a whole number from 0 to 4294967295");
      parsed.options.effectChoice.seed = static_cast<uint32_t>(seed);
    } else if (args[i].starts_with("--")) {
      Usage();
    } else {
      positional.push_back(args[i]);
    }
  }
  if (positional.size() != 3) Usage();
  parsed.show = positional[0];
  if (!ParseInt32(positional[1], parsed.slide) || parsed.slide < 1)
    throw ECliError(kExitTrouble, "SLIDE is a slide number from 1");
  if (!ParseFloat(positional[2], parsed.timeMs) || !std::isfinite(parsed.timeMs))
    throw ECliError(kExitTrouble, "TIME_MS is milliseconds since the slide's start");
  return parsed;
}

// Three decimals at most, trailing zeros dropped; JSON has no NaN or infinity.
std::string Number(double value) {
  if (!std::isfinite(value)) return "null";
  char text[64];
  std::snprintf(text, sizeof text, "%.3f", value);
  std::string out = text;
  while (out.back() == '0') out.pop_back();
  if (out.back() == '.') out.pop_back();
  if (out == "-0") out = "0";
  return out;
}

std::string ClassWord(const TVyrObject& object) {
  const TIniObject* block = object.Props().IniObject();
  return block ? block->ClassName() : std::string();
}

class TSceneReport {
 public:
  TSceneReport(const TCamera& camera, bool json) : camera_(camera), json_(json) {}

  std::string Slide(int number, const TVyrSlide& slide, const TIntRect& rect) {
    const std::string rectText = "[" + std::to_string(rect.left) + ", " + std::to_string(rect.top) +
                                 ", " + std::to_string(rect.right) + ", " +
                                 std::to_string(rect.bottom) + "]";
    std::string out;
    if (json_) {
      out = "{\"slide\": " + std::to_string(number) + ", \"rect\": " + rectText +
            ", \"objects\": " + JsonChildren(slide, 1) + "}\n";
    } else {
      out = "slide " + std::to_string(number) + " (" + slide.Name() + ") rect " + rectText + "\n";
      TextChildren(slide, 1, out);
    }
    return out;
  }

 private:
  void Corners(const TVyrObject& object, double xy[4][2]) const {
    TVec3 corners[4];
    object.Corners(corners);
    for (int i = 0; i < 4; ++i) {
      const TVec3 p = ProjectPoint(camera_, corners[i]);
      xy[i][0] = p.x;
      xy[i][1] = p.y;
    }
  }

  std::string JsonChildren(const TVyrObject& parent, int depth) const {
    if (parent.ChildCount() == 0) return "[]";
    const std::string indent(2 * depth, ' ');
    std::string out = "[\n";
    for (int i = 0; i < parent.ChildCount(); ++i) {
      const TVyrObject& o = *parent.Child(i);
      double xy[4][2];
      Corners(o, xy);
      out += indent + "{\"name\": " + JsonString(o.Name()) +
             ", \"class\": " + JsonString(ClassWord(o)) +
             ", \"kind\": " + std::to_string(o.Kind()) +
             ", \"visible\": " + (o.Visible() ? "true" : "false") +
             ", \"opacity\": " + Number(o.GetOpacity()) +
             ", \"blur\": " + Number(o.GetBlurAmount()) + ", \"corners\": [";
      for (int c = 0; c < 4; ++c)
        out += std::string(c ? ", " : "") + "[" + Number(xy[c][0]) + ", " + Number(xy[c][1]) + "]";
      out += "], \"children\": " + JsonChildren(o, depth + 1) + "}";
      out += i + 1 < parent.ChildCount() ? ",\n" : "\n";
    }
    return out + std::string(2 * (depth - 1), ' ') + "]";
  }

  void TextChildren(const TVyrObject& parent, int depth, std::string& out) const {
    for (int i = 0; i < parent.ChildCount(); ++i) {
      const TVyrObject& o = *parent.Child(i);
      double xy[4][2];
      Corners(o, xy);
      out += std::string(2 * depth, ' ') + o.Name() + " " + ClassWord(o) +
             " kind=" + std::to_string(o.Kind()) + " visible=" + (o.Visible() ? "1" : "0") +
             " opacity=" + Number(o.GetOpacity()) + " blur=" + Number(o.GetBlurAmount()) +
             " corners";
      for (int c = 0; c < 4; ++c) out += " (" + Number(xy[c][0]) + ", " + Number(xy[c][1]) + ")";
      out += "\n";
      TextChildren(o, depth + 1, out);
    }
  }

  TCamera camera_;
  bool json_;
};

}  // namespace

int SceneCommand(const TArgs& args) {
  const TSceneArgs parsed = ParseArgs(args);
  const TOpenedShow show = OpenShow(parsed.show);
  if (!show.Ok()) throw ECliError(kExitTrouble, show.error);
  auto source = MakeRef<TVyrSource>(show.project, parsed.options);
  if (const std::string problem = ShowFrameSizeProblem(*source); !problem.empty())
    throw ECliError(kExitTrouble, problem);
  if (parsed.slide > source->SlideCount())
    throw ECliError(kExitFailed, "the show has " + std::to_string(source->SlideCount()) +
                                     " slides, no slide " + std::to_string(parsed.slide));

  auto producer = MakeRef<TSlideProducer>(source, MakeShowHost(*source, show.accessor));
  producer->SetCurrentTiming(MakeRef<TTiming>());
  const TIntSize window = parsed.size.width > 0 ? parsed.size : producer->PresentationSize();
  producer->SetBuildSize(window, TSlideFit::FitInside);

  TRef<TVyrSlide> slide;
  try {
    slide = producer->BuildSlide(parsed.slide - 1);
  } catch (const std::exception& error) {
    throw ECliError(kExitFailed,
                    "slide " + std::to_string(parsed.slide) + " does not build: " + error.what());
  }
  if (!slide)
    throw ECliError(kExitFailed, "slide " + std::to_string(parsed.slide) + " has no section");

  // As the player does: pictures first, then the layout at the requested time.
  auto drawer = MakeRef<TLayoutOnlyDrawer>();
  const double showTime = slide->Origins().SlideBegin() + parsed.timeMs;
  slide->Advance(true, showTime);
  slide->PrepareResources(*drawer);
  slide->Advance(true, showTime);

  TSceneReport report(DefaultCamera(window.width, window.height), parsed.json);
  const std::string text = report.Slide(parsed.slide, *slide, producer->SlideRect());
  std::fwrite(text.data(), 1, text.size(), stdout);
  slide->ReleaseResources();
  return 0;
}

}  // namespace vyr::pack
