#pragma once
// Lock files held with flock while what they guard is in use: one whose lock nobody holds
// was left by a process that died, and what it guarded may be cleaned away.

#include <string>

namespace vyr {

// Creates the lock file and holds it; written under another name and renamed into place, so
// its name never exists without the lock. The descriptor, or -1.
int CreateHeldLock(const std::string& lockPath);

// When no running process holds the lock file, unlinks it and returns its descriptor, still
// locked, for the caller to close once what it guarded is gone; else -1.
int TakeAbandonedLock(const std::string& lockPath);

// Creates an empty file when missing (a lock file put back for a later run to retry).
void TouchFile(const std::string& path);

}  // namespace vyr
