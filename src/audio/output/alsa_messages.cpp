#include "audio/output/alsa_messages.h"

#include <alsa/asoundlib.h>

#include <cstdarg>
#include <cstdio>
#include <string>

#include "foundation/log.h"

namespace vyr {
namespace {

void ToLog(const char* file, int line, const char* function, int error, const char* format, ...) {
  char text[512];
  va_list args;
  va_start(args, format);
  std::vsnprintf(text, sizeof text, format, args);
  va_end(args);
  std::string message = std::string("ALSA lib ") + (file ? file : "") + ":" + std::to_string(line) +
                        ":(" + (function ? function : "") + ") " + text;
  if (error) message += std::string(": ") + snd_strerror(error);
  WriteLine(message);
}

}  // namespace

void RouteAlsaMessagesToLog() { snd_lib_error_set_handler(&ToLog); }

}  // namespace vyr
