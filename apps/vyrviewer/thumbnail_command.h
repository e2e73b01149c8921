#pragma once
// Thumbnails for file managers: the first slide as it stands once its incoming transition has
// ended, drawn headless at the thumbnail's own size, so pictures are decoded only as large as
// the thumbnail needs. Never a window, sound or question: a show that asks for a password
// gets no thumbnail.

#include <cstdint>
#include <optional>
#include <string>

namespace vyr::viewer {

// Writes the thumbnail of show, its longer side size pixels, as a PNG file; returns the
// program's exit status (0 written, 1 refused or not drawn, 2 show or file trouble).
int WriteThumbnail(const std::string& show, int size, const std::string& out,
                   std::optional<uint32_t> seed);

}  // namespace vyr::viewer
