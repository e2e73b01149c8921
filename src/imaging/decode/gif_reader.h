#pragma once
// GIF87a / GIF89a: screen, colour tables, extensions and LZW-coded images, read frame by frame.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "foundation/stream.h"
#include "imaging/bitmap/bitmap.h"
#include "imaging/decode/piece_reader.h"

namespace vyr {

struct TGifFrame {
  TRef<TDirectBitmap> bitmap;  // "A8R8G8B8", the image's own size
  int32_t left = 0;
  int32_t top = 0;
  int disposal = 0;       // of this frame's graphic control extension, 0 without one
  int delay = 0;          // hundredths of a second
  bool complete = false;  // false when the data ended early or was corrupt
};

// Reads the stream in pieces as it goes; the stream must outlive the reader.
class TFPReaderGif {
 public:
  // Reads the signature, screen descriptor and global colour table of the GIF starting at the
  // stream's position; false (stream put back) when it is not a GIF or the file is over the
  // size budget. The name goes into the budgets' log lines.
  bool Open(TStream& stream, std::string_view name);

  // The next image; false at the trailer, at the end of the data, when the image cannot be
  // decoded at all, and when it has more than maxPixels or more than the pixel budget (which
  // is logged). Corrupt LZW data ends the image: what was decoded stays, the rest is
  // transparent, and frame.complete is false.
  bool NextFrame(TGifFrame& frame, int64_t maxPixels = INT64_MAX);

  int32_t ScreenWidth() const { return screenWidth_; }
  int32_t ScreenHeight() const { return screenHeight_; }
  // From the looping extension: 0 repeats without end; 1 without the extension.
  int RepeatCount() const { return repeatCount_; }
  bool HasLoopExtension() const { return looping_; }

 private:
  bool ReadByte(uint8_t& b) { return reader_->ReadByte(b); }
  size_t ReadBytes(uint8_t* out, size_t count) { return reader_->Read(out, count); }
  // The data sub-blocks at the position, joined; bytes past limit are skipped.
  std::vector<uint8_t> ReadSubBlocks(size_t limit = SIZE_MAX);
  void SkipSubBlocks();
  void ReadExtension();
  // The colour table of that many entries at the position into table.
  void ReadTable(int entries, uint32_t table[256]);
  bool ReadImage(TGifFrame& frame, int64_t maxPixels);

  std::optional<TPieceReader> reader_;
  std::string name_;
  int32_t screenWidth_ = 0;
  int32_t screenHeight_ = 0;
  int background_ = 0;
  uint32_t globalTable_[256] = {};
  // The graphic control extension waiting for the next image.
  bool gce_ = false;
  int gceDisposal_ = 0;
  bool gceTransparent_ = false;
  int gceDelay_ = 0;
  int gceIndex_ = 0;
  bool looping_ = false;
  int repeatCount_ = 1;
};

// LZW-decodes GIF image data into up to count indices; answers how many were decoded, with
// complete false when the data ended early or held a code out of range.
size_t DecodeGifLzw(int minCodeSize, const std::vector<uint8_t>& data, uint8_t* out, size_t count,
                    bool& complete);

}  // namespace vyr
