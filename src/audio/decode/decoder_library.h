#pragma once
// The WMA and OGG decoder libraries of a show. No Windows library is ever written out or
// loaded: loading succeeds when the linked media library decodes that format, and the
// library's calls (media information, decoders, positioning) are served by it.

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "audio/decode/media_library.h"
#include "audio/decode/wave_format.h"

namespace vyr {

// Receives decoded PCM: (data, byte count).
using TDecoderOutput = std::function<void(const uint8_t* data, size_t bytes)>;

// One decoder made by a decoder library.
class TLibraryDecoder {
 public:
  // "Decode": the next piece goes to the output; false when nothing more came.
  bool Decode();
  // "SetPosition": moves to ms and writes back the position reached.
  void SetPosition(int32_t& ms);

 private:
  friend class TDllDec;
  TMediaLibraryFile file_;
  TDecoderOutput output_;
};

class TDllDec {
 public:
  static TDllDec& Wma();
  static TDllDec& Ogg();

  // Loading for a show: packagePath is "opt_wmapath" / "opt_oggpath"; an empty path means
  // the show has no such library. On failure the library's failure line is logged.
  bool Load(const std::string& packagePath);
  void Unload() { usable_ = false; }
  bool IsUsable() const { return usable_; }

  // "GetMediaInfo": duration, data start and the PCM format its decoders deliver.
  bool GetMediaInfo(TRef<TStream> stream, int32_t& durationMs, int32_t& dataStart,
                    TWaveFormat& wave) const;
  // "CreateDecoder": none on failure. "DestroyDecoder" is the pointer's end.
  std::unique_ptr<TLibraryDecoder> CreateDecoder(TRef<TStream> stream, TDecoderOutput output) const;

 private:
  TDllDec(std::string extension, std::string demuxer, int codecId, std::string failureLine);
  std::string hintName_;
  std::string demuxer_;
  int codecId_;
  std::string failureLine_;
  bool usable_ = false;
};

}  // namespace vyr
