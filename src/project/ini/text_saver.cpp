#include "project/ini/text_saver.h"

#include <algorithm>

#include "project/ini/value_text.h"

namespace vyr {

namespace {
constexpr int kIndentPiece = 96;
constexpr std::string_view kSpaces =
    "                                                "
    "                                                ";
static_assert(kSpaces.size() == kIndentPiece);
}  // namespace

void TTextSaver::WriteIndent(int count) {
  while (count > 0) {
    const int piece = std::min(count, kIndentPiece);
    WriteRaw(kSpaces.substr(0, static_cast<size_t>(piece)));
    count -= piece;
  }
}

TStreamTextSaver::TStreamTextSaver(TStream& stream) : stream_(stream) {
  buffer_.reserve(kBufferSize);
}

void TStreamTextSaver::WriteRaw(std::string_view bytes) {
  while (!bytes.empty()) {
    const size_t room = kBufferSize - buffer_.size();
    const size_t take = std::min(room, bytes.size());
    buffer_.append(bytes.substr(0, take));
    bytes.remove_prefix(take);
    if (buffer_.size() == kBufferSize) Flush();
  }
}

void TStreamTextSaver::Flush() {
  if (buffer_.empty()) return;
  const std::string pending = std::move(buffer_);
  buffer_.clear();
  buffer_.reserve(kBufferSize);
  stream_.WriteBuffer(pending.data(), static_cast<int64_t>(pending.size()));
}

void TValueTextSaver::WriteData(std::string_view bytes) { WriteRaw(EncodeValueText(bytes)); }

}  // namespace vyr
