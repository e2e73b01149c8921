// The password and print dialogs on a real display (Xvfb in the test run): texts, layout at
// 96 and 144 dpi, keys typed by xdotool, and printing to GTK's "Print to File" printer as PDF
// checked with pdftoppm. Skipped without a display.
#include <gtest/gtest.h>
#include <gtk/gtk.h>
#include <gtk/gtkunixprint.h>
#include <spawn.h>
#include <sys/wait.h>

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <map>
#include <stdexcept>

#include "package/access_fixture.h"
#include "platform/gtk/dialog_owner.h"
#include "platform/gtk/message_box.h"
#include "show_fixture.h"
#include "viewer/dialogs/consent_dialog.h"
#include "viewer/dialogs/dialog_layout.h"
#include "viewer/dialogs/password_dialog.h"
#include "viewer/dialogs/picture_printer.h"
#include "viewer/dialogs/print_dialog.h"
#include "viewer/fatal_error.h"

// Last: X11's macros (None, Status) would clash with the headers above.
#include <gdk/gdkx.h>

namespace vyr {
namespace {

struct TBox {
  int x = 0, y = 0, w = 0, h = 0;
  bool operator==(const TBox&) const = default;
};

std::ostream& operator<<(std::ostream& out, const TBox& b) {
  return out << "(" << b.x << ", " << b.y << ") " << b.w << " x " << b.h;
}

// What a test saw of a dialog once it was on screen.
struct TSeen {
  std::string caption;
  std::map<std::string, std::string> texts;  // widget name -> its text
  std::map<std::string, TBox> boxes;         // widget name -> place in the client area
  TBox window;
};

std::string WidgetText(GtkWidget* widget) {
  if (GTK_IS_LABEL(widget)) return gtk_label_get_text(GTK_LABEL(widget));
  if (GTK_IS_BUTTON(widget)) {
    const char* label = gtk_button_get_label(GTK_BUTTON(widget));
    return label ? label : "";
  }
  return {};
}

TSeen Look(GtkWidget* dialog, const std::vector<std::string>& names) {
  TSeen seen;
  seen.caption = gtk_window_get_title(GTK_WINDOW(dialog));
  seen.window = {0, 0, gtk_widget_get_allocated_width(dialog),
                 gtk_widget_get_allocated_height(dialog)};
  GtkWidget* client = FindNamedWidget(dialog, "client");
  if (!client) return seen;
  seen.boxes["client"] = {0, 0, gtk_widget_get_allocated_width(client),
                          gtk_widget_get_allocated_height(client)};
  for (const std::string& name : names) {
    GtkWidget* widget = FindNamedWidget(dialog, name.c_str());
    if (!widget) continue;
    int x = 0, y = 0;
    gtk_widget_translate_coordinates(widget, client, 0, 0, &x, &y);
    seen.boxes[name] = {x, y, gtk_widget_get_allocated_width(widget),
                        gtk_widget_get_allocated_height(widget)};
    seen.texts[name] = WidgetText(widget);
  }
  return seen;
}

// The first shown dialog, or null.
GtkWidget* ShownDialog() {
  GtkWidget* found = nullptr;
  GList* windows = gtk_window_list_toplevels();
  for (GList* w = windows; w && !found; w = w->next) {
    GtkWidget* widget = GTK_WIDGET(w->data);
    if (GTK_IS_DIALOG(widget) && gtk_widget_get_mapped(widget) &&
        gtk_widget_get_allocated_width(widget) > 1)
      found = widget;
  }
  g_list_free(windows);
  return found;
}

// Calls the action once our dialog is on screen (from inside its modal loop).
class TWhenShown {
 public:
  explicit TWhenShown(std::function<void(GtkWidget*)> action) : action_(std::move(action)) {
    source_ = g_timeout_add(20, &TWhenShown::Poll, this);
  }
  ~TWhenShown() {
    if (source_) g_source_remove(source_);
  }
  bool Fired() const { return fired_; }

