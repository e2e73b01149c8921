#include "imaging/metadata/iptc_reader.h"

#include <cstdio>
#include <cstring>

#include "foundation/codepage.h"
#include "foundation/utf.h"

namespace vyr {

namespace {

constexpr uint16_t kIptcResource = 0x0404;
constexpr uint8_t kTagMarker = 0x1C;

std::string Formatted(const char* format, int value) {
  char buffer[64];
  std::snprintf(buffer, sizeof buffer, format, value);
  return buffer;
}

// Big-endian reads over the bytes of a segment or resource.
struct TCursor {
  const std::string& data;
  size_t pos = 0;
  size_t Left() const { return data.size() - pos; }
  uint8_t Byte() {
    if (pos >= data.size()) throw EIPTCError("Unexpected end of IPTC data");
    return static_cast<uint8_t>(data[pos++]);
  }
  uint32_t BigEndian(int bytes) {
    uint32_t v = 0;
    for (int i = 0; i < bytes; ++i) v = v << 8 | Byte();
    return v;
  }
  std::string Bytes(size_t n) {
    if (n > Left()) throw EIPTCError("Unexpected end of IPTC data");
    std::string out = data.substr(pos, n);
    pos += n;
    return out;
  }
};

uint8_t StreamByte(TStream& s) {
  uint8_t b;
  if (s.Read(&b, 1) != 1) throw EStreamReadError();
  return b;
}

// The image-resource data of an APP13 segment, or empty.
std::string ResourcesOf(const std::string& segment) {
  static const char kPhotoshop3[] = "Photoshop 3.0";  // 13 letters and the zero byte
  static const char kPhotoshop25[] = "Adobe_Photoshop2.5:";
  if (segment.size() <= 19) return {};
  if (std::memcmp(segment.data(), kPhotoshop3, 14) == 0) return segment.substr(14);
  if (std::memcmp(segment.data(), kPhotoshop25, 19) == 0) return segment.substr(19);
  return {};
}

}  // namespace

void TIPTCData::Clear() {
  for (auto& record : records_) record.clear();
}

void TIPTCData::ParseDatasets(const std::string& data) {
  TCursor c{data};
  bool anyRead = false, utf8 = false;
  while (c.Left() > 5) {
    if (static_cast<uint8_t>(data[c.pos]) != kTagMarker) break;
    c.Byte();
    const int record = c.Byte();
    if (record < 1 || record > 9)
      throw EIPTCError(Formatted("Invalid IPTC record number (%d)", record));
    const uint8_t number = c.Byte();
    uint32_t size = c.BigEndian(2);
    if (size & 0x8000) {
      const int length = static_cast<int>(size & 0x7FFF);
      if (length != 1 && length != 2 && length != 4)
        throw EIPTCError(Formatted("Invalid IPTC tag size field (%d)", length));
      size = c.BigEndian(length);
    }
    TIPTCDataset dataset{number, c.Bytes(size)};
    anyRead = true;
    if (record == 1 && number == 90 && dataset.bytes == "\x1B%G") utf8 = true;
    records_[size_t(record) - 1].push_back(std::move(dataset));
  }
  if (anyRead) utf8Encoded_ = utf8;
}

void TIPTCData::Read(TStream& stream) {
  Clear();
  try {
    stream.Seek(0);
    if (StreamByte(stream) != 0xFF || StreamByte(stream) != 0xD8)
      throw EIPTCError("JPEG header is not valid");
    for (;;) {
      uint8_t b = 0;
      if (stream.Read(&b, 1) != 1 || b != 0xFF) return;
      uint8_t code = StreamByte(stream);
      while (code == 0xFF) code = StreamByte(stream);
      if (code == 0xD9) return;
      if (code == 0x01 || (code >= 0xD0 && code <= 0xD8)) continue;
      const uint16_t length = static_cast<uint16_t>(StreamByte(stream) << 8 | StreamByte(stream));
      if (length < 2) throw EIPTCError("Invalid JPEG segment length");
      if (code != 0xED) {
        stream.Seek(stream.Position() + length - 2);
        continue;
      }
      std::string segment(length - 2u, '\0');
      stream.ReadBuffer(segment.data(), length - 2);
      const std::string resources = ResourcesOf(segment);
      TCursor c{resources};
      while (c.Left() > 12) {
        c.Bytes(4);  // signature
        const uint16_t id = static_cast<uint16_t>(c.BigEndian(2));
        const uint8_t nameLength = c.Byte();
        c.Bytes(nameLength + ((nameLength + 1) % 2));  // padded to even with the length byte
        const int32_t declared = static_cast<int32_t>(c.BigEndian(4));
        const size_t size = declared < 0 ? 0 : static_cast<size_t>(declared);
        const std::string data = c.Bytes(size);
        if (size % 2 && c.Left()) c.Byte();
        if (id == kIptcResource && data.size() > 4 && static_cast<uint8_t>(data[0]) == kTagMarker) {
          ParseDatasets(data);
          return;
        }
      }
    }
  } catch (const std::exception&) {
    Clear();
  }
}

std::string TIPTCData::TextOf(const std::string& bytes) const {
  if (utf8Encoded_ || alwaysAssumeUtf8_) return Utf32ToUtf8(Utf8ToUtf32(bytes));
  return AnsiToUtf8(bytes);
}

std::string TIPTCData::Text(uint8_t dataset) const {
  for (const TIPTCDataset& d : records_[1])
    if (d.number == dataset) return TextOf(d.bytes);
  return {};
}

std::vector<std::string> TIPTCData::Texts(uint8_t dataset) const {
  std::vector<std::string> texts;
  for (const TIPTCDataset& d : records_[1])
    if (d.number == dataset) texts.push_back(TextOf(d.bytes));
  return texts;
}

}  // namespace vyr
