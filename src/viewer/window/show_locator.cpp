#include "viewer/window/show_locator.h"

#include <filesystem>

#include "platform/process_paths.h"
#include "project/ini_values.h"

namespace vyr {

std::string MapShowFileName(const std::string& name) {
  const std::filesystem::path path(name);
  if (path.extension() != ".app") return name;
  const auto inside = path / "Contents" / "Resources" / "slideshow.dat";
  if (std::filesystem::is_regular_file(inside)) return inside.string();
  return ChangeFileExt(name, ".vyshow");
}

bool LocateShow(const std::string& path, bool packaged, TVyrShowLocator& located,
                std::string& message) {
  located = {};
  located.packaged = packaged;
  if (packaged) {
    located.show = OpenShow(MapShowFileName(path));
    // A packaged show must come from a package, never from a file read as a project.
    if (located.show.Ok() && !located.show.package) located.show.error = "Can`t Load Show";
    const std::string alternative = ChangeFileExt(path, ".vyshow");
    if (!located.show.Ok() && alternative != path) {
      TOpenedShow second = OpenShow(alternative);
      if (second.Ok() && second.package) located.show = second;
    }
    if (!located.show.Ok()) {
      const std::string error = located.show.error.empty() ? "Can`t Load Show" : located.show.error;
      message = error + "\r\"" + path + "\" or \"" + alternative + "\"";
      return false;
    }
  } else {
    located.show = OpenShow(path);
    if (!located.show.Ok()) {
      message = "Can`t Load .vyr File\r\"" + path + "\"";
      return false;
    }
  }
  located.version = ReadText(located.show.project.Get(), "Main", "VyrVersion", "");
  return true;
}

std::string MessageLines(std::string text) {
  for (char& c : text)
    if (c == '\r') c = '\n';
  return text;
}

}  // namespace vyr
