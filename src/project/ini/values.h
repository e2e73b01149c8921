#pragma once
// Typed reads and writes of key values. A read returns its default when the item
// is missing or its value does not parse; a write on a missing item does nothing.

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "project/ini/model.h"

namespace vyr {

std::string ReadText(const TIniItem* item, std::string_view defaultValue = {});
// Optional blanks (space or byte 8), optional sign, decimal digits, nothing else.
int32_t ReadInt(const TIniItem* item, int32_t defaultValue);
int64_t ReadInt64(const TIniItem* item, int64_t defaultValue);
// Digits with at most one ".", optional exponent "E" / "e" + integer.
double ReadFloat(const TIniItem* item, double defaultValue);
// Exactly "1" or "0".
bool ReadBool(const TIniItem* item, bool defaultValue);
// Index of the first name equal to the value.
int ReadEnum(const TIniItem* item, std::span<const std::string_view> names, int defaultValue,
             bool ignoreCase);
// The value split at every separator, parts not trimmed; empty for a missing item or value.
std::vector<std::string> ReadList(const TIniItem* item, char separator = ',');

void WriteText(TIniItem* item, std::string_view value);
void WriteInt(TIniItem* item, int64_t value);
// Fixed point, up to 16 digits after the point, trailing zeros and point removed.
void WriteFloat(TIniItem* item, double value);
void WriteBool(TIniItem* item, bool value);

// The textual forms used by the reads and writes.
bool ParseInt32(std::string_view text, int32_t& value);
bool ParseInt64(std::string_view text, int64_t& value);
bool ParseFloat(std::string_view text, double& value);
std::string FormatFloat(double value);

// Section-level shortcuts: a key of a named section ("" = the file's own items).
std::string ReadText(const TIniFile* file, std::string_view section, std::string_view key,
                     std::string_view defaultValue);
int32_t ReadInt(const TIniFile* file, std::string_view section, std::string_view key,
                int32_t defaultValue);
int64_t ReadInt64(const TIniFile* file, std::string_view section, std::string_view key,
                  int64_t defaultValue);
double ReadFloat(const TIniFile* file, std::string_view section, std::string_view key,
                 double defaultValue);
bool ReadBool(const TIniFile* file, std::string_view section, std::string_view key,
              bool defaultValue);
// Create the section and key when needed.
void WriteText(TIniFile* file, std::string_view section, std::string_view key,
               std::string_view value);
void WriteInt(TIniFile* file, std::string_view section, std::string_view key, int64_t value);
void WriteFloat(TIniFile* file, std::string_view section, std::string_view key, double value);
void WriteBool(TIniFile* file, std::string_view section, std::string_view key, bool value);

}  // namespace vyr