 private:
  static gboolean Poll(gpointer data) {
    auto* self = static_cast<TWhenShown*>(data);
    GtkWidget* dialog = ShownDialog();
    if (!dialog) return G_SOURCE_CONTINUE;
    self->fired_ = true;
    self->source_ = 0;
    self->action_(dialog);
    return G_SOURCE_REMOVE;
  }
  std::function<void(GtkWidget*)> action_;
  guint source_ = 0;
  bool fired_ = false;
};

// xdotool in the background (the dialog's loop must run meanwhile); waited for on exit.
class TXdotool {
 public:
  ~TXdotool() {
    for (pid_t pid : pids_) {
      int status = 0;
      ::waitpid(pid, &status, 0);
    }
  }
  // Focuses the dialog, types the text (when any) and presses the key. "type" takes every
  // argument after it as text, so the key is a second command.
  void TypeInto(GtkWidget* dialog, const std::string& text, const std::string& key) {
    std::string window = std::to_string(gdk_x11_window_get_xid(gtk_widget_get_window(dialog)));
    std::string script = "xdotool windowfocus --sync \"$1\" && ";
    if (!text.empty()) script += "xdotool type --delay 20 \"$2\" && ";
    script += "xdotool key \"$3\"";
    std::string shell = "/bin/sh", dashC = "-c", name = "xdotool-keys", typed = text, keyName = key;
    char* argv[] = {shell.data(),  dashC.data(), script.data(),  name.data(),
                    window.data(), typed.data(), keyName.data(), nullptr};
    pid_t pid = 0;
    if (posix_spawn(&pid, "/bin/sh", nullptr, nullptr, argv, environ) == 0) pids_.push_back(pid);
  }

 private:
  std::vector<pid_t> pids_;
};

class DialogWindow : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    // GTK reads its settings and home before it starts.
    static test::TTempDir home;
    ::setenv("HOME", home.Path().c_str(), 1);
    ::setenv("NO_AT_BRIDGE", "1", 1);
    ::setenv("GSETTINGS_BACKEND", "memory", 1);
    ::setenv("GTK_PRINT_BACKENDS", "file", 1);
  }
  void SetUp() override {
    if (!DialogsAvailable()) GTEST_SKIP() << "no display";
    if (std::system("command -v xdotool >/dev/null") != 0) GTEST_SKIP() << "no xdotool";
  }

  static TRef<TIniFile> Project(const std::string& mainKeys) {
    auto project = MakeRef<TIniFile>();
    project->LoadFromUtf8("[Main]\r\n" + mainKeys);
    return project;
  }

  // Runs the password check, typing text and pressing key once the dialog shows.
  static bool Check(const TIniFile* project, const std::string& text, const std::string& key,
                    TSeen* seen = nullptr) {
    TXdotool xdotool;
    TWhenShown when([&](GtkWidget* dialog) {
      if (seen) *seen = Look(dialog, {"label", "entry", "ok", "cancel"});
      xdotool.TypeInto(dialog, text, key);
    });
    const bool allowed = PasswordCheck({}, project);
    EXPECT_TRUE(when.Fired());
    return allowed;
  }
};

TEST_F(DialogWindow, PasswordDialogShowsTheProjectsTextsInThePartsLayout) {
  const auto project = Project(
      "opt_usepass=1\r\nopt_pass=x\r\nopt_lng_password_caption=Geschützt\r\n"
      "opt_lng_password_label=Kennwort:\r\nopt_lng_button_ok=Gut\r\n");
  struct Case {
    const char* dpi;
    TBox client, label, entry, ok, cancel;
  };
  const Case cases[] = {
      {"96",
       {0, 0, 260, 98},
       {12, 12, 244, 16},
       {12, 32, 236, 21},
       {52, 62, 75, 25},
       {133, 62, 75, 25}},
      {"144",
       {0, 0, 390, 147},
       {18, 18, 366, 24},
       {18, 48, 354, 32},
       {78, 93, 113, 38},
       {200, 93, 113, 38}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.dpi) + " dpi");
    test::TScopedEnv dpi("VYR_DPI", c.dpi);
    TSeen seen;
    EXPECT_FALSE(Check(project.Get(), "", "Escape", &seen));
    EXPECT_EQ(seen.caption, "Geschützt");
    EXPECT_EQ(seen.texts["label"], "Kennwort:");
    EXPECT_EQ(seen.texts["ok"], "Gut");
    EXPECT_EQ(seen.texts["cancel"], "Cancel");
    EXPECT_EQ(seen.boxes["client"], c.client);
    EXPECT_EQ(seen.window, c.client);
    EXPECT_EQ(seen.boxes["label"], c.label);
    EXPECT_EQ(seen.boxes["entry"], c.entry);
    EXPECT_EQ(seen.boxes["ok"], c.ok);
    EXPECT_EQ(seen.boxes["cancel"], c.cancel);
  }
}

