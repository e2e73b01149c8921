// Loading and saving of a whole model: bytes, streams, files and value text.
#include <exception>

#include "foundation/codepage.h"
#include "foundation/stream_opener.h"
#include "foundation/utf.h"
#include "project/ini/model.h"
#include "project/ini/parser.h"
#include "project/ini/text_saver.h"
#include "project/ini/value_text.h"

namespace vyr {

namespace {

bool StartsWith(std::string_view bytes, std::string_view prefix) {
  return bytes.substr(0, prefix.size()) == prefix;
}

std::string Utf16LeToUtf8(std::string_view bytes) {
  std::u16string units(bytes.size() / 2, u'\0');
  for (size_t i = 0; i < units.size(); ++i) {
    units[i] = static_cast<char16_t>(static_cast<unsigned char>(bytes[2 * i]) |
                                     static_cast<unsigned char>(bytes[2 * i + 1]) << 8);
  }
  return Utf16ToUtf8(units);
}

// Reads from the position to the end; false when the stream holds too much.
bool ReadAll(TStream& stream, std::string& bytes) {
  constexpr int64_t kChunk = 65536;
  const int64_t announced = stream.Size() - stream.Position();
  if (announced > TIniFile::kMaxLoadSize) return false;
  if (announced > 0) bytes.reserve(static_cast<size_t>(announced));
  for (;;) {
    const size_t old = bytes.size();
    bytes.resize(old + kChunk);
    const int64_t got = stream.Read(bytes.data() + old, kChunk);
    bytes.resize(old + static_cast<size_t>(got > 0 ? got : 0));
    if (got <= 0) return true;
    if (static_cast<int64_t>(bytes.size()) > TIniFile::kMaxLoadSize) return false;
  }
}

}  // namespace

void TIniFile::LoadFromUtf8(std::string_view text) {
  Clear();
  ParseIniText(*this, text);
}

bool TIniFile::LoadFromBytes(std::string_view bytes) {
  Clear();
  if (static_cast<int64_t>(bytes.size()) > kMaxLoadSize) return false;
  if (StartsWith(bytes, "\xEF\xBB\xBF")) {
    ParseIniText(*this, bytes.substr(3));
  } else if (StartsWith(bytes, "\xFF\xFE")) {
    ParseIniText(*this, Utf16LeToUtf8(bytes.substr(2)));
  } else {
    ParseIniText(*this, AnsiToUtf8(bytes));
  }
  return true;
}

bool TIniFile::LoadFromBytes(const std::vector<uint8_t>& bytes) {
  return LoadFromBytes(std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()));
}

bool TIniFile::LoadFromStream(TStream& stream) {
  Clear();
  std::string bytes;
  try {
    if (!ReadAll(stream, bytes)) return false;
  } catch (const std::exception&) {
    return false;
  }
  return LoadFromBytes(bytes);
}

bool TIniFile::LoadFromFile(const std::string& path) {
  Clear();
  TRef<TStream> stream = OpenStreamByName(path);
  return stream && LoadFromStream(*stream);
}

bool TIniFile::SaveToStream(TStream& stream, bool withByteOrderMark) const {
  try {
    TStreamTextSaver saver(stream);
    if (withByteOrderMark) saver.WriteRaw("\xEF\xBB\xBF");
    Write(saver);
    saver.Flush();
    return true;
  } catch (const std::exception&) {
    return false;
  }
}

std::string TIniFile::SaveToBytes(bool withByteOrderMark) const {
  TBytesTextSaver saver;
  if (withByteOrderMark) saver.WriteRaw("\xEF\xBB\xBF");
  Write(saver);
  return saver.TakeText();
}

bool TIniFile::SaveToFile(const std::string& path) const {
  TRef<TStream> stream = CreateStreamByName(path);
  if (!stream || !SaveToStream(*stream, true)) return false;
  try {
    stream->SetSize(stream->Position());
    return true;
  } catch (const std::exception&) {
    return false;
  }
}

std::string TIniFile::SaveToValueText() const {
  TValueTextSaver saver;
  Write(saver);
  return saver.TakeText();
}

bool TIniFile::LoadFromValueText(std::string_view valueText) {
  Clear();
  const auto text = TryDecodeValueText(valueText);
  if (!text) return false;
  ParseIniText(*this, *text);
  return true;
}

void TIniFile::AssignItem(const TIniItem& source) {
  if (source.IsList()) return Assign(static_cast<const TIniList&>(source));
  TBytesTextSaver saver;
  source.Write(saver);
  LoadFromUtf8(saver.Text());
}

}  // namespace vyr
