#include "project/ini/parser.h"

#include <array>
#include <string>
#include <vector>

#include "project/ini/lookup.h"

namespace vyr {

namespace {

enum : uint8_t { kBlank = 1, kBreak = 2, kIdent = 4 };

constexpr std::array<uint8_t, 256> MakeClassTable() {
  std::array<uint8_t, 256> table{};
  for (int c = 0; c <= 32; ++c) table[c] = kBlank;
  table['\r'] = kBreak;
  table['\n'] = kBreak;
  for (int c = '0'; c <= '9'; ++c) table[c] = kIdent;
  for (int c = 'A'; c <= 'Z'; ++c) table[c] = kIdent;
  for (int c = 'a'; c <= 'z'; ++c) table[c] = kIdent;
  table['_'] = kIdent;
  return table;
}

constexpr std::array<uint8_t, 256> kClass = MakeClassTable();

inline bool Is(char c, uint8_t cls) { return (kClass[static_cast<unsigned char>(c)] & cls) != 0; }

std::string_view TrimRight(std::string_view s) {
  size_t n = s.size();
  while (n > 0 && Is(s[n - 1], kBlank)) --n;
  return s.substr(0, n);
}

std::string_view TrimLeft(std::string_view s) {
  size_t n = 0;
  while (n < s.size() && Is(s[n], kBlank)) ++n;
  return s.substr(n);
}

// When line (its blanks already skipped) starts with word (any case), not followed
// by an identifier byte nor by blanks and "=", gives the rest after the word's blanks.
bool MatchWord(std::string_view line, std::string_view word, std::string_view& rest) {
  if (line.size() < word.size()) return false;
  for (size_t i = 0; i < word.size(); ++i) {
    if ((line[i] | 0x20) != word[i]) return false;
  }
  if (line.size() > word.size() && Is(line[word.size()], kIdent)) return false;
  rest = TrimLeft(line.substr(word.size()));
  return rest.empty() || rest.front() != '=';
}

class TIniBuilder {
 public:
  explicit TIniBuilder(TIniFile& file) : file_(file), base_(&file) {}

  void Line(std::string_view line);

 private:
  TIniList& Current() const { return open_.empty() ? *base_ : *open_.back(); }
  void Text(std::string_view text) { Current().AddText(std::string(text)); }
  void Header(std::string_view name);
  void ObjectStart(std::string_view rest, std::string_view line);
  void ObjectEnd();

  TIniFile& file_;
  TIniList* base_;                 // the file or the current section
  std::vector<TIniObject*> open_;  // open object blocks, innermost last
};

void TIniBuilder::Line(std::string_view raw) {
  const std::string_view line = TrimRight(TrimLeft(raw));
  if (line.empty()) return Text({});
  const char first = line.front();
  if (first == ';' || first == '=') return Text(line);
  if (first == '[') {
    const size_t close = line.find(']');
    if (close == std::string_view::npos) return Text(line);
    return Header(TrimRight(TrimLeft(line.substr(1, close - 1))));
  }
  std::string_view rest;
  if (MatchWord(line, "object", rest)) return ObjectStart(rest, line);
  if (MatchWord(line, "end", rest)) return ObjectEnd();
  const size_t eq = line.find('=');
  if (eq == std::string_view::npos) return Text(line);
  Current().AddKey(std::string(TrimRight(line.substr(0, eq))),
                   std::string(TrimLeft(line.substr(eq + 1))));
}

void TIniBuilder::Header(std::string_view name) {
  if (!open_.empty()) {
    // Inside object blocks a header only closes them; what follows goes on in base_.
    open_.clear();
    return;
  }
  TIniSection* section = nullptr;
  if (name.empty()) {
    for (TIniSection* s : file_.Sections()) {
      if (s->Name().empty()) section = s;
    }
  } else {
    section = FindSection(&file_, name);
  }
  if (!section) {
    auto created = MakeRef<TIniSection>(std::string(name));
    section = created.Get();
    file_.Add(std::move(created));
  }
  base_ = section;
}

void TIniBuilder::ObjectStart(std::string_view rest, std::string_view line) {
  if (open_.size() >= kMaxIniObjectDepth) return Text(line);
  std::string_view name = rest;
  std::string_view className;
  const size_t colon = rest.rfind(':');
  if (colon != std::string_view::npos) {
    name = TrimRight(rest.substr(0, colon));
    className = TrimLeft(rest.substr(colon + 1));
  }
  auto object = MakeRef<TIniObject>(std::string(name), std::string(className));
  TIniObject* raw = object.Get();
  Current().Add(std::move(object));
  open_.push_back(raw);
}

void TIniBuilder::ObjectEnd() {
  if (open_.empty()) return Text("end");
  open_.pop_back();
}

}  // namespace

void ParseIniText(TIniFile& file, std::string_view text) {
  TIniBuilder builder(file);
  const char* p = text.data();
  const char* const end = p + text.size();
  while (p < end) {
    const char* lineEnd = p;
    while (lineEnd < end && !Is(*lineEnd, kBreak)) ++lineEnd;
    builder.Line(std::string_view(p, static_cast<size_t>(lineEnd - p)));
    if (lineEnd == end) break;
    // CR LF and LF CR end one line; CR CR or LF LF end two.
    const char* next = lineEnd + 1;
    if (next < end && Is(*next, kBreak) && *next != *lineEnd) ++next;
    p = next;
    if (p == end) break;
  }
}

}  // namespace vyr
