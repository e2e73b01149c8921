#include "viewer/dialogs/picture_printer.h"

#include <gtk/gtk.h>
#include <gtk/gtkunixprint.h>

#include <cmath>
#include <cstdint>

namespace vyr {
namespace {

GtkPrintSettings* keptSettings = nullptr;
GtkPageSetup* keptPageSetup = nullptr;

struct TPrintJob {
  TRef<TDirectBitmap> pixels;  // in cairo's native layout
  bool premultiplied = false;
  bool failed = false;
};

void DrawPage(GtkPrintOperation* operation, GtkPrintContext* context, gint, gpointer data) {
  auto* job = static_cast<TPrintJob*>(data);
  const TBitmap& pixels = *job->pixels;
  const int pageWidth = static_cast<int>(gtk_print_context_get_width(context));
  const int pageHeight = static_cast<int>(gtk_print_context_get_height(context));
  const TPagePlacement place =
      FitPictureOnPage(pixels.Width(), pixels.Height(), pageWidth, pageHeight);
  cairo_surface_t* surface = cairo_image_surface_create_for_data(
      const_cast<uint8_t*>(pixels.Row(0)),
      job->premultiplied ? CAIRO_FORMAT_ARGB32 : CAIRO_FORMAT_RGB24, pixels.Width(),
      pixels.Height(), static_cast<int>(pixels.RowBytes()));
  cairo_t* cr = gtk_print_context_get_cairo_context(context);
  cairo_save(cr);
  cairo_translate(cr, place.left, place.top);
  cairo_scale(cr, static_cast<double>(place.width) / pixels.Width(),
              static_cast<double>(place.height) / pixels.Height());
  cairo_set_source_surface(cr, surface, 0, 0);
  cairo_pattern_set_filter(cairo_get_source(cr), CAIRO_FILTER_GOOD);
  cairo_rectangle(cr, 0, 0, pixels.Width(), pixels.Height());
  cairo_fill(cr);
  cairo_restore(cr);
  if (cairo_status(cr) != CAIRO_STATUS_SUCCESS ||
      cairo_surface_status(surface) != CAIRO_STATUS_SUCCESS) {
    job->failed = true;
    gtk_print_operation_cancel(operation);
  }
  cairo_surface_destroy(surface);
}

}  // namespace

TPagePlacement FitPictureOnPage(int pictureWidth, int pictureHeight, int pageWidth,
                                int pageHeight) {
  TPagePlacement place;
  if (pictureWidth <= 0 || pictureHeight <= 0 || pageWidth <= 0 || pageHeight <= 0) return place;
  const int64_t widthAtPageHeight = int64_t{pictureWidth} * pageHeight / pictureHeight;
  if (widthAtPageHeight < pageWidth) {
    place.width = static_cast<int>(widthAtPageHeight);
    place.height = pageHeight;
  } else {
    place.width = pageWidth;
    place.height = static_cast<int>(int64_t{pictureHeight} * pageWidth / pictureWidth);
  }
  place.left = (pageWidth - place.width) / 2;
  place.top = (pageHeight - place.height) / 2;
  return place;
}

void KeepPrinterChoice(GtkPrintSettings* settings, GtkPageSetup* pageSetup) {
  if (settings) {
    if (keptSettings) g_object_unref(keptSettings);
    keptSettings = gtk_print_settings_copy(settings);
  }
  if (pageSetup) {
    if (keptPageSetup) g_object_unref(keptPageSetup);
    keptPageSetup = gtk_page_setup_copy(pageSetup);
  }
}

void ChangePrinter(const std::string& title, GtkWindow* parent) {
  GtkWidget* dialog = gtk_print_unix_dialog_new(title.c_str(), parent);
  GtkPrintUnixDialog* setup = GTK_PRINT_UNIX_DIALOG(dialog);
  if (keptSettings) gtk_print_unix_dialog_set_settings(setup, keptSettings);
  if (keptPageSetup) gtk_print_unix_dialog_set_page_setup(setup, keptPageSetup);
  gtk_print_unix_dialog_set_manual_capabilities(
      setup, static_cast<GtkPrintCapabilities>(GTK_PRINT_CAPABILITY_GENERATE_PDF));
  gtk_window_set_modal(GTK_WINDOW(dialog), TRUE);
  if (gtk_dialog_run(GTK_DIALOG(dialog)) == GTK_RESPONSE_OK) {
    GtkPrintSettings* settings = gtk_print_unix_dialog_get_settings(setup);  // a new reference
    if (GtkPrinter* printer = gtk_print_unix_dialog_get_selected_printer(setup))
      gtk_print_settings_set_printer(settings, gtk_printer_get_name(printer));
    KeepPrinterChoice(settings, gtk_print_unix_dialog_get_page_setup(setup));
    g_object_unref(settings);
  }
  gtk_widget_destroy(dialog);
}

bool PrintPicture(const TBitmap& picture, const std::string& title) {
  if (picture.Width() <= 0 || picture.Height() <= 0) return false;
  TPrintJob job;
  job.premultiplied = picture.Format()->HasAlpha();
  // Cairo's 32-bit layouts: premultiplied ARGB, or RGB with the top byte unused.
  job.pixels = MakeRef<TDirectBitmap>(picture.Width(), picture.Height(),
                                      job.premultiplied ? pf::PremulA8R8G8B8() : pf::A8R8G8B8());
  job.pixels->CopyRect({0, 0, picture.Width(), picture.Height()}, picture, {0, 0});

  GtkPrintOperation* operation = gtk_print_operation_new();
  gtk_print_operation_set_job_name(operation, title.c_str());
  gtk_print_operation_set_n_pages(operation, 1);
  gtk_print_operation_set_allow_async(operation, FALSE);
  if (keptSettings) gtk_print_operation_set_print_settings(operation, keptSettings);
  GtkPageSetup* page = keptPageSetup ? gtk_page_setup_copy(keptPageSetup) : gtk_page_setup_new();
  gtk_page_setup_set_orientation(page, picture.Height() < picture.Width()
                                           ? GTK_PAGE_ORIENTATION_LANDSCAPE
                                           : GTK_PAGE_ORIENTATION_PORTRAIT);
  gtk_print_operation_set_default_page_setup(operation, page);
  g_object_unref(page);
  g_signal_connect(operation, "draw-page", G_CALLBACK(DrawPage), &job);

  GError* error = nullptr;
  const GtkPrintOperationResult result =
      gtk_print_operation_run(operation, GTK_PRINT_OPERATION_ACTION_PRINT, nullptr, &error);
  if (error) g_error_free(error);
  // The job is handed over when the operation says it is finished.
  while (result == GTK_PRINT_OPERATION_RESULT_APPLY && !gtk_print_operation_is_finished(operation))
    gtk_main_iteration();
  const bool printed = result == GTK_PRINT_OPERATION_RESULT_APPLY && !job.failed &&
                       gtk_print_operation_get_status(operation) == GTK_PRINT_STATUS_FINISHED;
  g_object_unref(operation);
  return printed;
}

bool RunPrint(const TCallBackClass& supplier, bool onlyMainImage) {
  TSuppliedPicture answer;
  const bool found = (onlyMainImage && supplier.Request(TPictureRequest::MainPicture, answer)) ||
                     supplier.Request(TPictureRequest::CapturedFrame, answer);
  if (!found || !answer.picture) return false;
  if (answer.picture->Width() <= 0 || answer.picture->Height() <= 0) return false;
  return PrintPicture(*answer.picture, "Slideshow");
}

}  // namespace vyr
