#pragma once
// The print dialog's Save: what is offered (the original picture or the frame on screen),
// under which name, and how it is written.

#include <optional>
#include <string>

#include "foundation/stream.h"
#include "viewer/dialogs/picture_supplier.h"

typedef struct _GtkWindow GtkWindow;

namespace vyr {

struct TSavePlan {
  std::string fileName;   // offered in the save-file dialog
  std::string extension;  // the default extension without its dot; "*" when there is none
  std::string filter;     // "*." + extension
  TRef<TStream> stream;   // the bytes to write, from its start
};

// With onlyMainImage the main picture's own file (a JPEG as it is, else a BMP); otherwise, or
// when that cannot be had, the captured frame as "Slide" + (slide index + 1) + ".bmp". None
// when there is nothing to save.
std::optional<TSavePlan> PlanSave(const TCallBackClass& supplier, bool onlyMainImage);

// The path with ".extension" added when its file name has no extension ("*": unchanged).
std::string WithDefaultExtension(const std::string& path, const std::string& extension);

// Writes the stream to a temporary file beside path and renames it into place, so the file
// is written completely or not at all. False with a reason on failure.
bool WriteFileAtomically(TStream& stream, const std::string& path, std::string& error);

// The save-file dialog (asks before overwriting); the chosen path with the default extension,
// or none when cancelled. GTK must be available.
std::optional<std::string> AskSavePath(const TSavePlan& plan, GtkWindow* parent);

// The whole Save: plan, ask, write. False when nothing was written.
bool RunSave(const TCallBackClass& supplier, bool onlyMainImage, GtkWindow* parent);

}  // namespace vyr
