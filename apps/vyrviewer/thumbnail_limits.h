#pragma once
// File managers run the thumbnailer on every show they list: whatever the file holds, the
// process stays within an address space and a time, and beyond them it ends cleanly (status 1,
// no thumbnail file) instead of taking the machine's memory or hanging.

#include <cstdint>
#include <string>

namespace vyr::viewer {

inline constexpr int64_t kThumbnailAddressSpace = int64_t{1} << 30;  // 1 GiB
inline constexpr unsigned kThumbnailSeconds = 20;

// Lowers the address-space limit to addressSpace (never raises it) after making the libraries'
// reservations fit (one allocator arena, two renderer threads), and arms a timer that, after
// seconds, removes out, says why on standard error and ends the process with status 1.
void LimitThumbnailProcess(const std::string& out, int64_t addressSpace = kThumbnailAddressSpace,
                           unsigned seconds = kThumbnailSeconds);

}  // namespace vyr::viewer
