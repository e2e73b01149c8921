#include "viewer/dialogs/picture_printer.h"

#include <gtk/gtk.h>
#include <gtk/gtkunixprint.h>

#include <cmath>
#include <cstdint>
#include <utility>

namespace vyr {
namespace {

constexpr guint kPrinterSearchSeconds = 5;

GtkPrintSettings* keptSettings = nullptr;
GtkPageSetup* keptPageSetup = nullptr;

struct TPrintJob {
  TRef<TDirectBitmap> pixels;  // in cairo's native layout
  bool premultiplied = false;
  bool failed = false;
  bool done = false;  // the operation has handed the job over (or given up)
};

void OperationDone(GtkPrintOperation*, GtkPrintOperationResult result, gpointer data) {
  auto* job = static_cast<TPrintJob*>(data);
  job->done = true;
  if (result == GTK_PRINT_OPERATION_RESULT_ERROR) job->failed = true;
}

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

// The printer of that name, else the default printer when name is empty; a new reference,
// or null when none answers within the bound.
struct TPrinterSearch {
  std::string name;  // empty: the default printer
  GtkPrinter* found = nullptr;
  bool listed = false;  // every backend has listed its printers
  bool timedOut = false;
};

gboolean ConsiderPrinter(GtkPrinter* printer, gpointer data) {
  auto* search = static_cast<TPrinterSearch*>(data);
  const bool match = search->name.empty() ? gtk_printer_is_default(printer)
                                          : search->name == gtk_printer_get_name(printer);
  if (match && !search->found) search->found = GTK_PRINTER(g_object_ref(printer));
  return match;
}

void SearchListed(gpointer data) { static_cast<TPrinterSearch*>(data)->listed = true; }

gboolean SearchTimedOut(gpointer data) {
  static_cast<TPrinterSearch*>(data)->timedOut = true;
  return G_SOURCE_REMOVE;
}

// The printer of that name, else the default printer when name is empty; a new reference,
// or null when none answers within the bound.
GtkPrinter* FindPrinter(const std::string& name) {
  // Outlives the call: a backend may still be listing after a timed-out search.
  static TPrinterSearch search;
  search = TPrinterSearch{name};
  gtk_enumerate_printers(ConsiderPrinter, &search, SearchListed, FALSE);
  const guint timeout = g_timeout_add_seconds(kPrinterSearchSeconds, SearchTimedOut, &search);
  while (!search.listed && !search.timedOut && !search.found) gtk_main_iteration();
  if (!search.timedOut) g_source_remove(timeout);
  return std::exchange(search.found, nullptr);
}

// The file a file printer writes, from its output URI.
std::string OutputFile(GtkPrintSettings* settings) {
  const char* uri = gtk_print_settings_get(settings, GTK_PRINT_SETTINGS_OUTPUT_URI);
  if (!uri) return {};
  gchar* path = g_filename_from_uri(uri, nullptr, nullptr);
  std::string file = path ? path : "";
  g_free(path);
  return file;
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
  // GTK waits forever for a printer that is not there: find it first, within a bound.
  const char* wanted = keptSettings ? gtk_print_settings_get_printer(keptSettings) : nullptr;
  GtkPrinter* printer = FindPrinter(wanted ? wanted : "");
  if (!printer) return false;
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
  GtkPrintSettings* settings =
      keptSettings ? gtk_print_settings_copy(keptSettings) : gtk_print_settings_new();
  gtk_print_settings_set_printer(settings, gtk_printer_get_name(printer));
  gtk_print_operation_set_print_settings(operation, settings);
  GtkPageSetup* page = keptPageSetup ? gtk_page_setup_copy(keptPageSetup) : gtk_page_setup_new();
  gtk_page_setup_set_orientation(page, picture.Height() < picture.Width()
                                           ? GTK_PAGE_ORIENTATION_LANDSCAPE
                                           : GTK_PAGE_ORIENTATION_PORTRAIT);
  gtk_print_operation_set_default_page_setup(operation, page);
  g_object_unref(page);
  g_signal_connect(operation, "draw-page", G_CALLBACK(DrawPage), &job);
  g_signal_connect(operation, "done", G_CALLBACK(OperationDone), &job);

  // GTK prints to a virtual printer ("Print to File") only through its own dialog; without
  // one the operation exports to the file that printer was set to write.
  GtkPrintOperationAction action = GTK_PRINT_OPERATION_ACTION_PRINT;
  if (gtk_printer_is_virtual(printer)) {
    const std::string file = OutputFile(settings);
    if (file.empty()) {
      g_object_unref(settings);
      g_object_unref(operation);
      g_object_unref(printer);
      return false;
    }
    gtk_print_operation_set_export_filename(operation, file.c_str());
    action = GTK_PRINT_OPERATION_ACTION_EXPORT;
  }
  g_object_unref(settings);
  g_object_unref(printer);

  GError* error = nullptr;
  const GtkPrintOperationResult result =
      gtk_print_operation_run(operation, action, nullptr, &error);
  if (error) g_error_free(error);
  // The job is handed over when the operation says it is done.
  while (result == GTK_PRINT_OPERATION_RESULT_APPLY && !job.done &&
         !gtk_print_operation_is_finished(operation))
    gtk_main_iteration();
  const bool printed =
      result == GTK_PRINT_OPERATION_RESULT_APPLY && !job.failed &&
      gtk_print_operation_get_status(operation) != GTK_PRINT_STATUS_FINISHED_ABORTED;
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
