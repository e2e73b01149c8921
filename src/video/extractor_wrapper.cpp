#include "video/extractor_wrapper.h"

#include <filesystem>
#include <map>
#include <mutex>
#include <vector>

#include "foundation/case_fold.h"
#include "foundation/log.h"
#include "package/access/file_accessor.h"
#include "scene/device_drawer.h"
#include "scene/host/slide_host.h"
#include "video/frame_source_factory.h"

namespace vyr {

namespace {

// The hosts' lists of wrappers. The list holds a reference; a wrapper nobody else holds is
// dropped by Prune (only the list can hand out new references, so the check is safe).
std::mutex registryLock;
std::map<std::pair<const TVyrSlideHost*, std::string>, TRef<TExtractorWrapper>>& Registry() {
  static std::map<std::pair<const TVyrSlideHost*, std::string>, TRef<TExtractorWrapper>> registry;
  return registry;
}

std::string LookupKey(const std::string& fileName, bool loadFromDisk) {
  return (loadFromDisk ? "disk:" : "show:") + FoldCaseUtf8(fileName);
}

std::string FileDate(const std::string& path) {
  std::error_code error;
  const auto time = std::filesystem::last_write_time(path, error);
  return error ? std::string() : std::to_string(time.time_since_epoch().count());
}

}  // namespace

TRef<TExtractorWrapper> TExtractorWrapper::ForFile(TVyrSlideHost& host, const std::string& fileName,
                                                   bool loadFromDisk) {
  Prune();
  const auto key =
      std::make_pair(static_cast<const TVyrSlideHost*>(&host), LookupKey(fileName, loadFromDisk));
  {
    std::lock_guard guard(registryLock);
    auto it = Registry().find(key);
    if (it != Registry().end()) return it->second;
  }
  auto wrapper = MakeRef<TExtractorWrapper>(host.Files(), loadFromDisk);
  wrapper->Open(fileName);
  std::lock_guard guard(registryLock);
  return Registry().emplace(key, wrapper).first->second;  // another thread's when it was quicker
}

void TExtractorWrapper::Prune() {
  std::vector<TRef<TExtractorWrapper>> unused;
  {
    std::lock_guard guard(registryLock);
    for (auto it = Registry().begin(); it != Registry().end();) {
      if (it->second->RefCount() == 1) {
        unused.push_back(std::move(it->second));
        it = Registry().erase(it);
      } else {
        ++it;
      }
    }
  }
  // Released outside the lock: stopping an extractor waits for its thread.
}

TExtractorWrapper::TExtractorWrapper(TFileAccessor& files, bool loadFromDisk)
    : files_(TRef<TFileAccessor>::Share(&files)), loadFromDisk_(loadFromDisk) {}

void TExtractorWrapper::Dispose() {
  ReturnLent();
  if (extractor_) extractor_->Stop();
  extractor_.Reset();
  TRefObject::Dispose();
}

void TExtractorWrapper::Open(const std::string& fileName) {
  if (fileName == fileName_ && (extractor_ || state_ != TVideoState::NotFound)) return;
  ReturnLent();
  fileName_ = fileName;
  sourceName_ = fileName;
  files_->ResolveRealFile(sourceName_);
  TRef<TStream> stream;
  try {
    stream = loadFromDisk_ ? TRef<TStream>(files_->OpenRealFile(sourceName_))
                           : files_->OpenStream(fileName);
  } catch (const std::exception& e) {
    WriteLine("Video \"" + fileName + "\" not opened: " + e.what());
  }
  const bool opened = static_cast<bool>(stream);
  TRef<TFrameSource> source =
      opened ? MakeFrameSource(std::move(stream), sourceName_, FileDate(sourceName_)) : nullptr;
  if (extractor_) extractor_->Stop();
  extractor_.Reset();
  picturesAdded_ = false;
  firstRequested_ = false;
  if (source) {
    state_ = TVideoState::Opened;
    extractor_ = MakeRef<TVyrVideoExtractor>(std::move(source));
  } else {
    state_ = opened ? TVideoState::LoadError : TVideoState::NotFound;
  }
}

bool TExtractorWrapper::Info(TVideoSourceInfo& info) const {
  if (!extractor_) return false;
  info = extractor_->Params();
  return true;
}

void TExtractorWrapper::AddPictures(TDeviceDrawer& drawer) {
  if (picturesAdded_ || !extractor_) return;
  picturesAdded_ = true;
  const TVideoSourceInfo& p = extractor_->Params();
  const TVideoKind kind = p.rgba ? TVideoKind::Rgba : TVideoKind::Yuv420;
  for (int k = 0; k < 2; ++k) extractor_->Add(drawer.CreateVideoImage(p.width, p.height, kind));
}

void TExtractorWrapper::Prefetch(bool wait, double t) {
  if (!extractor_ || (firstRequested_ && !wait)) return;
  firstRequested_ = true;
  if (!extractor_->Request(wait, t, VideoWaitTimeoutMs())) NoteVideoWaitTimeout(fileName_);
}

bool TExtractorWrapper::Lend(double rate, double t, TVideoLend& lend) {
  if (!extractor_) return false;
  if (!hasLent_) {
    bool exact = false;
    hasLent_ = extractor_->Lend(rate, t, lent_, exact);
    if (hasLent_ && (!lent_.picture->Valid() || lent_.decoded < 0)) {
      // Not decoded (or failed): ask again, waiting, and lend once more.
      extractor_->GiveBack(std::move(lent_));
      if (!extractor_->Request(true, t, VideoWaitTimeoutMs())) NoteVideoWaitTimeout(fileName_);
      hasLent_ = extractor_->Lend(rate, t, lent_, exact);
      if (hasLent_ && !lent_.picture->Valid()) {
        // Still nothing: the nearest good frame, if there is one.
        extractor_->GiveBack(std::move(lent_));
        hasLent_ = extractor_->LendValid(t, lent_) || extractor_->Lend(rate, t, lent_, exact);
      }
    }
  }
  if (!hasLent_) return false;
  ++lendCount_;
  lend.picture = lent_.picture.Get();
  lend.requested = lent_.requested;
  lend.decoded = lent_.decoded;
  return true;
}

void TExtractorWrapper::GiveBack() {
  if (lendCount_ <= 0) return;
  if (--lendCount_ == 0) ReturnLent();
}

void TExtractorWrapper::ReturnLent() {
  lendCount_ = 0;
  if (!hasLent_) return;
  hasLent_ = false;
  if (extractor_) extractor_->GiveBack(std::move(lent_));
  lent_ = TPoolEntry();
}

double TExtractorWrapper::LengthMs() const {
  if (!extractor_) return 0;
  const TVideoSourceInfo& p = extractor_->Params();
  return p.fps > 0 ? p.frameCount / p.fps * 1000 : 0;
}

}  // namespace vyr
