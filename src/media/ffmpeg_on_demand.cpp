// FFmpeg's libraries opened on first use rather than when the program starts: linked
// directly they bring some 130 shared libraries (every codec's) and cost a slide show's
// start about 30 ms before the first line of main, though most shows never need them. Each
// FFmpeg function the tree calls is defined here under its own name (ffmpeg_forwards.inc,
// generated from the headers, so the compiler checks every prototype against FFmpeg's) and
// passes its call on to the library's own, looked up once.

#include <dlfcn.h>

#include <cstdio>
#include <cstdlib>
#include <string>

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/audio_fifo.h>
#include <libavutil/channel_layout.h>
#include <libavutil/imgutils.h>
#include <libavutil/mem.h>
#include <libavutil/opt.h>
#include <libavutil/pixdesc.h>
#include <libavutil/samplefmt.h>
#include <libswresample/swresample.h>
#include <libswscale/swscale.h>
}

namespace {

// The library of this major version, as the headers we were built with name it.
std::string SharedName(const char* library) {
  const std::string name = library;
  int major = 0;
  if (name == "avutil") major = LIBAVUTIL_VERSION_MAJOR;
  if (name == "avcodec") major = LIBAVCODEC_VERSION_MAJOR;
  if (name == "avformat") major = LIBAVFORMAT_VERSION_MAJOR;
  if (name == "swresample") major = LIBSWRESAMPLE_VERSION_MAJOR;
  if (name == "swscale") major = LIBSWSCALE_VERSION_MAJOR;
  return "lib" + name + ".so." + std::to_string(major);
}

// A missing FFmpeg is a broken installation (the package depends on it): say so and stop.
[[noreturn]] void Missing(const std::string& what) {
  std::fprintf(stderr, "vyr: FFmpeg is not usable: %s\n", what.c_str());
  std::abort();
}

void* Symbol(const char* library, const char* name) {
  const std::string file = SharedName(library);
  // dlopen counts its handles: the library is loaded once however often it is asked for.
  void* handle = dlopen(file.c_str(), RTLD_NOW | RTLD_LOCAL);
  if (!handle) Missing(dlerror());
  // Looked up in the library itself, never in this program, which defines the same name.
  void* symbol = dlsym(handle, name);
  if (!symbol) Missing(file + " has no " + name);
  return symbol;
}

}  // namespace

#define VYR_FORWARD(library, result, name, parameters, arguments)                        \
  extern "C" result name parameters {                                                    \
    static const auto real = reinterpret_cast<decltype(&name)>(Symbol(#library, #name)); \
    return real arguments;                                                               \
  }

#include "media/ffmpeg_forwards.inc"
