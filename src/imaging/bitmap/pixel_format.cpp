#include "imaging/bitmap/pixel_format.h"

#include <cctype>
#include <memory>
#include <mutex>
#include <unordered_map>

#include "foundation/exceptions.h"

namespace vyr {

namespace {

bool ChannelCodeOf(char letter, TChannelCode& code, bool& lowerColour) {
  lowerColour = false;
  switch (letter) {
    case 'r':
      lowerColour = true;
      [[fallthrough]];
    case 'R':
      code = TChannelCode::R;
      return true;
    case 'g':
      lowerColour = true;
      [[fallthrough]];
    case 'G':
      code = TChannelCode::G;
      return true;
    case 'b':
      lowerColour = true;
      [[fallthrough]];
    case 'B':
      code = TChannelCode::B;
      return true;
    case 'a':
    case 'A':
    case 'y':
    case 'Y':
      code = TChannelCode::A;
      return true;
    case 'x':
    case 'X':
      code = TChannelCode::X;
      return true;
    default:
      return false;
  }
}

class TFormatTable {
 public:
  TFormatTable() {
    for (const char* name : {"Y8", "A8", "R8G8B8", "A8R8G8B8", "B8G8R8", "A8B8G8R8", "B5G6R5",
                             "B5G5R5X1", "X8B8G8R8", "A8r8g8b8", "A8b8g8r8"})
      Find(name);
  }
  const TPixelFormat* Find(std::string_view name) {
    std::lock_guard lock(lock_);
    const auto found = formats_.find(std::string(name));
    if (found != formats_.end()) return found->second.Get();
    auto format = MakeRef<TCommonPixelFormat>(name);
    if (!format->Valid()) return nullptr;
    const TPixelFormat* raw = format.Get();
    formats_.emplace(std::string(name), std::move(format));
    return raw;
  }

 private:
  std::mutex lock_;
  std::unordered_map<std::string, TRef<TCommonPixelFormat>> formats_{251};
};

TFormatTable& Table() {
  static TFormatTable* table = new TFormatTable;  // lives for the process
  return *table;
}

}  // namespace

const TPixelChannel* TPixelFormat::Channel(TChannelCode code) const {
  for (const auto& channel : channels_)
    if (channel.code == code) return &channel;
  return nullptr;
}

TCommonPixelFormat::TCommonPixelFormat(std::string_view name) {
  name_ = std::string(name);
  std::vector<TPixelChannel> mostSignificantFirst;
  bool anyLowerColour = false;
  size_t i = 0;
  int total = 0;
  while (i < name.size()) {
    TChannelCode code;
    bool lower = false;
    if (!ChannelCodeOf(name[i], code, lower)) return;
    anyLowerColour |= lower;
    ++i;
    int bits = 0;
    const size_t digitsStart = i;
    while (i < name.size() && std::isdigit(static_cast<unsigned char>(name[i])) && bits <= 32)
      bits = bits * 10 + (name[i++] - '0');
    if (i == digitsStart || bits == 0 || bits > 32) return;
    total += bits;
    if (total > 32) return;
    mostSignificantFirst.push_back({code, bits, 0});
  }
  if (mostSignificantFirst.empty()) return;
  int shift = 0;
  for (auto it = mostSignificantFirst.rbegin(); it != mostSignificantFirst.rend(); ++it) {
    it->shift = shift;
    shift += it->bits;
    channels_.push_back(*it);
    if (it->code == TChannelCode::A) hasAlpha_ = true;
    if (it->bits % 8 != 0) bitPacked_ = true;
  }
  premultiplied_ = hasAlpha_ && anyLowerColour;
  bits_ = total;
}

const TPixelFormat* FindPixelFormat(std::string_view name) { return Table().Find(name); }

const TPixelFormat* PixelFormat(std::string_view name) {
  const TPixelFormat* format = FindPixelFormat(name);
  VYR_ASSERT_MSG(format != nullptr, "Invalid pixel format name " + std::string(name));
  return format;
}

namespace pf {
const TPixelFormat* Y8() {
  static const TPixelFormat* f = PixelFormat("Y8");
  return f;
}
const TPixelFormat* A8() {
  static const TPixelFormat* f = PixelFormat("A8");
  return f;
}
const TPixelFormat* R8G8B8() {
  static const TPixelFormat* f = PixelFormat("R8G8B8");
  return f;
}
const TPixelFormat* A8R8G8B8() {
  static const TPixelFormat* f = PixelFormat("A8R8G8B8");
  return f;
}
const TPixelFormat* B8G8R8() {
  static const TPixelFormat* f = PixelFormat("B8G8R8");
  return f;
}
const TPixelFormat* A8B8G8R8() {
  static const TPixelFormat* f = PixelFormat("A8B8G8R8");
  return f;
}
const TPixelFormat* PremulA8R8G8B8() {
  static const TPixelFormat* f = PixelFormat("A8r8g8b8");
  return f;
}
}  // namespace pf

}  // namespace vyr
