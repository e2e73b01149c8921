#pragma once
// Helpers for the INI tests: parse text, and describe a model's structure in one string.

#include <cstdint>
#include <string>
#include <string_view>

#include "project/ini/ini.h"

namespace vyr::testing {

inline TRef<TIniFile> Parse(std::string_view text) {
  auto file = MakeRef<TIniFile>();
  file->LoadFromUtf8(text);
  return file;
}

// prefix followed by n in decimal.
inline std::string Numbered(std::string_view prefix, int64_t n) {
  std::string text(prefix);
  text += std::to_string(n);
  return text;
}

// "K(name=value)", "T(text)", "O(name:class){...}", "S(name){...}" in item order.
inline std::string Shape(const TIniList& list) {
  std::string out;
  for (size_t i = 0; i < list.Count(); ++i) {
    const TIniItem* item = list.Item(i);
    switch (item->Kind()) {
      case TIniKind::Item:
        out += item->Name().empty() ? "T(" + item->Value() + ")"
                                    : "K(" + item->Name() + "=" + item->Value() + ")";
        break;
      case TIniKind::Object:
        out += "O(" + item->Name() + ":" + item->Value() + "){" +
               Shape(static_cast<const TIniList&>(*item)) + "}";
        break;
      default:
        out += "S(" + item->Name() + "){" + Shape(static_cast<const TIniList&>(*item)) + "}";
        break;
    }
  }
  return out;
}

}  // namespace vyr::testing
