#pragma once
// The IPTC reader of JPEG files: IPTC-IIM datasets inside the Adobe image resources of
// APP13 segments.

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "foundation/exceptions.h"
#include "foundation/stream.h"

namespace vyr {

VYR_DECLARE_EXCEPTION(EIPTCError, TCommonException);

struct TIPTCDataset {
  uint8_t number = 0;
  std::string bytes;
};

class TIPTCData {
 public:
  // Reads the datasets; never raises (any error leaves the data empty).
  void Read(TStream& stream);
  void Clear();

  // Records 1 to 9.
  const std::vector<TIPTCDataset>& Record(int record) const {
    return records_.at(size_t(record) - 1);
  }
  bool Utf8Encoded() const { return utf8Encoded_; }
  void SetAlwaysAssumeUtf8(bool on) { alwaysAssumeUtf8_ = on; }

  // The first dataset n of record 2 as text (UTF-8), or empty; and all of them in file order.
  std::string Text(uint8_t dataset) const;
  std::vector<std::string> Texts(uint8_t dataset) const;

 private:
  void ParseDatasets(const std::string& data);
  std::string TextOf(const std::string& bytes) const;

  std::array<std::vector<TIPTCDataset>, 9> records_;
  bool utf8Encoded_ = false;       // FUTF8Encoded
  bool alwaysAssumeUtf8_ = false;  // FAlwaysAssumeUTF8Encoding
};

}  // namespace vyr
