#include "imaging/decode/picture_budget.h"

#include <algorithm>
#include <atomic>
#include <string>

#include "imaging/decode/imaging_log.h"

namespace vyr {

namespace {
std::atomic<TDecodeGoOnHook> gGoOn{nullptr};
}  // namespace

bool WithinPictureBudget(int64_t width, int64_t height) {
  if (width <= 0 || height <= 0) return false;
  // A thin picture costs textures of the smallest page's side across.
  const int64_t w = std::max(width, kMinBudgetSide), h = std::max(height, kMinBudgetSide);
  return w <= kMaxPicturePixels / h;
}

bool FitsPictureBudget(int64_t width, int64_t height, std::string_view name) {
  if (width <= 0 || height <= 0) return false;  // no picture at all, nothing to report
  if (WithinPictureBudget(width, height)) return true;
  ImagingLog("Picture over the pixel budget: " + std::string(name) + " (" + std::to_string(width) +
             " x " + std::to_string(height) + ")");
  return false;
}

bool FitsPictureFileBudget(int64_t bytes, std::string_view name) {
  if (bytes <= kMaxPictureFileBytes) return true;
  ImagingLog("Picture file over the size budget: " + std::string(name) + " (" +
             std::to_string(bytes) + " bytes)");
  return false;
}

void SetDecodeGoOnHook(TDecodeGoOnHook hook) { gGoOn.store(hook, std::memory_order_release); }

bool DecodeGoOn() {
  const TDecodeGoOnHook hook = gGoOn.load(std::memory_order_acquire);
  return !hook || hook();
}

}  // namespace vyr
