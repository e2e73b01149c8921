#include "imaging/metadata/picture_macros.h"

#include "foundation/case_fold.h"
#include "imaging/metadata/exif_reader.h"
#include "imaging/metadata/iptc_reader.h"

namespace vyr {

namespace {

struct TIptcMacro {
  std::string_view macro;
  uint8_t dataset;
};
constexpr TIptcMacro kIptcMacros[] = {
    {"<%MainImg.IPTC.DocumentTitle%>", 5},   {"<%MainImg.IPTC.SpecialInstructions%>", 40},
    {"<%MainImg.IPTC.AuthorByline%>", 80},   {"<%MainImg.IPTC.AuthorTitle%>", 85},
    {"<%MainImg.IPTC.City%>", 90},           {"<%MainImg.IPTC.Sublocation%>", 92},
    {"<%MainImg.IPTC.ProvinceState%>", 95},  {"<%MainImg.IPTC.Country%>", 101},
    {"<%MainImg.IPTC.OTR%>", 103},           {"<%MainImg.IPTC.Headline%>", 105},
    {"<%MainImg.IPTC.Credits%>", 110},       {"<%MainImg.IPTC.Source%>", 115},
    {"<%MainImg.IPTC.Copyright%>", 116},     {"<%MainImg.IPTC.CaptionDescription%>", 120},
    {"<%MainImg.IPTC.CaptionWriter%>", 122},
};

std::string Trim(const std::string& s) {
  const size_t first = s.find_first_not_of(' ');
  if (first == std::string::npos) return {};
  return s.substr(first, s.find_last_not_of(' ') - first + 1);
}

}  // namespace

std::optional<uint8_t> IptcDatasetOfMacro(std::string_view macro) {
  for (const TIptcMacro& m : kIptcMacros)
    if (SameName(m.macro, macro)) return m.dataset;
  return std::nullopt;
}

std::string PictureMacroValue(std::string_view macro, TStream& picture) {
  try {
    const TExif exif = ReadExif(picture);
    if (SameName(macro, "<%MainImg.Exif.Date%>") || SameName(macro, "<%MainImg.Exif.Time%>"))
      return exif.dateTime;
    if (SameName(macro, "<%MainImg.Exif.Comment%>")) return Trim(exif.userComment);
    if (SameName(macro, "<%MainImg.Exif.Description%>")) return Trim(exif.imageDescription);
    const std::optional<uint8_t> dataset = IptcDatasetOfMacro(macro);
    if (!dataset) return {};
    TIPTCData iptc;
    iptc.Read(picture);
    return Trim(iptc.Text(*dataset));
  } catch (const std::exception&) {
    return {};
  }
}

std::string PictureMacroValue(std::string_view macro, const std::string& path,
                              const TStreamOpener& open) {
  try {
    TRef<TStream> stream = open ? open(path) : OpenStreamByName(path);
    return stream ? PictureMacroValue(macro, *stream) : std::string();
  } catch (const std::exception&) {
    return {};
  }
}

}  // namespace vyr
