#pragma once
// TVyrPrintDialog: Print, Save (only with "CanRestore"), "Only Main Image" and Change Printer.

#include <memory>
#include <string>

#include "platform/gtk/dialog_owner.h"
#include "viewer/dialogs/picture_supplier.h"

typedef struct _GtkWidget GtkWidget;

namespace vyr {

class TFixedDialog;

struct TPrintTexts {
  std::string caption;
  std::string print;
  std::string save;
  std::string onlyMainImage;
  std::string changePrinter;
  bool canSave = false;  // [Main] "CanRestore"
};

// The texts from [Main], with their defaults.
TPrintTexts PrintTexts(const TIniFile* project);

class TVyrPrintDialog {
 public:
  // GTK must be available (DialogsAvailable()).
  TVyrPrintDialog(const TPrintTexts& texts, TCallBackClass supplier);
  ~TVyrPrintDialog();
  TVyrPrintDialog(const TVyrPrintDialog&) = delete;
  TVyrPrintDialog& operator=(const TVyrPrintDialog&) = delete;

  void Run(TDialogOwner owner);

 private:
  static void OnPrint(GtkWidget* button, TVyrPrintDialog* self);
  static void OnSave(GtkWidget* button, TVyrPrintDialog* self);
  static void OnChangePrinter(GtkWidget* button, TVyrPrintDialog* self);
  bool OnlyMainImage() const;
  void Close();

  std::string changePrinterTitle_;
  TCallBackClass supplier_;
  std::unique_ptr<TFixedDialog> layout_;
  GtkWidget* onlyMainImage_ = nullptr;
};

// Runs the print dialog for the slide shown (slideIndex -1: none) and the captured frame.
// Does nothing without a display.
void PrintSlide(TDialogOwner owner, TRef<TIniFile> project, TRef<TFileAccessor> accessor,
                int slideIndex, TRef<TBitmap> captured);

}  // namespace vyr
