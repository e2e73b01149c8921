#include "long_options.h"

#include <cmath>
#include <stdexcept>

#include "render/device/frame_limits.h"

namespace vyr::viewer {
namespace {

double Number(const std::string& option, const std::string& text) {
  size_t used = 0;
  double value = 0;
  try {
    value = std::stod(text, &used);
  } catch (const std::exception&) {
    used = 0;
  }
  if (used == 0 || used != text.size() || !std::isfinite(value))
    throw std::invalid_argument(option + " takes a number, not \"" + text + "\"");
  return value;
}

TFrameRange Range(const std::string& text) {
  const size_t a = text.find(':'), b = a == std::string::npos ? a : text.find(':', a + 1);
  if (b == std::string::npos) throw std::invalid_argument("--frames takes FROM:TO:STEP");
  TFrameRange r{Number("--frames", text.substr(0, a)),
                Number("--frames", text.substr(a + 1, b - a - 1)),
                Number("--frames", text.substr(b + 1))};
  if (!(r.step > 0) || r.to < r.from)
    throw std::invalid_argument("--frames needs FROM <= TO and a STEP above 0");
  return r;
}

void Size(const std::string& text, TLongOptions& options) {
  const size_t x = text.find_first_of("xX");
  if (x != std::string::npos) {
    const double w = Number("--size", text.substr(0, x)), h = Number("--size", text.substr(x + 1));
    if (w >= 1 && h >= 1 && w <= kMaxFrameSide && h <= kMaxFrameSide && w == std::floor(w) &&
        h == std::floor(h)) {
      options.width = static_cast<int>(w);
      options.height = static_cast<int>(h);
      return;
    }
  }
  throw std::invalid_argument("--size takes WIDTHxHEIGHT, 1 to " + std::to_string(kMaxFrameSide) +
                              " pixels a side, e.g. 1920x1080");
}

int WholeNumber(const std::string& option, const std::string& text, int lowest, int highest) {
  const double value = Number(option, text);
  if (value < lowest || value > highest || value != std::floor(value))
    throw std::invalid_argument(option + " takes a whole number from " + std::to_string(lowest) +
                                " to " + std::to_string(highest));
  return static_cast<int>(value);
}

bool IsFlag(const std::string& name) {
  return name == "--help" || name == "--version" || name == "--panel" || name == "--quiet" ||
         name == "--no-panel" || name == "--fullscreen" || name == "--window" ||
         name == "--allow-run" || name == "--no-run" || name == "--no-frame-reuse";
}

bool TakesValue(const std::string& name) {
  for (const char* known :
       {"--frame", "--frames", "--out", "--size", "--seed", "--password-file", "--thumbnail",
        "--export", "--fps", "--from", "--to", "--codec", "--quality"})
    if (name == known) return true;
  return false;
}

}  // namespace

TLongOptions TakeLongOptions(const std::vector<std::string>& arguments) {
  TLongOptions options;
  for (size_t i = 0; i < arguments.size(); ++i) {
    const std::string& token = arguments[i];
    if (!token.starts_with("--") || token == "--") {
      options.rest.push_back(token);
      continue;
    }
    std::string name = token, value;
    bool hasValue = false;
    if (const size_t equals = token.find('='); equals != std::string::npos) {
      name = token.substr(0, equals);
      value = token.substr(equals + 1);
      hasValue = true;
    }
    if (IsFlag(name)) {
      if (hasValue) throw std::invalid_argument(name + " takes no value");
      if (name == "--fullscreen" || name == "--window")
        options.fullScreen = name == "--fullscreen";
      else if (name == "--no-frame-reuse")
        options.frameReuse = false;
      else
        (name == "--help"        ? options.help
         : name == "--version"   ? options.version
         : name == "--panel"     ? options.panel
         : name == "--no-panel"  ? options.noPanel
         : name == "--allow-run" ? options.allowRun
         : name == "--no-run"    ? options.noRun
                                 : options.quiet) = true;
      continue;
    }
    if (!TakesValue(name)) throw std::invalid_argument("unknown option " + name);
    if (!hasValue) {
      if (i + 1 >= arguments.size()) throw std::invalid_argument(name + " needs a value");
      value = arguments[++i];
    }
    if (name == "--frame") {
      options.frame = Number(name, value);
    } else if (name == "--frames") {
      options.frames = Range(value);
    } else if (name == "--out") {
      options.out = value;
    } else if (name == "--password-file") {
      options.passwordFile = value;
    } else if (name == "--thumbnail") {
      const double size = Number(name, value);
      if (size < 1 || size > kMaxFrameSide || size != std::floor(size))
        throw std::invalid_argument("--thumbnail takes a size in pixels from 1 to " +
                                    std::to_string(kMaxFrameSide));
      options.thumbnail = static_cast<int>(size);
    } else if (name == "--size") {
      Size(value, options);
    } else if (name == "--export") {
      options.exportPath = value;
    } else if (name == "--fps") {
      options.fps = WholeNumber(name, value, 1, 240);
    } else if (name == "--from" || name == "--to") {
      const double ms = Number(name, value);
      if (ms < 0) throw std::invalid_argument(name + " takes a show time of 0 ms or more");
      (name == "--from" ? options.from : options.to) = ms;
    } else if (name == "--codec") {
      options.codec = value;
    } else if (name == "--quality") {
      options.quality = WholeNumber(name, value, 0, 63);
    } else {
      const double seed = Number(name, value);
      if (seed < 0 || seed > 4294967295.0 || seed != std::floor(seed))
        throw std::invalid_argument("--seed takes a whole number from 0 to 4294967295");
      options.seed = static_cast<uint32_t>(seed);
    }
  }
  if (options.allowRun && options.noRun)
    throw std::invalid_argument("--allow-run goes without --no-run");
  if (options.thumbnail && (options.frame || options.frames))
    throw std::invalid_argument("--thumbnail goes without --frame and --frames");
  return options;
}

}  // namespace vyr::viewer
