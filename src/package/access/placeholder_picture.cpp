#include "package/access/placeholder_picture.h"

#include <mutex>

#include "imaging/text/placeholder_text.h"
#include "package/access/path_resolver.h"

namespace vyr {

namespace {
std::mutex gProducerLock;
TPlaceholderProducer& Producer() {
  static auto* producer = new TPlaceholderProducer(DefaultPlaceholderProducer());  // process-long
  return *producer;
}
}  // namespace

TPlaceholderProducer DefaultPlaceholderProducer() {
  return [](const TPlaceholderText& text) {
    return MakePlaceholderTextPicture(text.firstLine, text.secondLine, text.firstColor,
                                      text.secondColor, text.factor);
  };
}

TPlaceholderText PlaceholderText(TPlaceholderKind kind, TPlaceholderReason reason,
                                 std::string_view path) {
  const bool image = kind == TPlaceholderKind::Image;
  TPlaceholderText text;
  if (reason == TPlaceholderReason::NotFound)
    text.firstLine = image ? " Image not found " : " Video not found ";
  else
    text.firstLine = image ? " Image load error: " : " Video load error: ";
  text.secondLine = " " + std::string(ProjectFileName(path.substr(0, path.find('|')))) + " ";
  return text;
}

void SetPlaceholderProducer(TPlaceholderProducer producer) {
  std::lock_guard lock(gProducerLock);
  Producer() = std::move(producer);
}

TRef<TImage> MakePlaceholderPicture(TPlaceholderKind kind, TPlaceholderReason reason,
                                    std::string_view path) {
  TPlaceholderProducer producer;
  {
    std::lock_guard lock(gProducerLock);
    producer = Producer();
  }
  if (!producer) return nullptr;
  return producer(PlaceholderText(kind, reason, path));
}

}  // namespace vyr
