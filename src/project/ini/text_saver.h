#pragma once
// Text savers: where the INI writer sends its bytes.

#include <string>
#include <string_view>

#include "foundation/stream.h"

namespace vyr {

class TTextSaver {
 public:
  virtual ~TTextSaver() = default;
  // Syntax bytes ("[", "=", "object ", indentation).
  virtual void WriteRaw(std::string_view bytes) = 0;
  // Names and values.
  virtual void WriteData(std::string_view bytes) { WriteRaw(bytes); }
  virtual void WriteLineEnd() { WriteRaw("\r\n"); }
  // Indentation of count spaces, in pieces of at most 96.
  void WriteIndent(int count);
};

// Buffers 32768 bytes and writes them to a stream when full and on Flush.
class TStreamTextSaver : public TTextSaver {
 public:
  explicit TStreamTextSaver(TStream& stream);
  void WriteRaw(std::string_view bytes) override;
  // Raises the stream's error when the bytes cannot be written.
  void Flush();

  static constexpr size_t kBufferSize = 32768;

 private:
  TStream& stream_;
  std::string buffer_;
};

// Collects the text in memory.
class TBytesTextSaver : public TTextSaver {
 public:
  TBytesTextSaver() { text_.reserve(4096); }
  void WriteRaw(std::string_view bytes) override { text_.append(bytes); }
  const std::string& Text() const { return text_; }
  std::string TakeText() { return std::move(text_); }

 private:
  std::string text_;
};

// Produces value text: line ends become backslash-n, backslashes of names and values double.
class TValueTextSaver : public TBytesTextSaver {
 public:
  void WriteData(std::string_view bytes) override;
  void WriteLineEnd() override { WriteRaw("\\n"); }
};

}  // namespace vyr
