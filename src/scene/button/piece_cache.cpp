#include "scene/button/piece_cache.h"

#include <mutex>
#include <unordered_map>

#include "foundation/case_fold.h"
#include "package/access/file_accessor.h"

namespace vyr {

namespace {

struct TPieceCache {
  std::mutex lock;
  std::unordered_map<std::string, TRef<TImage>> pictures;
};

TPieceCache& Cache() {
  static TPieceCache* cache = new TPieceCache;  // lives until the program ends
  return *cache;
}

}  // namespace

TRef<TImage> OpenButtonPiece(TFileAccessor& files, const std::string& path) {
  const std::string key = std::to_string(files.Source().SourceNumber()) + "|" + FoldCaseUtf8(path);
  TPieceCache& cache = Cache();
  std::lock_guard guard(cache.lock);
  auto found = cache.pictures.find(key);
  if (found != cache.pictures.end()) return found->second;
  TRef<TImage> picture = files.OpenPicture(path);
  cache.pictures.emplace(key, picture);
  return picture;
}

size_t ButtonPieceCount() {
  TPieceCache& cache = Cache();
  std::lock_guard guard(cache.lock);
  return cache.pictures.size();
}

}  // namespace vyr
