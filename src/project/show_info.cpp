#include "project/show_info.h"

#include <cstdio>

#include "project/ini/values.h"

namespace vyr {

namespace {

std::string JsonString(std::string_view text) {
  std::string out = "\"";
  for (const char c : text) {
    switch (c) {
      case '"':
        out += "\\\"";
        break;
      case '\\':
        out += "\\\\";
        break;
      case '\n':
        out += "\\n";
        break;
      case '\r':
        out += "\\r";
        break;
      case '\t':
        out += "\\t";
        break;
      default:
        if (static_cast<unsigned char>(c) < 0x20) {
          char escaped[8];
          std::snprintf(escaped, sizeof escaped, "\\u%04x", static_cast<unsigned>(c));
          out += escaped;
        } else {
          out += c;
        }
    }
  }
  return out + "\"";
}

std::string Number(double value) { return FormatFloat(value); }

std::string EffectJson(const TSlideEffect& effect) {
  if (!effect.effect) return "null";
  std::string out = "{\"type\": " + std::to_string(static_cast<int>(effect.effect->type));
  out += ", \"name\": " + JsonString(effect.effect->name);
  out += ", \"duration\": " + Number(effect.duration);
  out += ", \"smoothing\": " + Number(effect.smoothing);
  if (effect.defaultVariant >= 0) out += ", \"variant\": " + std::to_string(effect.defaultVariant);
  return out + "}";
}

std::string SlideJson(const TShowInfoSlide& slide) {
  const TSlideTiming& t = slide.timing;
  std::string out = "{\"index\": " + std::to_string(slide.index);
  out += ", \"id\": " + JsonString(slide.id);
  out += ", \"start\": " + Number(t.start) + ", \"end\": " + Number(t.end);
  out += ", \"in\": " + Number(t.in) + ", \"out\": " + Number(t.out);
  out += ", \"visible_end\": " + Number(t.visibleEnd);
  out += ", \"end_action\": " + JsonString(EndActionName(slide.endAction.kind));
  out += ", \"loop_length\": " + Number(slide.endAction.loopLength);
  out += ", \"run_app\": " + (slide.runApp.run ? JsonString(slide.runApp.command) : "null");
  out += ", \"effect\": " + EffectJson(slide.effect);
  return out + "}";
}

std::string EffectText(const TSlideEffect& effect) {
  if (!effect.effect) return "-";
  std::string out = effect.effect->name.empty() ? std::string("custom") : effect.effect->name;
  out += " " + Number(effect.duration) + " ms";
  if (effect.defaultVariant >= 0)
    out += " (default, variant " + std::to_string(effect.defaultVariant) + ")";
  return out;
}

}  // namespace

std::string_view RepeatModeName(TRepeatMode mode) {
  switch (mode) {
    case TRepeatMode::Close:
      return "close";
    case TRepeatMode::Stop:
      return "stop";
    case TRepeatMode::Repeat:
      break;
  }
  return "repeat";
}

std::string_view EndActionName(TEndActionKind kind) {
  switch (kind) {
    case TEndActionKind::Pause:
      return "pause";
    case TEndActionKind::Loop:
      return "loop";
    case TEndActionKind::None:
      break;
  }
  return "none";
}

TShowInfo CollectShowInfo(TVyrSource& source) {
  TShowInfo info;
  info.slides = source.SlideCount();
  info.length = source.Length();
  info.repeat = source.RepeatMode();
  info.manual = source.ManualShow();
  info.width = source.Width();
  info.height = source.Height();
  info.slide.reserve(static_cast<size_t>(info.slides));
  for (int i = 0; i < info.slides; ++i) {
    TShowInfoSlide slide;
    slide.index = i;
    slide.id = source.SlideId(i);
    slide.timing = source.Timing(i).timing;
    slide.endAction = source.EndAction(i);
    slide.runApp = source.RunApp(i);
    slide.effect = source.Effect(i);
    info.slide.push_back(std::move(slide));
  }
  return info;
}

std::string ShowInfoJson(const TShowInfo& info) {
  std::string out = "{\"slides\": " + std::to_string(info.slides);
  out += ", \"length\": " + Number(info.length);
  out += ", \"repeat\": " + JsonString(RepeatModeName(info.repeat));
  out += std::string(", \"manual\": ") + (info.manual ? "true" : "false");
  out += ", \"size\": [" + std::to_string(info.width) + ", " + std::to_string(info.height) + "]";
  out += ", \"slide\": [";
  for (size_t i = 0; i < info.slide.size(); ++i) {
    out += i == 0 ? "\n  " : ",\n  ";
    out += SlideJson(info.slide[i]);
  }
  out += info.slide.empty() ? "]}\n" : "\n]}\n";
  return out;
}

std::string ShowInfoText(const TShowInfo& info) {
  std::string out;
  out += "slides: " + std::to_string(info.slides) + "\n";
  out += "length: " + Number(info.length) + " ms\n";
  out += "repeat: " + std::string(RepeatModeName(info.repeat)) + "\n";
  out += std::string("manual: ") + (info.manual ? "yes" : "no") + "\n";
  out += "size: " + std::to_string(info.width) + " x " + std::to_string(info.height) + "\n";
  for (const TShowInfoSlide& slide : info.slide) {
    const TSlideTiming& t = slide.timing;
    out += "slide " + std::to_string(slide.index);
    if (!slide.id.empty()) out += " \"" + slide.id + "\"";
    out += ": " + Number(t.start) + " .. " + Number(t.end) + " ms, in " + Number(t.in) + ", out " +
           Number(t.out) + ", visible to " + Number(t.visibleEnd);
    out += "; end " + std::string(EndActionName(slide.endAction.kind));
    if (slide.endAction.kind == TEndActionKind::Loop)
      out += " " + Number(slide.endAction.loopLength) + " ms";
    if (slide.runApp.run) out += "; run " + slide.runApp.command;
    out += "; effect " + EffectText(slide.effect) + "\n";
  }
  return out;
}

}  // namespace vyr
