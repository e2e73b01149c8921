#pragma once
// Budgets that real pictures never meet, so that a hostile show file cannot make a decoder
// take the memory or time of the process; and the hook long decodes ask whether to go on.

#include <cstdint>
#include <string_view>

namespace vyr {

// Decoded pixels of one picture: 8192 x 8192 (256 MiB at 32 bits). A 24-megapixel photo is
// far below; a larger JPEG decodes at the largest of its reduced scales that fits.
inline constexpr int64_t kMaxPicturePixels = int64_t{8192} * 8192;
// Sides shorter than this count as this long: the renderer's smallest texture page is 64
// texels across, so a picture a pixel high and millions wide costs like one 64 high.
inline constexpr int64_t kMinBudgetSide = 64;
// Bytes of a picture file that the decoder keeps or scans (GIF, JPEG, PNG).
inline constexpr int64_t kMaxPictureFileBytes = int64_t{320} << 20;

// True when a picture of width x height fits; above the budget one log line names the
// picture (a side of 0 or less fits nothing and logs nothing).
bool FitsPictureBudget(int64_t width, int64_t height, std::string_view name);
// The same without the log line.
bool WithinPictureBudget(int64_t width, int64_t height);
// True when a picture file of that many bytes fits; otherwise one log line.
bool FitsPictureFileBudget(int64_t bytes, std::string_view name);

// Decoders ask this between rows and chunks: false stops the decode early. The show's file
// access points it at its load-yield hook, so that a closing player is not kept waiting;
// without a hook decodes always go on.
using TDecodeGoOnHook = bool (*)();
void SetDecodeGoOnHook(TDecodeGoOnHook hook);
bool DecodeGoOn();

}  // namespace vyr
