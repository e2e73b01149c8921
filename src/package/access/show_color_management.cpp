#include "package/access/show_color_management.h"

#include <atomic>
#include <exception>
#include <mutex>

#include "foundation/case_fold.h"
#include "foundation/log.h"
#include "imaging/decode/gfx_container.h"
#include "package/access/packed_file_source.h"
#include "package/access/path_resolver.h"
#include "package/access/runtime_libraries.h"
#include "project/ini/values.h"

namespace vyr {

namespace {

std::atomic<bool> gActive{false};
std::atomic<bool> gOff{false};
std::atomic<uint64_t> gGeneration{0};
std::mutex gPackageLock;
// The package of the show whose colours are set up; none for loose files.
TRef<TPackedFileSource>& ShowPackage() {
  static auto* package = new TRef<TPackedFileSource>;  // lives for the process
  return *package;
}
TRef<TPackedFileSource> CurrentColourPackage() {
  std::lock_guard lock(gPackageLock);
  return ShowPackage();
}
std::mutex gCommandLineLock;
TColorCommandLine& CommandLine() {
  static auto* options = new TColorCommandLine;  // lives for the process
  return *options;
}

// A whole profile; none when it cannot be read.
TRef<TColorProfile> ProfileFromStream(TRef<TStream> stream, const std::string& name) {
  if (!stream) return nullptr;
  try {
    return ProfileFromIcc(stream->ReadRest(), name);
  } catch (const std::exception&) {
    return nullptr;
  }
}

TRef<TColorProfile> ProfileFromFile(const std::string& path) {
  if (path.empty()) return nullptr;
  return ProfileFromStream(TFileStream::TryOpen(path, TFileStream::Mode::Read), path);
}

// A profile the show names: its package entry, else the disk file found as the show's other
// disk files are (a relative path from the show folder). A show reads no file outside its
// folder, so such a path gives no profile.
TRef<TColorProfile> ProfileOfShow(const std::string& path, const TFileAccessor* show) {
  if (!show) return nullptr;
  if (TPackedFileSource* package = PackageSourceOf(show))
    if (TRef<TStream> entry = package->OpenLocked(path))
      return ProfileFromStream(std::move(entry), path);
  std::string file = path;
  if (!show->ResolveRealFile(file)) return nullptr;
  if (!IsInsideFolder(file, show->ShowFolder())) {
    WriteLine("Colour profile \"" + path + "\" lies outside the show's folder: not read");
    return nullptr;
  }
  return ProfileFromFile(file);
}

TRef<TColorProfile> ProfileOfSetting(const std::string& value, const TScreenProfile& screen,
                                     const TFileAccessor* show) {
  if (value == "?") return screen ? screen() : nullptr;
  for (const char* builtin : {"sRGB", "AdobeRGB", "RivedADE"})
    if (SameName(value, builtin)) return BuiltinProfile(builtin);
  return ProfileOfShow(value, show);
}

}  // namespace

void SetColorCommandLine(TColorCommandLine options) {
  std::lock_guard lock(gCommandLineLock);
  CommandLine() = std::move(options);
}

TColorCommandLine ColorCommandLineOf(bool noIcc, bool hasIcc, const std::string& icc,
                                     TScreenProfile screen) {
  TColorCommandLine options;
  options.noIcc = noIcc;
  options.screen = std::move(screen);
  if (noIcc || !hasIcc) return options;
  if (icc.empty() || SameName(icc, "auto")) {
    if (options.screen) options.profile = options.screen();
    return options;
  }
  for (const char* builtin : {"sRGB", "AdobeRGB", "RivedADE"})
    if (SameName(icc, builtin)) {
      options.profile = BuiltinProfile(builtin);
      return options;
    }
  options.profile = ProfileFromFile(icc);
  return options;
}

bool ColorManagementOff() { return gOff.load(); }
bool ColorManagementActive() { return gActive.load(); }
uint64_t ColorSetupGeneration() { return gGeneration.load(); }

namespace {
// Whether transforms come from the current package's stored tables.
bool PackagedTablesConvert() { return !ColorManagementActive() && CurrentColourPackage(); }
}  // namespace

std::string TransformNameOf(const TColorProfile& source) {
  return PackagedTablesConvert() ? source.Name() : std::string();
}

void SetupShowColorManagement(const TIniFile& project, const TFileAccessor* show) {
  TColorCommandLine options;
  {
    std::lock_guard lock(gCommandLineLock);
    options = CommandLine();
  }
  SetTransformFactory(ShowTransformFactory);
  {
    std::lock_guard lock(gPackageLock);
    ShowPackage() = TRef<TPackedFileSource>::Share(PackageSourceOf(show));
  }
  ++gGeneration;
  gActive = false;
  const std::string value = ReadText(&project, "Main", "ColorManagement", "");
  if (options.noIcc || value.empty()) {
    gOff = true;
    return;
  }
  gOff = false;
  if (value == "*" && !options.profile) {
    SetOutputProfile(BuiltinProfile("RivedADE"));
    return;
  }
  if (!LoadColorManagementLibrary(show)) return;
  SetOutputProfile(options.profile ? options.profile
                                   : ProfileOfSetting(value, options.screen, show));
  gActive = true;
}

TRef<TColorTransform> PackagedTableTransform(const TVyrUnpack& package,
                                             const TRef<TColorProfile>& source,
                                             const TRef<TColorProfile>& dest) {
  if (!source) return nullptr;
  const std::string entry = "ColorSpaceExe_" + source->Name() + "].QZGFX";
  try {
    TRef<TStream> stream = package.OpenEntry(entry);
    if (!stream) return nullptr;
    TRef<TBitmapStore> store = ReadGfxContainer(*stream, entry, nullptr);
    if (!store) return nullptr;
    const TRef<TBitmap> table = store->GetMipLevel(0);
    return MakePackagedCubeTransform(source, dest, table.Get());
  } catch (const std::exception&) {
    return nullptr;
  }
}

TRef<TColorTransform> ShowTransformFactory(const TRef<TColorProfile>& source,
                                           const TRef<TColorProfile>& dest) {
  if (!ColorManagementActive())
    if (const TRef<TPackedFileSource> packed = CurrentColourPackage())
      return PackagedTableTransform(packed->Package(), source, dest);
  return DefaultTransformFactory(source, dest);
}

}  // namespace vyr
