#pragma once
// ICC data of the built-in profiles, made with Little CMS from their primaries and curves.

#include <cstdint>
#include <vector>

namespace vyr {

// sRGB IEC61966-2.1 (ICC version 2, its description naming it within the first 512 bytes).
std::vector<uint8_t> BuildSRGBIcc();
// Adobe RGB (1998): D65 white, its primaries, gamma 563/256.
std::vector<uint8_t> BuildAdobeRGBIcc();
// "RivedADE": sRGB's colorants exchanged (red takes green's, green blue's, blue red's) with
// 129-entry sRGB tone curves, so pictures shown through it have their colours exchanged.
std::vector<uint8_t> BuildRivedADEIcc();

}  // namespace vyr
