#pragma once
// Finding and opening the show the window plays: a package (a bundle folder, a show file,
// an executable with a show appended, with the ".vyshow" fallback) or a project file.

#include <string>

#include "package/access/show_opener.h"
#include "project/vyr_source.h"

namespace vyr {

struct TVyrShowLocator {
  TOpenedShow show;
  std::string version;  // [Main] "VyrVersion"
  bool packaged = false;
};

// A ".app" name is a bundle: its "Contents/Resources/slideshow.dat", else the name with
// ".vyshow"; any other name stays.
std::string MapShowFileName(const std::string& name);

// Opens the show; on failure the message for the "Slideshow Error" box (lines joined by CR).
bool LocateShow(const std::string& path, bool packaged, TVyrShowLocator& located,
                std::string& message);

// The messages' CR line breaks as this platform writes them.
std::string MessageLines(std::string text);

}  // namespace vyr
