#include "imaging/decode/piece_reader.h"

#include <algorithm>
#include <cstring>

#include "imaging/decode/picture_budget.h"

namespace vyr {

namespace {
constexpr int64_t kPiece = 65536;
}  // namespace

TPieceReader::TPieceReader(TStream& stream) : stream_(stream) {}

bool TPieceReader::Fill() {
  if (ended_) return false;
  buffer_.resize(kPiece);
  int64_t got = 0;
  try {
    if (DecodeGoOn()) got = stream_.Read(buffer_.data(), kPiece);
  } catch (const EStreamError&) {
    got = 0;
  }
  buffer_.resize(static_cast<size_t>(std::max<int64_t>(got, 0)));
  at_ = 0;
  ended_ = buffer_.empty();
  return !ended_;
}

bool TPieceReader::ReadByte(uint8_t& b) {
  if (at_ >= buffer_.size() && !Fill()) return false;
  b = buffer_[at_++];
  ++offset_;
  return true;
}

size_t TPieceReader::Read(uint8_t* out, size_t count) {
  size_t done = 0;
  while (done < count) {
    if (at_ >= buffer_.size() && !Fill()) break;
    const size_t n = std::min(count - done, buffer_.size() - at_);
    std::memcpy(out + done, &buffer_[at_], n);
    at_ += n;
    offset_ += static_cast<int64_t>(n);
    done += n;
  }
  return done;
}

void TPieceReader::Skip(int64_t count) {
  if (count <= 0) return;
  const int64_t buffered = static_cast<int64_t>(buffer_.size() - at_);
  if (count <= buffered) {
    at_ += static_cast<size_t>(count);
    offset_ += count;
    return;
  }
  at_ = buffer_.size();
  offset_ += count;
  if (ended_) return;
  try {
    const int64_t target = stream_.Position() + (count - buffered);
    if (target >= stream_.Size() || stream_.Seek(target) != target) ended_ = true;
  } catch (const EStreamError&) {
    ended_ = true;
  }
}

std::span<const uint8_t> TPieceReader::NextPiece() {
  if (at_ >= buffer_.size() && !Fill()) return {};
  const std::span<const uint8_t> piece(buffer_.data() + at_, buffer_.size() - at_);
  at_ = buffer_.size();
  offset_ += static_cast<int64_t>(piece.size());
  return piece;
}

}  // namespace vyr
