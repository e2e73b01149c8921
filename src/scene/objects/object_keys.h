#pragma once
// Typed reads of object keys: an absent key or a value that does not parse keeps the default.

#include <cstdint>
#include <initializer_list>
#include <string>
#include <string_view>
#include <vector>

#include "project/ini/model.h"

namespace vyr {

bool KeyBool(const TIniObject* object, std::string_view key, bool defaultValue);
int KeyInt(const TIniObject* object, std::string_view key, int defaultValue);
float KeyFloat(const TIniObject* object, std::string_view key, float defaultValue);
std::string KeyText(const TIniObject* object, std::string_view key, std::string_view defaultValue);
bool HasKey(const TIniObject* object, std::string_view key);
// Index of the name matched ignoring case.
int KeyEnum(const TIniObject* object, std::string_view key,
            std::initializer_list<std::string_view> names, int defaultValue);
// 0xAARRGGBB from "r,g,b[,a]" or "colour number[,alpha]".
uint32_t KeyColor(const TIniObject* object, std::string_view key, uint32_t defaultValue);
// The comma-separated numbers of a key; items that do not parse are 0.
std::vector<double> KeyNumbers(const TIniObject* object, std::string_view key);

}  // namespace vyr
