#include "viewer/dialogs/print_dialog.h"

#include <gtk/gtk.h>

#include <cstdio>
#include <exception>

#include "platform/gtk/gtk_session.h"
#include "project/ini/values.h"
#include "viewer/dialogs/dialog_layout.h"
#include "viewer/dialogs/picture_printer.h"
#include "viewer/dialogs/save_flow.h"

namespace vyr {
namespace {

constexpr int kClosed = 0;

}  // namespace

TPrintTexts PrintTexts(const TIniFile* project) {
  constexpr const char* kMain = "Main";
  return {ReadText(project, kMain, "opt_lng_print_caption", "Print"),
          ReadText(project, kMain, "opt_lng_print_button5", "Print"),
          ReadText(project, kMain, "opt_lng_print_button6", "Save"),
          ReadText(project, kMain, "opt_lng_print_button7", "Only Main Image"),
          ReadText(project, kMain, "opt_lng_print_label", "Change Printer"),
          ReadBool(project, kMain, "CanRestore", false)};
}

TVyrPrintDialog::TVyrPrintDialog(const TPrintTexts& texts, TCallBackClass supplier)
    : changePrinterTitle_(texts.changePrinter),
      supplier_(std::move(supplier)),
      layout_(std::make_unique<TFixedDialog>(texts.caption, 282, 86)) {
  GtkWidget* print =
      layout_->AddActionButton(texts.print, "print", 12, 12, 125, 25, G_CALLBACK(OnPrint), this);
  if (texts.canSave)
    layout_->AddActionButton(texts.save, "save", 145, 12, 125, 25, G_CALLBACK(OnSave), this);
  onlyMainImage_ = gtk_check_button_new_with_label(texts.onlyMainImage.c_str());
  layout_->Place(onlyMainImage_, "only-main-image", 145, 49, 125, 25);
  layout_->AddActionButton(texts.changePrinter, "change-printer", 12, 49, 125, 25,
                           G_CALLBACK(OnChangePrinter), this);
  gtk_widget_set_can_default(print, TRUE);
  gtk_widget_grab_default(print);
  gtk_widget_grab_focus(print);
}

TVyrPrintDialog::~TVyrPrintDialog() = default;

void TVyrPrintDialog::Run(TDialogOwner owner) { RunModalDialog(layout_->Dialog(), owner); }

bool TVyrPrintDialog::OnlyMainImage() const {
  return gtk_toggle_button_get_active(GTK_TOGGLE_BUTTON(onlyMainImage_));
}

void TVyrPrintDialog::Close() { gtk_dialog_response(layout_->Dialog(), kClosed); }

void TVyrPrintDialog::OnPrint(GtkWidget*, TVyrPrintDialog* self) {
  // A printer error aborts the document; the show plays on without a message.
  RunPrint(self->supplier_, self->OnlyMainImage());
  self->Close();
}

void TVyrPrintDialog::OnSave(GtkWidget*, TVyrPrintDialog* self) {
  RunSave(self->supplier_, self->OnlyMainImage(), GTK_WINDOW(self->layout_->Dialog()));
  self->Close();
}

void TVyrPrintDialog::OnChangePrinter(GtkWidget*, TVyrPrintDialog* self) {
  ChangePrinter(self->changePrinterTitle_, GTK_WINDOW(self->layout_->Dialog()));
}

void PrintSlide(TDialogOwner owner, TRef<TIniFile> project, TRef<TFileAccessor> accessor,
                int slideIndex, TRef<TBitmap> captured) {
  if (!DialogsAvailable()) {
    std::fputs("vyrviewer: no display for the print dialog; cancelled\n", stderr);
    return;
  }
  try {
    const TPrintTexts texts = PrintTexts(project.Get());
    TVyrPrintDialog dialog(texts, TCallBackClass(std::move(project), std::move(accessor),
                                                 slideIndex, std::move(captured)));
    dialog.Run(owner);
  } catch (const std::exception& error) {
    std::fprintf(stderr, "vyrviewer: print: %s\n", error.what());
  }
}

}  // namespace vyr
