#pragma once
// The process-wide log. It discards everything unless the command line asks for a log
// file or standard-error output; lines are plain texts, always written whole.

#include <cstdint>
#include <functional>
#include <mutex>
#include <span>
#include <string>
#include <string_view>

#include "foundation/ref_object.h"
#include "foundation/stream.h"

namespace vyr {

// The base log: builds each line and hands it to its sink, which by default is the
// log's own RawWrite (empty here, so a plain TLog discards every line).
class TLog : public TRefObject {
 public:
  using TSink = std::function<void(const std::string& line)>;

  TLog();

  void WriteLine(std::string_view text) { Emit(text, true); }
  // A line without the thread-id and elapsed-time prefixes (the banners).
  void WriteUnprefixed(std::string_view text) { Emit(text, false); }

  // Each writes one line: prefix, the formatted value, suffix.
  void WriteInteger(std::string_view prefix, int32_t value, std::string_view suffix = {});
  void WriteReal(std::string_view prefix, double value, std::string_view suffix = {});
  void WriteReals(std::string_view prefix, std::span<const double> values,
                  std::string_view suffix = {});
  void WriteBoolean(std::string_view prefix, bool value, std::string_view suffix = {});
  void WriteIntegers(std::string_view prefix, std::span<const int64_t> values,
                     std::string_view suffix = {});
  void WritePoint(std::string_view prefix, int32_t x, int32_t y, std::string_view suffix = {});
  void WriteRect(std::string_view prefix, int32_t left, int32_t top, int32_t right, int32_t bottom,
                 std::string_view suffix = {});

  // An empty sink restores the log's own RawWrite.
  void SetSink(TSink sink) { sink_ = std::move(sink); }
  void SetThreadIdPrefix(bool on) { threadIdPrefix_ = on; }
  void SetElapsedPrefix(bool on) { elapsedPrefix_ = on; }

  // Called when another log replaces this one: stop writing anywhere lasting.
  virtual void Retire() {}

 protected:
  // Writes one finished line.
  virtual void RawWrite(const std::string& line) { (void)line; }
  // Builds the line and hands it to the sink; overridden to add a lock.
  virtual void Emit(std::string_view text, bool prefixed);

 private:
  std::string Prefixes() const;

  TSink sink_;
  bool threadIdPrefix_ = false;
  bool elapsedPrefix_ = false;
  int64_t createdNs_ = 0;
};

// Standard error. Each line goes out in one write, so lines never interleave.
class TStdLog : public TLog {
 protected:
  void RawWrite(const std::string& line) override;
};

// Serialises lines: building and writing a line happen under one lock.
class TExclLog : public TLog {
 protected:
  void Emit(std::string_view text, bool prefixed) override;
  std::mutex& Lock() { return lock_; }

 private:
  std::mutex lock_;
};

// UTF-8 lines ending in CR LF on a stream; an empty stream first gets the byte order mark.
// Without a stream every line is dropped; a failed write is dropped too.
class TStreamLog : public TExclLog {
 public:
  explicit TStreamLog(TRef<TStream> stream) : stream_(std::move(stream)) {}
  bool HasStream();
  // Lets go of the stream; later lines are dropped.
  virtual void CloseStream();
  void Retire() override { CloseStream(); }

 protected:
  void RawWrite(const std::string& line) override;

 private:
  TRef<TStream> stream_;
};

// The log file: created anew (truncated) at construction. When the file cannot be
// created the log exists without a stream and drops every line silently.
class TFileLog : public TStreamLog {
 public:
  explicit TFileLog(const std::string& path);
};

// The current process-wide log (a discarding TLog until one is installed).
TLog& GlobalLog();
// Installs log (none installs a fresh TLog). The previous log is retired rather than
// freed, so a thread still writing through it never touches freed memory.
void SetGlobalLog(TRef<TLog> log);
// Shorthand for GlobalLog().WriteLine(text).
void WriteLine(std::string_view text);

// Value texts of the formatting operations.
std::string FormatReal(double value);  // fixed point, up to 16 decimals, zeros trimmed
std::string FormatReals(std::span<const double> values);
std::string FormatIntegers(std::span<const int64_t> values);
std::string FormatBoolean(bool value);

}  // namespace vyr
