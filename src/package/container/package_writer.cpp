#include "package/container/package_writer.h"

#include <vector>

#include "foundation/case_fold.h"
#include "package/container/crypt_stream.h"
#include "package/container/deflate_writer.h"
#include "package/container/entry_name.h"
#include "package/container/package_key.h"
#include "project/ini/lookup.h"
#include "project/ini/values.h"

namespace vyr {

namespace {

void WriteInt64Le(TStream& target, int64_t value) {
  uint8_t bytes[8];
  auto v = static_cast<uint64_t>(value);
  for (uint8_t& byte : bytes) {
    byte = static_cast<uint8_t>(v & 0xFF);
    v >>= 8;
  }
  target.WriteBuffer(bytes, 8);
}

bool IsBlank(char c) { return static_cast<unsigned char>(c) <= 32; }

// Counts what a stream takes in.
class TCountingWriter {
 public:
  explicit TCountingWriter(TStream& target) : target_(target) {}
  void Write(const uint8_t* data, int64_t count) {
    target_.WriteBuffer(data, count);
    written_ += count;
  }
  int64_t Written() const { return written_; }

 private:
  TStream& target_;
  int64_t written_ = 0;
};

}  // namespace

TPackageWriter::TPackageWriter(TRef<TStream> target, TPackageWriterOptions options)
    : target_(std::move(target)), options_(std::move(options)), directory_(MakeRef<TIniFile>()) {
  VYR_ASSERT(target_);
}

std::string TPackageWriter::SectionFor(std::string_view name) const {
  if (name.empty()) throw EPackageWriteError("Empty entry name");
  std::string section = EscapeEntryName(name);
  if (IsBlank(section.front()) || IsBlank(section.back()))
    throw EPackageWriteError("Entry name with blanks at its ends: \"" + std::string(name) + "\"");
  if (SameName(section, kProtectionSection))
    throw EPackageWriteError("Reserved entry name: \"" + std::string(name) + "\"");
  if (vyr::FindSection(directory_.Get(), section))
    throw EPackageWriteError("Duplicate entry name: \"" + std::string(name) + "\"");
  return section;
}

int64_t TPackageWriter::WriteBody(TStream& source, TPackMethod method) {
  switch (method) {
    case TPackMethod::Deflated:
      return DeflateRaw(source, *target_);
    case TPackMethod::Scrambled: {
      const TKeyStream key(kPackageKey);
      std::vector<uint8_t> chunk(65536);
      TCountingWriter out(*target_);
      for (;;) {
        const int64_t got = source.Read(chunk.data(), static_cast<int64_t>(chunk.size()));
        if (got <= 0) break;
        key.Apply(chunk.data(), got, out.Written());
        out.Write(chunk.data(), got);
      }
      return out.Written();
    }
    case TPackMethod::Stored:
      break;
  }
  return target_->CopyFrom(source);
}

void TPackageWriter::AddEntry(std::string_view name, TStream& source, TPackMethod method) {
  VYR_ASSERT_MSG(!finished_, "Package already finished");
  const std::string section = SectionFor(name);
  const int64_t position = target_->Position();
  const int64_t size = WriteBody(source, method);
  TIniSection* entry = FindOrAddSection(directory_.Get(), section);
  WriteInt(FindOrAddKey(entry, kKeyEntryPos), position);
  WriteInt(FindOrAddKey(entry, kKeyEntrySize), size);
  WriteInt(FindOrAddKey(entry, kKeyEntryMethod), static_cast<int>(method));
}

void TPackageWriter::AddEntry(std::string_view name, std::string_view bytes, TPackMethod method) {
  TMemoryStream source(std::vector<uint8_t>(bytes.begin(), bytes.end()));
  AddEntry(name, source, method);
}

void TPackageWriter::Finish() {
  VYR_ASSERT_MSG(!finished_, "Package already finished");
  finished_ = true;
  TIniSection* protection = FindOrAddSection(directory_.Get(), kProtectionSection);
  WriteInt(FindOrAddKey(protection, kKeyStrucPos), target_->Position());
  WriteBool(FindOrAddKey(protection, kKeyAllowModify), options_.allowModify);
  WriteText(FindOrAddKey(protection, kKeyVyrVersion), options_.version);
  WriteDirectoryAndTrailer(*target_, directory_->SaveToBytes(true), options_.longTrailer);
}

int64_t WriteDirectoryAndTrailer(TStream& target, std::string_view directoryText,
                                 bool longTrailer) {
  const int64_t directoryOffset = target.Position();
  TMemoryStream text(std::vector<uint8_t>(directoryText.begin(), directoryText.end()));
  DeflateRaw(text, target);
  WriteInt64Le(target, directoryOffset);
  target.WriteBuffer(kTrailerMagic.data(), static_cast<int64_t>(kTrailerMagic.size()));
  if (longTrailer) WriteInt64Le(target, target.Position());
  return directoryOffset;
}

}  // namespace vyr
