#include "imaging/decode/image_lib.h"

#include <algorithm>
#include <cctype>
#include <mutex>
#include <set>

#include "imaging/decode/decoder_registry.h"
#include "imaging/decode/picture_budget.h"

namespace vyr {

namespace {

struct TImageLib {
  std::string name;
  TImageLibLoader loader;
  std::set<std::string> extensions;  // upper-cased
  bool loaded = false;
  bool failed = false;
  TImageLibExports exports;
};

std::mutex gLock;
std::vector<TImageLib>& Libraries() {
  static auto* libraries = new std::vector<TImageLib>;  // lives for the process
  return *libraries;
}

std::string Upper(std::string s) {
  for (char& c : s) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return s;
}

// Callback positions count from where the picture starts in the stream.
struct TCallbackStream {
  TStream* stream;
  int64_t base;
};

int64_t CbSize(void* c) {
  auto* s = static_cast<TCallbackStream*>(c);
  return s->stream ? s->stream->Size() - s->base : 0;
}
void CbSetSize(void* c, int64_t size) {
  auto* s = static_cast<TCallbackStream*>(c);
  if (s->stream) s->stream->SetSize(s->base + size);
}
int64_t CbRead(void* c, void* buffer, int64_t count, int64_t position) {
  auto* s = static_cast<TCallbackStream*>(c);
  if (!s->stream) return 0;
  try {
    if (position < 0 || s->stream->Seek(s->base + position) != s->base + position) return 0;
    return s->stream->Read(buffer, count);
  } catch (const EStreamError&) {
    return 0;
  }
}
int64_t CbWrite(void* c, const void* buffer, int64_t count, int64_t position) {
  auto* s = static_cast<TCallbackStream*>(c);
  if (!s->stream) return 0;
  try {
    if (position < 0 || s->stream->Seek(s->base + position) != s->base + position) return 0;
    return s->stream->Write(buffer, count);
  } catch (const EStreamError&) {
    return 0;
  }
}

// One opened picture: closed when the last of its store and its bitmap lets go.
class TImageLibHandle : public TRefObject {
 public:
  TImageLibHandle(TRef<TStream> stream, TImageLibExports exports)
      : stream_(std::move(stream)), exports_(exports) {
    source_ = {stream_.Get(), stream_->Position()};
    callbacks_ = {&source_, CbSize, CbSetSize, CbRead, CbWrite};
  }
  bool Open() { return opened_ = exports_.OpenImage(&data_, &callbacks_); }
  // The rows are read whole: the stream is let go (an inflated entry is not kept twice).
  void Read() {
    exports_.ReadImage(&data_);
    source_.stream = nullptr;
    stream_.Reset();
  }
  TImageData& Data() { return data_; }

 protected:
  ~TImageLibHandle() override {
    if (opened_) exports_.CloseImage(&data_);
  }

 private:
  TRef<TStream> stream_;
  TImageLibExports exports_;
  TCallbackStream source_;
  TStreamCallbacks callbacks_;
  TImageData data_;
  bool opened_ = false;
};

class TImageLibStore : public TSysBitmapStore {
 public:
  TImageLibStore(std::string name, TRotationHook rotation, TRef<TImageLibHandle> handle)
      : TSysBitmapStore(std::move(name), std::move(rotation),
                        handle->Data().bitsPerPixel == 32 ? pf::A8R8G8B8() : pf::R8G8B8(),
                        handle->Data().width, handle->Data().height),
        handle_(std::move(handle)) {}

 protected:
  TStoreLevel Decode(int level) override {
    if (level != 0) return {};
    TImageData& data = handle_->Data();
    if (!data.rows) handle_->Read();
    if (!data.rows) return {};
    TScanLines rows(data.rows, data.rows + data.height);
    auto bitmap = MakeRef<TRefBitmap>(data.width, data.height, params_.format, std::move(rows),
                                      TRef<TRefObject>(handle_));
    return {bitmap, true, 0};
  }

 private:
  TRef<TImageLibHandle> handle_;
};

bool Usable(TImageLib& lib) {
  if (lib.failed) return false;
  if (!lib.loaded) {
    lib.loaded = true;
    if (lib.loader) lib.loader(lib.exports);
    const auto& e = lib.exports;
    lib.failed = !e.OpenImage || !e.OpenImageFile || !e.ReadImage || !e.CloseImage;
  }
  return !lib.failed;
}

}  // namespace

void AddPictureLibrary(const std::string& name, TImageLibLoader loader,
                       const std::vector<std::string>& extensions) {
  std::lock_guard lock(gLock);
  TImageLib lib{name, std::move(loader), {}, false, false, {}};
  for (const auto& e : extensions) lib.extensions.insert(Upper(NormaliseExtension(e)));
  Libraries().push_back(std::move(lib));
}

void RegisterPictureLibrary(const std::string& name, TImageLibLoader loader,
                            const std::vector<std::string>& extensions) {
  AddPictureLibrary(name, std::move(loader), extensions);
  RegisterDecoder(ReadWithPictureLibraries, extensions);
}

TRef<TBitmapStore> ReadWithPictureLibraries(const TRef<TStream>& stream, const std::string& name,
                                            const TRotationHook& rotation) {
  const std::string extension = Upper(ExtensionOf(name));
  const int64_t start = stream->Position();
  // The store keeps the stream until the picture is read.
  if (!FitsPictureFileBudget(stream->Size() - start, name)) return nullptr;
  std::vector<TImageLibExports> candidates;
  {
    std::lock_guard lock(gLock);
    for (auto& lib : Libraries())
      if (lib.extensions.count(extension) && Usable(lib)) candidates.push_back(lib.exports);
  }
  for (const auto& exports : candidates) {
    stream->Seek(start);
    auto handle = MakeRef<TImageLibHandle>(stream, exports);
    if (!handle->Open()) continue;
    const TImageData& data = handle->Data();
    if ((data.bitsPerPixel != 24 && data.bitsPerPixel != 32) ||
        !FitsPictureBudget(data.width, data.height, name))
      continue;  // the handle closes the picture
    TRef<TColorProfile> profile =
        data.profile && data.profileSize
            ? ProfileFromIcc({data.profile, data.profile + data.profileSize}, name)
            : nullptr;
    auto store = MakeRef<TImageLibStore>(name, rotation, std::move(handle));
    store->SetProfile(std::move(profile));
    return store;
  }
  stream->Seek(start);
  return nullptr;
}

}  // namespace vyr
