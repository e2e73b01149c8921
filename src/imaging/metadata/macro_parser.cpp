#include "imaging/metadata/macro_parser.h"

#include "foundation/exceptions.h"

namespace vyr {

namespace {

char AsciiLower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

size_t FindNoCase(const std::string& text, std::string_view what, size_t from) {
  if (what.empty() || text.size() < what.size()) return std::string::npos;
  for (size_t i = from; i + what.size() <= text.size(); ++i) {
    size_t k = 0;
    while (k < what.size() && AsciiLower(text[i + k]) == AsciiLower(what[k])) ++k;
    if (k == what.size()) return i;
  }
  return std::string::npos;
}

size_t LastSeparator(std::string_view path) { return path.find_last_of("\\/"); }

}  // namespace

std::string PathFileNameExt(std::string_view path) {
  const size_t sep = LastSeparator(path);
  return std::string(sep == std::string_view::npos ? path : path.substr(sep + 1));
}

std::string PathFileName(std::string_view path) {
  const std::string name = PathFileNameExt(path);
  return name.substr(0, name.rfind('.'));
}

std::string PathWithoutExtension(std::string_view path) {
  const size_t sep = LastSeparator(path);
  const size_t dot = path.rfind('.');
  if (dot == std::string_view::npos || (sep != std::string_view::npos && dot < sep))
    return std::string(path);
  return std::string(path.substr(0, dot));
}

std::string PathFolder(std::string_view path) {
  const size_t sep = LastSeparator(path);
  return sep == std::string_view::npos ? std::string() : std::string(path.substr(0, sep + 1));
}

std::string PathFolderName(std::string_view path) {
  const size_t last = LastSeparator(path);
  if (last == std::string_view::npos || last == 0) return {};
  const size_t before = path.substr(0, last).find_last_of("\\/");
  const size_t start = before == std::string_view::npos ? 0 : before + 1;
  return std::string(path.substr(start, last - start));
}

std::string TMTParser::ValueOf(std::string_view macro) {
  std::string value;
  callback_(*this, std::string(macro), value);
  return value;
}

std::string TMTParser::Expand(std::string_view text) {
  VYR_ASSERT(assigned_);
  std::string result(text);
  for (std::string_view macro : kTextMacros) {
    size_t at = FindNoCase(result, macro, 0);
    while (at != std::string::npos && result.size() <= kMaxExpandedText) {
      result.erase(at, macro.size());
      std::string value;
      if (macro == "<%MainImg.FileName%>") {
        value = PathFileName(ValueOf("<%MainImg.PathNameExt%>"));
      } else if (macro == "<%MainImg.PathName%>") {
        value = PathWithoutExtension(ValueOf("<%MainImg.PathNameExt%>"));
      } else if (macro == "<%MainImg.FileNameExt%>") {
        value = PathFileNameExt(ValueOf("<%MainImg.PathNameExt%>"));
      } else if (macro == "<%MainImg.FolderPath%>") {
        value = PathFolder(ValueOf("<%MainImg.PathNameExt%>"));
      } else if (macro == "<%MainImg.FolderName%>") {
        value = PathFolderName(ValueOf("<%MainImg.PathNameExt%>"));
      } else if (macro == "<%MainImg.Exif.Date%>") {
        value = ValueOf(macro);
        value = value.substr(0, value.find(' '));
      } else if (macro == "<%MainImg.Exif.Time%>") {
        value = ValueOf(macro);
        const size_t blank = value.find(' ');
        value = blank == std::string::npos ? std::string() : value.substr(blank + 1);
      } else {
        value = ValueOf(macro);
      }
      result.insert(at, value);
      // The inserted value is not searched again for this macro: a value holding its own
      // macro would never end.
      at = FindNoCase(result, macro, at + value.size());
    }
  }
  if (result.empty()) result = " ";
  return result;
}

}  // namespace vyr
