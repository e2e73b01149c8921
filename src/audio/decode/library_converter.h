#pragma once
// Converters over decoders that deliver PCM themselves: the WMA and OGG decoder libraries
// (kinds 5 and 6) and the media library (kind 10, anything else it can open).

#include <memory>
#include <string>

#include "audio/decode/decoder_library.h"
#include "audio/decode/media_library.h"
#include "audio/decode/wav_converter.h"

namespace vyr {

class TDllDecConverter : public TWavConverter {
 public:
  explicit TDllDecConverter(const TDllDec& library) : library_(library) {}
  bool Open(const TMediaInfo& info) override;
  bool ReadMore() override { return true; }
  bool Convert(TLocalBuffer& source) override;
  void Seek(double ms) override;

 protected:
  void Dispose() override;

 private:
  const TDllDec& library_;
  std::unique_ptr<TLibraryDecoder> decoder_;
  TLocalBuffer decoded_;
};

class TMediaLibraryConverter : public TWavConverter {
 public:
  // name: the sound name; a "?N" suffix selects audio stream N.
  explicit TMediaLibraryConverter(std::string name);
  bool Open(const TMediaInfo& info) override;
  bool ReadMore() override { return true; }
  bool Convert(TLocalBuffer& source) override;
  void Seek(double ms) override;

 protected:
  void Dispose() override;

 private:
  std::string name_;
  int streamNumber_;
  std::unique_ptr<TMediaLibraryFile> media_;
  TLocalBuffer decoded_;
};

}  // namespace vyr
