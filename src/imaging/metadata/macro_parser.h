#pragma once
// Text macros ("<%SlideIndex%>", "<%MainImg.IPTC.City%>", ...) replaced in a fixed order by
// values a callback supplies.

#include <functional>
#include <string>
#include <string_view>

namespace vyr {

class TMTParser;
// Writes the value of one macro (given as written in the table, e.g. "<%SlideIndex%>").
using TMacroValueCallback =
    std::function<void(TMTParser& parser, const std::string& macro, std::string& value)>;

// The macros in the order in which they are replaced.
inline constexpr std::string_view kTextMacros[] = {
    "<%SlideIndex%>",
    "<%SlidesCount%>",
    "<%MainImg.Width%>",
    "<%MainImg.Height%>",
    "<%MainImg.Exif.Comment%>",
    "<%MainImg.Exif.Description%>",
    "<%MainImg.PathNameExt%>",
    "<%MainImg.IPTC.DocumentTitle%>",
    "<%MainImg.IPTC.SpecialInstructions%>",
    "<%MainImg.IPTC.AuthorByline%>",
    "<%MainImg.IPTC.AuthorTitle%>",
    "<%MainImg.IPTC.City%>",
    "<%MainImg.IPTC.Sublocation%>",
    "<%MainImg.IPTC.ProvinceState%>",
    "<%MainImg.IPTC.Country%>",
    "<%MainImg.IPTC.OTR%>",
    "<%MainImg.IPTC.Headline%>",
    "<%MainImg.IPTC.Credits%>",
    "<%MainImg.IPTC.Source%>",
    "<%MainImg.IPTC.Copyright%>",
    "<%MainImg.IPTC.CaptionDescription%>",
    "<%MainImg.IPTC.CaptionWriter%>",
    "<%MainImg.FileName%>",
    "<%MainImg.PathName%>",
    "<%MainImg.FileNameExt%>",
    "<%MainImg.FolderPath%>",
    "<%MainImg.FolderName%>",
    "<%MainImg.Exif.Date%>",
    "<%MainImg.Exif.Time%>",
};

// A text grown past this many bytes by expansion is not expanded further.
inline constexpr size_t kMaxExpandedText = 1 << 16;

class TMTParser {
 public:
  TMTParser() = default;
  explicit TMTParser(TMacroValueCallback callback) { SetCallback(std::move(callback)); }
  void SetCallback(TMacroValueCallback callback) {
    callback_ = std::move(callback);
    assigned_ = static_cast<bool>(callback_);
  }
  bool Assigned() const { return assigned_; }

  // Replaces every macro, without regard to case, in table order. A value is never searched
  // for the macro it replaced, so expansion always ends. An empty result becomes " ".
  std::string Expand(std::string_view text);

 private:
  std::string ValueOf(std::string_view macro);

  TMacroValueCallback callback_;
  bool assigned_ = false;
};

// Parts of a picture path ("\" or "/" separates folders).
std::string PathFileName(std::string_view path);  // no folder, no extension
std::string PathWithoutExtension(std::string_view path);
std::string PathFileNameExt(std::string_view path);  // no folder
std::string PathFolder(std::string_view path);       // up to and including the last separator
std::string PathFolderName(std::string_view path);   // between the last two separators

}  // namespace vyr
