#include "open_package.h"

#include "cli_error.h"

namespace vyr::pack {

TRef<TVyrUnpack> OpenPackage(const std::string& path) {
  auto package = MakeRef<TVyrUnpack>(path);
  if (package->IsOpen()) return package;
  if (package->ErrorText().empty()) throw ECliError(kExitTrouble, "not a show package");
  throw ECliError(kExitTrouble, package->ErrorText());
}

TRef<TStream> OpenStoredEntry(const TVyrUnpack& package, const std::string& section) {
  auto stream = package.OpenSection(section);
  if (!stream) throw ECliError(kExitTrouble, "cannot open " + package.FileName());
  return stream;
}

}  // namespace vyr::pack
