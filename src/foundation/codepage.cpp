#include "foundation/codepage.h"

#include <iconv.h>

#include <cerrno>
#include <cstdlib>

#include "foundation/utf.h"

namespace vyr {

namespace {

constexpr const char* kDefaultCodePage = "CP1252";

bool IsAscii(std::string_view bytes) {
  for (const char c : bytes) {
    if (static_cast<unsigned char>(c) >= 0x80) return false;
  }
  return true;
}

class TIconv {
 public:
  explicit TIconv(const std::string& from) : cd_(iconv_open("UTF-8", from.c_str())) {
    if (!Ok()) cd_ = iconv_open("UTF-8", kDefaultCodePage);
  }
  ~TIconv() {
    if (Ok()) iconv_close(cd_);
  }
  TIconv(const TIconv&) = delete;
  TIconv& operator=(const TIconv&) = delete;
  bool Ok() const { return cd_ != reinterpret_cast<iconv_t>(-1); }
  iconv_t Get() const { return cd_; }

 private:
  iconv_t cd_;
};

// Byte by byte, for when iconv itself is missing.
std::string Latin1ToUtf8(std::string_view bytes) {
  std::string out;
  out.reserve(bytes.size() * 2);
  for (const char c : bytes) AppendUtf8(out, static_cast<unsigned char>(c));
  return out;
}

}  // namespace

std::string AnsiCodePageName() {
  const char* name = std::getenv("VYR_CODEPAGE");
  return (name && *name) ? name : kDefaultCodePage;
}

std::string AnsiToUtf8(std::string_view bytes) {
  if (IsAscii(bytes)) return std::string(bytes);
  TIconv cd(AnsiCodePageName());
  if (!cd.Ok()) return Latin1ToUtf8(bytes);

  std::string out(bytes.size() * 3 + 16, '\0');
  size_t written = 0;
  char* in = const_cast<char*>(bytes.data());
  size_t inLeft = bytes.size();
  while (inLeft > 0) {
    char* outPtr = out.data() + written;
    size_t outLeft = out.size() - written;
    const size_t result = iconv(cd.Get(), &in, &inLeft, &outPtr, &outLeft);
    written = out.size() - outLeft;
    if (result != static_cast<size_t>(-1)) break;
    if (errno == E2BIG) {
      out.resize(out.size() * 2);
      continue;
    }
    // EILSEQ or EINVAL: an undecodable or truncated sequence; keep the byte and go on.
    std::string fallback;
    AppendUtf8(fallback, static_cast<unsigned char>(*in));
    if (out.size() - written < fallback.size()) out.resize(out.size() * 2);
    out.replace(written, fallback.size(), fallback);
    written += fallback.size();
    ++in;
    --inLeft;
    iconv(cd.Get(), nullptr, nullptr, nullptr, nullptr);
  }
  // Flush any shift state.
  for (;;) {
    char* outPtr = out.data() + written;
    size_t outLeft = out.size() - written;
    const size_t result = iconv(cd.Get(), nullptr, nullptr, &outPtr, &outLeft);
    written = out.size() - outLeft;
    if (result != static_cast<size_t>(-1) || errno != E2BIG) break;
    out.resize(out.size() * 2);
  }
  out.resize(written);
  return out;
}

}  // namespace vyr