TEST_F(DialogWindow, PasswordIsAllowedOnlyWhenTypedExactlyAndConfirmed) {
  const auto stored = Project("opt_usepass=1\r\nopt_pass=Sesame42\r\n");
  const auto none = Project("opt_usepass=1\r\n");
  struct Case {
    const TIniFile* project;
    std::string typed, key;
    bool allowed;
  };
  const Case cases[] = {
      {stored.Get(), "Sesame42", "Return", true},  {stored.Get(), "Sesame4", "Return", false},
      {stored.Get(), "sesame42", "Return", false}, {stored.Get(), "Sesame42", "Escape", false},
      {none.Get(), "", "Return", false},           {none.Get(), "Sesame42", "Return", false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.typed + " + " + c.key);
    EXPECT_EQ(Check(c.project, c.typed, c.key), c.allowed);
  }
}

TEST_F(DialogWindow, PrintDialogHasSaveOnlyWithCanRestore) {
  test::TDialogShow show;
  ASSERT_TRUE(show.Show().Ok()) << show.Show().error;
  const std::vector<std::string> names{"print", "save", "only-main-image", "change-printer"};
  struct Case {
    std::string mainKeys;
    bool save;
  };
  for (const Case& c :
       {Case{"CanRestore=1\r\nopt_lng_print_caption=Drucken\r\nopt_lng_print_button6=Sichern\r\n",
             true},
        Case{"", false}, Case{"CanRestore=0\r\n", false}}) {
    SCOPED_TRACE(c.mainKeys);
    const auto project = Project(c.mainKeys);
    TSeen seen;
    TXdotool xdotool;
    TWhenShown when([&](GtkWidget* dialog) {
      seen = Look(dialog, names);
      xdotool.TypeInto(dialog, "", "Escape");
    });
    PrintSlide({}, project, show.Show().accessor, 0, nullptr);
    EXPECT_TRUE(when.Fired());
    EXPECT_EQ(seen.window, (TBox{0, 0, 282, 86}));
    EXPECT_EQ(seen.boxes["print"], (TBox{12, 12, 125, 25}));
    EXPECT_EQ(seen.boxes["only-main-image"], (TBox{145, 49, 125, 25}));
    EXPECT_EQ(seen.boxes["change-printer"], (TBox{12, 49, 125, 25}));
    EXPECT_EQ(seen.texts["print"], "Print");
    EXPECT_EQ(seen.texts["change-printer"], "Change Printer");
    EXPECT_EQ(seen.texts["only-main-image"], "Only Main Image");
    EXPECT_EQ(seen.boxes.count("save"), c.save ? 1u : 0u);
    if (c.save) {
      EXPECT_EQ(seen.caption, "Drucken");
      EXPECT_EQ(seen.boxes["save"], (TBox{145, 12, 125, 25}));
      EXPECT_EQ(seen.texts["save"], "Sichern");
    } else {
      EXPECT_EQ(seen.caption, "Print");
    }
  }
}

// A message box's caption and text as it is shown, confirmed with Return.
struct TSeenMessageBox {
  std::string caption, text;
  TXdotool xdotool;
  TWhenShown when{[this](GtkWidget* dialog) {
    caption = gtk_window_get_title(GTK_WINDOW(dialog));
    gchar* shown = nullptr;
    g_object_get(dialog, "text", &shown, nullptr);
    text = shown ? shown : "";
    g_free(shown);
    xdotool.TypeInto(dialog, "", "Return");
  }};
};

TEST_F(DialogWindow, MessageBoxShowsCaptionAndTextUntilConfirmed) {
  TSeenMessageBox box;
  ShowMessageBox("Slideshow Error", "The show cannot be opened.");
  EXPECT_TRUE(box.when.Fired());
  EXPECT_EQ(box.caption, "Slideshow Error");
  EXPECT_EQ(box.text, "The show cannot be opened.");
}

// What escapes the window player is shown in a box, and the player ends with status 1.
TEST_F(DialogWindow, AnEscapedExceptionIsShownBeforeStatusOne) {
  TSeenMessageBox box;
  EXPECT_EQ(RunReportingFailure([]() -> int { throw std::runtime_error("the slide list broke"); }),
            1);
  EXPECT_TRUE(box.when.Fired());
  EXPECT_EQ(box.caption, "Slideshow Error");
  EXPECT_EQ(box.text, "the slide list broke");
  EXPECT_EQ(RunReportingFailure([] { return 7; }), 7);
}

