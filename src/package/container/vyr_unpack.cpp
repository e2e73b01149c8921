#include "package/container/vyr_unpack.h"

#include "package/container/crypt_stream.h"
#include "package/container/inflate_stream.h"
#include "package/container/load_callback.h"
#include "package/container/package_errors.h"
#include "package/container/package_key.h"
#include "package/container/package_layout.h"
#include "package/container/package_trailer.h"
#include "package/container/partial_stream.h"
#include "project/ini/values.h"

namespace vyr {

TVyrUnpack::TVyrUnpack(std::string fileName, int64_t inflateLimit)
    : fileName_(std::move(fileName)), inflateLimit_(inflateLimit) {
  try {
    Open();
  } catch (const std::exception& error) {
    Fail(error.what());
  }
}

void TVyrUnpack::Fail(std::string text) {
  Close();
  errorText_ = std::move(text);
}

void TVyrUnpack::Open() {
  file_ = TFileStream::TryOpen(fileName_, TFileStream::Mode::Read);
  if (!file_) return Fail(kSlideshowNotFound);

  const TPackageTrailer trailer = ReadPackageTrailer(*file_);
  if (trailer.status == TPackageTrailer::Status::NoPackage) return Fail("");
  if (trailer.status == TPackageTrailer::Status::Damaged) return Fail(kSlideshowDamaged);
  directoryOffset_ = trailer.directoryOffset;

  auto compressed = MakeRef<TPartialStream>(file_, trailer.directoryOffset, trailer.directorySize);
  const auto text = InflateToMemory(std::move(compressed), TIniFile::kMaxLoadSize);
  directory_ = MakeRef<TUnpackStruc>(std::string_view(reinterpret_cast<const char*>(text->Data()),
                                                      static_cast<size_t>(text->Size())));

  const std::string strucPos = directory_->StrucPos();
  if (!strucPos.empty() && strucPos != std::to_string(directoryOffset_)) {
    if (!directory_->AllowModify()) return Fail(kSlideshowModified);
    // A moved package (either way) reads on with every entry shifted alike.
    int64_t recorded = 0;
    if (!ParseInt64(strucPos, recorded) || recorded < 0 ||
        __builtin_sub_overflow(directoryOffset_, recorded, &shift_))
      return Fail(kSlideshowDamaged);
  }
  version_ = directory_->VyrVersion();
}

void TVyrUnpack::Close() {
  file_.Reset();
  directory_.Reset();
  shift_ = 0;
}

TEntryLocation TVyrUnpack::Locate(const TPackageEntry& entry) const {
  TEntryLocation location{-1, entry.size, entry.method};
  if (__builtin_add_overflow(entry.position, shift_, &location.offset)) location.offset = -1;
  return location;
}

std::optional<TEntryLocation> TVyrUnpack::FindEntry(std::string_view name) const {
  if (!directory_) return std::nullopt;
  const auto entry = directory_->FindEntry(name);
  if (!entry) return std::nullopt;
  return Locate(*entry);
}

TRef<TStream> TVyrUnpack::OpenEntry(std::string_view name) const {
  const auto location = FindEntry(name);
  return location ? OpenLocated(*location) : nullptr;
}

TRef<TStream> TVyrUnpack::OpenSection(std::string_view section) const {
  if (!directory_) return nullptr;
  const auto entry = directory_->FindSection(section);
  return entry ? OpenLocated(Locate(*entry)) : nullptr;
}

TRef<TStream> TVyrUnpack::OpenLocated(const TEntryLocation& location) const {
  TRef<TStream> handle = TFileStream::TryOpen(fileName_, TFileStream::Mode::Read);
  if (!handle) return nullptr;
  auto window = MakeRef<TPartialStream>(std::move(handle), location.offset, location.size);
  TRef<TStream> result;
  TPartialStream* innermost = window.Get();
  switch (static_cast<TPackMethod>(location.method)) {
    case TPackMethod::Deflated: {
      // Inflated whole, so that seeking inside the entry stays cheap.
      TRef<TStream> memory = InflateToMemory(window, inflateLimit_);
      const int64_t size = memory->Size();
      auto inflated = MakeRef<TPartialStream>(std::move(memory), 0, size);
      innermost = inflated.Get();
      result = std::move(inflated);
      break;
    }
    case TPackMethod::Scrambled:
      result = MakeRef<TCryptStream>(window, kPackageKey);
      break;
    default:
      result = window;
      break;
  }
  innermost->SetChunkCallback(LoadCallBack);
  return result;
}

bool TVyrUnpack::PackageVersion(const std::string& fileName, std::string& version) {
  try {
    const auto package = MakeRef<TVyrUnpack>(fileName);
    if (!package->IsOpen()) return false;
    version = package->Version();
    return true;
  } catch (...) {
    return false;
  }
}

}  // namespace vyr
