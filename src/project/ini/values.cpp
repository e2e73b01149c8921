#include "project/ini/values.h"

#include "foundation/log.h"

#include <charconv>
#include <cmath>
#include <limits>

#include "foundation/case_fold.h"
#include "project/ini/lookup.h"

namespace vyr {

namespace {

// Leading blanks of numbers: the space and byte 8, not the tab.
size_t SkipNumberBlanks(std::string_view text) {
  size_t i = 0;
  while (i < text.size() && (text[i] == ' ' || text[i] == '\b')) ++i;
  return i;
}

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

}  // namespace

bool ParseInt64(std::string_view text, int64_t& value) {
  size_t i = SkipNumberBlanks(text);
  bool negative = false;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
  if (i == text.size()) return false;
  const uint64_t limit = negative ? uint64_t{1} << 63 : (uint64_t{1} << 63) - 1;
  uint64_t magnitude = 0;
  for (; i < text.size(); ++i) {
    if (!IsDigit(text[i])) return false;
    const auto digit = static_cast<uint64_t>(text[i] - '0');
    if (magnitude > (limit - digit) / 10) return false;
    magnitude = magnitude * 10 + digit;
  }
  value = negative ? static_cast<int64_t>(0 - magnitude) : static_cast<int64_t>(magnitude);
  return true;
}

bool ParseInt32(std::string_view text, int32_t& value) {
  int64_t wide = 0;
  if (!ParseInt64(text, wide) || wide < std::numeric_limits<int32_t>::min() ||
      wide > std::numeric_limits<int32_t>::max()) {
    return false;
  }
  value = static_cast<int32_t>(wide);
  return true;
}

bool ParseFloat(std::string_view text, double& value) {
  size_t i = SkipNumberBlanks(text);
  bool negative = false;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
  // The digits as one integer, scaled by ten to (exponent - digits after the point).
  std::string digits;
  int64_t fractionDigits = 0;
  bool point = false;
  for (; i < text.size(); ++i) {
    const char c = text[i];
    if (IsDigit(c)) {
      digits += c;
      if (point) ++fractionDigits;
    } else if (c == '.' && !point) {
      point = true;
    } else {
      break;
    }
  }
  if (digits.empty()) return false;
  int32_t exponent = 0;
  if (i < text.size()) {
    if (text[i] != 'E' && text[i] != 'e') return false;
    if (!ParseInt32(text.substr(i + 1), exponent)) return false;
  }
  digits += 'e';
  digits += std::to_string(int64_t{exponent} - fractionDigits);
  double parsed = 0;
  const auto result = std::from_chars(digits.data(), digits.data() + digits.size(), parsed);
  if (result.ec == std::errc::result_out_of_range) {
    // Too small is zero; too large does not parse.
    const size_t significant = digits.find_first_not_of('0');
    const int64_t magnitude =
        static_cast<int64_t>(digits.find('e') - significant) + int64_t{exponent} - fractionDigits;
    if (magnitude > 0) return false;
    parsed = 0;
  } else if (result.ec != std::errc()) {
    return false;
  }
  value = negative ? -parsed : parsed;
  return true;
}

std::string FormatFloat(double value) { return std::isfinite(value) ? FormatReal(value) : "0"; }

std::string ReadText(const TIniItem* item, std::string_view defaultValue) {
  return item ? item->Value() : std::string(defaultValue);
}

int32_t ReadInt(const TIniItem* item, int32_t defaultValue) {
  int32_t value = 0;
  return (item && ParseInt32(item->Value(), value)) ? value : defaultValue;
}

int64_t ReadInt64(const TIniItem* item, int64_t defaultValue) {
  int64_t value = 0;
  return (item && ParseInt64(item->Value(), value)) ? value : defaultValue;
}

double ReadFloat(const TIniItem* item, double defaultValue) {
  double value = 0;
  return (item && ParseFloat(item->Value(), value)) ? value : defaultValue;
}

bool ReadBool(const TIniItem* item, bool defaultValue) {
  if (!item || item->Value().size() != 1) return defaultValue;
  const char c = item->Value()[0];
  return c == '1' ? true : c == '0' ? false : defaultValue;
}

int ReadEnum(const TIniItem* item, std::span<const std::string_view> names, int defaultValue,
             bool ignoreCase) {
  if (!item) return defaultValue;
  const std::string& value = item->Value();
  for (size_t i = 0; i < names.size(); ++i) {
    if (ignoreCase ? SameName(names[i], value) : names[i] == value) return static_cast<int>(i);
  }
  return defaultValue;
}

std::vector<std::string> ReadList(const TIniItem* item, char separator) {
  std::vector<std::string> parts;
  if (!item || item->Value().empty()) return parts;
  const std::string_view value = item->Value();
  for (size_t start = 0;;) {
    const size_t at = value.find(separator, start);
    parts.emplace_back(value.substr(start, at - start));
    if (at == std::string_view::npos) break;
    start = at + 1;
  }
  return parts;
}

void WriteText(TIniItem* item, std::string_view value) {
  if (item) item->SetValue(std::string(value));
}

void WriteInt(TIniItem* item, int64_t value) {
  if (item) item->SetValue(std::to_string(value));
}

void WriteFloat(TIniItem* item, double value) {
  if (item) item->SetValue(FormatFloat(value));
}

void WriteBool(TIniItem* item, bool value) {
  if (item) item->SetValue(value ? "1" : "0");
}

// ---- section-level shortcuts

namespace {
const TIniItem* SectionKey(const TIniFile* file, std::string_view section, std::string_view key) {
  return FindKey(FindSection(file, section), key);
}
TIniItem* SectionKeyForWrite(TIniFile* file, std::string_view section, std::string_view key) {
  return FindOrAddKey(FindOrAddSection(file, section), key);
}
}  // namespace

std::string ReadText(const TIniFile* file, std::string_view section, std::string_view key,
                     std::string_view defaultValue) {
  return ReadText(SectionKey(file, section, key), defaultValue);
}

int32_t ReadInt(const TIniFile* file, std::string_view section, std::string_view key,
                int32_t defaultValue) {
  return ReadInt(SectionKey(file, section, key), defaultValue);
}

int64_t ReadInt64(const TIniFile* file, std::string_view section, std::string_view key,
                  int64_t defaultValue) {
  return ReadInt64(SectionKey(file, section, key), defaultValue);
}

double ReadFloat(const TIniFile* file, std::string_view section, std::string_view key,
                 double defaultValue) {
  return ReadFloat(SectionKey(file, section, key), defaultValue);
}

bool ReadBool(const TIniFile* file, std::string_view section, std::string_view key,
              bool defaultValue) {
  return ReadBool(SectionKey(file, section, key), defaultValue);
}

void WriteText(TIniFile* file, std::string_view section, std::string_view key,
               std::string_view value) {
  WriteText(SectionKeyForWrite(file, section, key), value);
}

void WriteInt(TIniFile* file, std::string_view section, std::string_view key, int64_t value) {
  WriteInt(SectionKeyForWrite(file, section, key), value);
}

void WriteFloat(TIniFile* file, std::string_view section, std::string_view key, double value) {
  WriteFloat(SectionKeyForWrite(file, section, key), value);
}

void WriteBool(TIniFile* file, std::string_view section, std::string_view key, bool value) {
  WriteBool(SectionKeyForWrite(file, section, key), value);
}

}  // namespace vyr
