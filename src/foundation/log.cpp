#include "foundation/log.h"

#include <charconv>

#include <sys/syscall.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <vector>

namespace vyr {

namespace {

int64_t SteadyNs() {
  return std::chrono::duration_cast<std::chrono::nanoseconds>(
             std::chrono::steady_clock::now().time_since_epoch())
      .count();
}

template <class T, class F>
std::string JoinList(std::span<const T> values, F format) {
  std::string text;
  for (size_t i = 0; i < values.size(); ++i) {
    if (i > 0) text += ", ";
    text += format(values[i]);
  }
  return text;
}

std::string Compose(std::string_view prefix, std::string_view value, std::string_view suffix) {
  std::string line;
  line.reserve(prefix.size() + value.size() + suffix.size());
  line.append(prefix).append(value).append(suffix);
  return line;
}

// The current log and every log it replaced. Retired logs stay allocated for the rest of
// the process: another thread may still hold a reference obtained from GlobalLog().
struct TLogHolder {
  std::mutex lock;
  TRef<TLog> current = MakeRef<TLog>();
  std::vector<TRef<TLog>> retired;
};

TLogHolder& Holder() {
  static TLogHolder* holder = new TLogHolder;  // never destroyed: threads may log at exit
  return *holder;
}

}  // namespace

std::string FormatReal(double value) {
  // The shortest fixed form that reads back exactly, else rounded to 16 decimals.
  char buffer[400];
  auto result = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed);
  std::string text(buffer, result.ptr);
  const size_t point = text.find('.');
  if (point != std::string::npos && text.size() - point - 1 > 16) {
    result = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed, 16);
    text.assign(buffer, result.ptr);
  }
  if (text.find('.') != std::string::npos) {
    while (text.back() == '0') text.pop_back();
    if (text.back() == '.') text.pop_back();
  }
  if (text == "-0") text = "0";
  return text;
}

std::string FormatReals(std::span<const double> values) {
  return JoinList(values, [](double v) { return FormatReal(v); });
}

std::string FormatIntegers(std::span<const int64_t> values) {
  return JoinList(values, [](int64_t v) { return std::to_string(v); });
}

std::string FormatBoolean(bool value) { return value ? "True" : "False"; }

TLog::TLog() : createdNs_(SteadyNs()) {}

std::string TLog::Prefixes() const {
  std::string text;
  if (threadIdPrefix_) text += "[" + std::to_string(::syscall(SYS_gettid)) + "] ";
  if (elapsedPrefix_) text += "[" + std::to_string((SteadyNs() - createdNs_) / 1000000) + "] ";
  return text;
}

void TLog::Emit(std::string_view text, bool prefixed) {
  std::string line = prefixed ? Prefixes() : std::string();
  line.append(text);
  if (sink_) {
    sink_(line);
  } else {
    RawWrite(line);
  }
}

void TLog::WriteInteger(std::string_view prefix, int32_t value, std::string_view suffix) {
  WriteLine(Compose(prefix, std::to_string(value), suffix));
}

void TLog::WriteReal(std::string_view prefix, double value, std::string_view suffix) {
  WriteLine(Compose(prefix, FormatReal(value), suffix));
}

void TLog::WriteReals(std::string_view prefix, std::span<const double> values,
                      std::string_view suffix) {
  WriteLine(Compose(prefix, FormatReals(values), suffix));
}

void TLog::WriteBoolean(std::string_view prefix, bool value, std::string_view suffix) {
  WriteLine(Compose(prefix, FormatBoolean(value), suffix));
}

void TLog::WriteIntegers(std::string_view prefix, std::span<const int64_t> values,
                         std::string_view suffix) {
  WriteLine(Compose(prefix, FormatIntegers(values), suffix));
}

void TLog::WritePoint(std::string_view prefix, int32_t x, int32_t y, std::string_view suffix) {
  const int64_t values[] = {x, y};
  WriteIntegers(prefix, values, suffix);
}

void TLog::WriteRect(std::string_view prefix, int32_t left, int32_t top, int32_t right,
                     int32_t bottom, std::string_view suffix) {
  const int64_t values[] = {left, top, right, bottom};
  WriteIntegers(prefix, values, suffix);
}

void TStdLog::RawWrite(const std::string& line) {
  const std::string out = line + "\n";
  std::fwrite(out.data(), 1, out.size(), stderr);
}

void TExclLog::Emit(std::string_view text, bool prefixed) {
  std::lock_guard guard(lock_);
  TLog::Emit(text, prefixed);
}

bool TStreamLog::HasStream() {
  std::lock_guard guard(Lock());
  return static_cast<bool>(stream_);
}

void TStreamLog::CloseStream() {
  std::lock_guard guard(Lock());
  stream_.Reset();
}

// Called with the lock held.
void TStreamLog::RawWrite(const std::string& line) {
  if (!stream_) return;
  std::string bytes;
  bytes.reserve(line.size() + 5);
  if (stream_->Size() == 0) bytes += "\xEF\xBB\xBF";
  bytes += line;
  bytes += "\r\n";
  try {
    stream_->Seek(stream_->Size());
    stream_->WriteBuffer(bytes.data(), static_cast<int64_t>(bytes.size()));
  } catch (const std::exception&) {
    // A full disk must not take the program down through its log.
  }
}

TFileLog::TFileLog(const std::string& path)
    : TStreamLog(TFileStream::TryOpen(path, TFileStream::Mode::Create)) {}

TLog& GlobalLog() {
  TLogHolder& holder = Holder();
  std::lock_guard guard(holder.lock);
  return *holder.current;
}

void SetGlobalLog(TRef<TLog> log) {
  if (!log) log = MakeRef<TLog>();
  TLogHolder& holder = Holder();
  TRef<TLog> old;
  {
    std::lock_guard guard(holder.lock);
    old = holder.current;
    holder.current = std::move(log);
    holder.retired.push_back(old);
  }
  old->Retire();
}

void WriteLine(std::string_view text) { GlobalLog().WriteLine(text); }

}  // namespace vyr
