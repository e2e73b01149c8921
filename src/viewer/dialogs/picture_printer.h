#pragma once
// Prints one picture on one page, fitted into the printable area and centred, to the printer
// chosen in this run (else the default printer).

#include <string>

#include "imaging/bitmap/bitmap.h"
#include "platform/gtk/dialog_owner.h"
#include "viewer/dialogs/picture_supplier.h"

typedef struct _GtkWindow GtkWindow;
typedef struct _GtkPrintSettings GtkPrintSettings;
typedef struct _GtkPageSetup GtkPageSetup;

namespace vyr {

struct TPagePlacement {
  int left = 0, top = 0, width = 0, height = 0;
};

// The picture fitted into the page keeping its aspect ratio, centred (halves truncated).
TPagePlacement FitPictureOnPage(int pictureWidth, int pictureHeight, int pageWidth, int pageHeight);

// Keeps a printer, its settings and page setup for the rest of the run (copies are taken;
// either may be null).
void KeepPrinterChoice(GtkPrintSettings* settings, GtkPageSetup* pageSetup);
// The printer setup dialog; a confirmed choice is kept for later prints.
void ChangePrinter(const std::string& title, GtkWindow* parent);

// Prints at once, without a print dialog, landscape when the picture is wider than tall.
// Runs until the job is handed to the printer. False when printing failed (the document is
// aborted). GTK must be available.
bool PrintPicture(const TBitmap& picture, const std::string& title);

// The print dialog's Print: the main picture when asked for and available, else the frame
// on screen; nothing when neither can be had.
bool RunPrint(const TCallBackClass& supplier, bool onlyMainImage);

}  // namespace vyr
