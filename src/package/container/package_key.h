#pragma once
// The key that scrambles method-2 entries of our packages: the bytes of these
// 32 characters are XORed over the entry, restarting at each entry's first byte.

#include <string_view>

namespace vyr {

inline constexpr std::string_view kPackageKey = "5A3C9E17B2D84F60A1C7E93B0D5F2846";

}  // namespace vyr
