#include "export/safe_output.h"

#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>

namespace vyr::exporting {

TSafeOutput::TSafeOutput(std::string finalPath) : final_(std::move(finalPath)) {
  const std::filesystem::path path(final_);
  temporary_ = (path.parent_path() / (path.stem().string() + ".partial-" +
                                      std::to_string(::getpid()) + path.extension().string()))
                   .string();
}

TSafeOutput::~TSafeOutput() { Discard(); }

std::string TSafeOutput::Commit() {
  if (settled_) return "the output was already settled";
  if (std::rename(temporary_.c_str(), final_.c_str()) != 0) {
    const std::string reason = std::strerror(errno);
    Discard();
    return "cannot rename " + temporary_ + " to " + final_ + ": " + reason;
  }
  settled_ = true;
  return {};
}

void TSafeOutput::Discard() {
  if (settled_) return;
  std::remove(temporary_.c_str());
  settled_ = true;
}

}  // namespace vyr::exporting
