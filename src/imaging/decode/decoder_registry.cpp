#include "imaging/decode/decoder_registry.h"

#include <cstring>
#include <mutex>

#include "foundation/stream_opener.h"
#include "imaging/decode/standard_decoders.h"

namespace vyr {

namespace {

struct TDecoderEntry {
  TDecodeFunction decode;
  std::vector<std::string> extensions;
};

bool SameAscii(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    char x = a[i], y = b[i];
    if (x >= 'A' && x <= 'Z') x = static_cast<char>(x - 'A' + 'a');
    if (y >= 'A' && y <= 'Z') y = static_cast<char>(y - 'A' + 'a');
    if (x != y) return false;
  }
  return true;
}

class TDecoderRegistry {
 public:
  void Add(TDecodeFunction decode, const std::vector<std::string>& extensions) {
    TDecoderEntry entry{std::move(decode), {}};
    for (const auto& e : extensions) entry.extensions.push_back(NormaliseExtension(e));
    std::lock_guard lock(lock_);
    entries_.push_back(std::move(entry));
  }
  std::vector<TDecoderEntry> Entries() {
    std::lock_guard lock(lock_);
    return entries_;
  }

 private:
  std::mutex lock_;
  std::vector<TDecoderEntry> entries_;
};

TDecoderRegistry& Registry() {
  static TDecoderRegistry* registry = [] {
    auto* made = new TDecoderRegistry;  // lives for the process
    RegisterStandardDecoders([made](TDecodeFunction decode, std::vector<std::string> extensions) {
      made->Add(std::move(decode), extensions);
    });
    return made;
  }();
  return *registry;
}

bool StartsWithPngSignature(TStream& stream) {
  static const uint8_t kSignature[8] = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A};
  const int64_t start = stream.Position();
  uint8_t head[8] = {};
  const int64_t got = stream.Read(head, 8);
  stream.Seek(start);
  return got == 8 && std::memcmp(head, kSignature, 8) == 0;
}

}  // namespace

std::string NormaliseExtension(std::string_view extension) {
  while (!extension.empty() && static_cast<unsigned char>(extension.front()) < 33)
    extension.remove_prefix(1);
  if (!extension.empty() && extension.front() == '*') extension.remove_prefix(1);
  std::string out(extension);
  if (out.empty() || out.front() != '.') out.insert(out.begin(), '.');
  return out;
}

void RegisterDecoder(TDecodeFunction decode, const std::vector<std::string>& extensions) {
  Registry().Add(std::move(decode), extensions);
}

std::string ExtensionOf(const std::string& name) {
  const size_t dot = name.rfind('.');
  return dot == std::string::npos ? std::string() : name.substr(dot);
}

TRef<TImage> DecodePicture(const TRef<TStream>& stream, const std::string& name,
                           const TRotationHook& rotation) {
  if (!stream) return nullptr;
  std::string extension = ExtensionOf(name);
  std::string decodeName = name;
  if (extension == ".bmp" && StartsWithPngSignature(*stream)) {
    // PNG data under a ".bmp" name: the ".png" decoders see it as what it is.
    extension = ".png";
    decodeName = name.substr(0, name.size() - 4) + extension;
  }
  for (const auto& entry : Registry().Entries()) {
    if (!extension.empty()) {
      bool listed = false;
      for (const auto& e : entry.extensions) listed = listed || SameAscii(e, extension);
      if (!listed) continue;
    }
    if (TRef<TBitmapStore> store = entry.decode(stream, decodeName, rotation))
      return MakeRef<TImage>(std::move(store));
  }
  return nullptr;
}

TRef<TImage> OpenPicture(const std::string& name) {
  const std::string path = name.substr(0, name.rfind('|'));
  TRef<TStream> stream = OpenStreamByName(path);
  if (!stream) return nullptr;
  return DecodePicture(stream, name);
}

}  // namespace vyr
