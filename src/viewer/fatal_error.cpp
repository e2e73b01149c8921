#include "viewer/fatal_error.h"

#include <cstdio>
#include <exception>

#include "foundation/log.h"
#include "platform/gtk/dialog_owner.h"
#include "platform/gtk/message_box.h"
#include "platform/log_banner.h"

namespace vyr {

int EndWithFailure(const std::string& message) {
  WriteLine("Exception: " + message);
  std::fprintf(stderr, "vyrviewer: %s\n", message.c_str());
  if (DialogsAvailable()) ShowMessageBox("Slideshow Error", message);
  WriteFooter();
  return 1;
}

int RunReportingFailure(const std::function<int()>& body) {
  try {
    return body();
  } catch (const std::exception& error) {
    return EndWithFailure(error.what());
  } catch (...) {
    return EndWithFailure("Unknown exception");
  }
}

}  // namespace vyr
