#pragma once
// Command-line tokens and the option table. Options are tokens starting with "-"; every
// other token is a value of the nearest option before it (the empty name before any).

#include <cstddef>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace vyr {

struct TCommandItem {
  std::string value;
};

struct TCommand {
  std::string name;  // lower case; empty for the positional values
  std::vector<TCommandItem> items;
};

// Hash list of options keyed by their lower-case names.
class TCommandsStorage {
 public:
  static constexpr size_t kBucketCount = 251;

  TCommandsStorage();
  TCommandsStorage(const TCommandsStorage&) = delete;
  TCommandsStorage& operator=(const TCommandsStorage&) = delete;

  // Exact match of the stored (lower-case) name.
  const TCommand* Find(std::string_view name) const;
  TCommand& FindOrAdd(std::string_view name);
  size_t Count() const { return count_; }
  void Clear();

  // Whether the option appeared, with or without values (exact name match).
  bool HasOption(std::string_view name) const { return Find(name) != nullptr; }
  // The value at index (0 = first value after the option); the name is lower-cased first.
  std::optional<std::string> OptionValue(std::string_view name, size_t index = 0) const;

 private:
  static size_t BucketOf(std::string_view name);

  std::vector<std::vector<std::unique_ptr<TCommand>>> buckets_;
  size_t count_ = 0;
};

struct TStartPosition {
  int value = 0;        // slide index (0-based), or show time in ms when isTime
  bool isTime = false;  // a time: no slide-number conversion applies
};

// Splits a command-line text into tokens with their quote characters removed.
std::vector<std::string> TokenizeCommandLine(std::string_view text);
// Appends the tokens' options and values to table.
void BuildCommands(const std::vector<std::string>& tokens, TCommandsStorage& table);
// Tokenizes text into tokens (appended) and builds table from the new tokens.
void ParseCommandLine(std::string_view text, std::vector<std::string>& tokens,
                      TCommandsStorage& table);
bool HasToken(const std::vector<std::string>& tokens, std::string_view text);
// "slide" n gives index n - 1; otherwise "time" t gives time t - 1; bad values give 0.
TStartPosition StartPosition(const TCommandsStorage& table);

// The option name of a token: lower case (Unicode simple case folding).
std::string OptionName(std::string_view name);

// The process's own tokens (its arguments) and option table, built on first use.
const std::vector<std::string>& ProcessTokens();
const TCommandsStorage& ProcessCommands();
bool HasOption(std::string_view name);
std::optional<std::string> OptionValue(std::string_view name, size_t index = 0);
bool HasToken(std::string_view text);

}  // namespace vyr
