#include "viewer/command_line.h"

#include <charconv>
#include <cstdint>
#include <functional>

#include "foundation/case_fold.h"
#include "platform/process_paths.h"

namespace vyr {

namespace {

bool IsBlank(char c) { return static_cast<unsigned char>(c) <= 32; }

// Leading quote, trailing quote, then every remaining quote dropped.
std::string StripQuotes(std::string_view raw) {
  if (!raw.empty() && raw.front() == '"') raw.remove_prefix(1);
  if (!raw.empty() && raw.back() == '"') raw.remove_suffix(1);
  std::string token;
  token.reserve(raw.size());
  for (char c : raw)
    if (c != '"') token += c;
  return token;
}

// The whole text as a 32-bit decimal integer.
std::optional<int32_t> ParseDecimal(std::string_view text) {
  int32_t value = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (error != std::errc() || end != text.data() + text.size()) return std::nullopt;
  return value;
}

// (v - 1, isTime) for a value v > 0; (0, isTime) for anything else.
TStartPosition PositionFrom(const TCommandsStorage& table, std::string_view name, bool isTime) {
  const std::optional<std::string> text = table.OptionValue(name);
  const std::optional<int32_t> value = text ? ParseDecimal(*text) : std::nullopt;
  if (value && *value > 0) return {*value - 1, isTime};
  return {0, isTime};
}

}  // namespace

std::string OptionName(std::string_view name) { return FoldCaseUtf8(name); }

TCommandsStorage::TCommandsStorage() : buckets_(kBucketCount) {}

size_t TCommandsStorage::BucketOf(std::string_view name) {
  return std::hash<std::string_view>{}(name) % kBucketCount;
}

const TCommand* TCommandsStorage::Find(std::string_view name) const {
  for (const auto& command : buckets_[BucketOf(name)])
    if (command->name == name) return command.get();
  return nullptr;
}

TCommand& TCommandsStorage::FindOrAdd(std::string_view name) {
  auto& bucket = buckets_[BucketOf(name)];
  for (const auto& command : bucket)
    if (command->name == name) return *command;
  bucket.push_back(std::make_unique<TCommand>(TCommand{std::string(name), {}}));
  ++count_;
  return *bucket.back();
}

void TCommandsStorage::Clear() {
  for (auto& bucket : buckets_) bucket.clear();
  count_ = 0;
}

std::optional<std::string> TCommandsStorage::OptionValue(std::string_view name,
                                                         size_t index) const {
  const TCommand* command = Find(OptionName(name));
  if (!command || index >= command->items.size()) return std::nullopt;
  return command->items[index].value;
}

std::vector<std::string> TokenizeCommandLine(std::string_view text) {
  std::vector<std::string> tokens;
  bool quoted = false;  // deliberately carried over from one token to the next
  size_t pos = 0;
  for (;;) {
    while (pos < text.size() && IsBlank(text[pos])) ++pos;
    if (pos >= text.size()) break;
    const size_t start = pos;
    for (; pos < text.size(); ++pos) {
      if (text[pos] == '"') {
        quoted = !quoted;
      } else if (!quoted && IsBlank(text[pos])) {
        break;
      }
    }
    tokens.push_back(StripQuotes(text.substr(start, pos - start)));
  }
  return tokens;
}

void BuildCommands(const std::vector<std::string>& tokens, TCommandsStorage& table) {
  TCommand* current = &table.FindOrAdd("");
  for (const std::string& token : tokens) {
    if (token.empty()) continue;
    if (token.front() == '-') {
      current = &table.FindOrAdd(OptionName(std::string_view(token).substr(1)));
    } else {
      current->items.push_back(TCommandItem{token});
    }
  }
}

void ParseCommandLine(std::string_view text, std::vector<std::string>& tokens,
                      TCommandsStorage& table) {
  const std::vector<std::string> fresh = TokenizeCommandLine(text);
  BuildCommands(fresh, table);
  tokens.insert(tokens.end(), fresh.begin(), fresh.end());
}

bool HasToken(const std::vector<std::string>& tokens, std::string_view text) {
  for (const std::string& token : tokens)
    if (token == text) return true;
  return false;
}

TStartPosition StartPosition(const TCommandsStorage& table) {
  if (table.HasOption("slide")) return PositionFrom(table, "slide", false);
  if (table.HasOption("time")) return PositionFrom(table, "time", true);
  return {};
}

const std::vector<std::string>& ProcessTokens() { return ProgramArguments(); }

const TCommandsStorage& ProcessCommands() {
  static const std::unique_ptr<TCommandsStorage> table = [] {
    auto built = std::make_unique<TCommandsStorage>();
    BuildCommands(ProcessTokens(), *built);
    return built;
  }();
  return *table;
}

bool HasOption(std::string_view name) { return ProcessCommands().HasOption(name); }

std::optional<std::string> OptionValue(std::string_view name, size_t index) {
  return ProcessCommands().OptionValue(name, index);
}

bool HasToken(std::string_view text) { return HasToken(ProcessTokens(), text); }

}  // namespace vyr
