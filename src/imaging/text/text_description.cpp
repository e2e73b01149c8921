#include "imaging/text/text_description.h"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <limits>

#include "foundation/case_fold.h"
#include "foundation/line_breaks.h"
#include "foundation/utf.h"
#include "imaging/decode/imaging_log.h"

namespace vyr {

namespace {

std::string_view Trim(std::string_view s) {
  while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
  while (!s.empty() && (s.back() == ' ' || s.back() == '\t')) s.remove_suffix(1);
  return s;
}

bool ParseReal(std::string_view text, double& value) {
  text = Trim(text);
  if (!text.empty() && text.front() == '+') text.remove_prefix(1);
  double v = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), v);
  if (text.empty() || error != std::errc() || end != text.data() + text.size() || !std::isfinite(v))
    return false;
  value = v;
  return true;
}

// Integers are read as reals so that "1E2" (a spacing written in general format) is 100.
bool ParseInteger(std::string_view text, int& value) {
  double v = 0;
  if (!ParseReal(text, v) || std::fabs(v) > 1e9) return false;
  value = static_cast<int>(std::lround(v));
  return true;
}

std::string FormatReal(double v) {
  char buffer[32];
  std::snprintf(buffer, sizeof buffer, "%.6g", v);
  return buffer;
}

}  // namespace

std::string StyleWords(uint32_t style) {
  static const char* const kWords[] = {"Bold", "Italic", "Underline", "StrikeOut"};
  std::string out;
  for (int bit = 0; bit < 4; ++bit) {
    if (!(style & (1u << bit))) continue;
    if (!out.empty()) out += ',';
    out += kWords[bit];
  }
  return out;
}

uint32_t ParseStyleWords(std::string_view words) {
  uint32_t style = 0;
  while (!words.empty()) {
    const size_t comma = words.find(',');
    const std::string_view word = Trim(words.substr(0, comma));
    if (SameName(word, "Bold")) style |= kStyleBold;
    if (SameName(word, "Italic")) style |= kStyleItalic;
    if (SameName(word, "Underline")) style |= kStyleUnderline;
    if (SameName(word, "StrikeOut")) style |= kStyleStrikeOut;
    if (comma == std::string_view::npos) break;
    words.remove_prefix(comma + 1);
  }
  return style;
}

std::string MarkCase(std::string_view line) {
  std::string out;
  bool inRun = false;
  for (size_t pos = 0; pos < line.size();) {
    const size_t start = pos;
    const char32_t c = NextCodePoint(line, pos);
    const bool changes = FoldCase(c) != c;
    if (inRun && !changes) {
      out += '>';
      inRun = false;
    }
    if (changes && !inRun) {
      out += '<';
      inRun = true;
    }
    if (c == '<' || c == '>') out += static_cast<char>(c);
    out.append(line.substr(start, pos - start));
  }
  if (inRun) out += '>';
  return out;
}

std::string UnmarkCase(std::string_view line) {
  std::string out;
  bool inRun = false;
  for (size_t i = 0; i < line.size(); ++i) {
    const char c = line[i];
    if (!inRun && (c == '<' || c == '>') && i + 1 < line.size() && line[i + 1] == c) {
      out += c;
      ++i;
    } else if (!inRun && c == '<') {
      inRun = true;
    } else if (inRun && c == '>') {
      inRun = false;
    } else {
      out += c;
    }
  }
  return out;
}

TTextDescription ParseTextDescription(std::string_view text, const TTextParams& defaults) {
  TTextDescription d;
  d.params = defaults;
  if (text.substr(0, kTextPrefix.size()) == kTextPrefix) text.remove_prefix(kTextPrefix.size());
  std::vector<std::string_view> fields;
  while (fields.size() < 8) {
    const size_t colon = text.find(':');
    if (colon == std::string_view::npos) break;
    fields.push_back(text.substr(0, colon));
    text.remove_prefix(colon + 1);
  }
  fields.push_back(text);  // the rest: the lines (or a shorter description's last field)
  const auto field = [&](size_t i) -> std::string_view {
    return i < fields.size() ? fields[i] : std::string_view();
  };
  const bool hasLines = fields.size() == 9;

  if (!field(0).empty()) d.params.fontName = std::string(field(0));
  ParseReal(field(1), d.params.scale);
  if (!(d.params.scale > 0)) d.params.scale = defaults.scale;
  ParseReal(field(2), d.params.offsetX);
  ParseReal(field(3), d.params.offsetY);
  d.styleField = std::string(field(4));
  d.params.style = ParseStyleWords(d.styleField);
  ParseInteger(field(5), d.params.alignment);
  d.params.factor = 1;
  ParseReal(field(6), d.params.factor);
  if (!(d.params.factor > 0)) d.params.factor = 1;
  ParseInteger(field(7), d.params.lineSpacing);

  if (hasLines) {
    std::string_view lines = fields[8];
    d.linesField = std::string(lines);
    if (lines.size() >= 2 && lines.front() == '"' && lines.back() == '"')
      lines = lines.substr(1, lines.size() - 2);
    for (const std::string& line : SplitLines(lines)) d.lines.push_back(UnmarkCase(line));
  } else {
    d.lines = SplitLines(defaults.text);
  }
  CutToTextBudget(d.lines);
  return d;
}

namespace {
bool ReportCut() {
  ImagingLog("Text over the character budget: cut to " + std::to_string(kMaxTextCharacters) +
             " characters");
  return true;
}
}  // namespace

bool CutToTextBudget(std::vector<std::string>& lines) {
  size_t left = kMaxTextCharacters;
  for (size_t i = 0; i < lines.size(); ++i) {
    if (i > 0) {
      if (left == 0) {  // no room for the line break
        lines.resize(i);
        return ReportCut();
      }
      --left;
    }
    std::string& line = lines[i];
    size_t at = 0;
    while (at < line.size() && left > 0) {
      NextCodePoint(line, at);
      --left;
    }
    if (at < line.size()) {
      line.resize(at);
      lines.resize(i + 1);
      return ReportCut();
    }
  }
  return false;
}

std::string FormatTextDescription(const TTextParams& p, const std::vector<std::string>& lines) {
  std::string out(kTextPrefix);
  out += p.fontName + ":" + FormatReal(p.scale) + ":" + FormatReal(p.offsetX) + ":" +
         FormatReal(p.offsetY) + ":" + StyleWords(p.style) + ":" + std::to_string(p.alignment) +
         ":" + FormatReal(p.factor) + ":" + std::to_string(p.lineSpacing) + ":\"";
  for (size_t i = 0; i < lines.size(); ++i) {
    if (i) out += "\r\n";
    out += MarkCase(lines[i]);
  }
  return out + "\"";
}

std::string VectorTextKey(const TTextDescription& d) {
  return "VectTxt2: " + d.params.fontName + ":" + d.styleField + ":" + d.linesField;
}

}  // namespace vyr
