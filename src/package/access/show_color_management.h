#pragma once
// The colour management of a show: which output profile pictures are converted to, and
// whether conversion runs through the colour-management library or through the colour
// tables a package carries.

#include <functional>
#include <string>

#include "imaging/colour/color_profile.h"
#include "imaging/colour/color_transform.h"
#include "package/access/file_accessor.h"
#include "package/container/vyr_unpack.h"
#include "project/ini/model.h"

namespace vyr {

// The screen's profile as the desktop publishes it, or none; asked only when needed.
using TScreenProfile = std::function<TRef<TColorProfile>()>;

// What the command line chose at start-up.
struct TColorCommandLine {
  bool noIcc = false;           // "noicc": no conversion for any show
  TRef<TColorProfile> profile;  // "icc": the monitor profile, or none
  TScreenProfile screen;        // for the setting "?"; none without it
};
void SetColorCommandLine(TColorCommandLine options);
// The choice of the options "noicc" and "icc" (its first value; empty when it has none):
// "noicc" switches colour management off; "icc" with "auto" or no value means the screen's
// profile, "sRGB", "AdobeRGB" or "RivedADE" (any case) the built-in one, any other value a
// profile file, used only when it can be read.
TColorCommandLine ColorCommandLineOf(bool noIcc, bool hasIcc, const std::string& icc,
                                     TScreenProfile screen = {});

// Run right after a show's project is read: sets the output profile and both flags from
// [Main] "ColorManagement" and the command line, installs the transform factory and keeps
// the show's package (none for loose files) for its stored tables. A profile file the show
// names is its package entry or a file inside its folder (a relative path from there); one
// outside the folder is not read (logged), which means no profile, as for a missing file.
void SetupShowColorManagement(const TIniFile& project, const TFileAccessor* show);

// Conversion of pictures' embedded profiles is switched off for the current show.
bool ColorManagementOff();
// The colour-management library converts for the current show.
bool ColorManagementActive();

// Counts the colour set-ups of shows: what was made for one show's set-up (lookups of
// pictures' profiles) is made again after the next.
uint64_t ColorSetupGeneration();

// What tells transforms from a picture's profile apart beside its ICC data: the profile's
// name while a packaged show's stored tables convert (they are named after it), else nothing.
std::string TransformNameOf(const TColorProfile& source);

// The transform factory of a show: without active colour management, a packaged show
// converts only through its stored table ("ColorSpaceExe_" + source name + "].QZGFX"; no
// entry means no transform); otherwise through the colour-management library.
TRef<TColorTransform> ShowTransformFactory(const TRef<TColorProfile>& source,
                                           const TRef<TColorProfile>& dest);
// The stored table of that source profile as a transform; none when the entry is missing
// or unreadable.
TRef<TColorTransform> PackagedTableTransform(const TVyrUnpack& package,
                                             const TRef<TColorProfile>& source,
                                             const TRef<TColorProfile>& dest);

}  // namespace vyr