// The consent question names exactly what would start; "Don't allow" is the default (Return)
// and the answer on Escape; the other answers have their mnemonics.
TEST_F(DialogWindow, ConsentQuestionShowsTheVectorAndDefaultsToDontAllow) {
  TConsentSubject subject;
  subject.lines = {"/opt/show/tool", "-e", "a\tb", "say \"hi\""};
  const struct {
    const char* key;
    TConsentAnswer answer;
  } cases[] = {
      {"Return", TConsentAnswer::DontAllow}, {"Escape", TConsentAnswer::DontAllow},
      {"alt+a", TConsentAnswer::AllowOnce},  {"alt+w", TConsentAnswer::AlwaysAllow},
      {"alt+d", TConsentAnswer::DontAllow},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.key);
    std::map<std::string, std::string> texts;
    std::string caption;
    TXdotool xdotool;
    TWhenShown when([&](GtkWidget* dialog) {
      caption = gtk_window_get_title(GTK_WINDOW(dialog));
      for (const char* name : {"heading", "details", "allow-once", "always-allow", "dont-allow"})
        if (GtkWidget* widget = FindNamedWidget(dialog, name)) texts[name] = WidgetText(widget);
      xdotool.TypeInto(dialog, "", c.key);
    });
    EXPECT_EQ(AskConsent(subject, "holiday.vyshow", {}), c.answer);
    ASSERT_TRUE(when.Fired());
    EXPECT_EQ(caption, "Allow the show to start a program?");
    EXPECT_NE(texts["heading"].find("\"holiday.vyshow\""), std::string::npos);
    EXPECT_EQ(texts["details"], "\"/opt/show/tool\"\n\"-e\"\n\"a\\tb\"\n\"say \\\"hi\\\"\"");
    EXPECT_EQ(texts["allow-once"], "_Allow once");
    EXPECT_EQ(texts["always-allow"], "Al_ways allow for this show");
    EXPECT_EQ(texts["dont-allow"], "_Don't allow");
  }
}

// A printed page read back with pdftoppm at 72 dpi: one pixel per point.
struct TPage {
  int width = 0, height = 0;
  std::vector<uint8_t> rgb;
  const uint8_t* At(int x, int y) const { return &rgb[3 * (size_t(y) * width + x)]; }
};

TPage RenderPdf(const std::string& pdf) {
  const std::string prefix = pdf + ".page";
  TPage page;
  if (std::system(("pdftoppm -r 72 -singlefile '" + pdf + "' '" + prefix + "'").c_str()) != 0)
    return page;
  const std::string ppm = test::ReadFile(prefix + ".ppm");
  int maxValue = 0, used = 0;
  if (std::sscanf(ppm.c_str(), "P6 %d %d %d%n", &page.width, &page.height, &maxValue, &used) != 3)
    return page;
  page.rgb.assign(ppm.begin() + used + 1, ppm.end());
  return page;
}

// The bounding box of the pixels close to a colour.
TBox FindColour(const TPage& page, int r, int g, int b) {
  int left = page.width, top = page.height, right = -1, bottom = -1;
  for (int y = 0; y < page.height; ++y)
    for (int x = 0; x < page.width; ++x) {
      const uint8_t* p = page.At(x, y);
      if (std::abs(p[0] - r) < 40 && std::abs(p[1] - g) < 40 && std::abs(p[2] - b) < 40) {
        left = std::min(left, x), right = std::max(right, x);
        top = std::min(top, y), bottom = std::max(bottom, y);
      }
    }
  return right < 0 ? TBox{} : TBox{left, top, right - left + 1, bottom - top + 1};
}

// Left half red, right half blue.
TRef<TDirectBitmap> TwoHalves(int width, int height) {
  auto bitmap = MakeRef<TDirectBitmap>(width, height, pf::R8G8B8());
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) {
      uint8_t* p = bitmap->Row(y) + 3 * x;
      (x < width / 2 ? p[2] : p[0]) = 255;
    }
  return bitmap;
}

