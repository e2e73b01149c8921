#include "scene/objects/vyr_video.h"

#include "scene/object_kind.h"
#include "scene/objects/object_creator.h"
#include "scene/objects/object_keys.h"

namespace vyr {

void TVyrVideo::ReadKeys(const TIniObject* o) {
  if (o) {
    keys_ = TVideoKeys();
    keys_.clipGuid = KeyText(o, "ClipGUID", "");
    keys_.mute = KeyBool(o, "Mute", false);
    keys_.startVyrTime = KeyFloat(o, "StartVYRTime", 0);
    keys_.fpsMultiplier = KeyFloat(o, "FPSMultiplier", 1);
    keys_.loadFromDisk = KeyBool(o, "LoadFromDisk", false);
    if (keys_.clipGuid.empty()) {
      keys_.fileName = KeyText(o, "FileName", "");
      keys_.duration = KeyFloat(o, "Duration", 0);
      keys_.startVideoTime = KeyFloat(o, "StartVideoTime", 0);
    }
    keys_.antialiasedBorder = KeyBool(o, "AntialiasedBorder", true);
    keys_.deinterlace = static_cast<TDeinterlace>(
        KeyEnum(o, "DeinterlaceType", {"Auto", "Wave", "BobEven", "BobOdd"}, 0));
    keys_.waitForConvert = KeyBool(o, "WaitForConvert", false);
    keys_.chromaEnable = KeyBool(o, "ChromaEnable", false);
    const std::vector<double> key = KeyNumbers(o, "Chromakey");
    for (size_t i = 0; i < 3 && i < key.size(); ++i)
      keys_.chromaKey[i] = static_cast<float>(key[i]);
    keys_.chromaDelta = KeyFloat(o, "ChromaDelta", 0);
    ReadBorderKeys(o, border_);
    imageIndex_.reset();
    if (HasKey(o, "ImageIndex")) imageIndex_ = KeyInt(o, "ImageIndex", 0);
  }
  TVyrObject::ReadKeys(o);
}

void TVyrVideo::SetTime(bool recursive, double showTime) {
  showTime_ = showTime;
  TVyrObject::SetTime(recursive, showTime);
}

bool TVyrVideo::GetNaturalSize(float&, float&) { return false; }

void TVyrVideo::GetColourLookup(TImageDrawParams& params) { params.lutForm = TLutForm::kNone; }

void TVyrVideo::DrawSelf(TDeviceDrawer& drawer) {
  if (!frame_) return;
  TVideoDrawParams params;
  params.image.placement = Placement();
  params.image.pivotRect = PivotRect();
  params.image.opacity = GetOpacity();
  params.frame = frame_.Get();
  drawer.DrawVideo(params);
}

namespace {
TObjectCreator previousCreator = nullptr;

TRef<TVyrObject> CreateVideoObject(int kind, TVyrObject* parent, TRef<TVyrObjectProps> props) {
  if (kind == kKindVideo) return MakeRef<TVyrVideo>(parent, std::move(props));
  return previousCreator ? previousCreator(kind, parent, std::move(props)) : nullptr;
}
}  // namespace

void RegisterVideoCreator() { previousCreator = RegisterObjectCreator(&CreateVideoObject); }

}  // namespace vyr
