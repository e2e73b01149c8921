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
  std::string path;  // the file opened (a project for its executable's alias)
};

// A project opened from its file names the executable it is built into ("opt_exefn"); later
// requests for that executable (a return from another show) open the project again.
struct TExeAlias {
  std::string exeName;  // "/" separators
  std::string projectPath;
};

// A ".app" name is a bundle: its "Contents/Resources/slideshow.dat", else the name with
// ".vyshow"; the alias's executable name is its project; any other name stays.
std::string MapShowFileName(const std::string& name, const TExeAlias* alias = nullptr);

// The project's [Main] "opt_exefn" with "/" separators; empty when not set.
std::string ExeNameOf(const TIniFile* project);

// The folder a project's show lives in: the folder of its executable when that folder
// exists here, else the project's own folder. Ends in "/".
std::string ProjectShowFolder(const std::string& projectPath, const std::string& exeName);

// A show that the current one names but that is not where the name says: the project was made
// for its executable at exeName, so the name's folder relative to that executable's folder is
// taken from the current show folder (folders compared without case; a name on another drive
// keeps its folder); else the current show folder plus the file name. The mapped name of the
// first that exists, or empty.
std::string FindShowBesideCurrent(const std::string& requested, const std::string& exeName,
                                  const std::string& currentFolder,
                                  const TExeAlias* alias = nullptr);

// Opens the show; on failure the message for the "Slideshow Error" box (lines joined by CR).
// A project's show folder is its executable's (ProjectShowFolder).
bool LocateShow(const std::string& path, bool packaged, TVyrShowLocator& located,
                std::string& message, const TExeAlias* alias = nullptr);

// The messages' CR line breaks as this platform writes them.
std::string MessageLines(std::string text);

}  // namespace vyr
