#pragma once
// Opens a show wherever it lives: a package of its own, a package appended to an
// executable, or a project file with its loose files.

#include <string>

#include "package/access/file_accessor.h"
#include "package/container/vyr_unpack.h"
#include "project/ini/model.h"

namespace vyr {

// The project entry every package carries.
inline constexpr const char* kProjectEntryName = "Project.vyr";

struct TOpenedShow {
  TRef<TFileAccessor> accessor;
  TRef<TIniFile> project;
  TRef<TVyrUnpack> package;  // none for a loose project
  std::string error;         // empty when the show opened

  bool Ok() const { return error.empty(); }
};

// A file with a package trailer opens as a package; any other file is read as a project
// file. Right after the project is read, the show's colour management is set up from its
// [Main] "ColorManagement" and the command line's choice. Failures carry the reader's text,
// "Executable SlideShow Open Error" when a package has no readable project, or "Can`t Load Show".
TOpenedShow OpenShow(const std::string& path);

}  // namespace vyr
