#pragma once
// Reads a picture's stream in pieces, byte by byte or a piece at a time, so that no decoder
// needs the whole file in memory. A read that fails, the end of the stream and a decode told
// to stop all end the data.

#include <cstdint>
#include <span>
#include <vector>

#include "foundation/stream.h"

namespace vyr {

class TPieceReader {
 public:
  // From the stream's position on; the stream must outlive the reader.
  explicit TPieceReader(TStream& stream);

  bool ReadByte(uint8_t& b);
  // Up to count bytes; fewer at the end of the data.
  size_t Read(uint8_t* out, size_t count);
  void Skip(int64_t count);
  // The bytes buffered, or the next piece when none are (empty at the end); they count as read.
  std::span<const uint8_t> NextPiece();
  // Bytes read or skipped since the start.
  int64_t Offset() const { return offset_; }

 private:
  bool Fill();

  TStream& stream_;
  std::vector<uint8_t> buffer_;
  size_t at_ = 0;
  int64_t offset_ = 0;
  bool ended_ = false;
};

}  // namespace vyr
