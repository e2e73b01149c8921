#include "viewer/dialogs/save_flow.h"

#include <fcntl.h>
#include <gtk/gtk.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <vector>

#include "imaging/bitmap/bmp_writer.h"
#include "imaging/decode/decoder_registry.h"

namespace vyr {
namespace {

bool WriteAll(int fd, const uint8_t* data, size_t size) {
  while (size > 0) {
    const ssize_t written = ::write(fd, data, size);
    if (written < 0 && errno == EINTR) continue;
    if (written <= 0) return false;
    data += written;
    size -= static_cast<size_t>(written);
  }
  return true;
}

mode_t NewFileMode() {
  const mode_t mask = ::umask(0);
  ::umask(mask);
  return 0666 & ~mask;
}

}  // namespace

std::optional<TSavePlan> PlanSave(const TCallBackClass& supplier, bool onlyMainImage) {
  TSuppliedPicture answer;
  if (onlyMainImage && supplier.Request(TPictureRequest::SourceFile, answer) &&
      !answer.fileName.empty() && answer.stream) {
    TSavePlan plan;
    plan.fileName = answer.fileName;
    const std::string dotted = ExtensionOf(answer.fileName);
    plan.extension = dotted.size() > 1 ? dotted.substr(1) : "*";
    plan.filter = "*." + plan.extension;
    plan.stream = answer.stream;
    return plan;
  }
  if (!supplier.Request(TPictureRequest::CapturedFrame, answer) || !answer.picture ||
      answer.picture->Width() <= 0 || answer.picture->Height() <= 0)
    return std::nullopt;
  TSavePlan plan;
  plan.fileName = "Slide" + std::to_string(supplier.SlideIndex() + 1) + ".bmp";
  plan.extension = "bmp";
  plan.filter = "*.bmp";
  plan.stream = MakeRef<TMemoryStream>(EncodeBmp(*answer.picture));
  return plan;
}

std::string WithDefaultExtension(const std::string& path, const std::string& extension) {
  if (extension.empty() || extension == "*") return path;
  const size_t slash = path.rfind('/');
  const std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
  return name.find('.') == std::string::npos ? path + "." + extension : path;
}

bool WriteFileAtomically(TStream& stream, const std::string& path, std::string& error) {
  std::vector<uint8_t> bytes;
  try {
    stream.Seek(0);
    bytes = stream.ReadRest();
  } catch (const std::exception& e) {
    error = std::string("cannot read the picture: ") + e.what();
    return false;
  }
  std::string temporary = path + ".XXXXXX";
  const int fd = ::mkstemp(temporary.data());
  if (fd < 0) {
    error = path + ": " + std::strerror(errno);
    return false;
  }
  const bool written = ::fchmod(fd, NewFileMode()) == 0 &&
                       WriteAll(fd, bytes.data(), bytes.size()) && ::fsync(fd) == 0;
  const int savedErrno = errno;
  const bool closed = ::close(fd) == 0;
  if (!written || !closed || ::rename(temporary.c_str(), path.c_str()) != 0) {
    error = path + ": " + std::strerror(written && closed ? errno : savedErrno);
    ::unlink(temporary.c_str());
    return false;
  }
  return true;
}

std::optional<std::string> AskSavePath(const TSavePlan& plan, GtkWindow* parent) {
  GtkFileChooserNative* chooser =
      gtk_file_chooser_native_new(nullptr, parent, GTK_FILE_CHOOSER_ACTION_SAVE, nullptr, nullptr);
  GtkFileChooser* files = GTK_FILE_CHOOSER(chooser);
  gtk_native_dialog_set_modal(GTK_NATIVE_DIALOG(chooser), TRUE);
  gtk_file_chooser_set_do_overwrite_confirmation(files, TRUE);
  gtk_file_chooser_set_current_name(files, plan.fileName.c_str());
  GtkFileFilter* filter = gtk_file_filter_new();
  gtk_file_filter_set_name(filter, plan.filter.c_str());
  gtk_file_filter_add_pattern(filter, plan.filter.c_str());
  gtk_file_chooser_add_filter(files, filter);  // takes the floating reference
  std::optional<std::string> chosen;
  if (gtk_native_dialog_run(GTK_NATIVE_DIALOG(chooser)) == GTK_RESPONSE_ACCEPT) {
    if (char* path = gtk_file_chooser_get_filename(files)) {
      chosen = WithDefaultExtension(path, plan.extension);
      g_free(path);
    }
  }
  g_object_unref(chooser);
  return chosen;
}

bool RunSave(const TCallBackClass& supplier, bool onlyMainImage, GtkWindow* parent) {
  const std::optional<TSavePlan> plan = PlanSave(supplier, onlyMainImage);
  if (!plan) return false;
  const std::optional<std::string> path = AskSavePath(*plan, parent);
  if (!path) return false;
  std::string error;
  return WriteFileAtomically(*plan->stream, *path, error);
}

}  // namespace vyr
