#pragma once
// The values of the picture macros from the main picture's file: EXIF date, time, comment
// and description, and the IPTC fields.

#include <optional>
#include <string>
#include <string_view>

#include "foundation/stream.h"
#include "foundation/stream_opener.h"

namespace vyr {

// The IPTC dataset (record 2) of an IPTC macro such as "<%MainImg.IPTC.City%>", if it is one.
std::optional<uint8_t> IptcDatasetOfMacro(std::string_view macro);

// The value of a picture macro read from the picture's bytes: the EXIF reader reads the
// stream, then the IPTC reader from its start. Blanks are trimmed at both ends; a macro that
// is not a metadata macro, or any error, gives an empty value.
std::string PictureMacroValue(std::string_view macro, TStream& picture);
// The same for a picture opened by path; a file that does not open gives an empty value.
std::string PictureMacroValue(std::string_view macro, const std::string& path,
                              const TStreamOpener& open);

}  // namespace vyr
