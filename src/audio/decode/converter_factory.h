#pragma once
// From a sound name to a converter: composite descriptions are parsed, anything else is
// opened through the stream wrapper and read by the media-information reader.

#include <string>

#include "audio/decode/audio_stream.h"
#include "audio/decode/media_info.h"
#include "audio/decode/wav_converter.h"

namespace vyr {

// Files are opened through open (see OpenAudioStream); a composite passes it to its items.

// The record of a sound name; false (empty record) when it cannot be opened or read.
bool ReadSoundInfo(const std::string& name, TMediaInfo& info, const TAudioOpenCallback& open = {});

// A converter for the record's kind (an unknown kind is an assertion), not yet opened.
TRef<TWavConverter> CreateConverter(TRef<TStream> stream, const std::string& name,
                                    const TMediaInfo& info, const TAudioOpenCallback& open = {});

// Opens the name, reads its record, creates and opens its converter (MPEG inside RIFF is
// read through a shift stream starting at its first frame). None on failure.
TRef<TWavConverter> OpenSoundConverter(const std::string& name, TMediaInfo* infoOut = nullptr,
                                       const TAudioOpenCallback& open = {});

}  // namespace vyr
