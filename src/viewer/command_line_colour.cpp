#include "viewer/command_line_colour.h"

#include <mutex>

#include "package/access/show_color_management.h"
#include "platform/screen_profile.h"

namespace vyr {
namespace {

// Read from the desktop once, when a show or the command line first asks for it.
TRef<TColorProfile> ScreenProfile() {
  static std::once_flag once;
  static TRef<TColorProfile>* profile = nullptr;  // lives for the process
  std::call_once(once, [] {
    profile = new TRef<TColorProfile>(ProfileFromIcc(ReadScreenIccProfile(), "screen"));
  });
  return *profile;
}

}  // namespace

void InstallColourOptions(const TCommandsStorage& table) {
  SetColorCommandLine(ColorCommandLineOf(table.HasOption("noicc"), table.HasOption("icc"),
                                         table.OptionValue("icc").value_or(""), ScreenProfile));
}

}  // namespace vyr