// The "Print to File" printer writing a PDF, on A4 with half-inch margins.
void UseFilePrinter(const std::string& pdf) {
  GtkPrintSettings* settings = gtk_print_settings_new();
  gtk_print_settings_set_printer(settings, "Print to File");
  gtk_print_settings_set(settings, GTK_PRINT_SETTINGS_OUTPUT_FILE_FORMAT, "pdf");
  gchar* uri = g_filename_to_uri(pdf.c_str(), nullptr, nullptr);
  gtk_print_settings_set(settings, GTK_PRINT_SETTINGS_OUTPUT_URI, uri);
  g_free(uri);
  GtkPageSetup* setup = gtk_page_setup_new();
  GtkPaperSize* a4 = gtk_paper_size_new(GTK_PAPER_NAME_A4);
  gtk_page_setup_set_paper_size(setup, a4);
  gtk_paper_size_free(a4);
  for (auto set : {gtk_page_setup_set_top_margin, gtk_page_setup_set_bottom_margin,
                   gtk_page_setup_set_left_margin, gtk_page_setup_set_right_margin})
    set(setup, 36, GTK_UNIT_POINTS);
  KeepPrinterChoice(settings, setup);
  g_object_unref(settings);
  g_object_unref(setup);
}

TEST_F(DialogWindow, PrintingFitsThePictureOnAPageOfItsShape) {
  test::TTempDir dir;
  if (std::system("command -v pdftoppm >/dev/null") != 0) GTEST_SKIP() << "no pdftoppm";
  // A4 is 595 x 842 points; with 36-point margins the printable area is 523 x 770.
  struct Case {
    int width, height;
    TPage expectedPage;  // size only
    TBox red, blue;
  };
  const Case cases[] = {
      // Wide: landscape, the full printable width (770 x 385), centred in the height.
      {200, 100, {842, 595, {}}, {36, 105, 385, 385}, {421, 105, 385, 385}},
      // Tall: portrait, the full printable height (385 x 770), centred in the width.
      {100, 200, {595, 842, {}}, {105, 36, 193, 770}, {298, 36, 192, 770}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::to_string(c.width) + " x " + std::to_string(c.height));
    const std::string pdf = dir / ("page" + std::to_string(c.width) + ".pdf");
    UseFilePrinter(pdf);
    ASSERT_TRUE(PrintPicture(*TwoHalves(c.width, c.height), "Slideshow"));
    const TPage page = RenderPdf(pdf);
    ASSERT_FALSE(page.rgb.empty()) << pdf;
    EXPECT_NEAR(page.width, c.expectedPage.width, 1);  // A4 is 595.3 x 841.9 points
    EXPECT_NEAR(page.height, c.expectedPage.height, 1);
    const TBox red = FindColour(page, 255, 0, 0), blue = FindColour(page, 0, 0, 255);
    for (const auto& [got, want] : {std::pair{red, c.red}, std::pair{blue, c.blue}}) {
      EXPECT_NEAR(got.x, want.x, 2) << got;
      EXPECT_NEAR(got.y, want.y, 2) << got;
      EXPECT_NEAR(got.w, want.w, 3) << got;
      EXPECT_NEAR(got.h, want.h, 3) << got;
    }
  }
}

TEST_F(DialogWindow, PrintButtonPrintsTheFrameOnScreen) {
  test::TTempDir dir;
  test::TDialogShow show;
  ASSERT_TRUE(show.Show().Ok()) << show.Show().error;
  const std::string pdf = dir / "frame.pdf";
  UseFilePrinter(pdf);
  TXdotool xdotool;
  TWhenShown when([&](GtkWidget* dialog) { xdotool.TypeInto(dialog, "", "Return"); });
  PrintSlide({}, Project(""), show.Show().accessor, 2, TwoHalves(120, 60));
  EXPECT_TRUE(when.Fired());
  const TPage page = RenderPdf(pdf);
  ASSERT_FALSE(page.rgb.empty());
  EXPECT_GT(page.width, page.height);  // the frame is wider than tall
  // Red and blue together fill the printable width (770 points from 36), centred in height.
  const TBox red = FindColour(page, 255, 0, 0), blue = FindColour(page, 0, 0, 255);
  EXPECT_NEAR(red.x, 36, 3);
  EXPECT_NEAR(blue.x + blue.w, 36 + 770, 3);
  EXPECT_NEAR(red.y, 36 + (523 - 385) / 2, 3);
  EXPECT_NEAR(red.h, 385, 4);
}

}  // namespace
}  // namespace vyr
