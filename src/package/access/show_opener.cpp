#include "package/access/show_opener.h"

#include <filesystem>

#include "package/access/packed_file_source.h"
#include "package/access/path_modifiers.h"
#include "package/access/show_color_management.h"

namespace vyr {

namespace {

std::string FolderOf(const std::string& path) {
  std::string folder = std::filesystem::absolute(path).parent_path().string();
  if (folder.empty() || folder.back() != '/') folder += '/';
  return folder;
}

TOpenedShow Failed(std::string error) {
  TOpenedShow show;
  show.error = std::move(error);
  return show;
}

TRef<TIniFile> LoadProject(TStream* stream) {
  if (!stream) return nullptr;
  auto project = MakeRef<TIniFile>();
  return project->LoadFromStream(*stream) ? project : nullptr;
}

}  // namespace

TOpenedShow OpenShow(const std::string& path) {
  const std::string folder = FolderOf(path);
  auto package = MakeRef<TVyrUnpack>(path);
  TOpenedShow show;
  if (package->IsOpen()) {
    auto source = MakeRef<TPackedFileSource>(package, folder);
    const TRef<TStream> entry = package->OpenEntry(kProjectEntryName);
    show.project = LoadProject(entry.Get());
    if (!show.project) return Failed("Executable SlideShow Open Error");
    source->LoadMaps(*show.project);
    show.accessor = MakeRef<TFileAccessor>(source, folder);
    show.package = package;
    SetupShowColorManagement(*show.project, show.accessor.Get());
    return show;
  }
  if (!package->ErrorText().empty()) return Failed(package->ErrorText());

  // No package trailer: a project file with loose files next to it.
  const auto file = TFileStream::TryOpen(path, TFileStream::Mode::Read);
  show.project = LoadProject(file.Get());
  if (!show.project) return Failed("Can`t Load Show");
  auto source = MakeRef<TMappedFileSource>(folder);
  source->LoadMaps(*show.project);
  LoadPathModifiers(*show.project);
  show.accessor = MakeRef<TFileAccessor>(source, folder);
  SetupShowColorManagement(*show.project, show.accessor.Get());
  return show;
}

}  // namespace vyr
