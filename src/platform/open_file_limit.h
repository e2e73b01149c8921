#pragma once
// The number of files the process may hold open. Pictures keep their file open while they
// live (a JPEG reads it again for each level), so a slide of many pictures needs more than
// the usual soft limit of 1024.

#include <cstdint>

namespace vyr {

// Raises the soft limit on open files to the hard limit (to the kernel's ceiling when the hard
// limit is unlimited) and gives the soft limit now in force; 0 when it cannot be read.
uint64_t RaiseOpenFileLimit();

}  // namespace vyr
