#include "scene/filters/object_filter.h"

#include "foundation/exceptions.h"
#include "project/ini/lookup.h"
#include "project/ini/values.h"
#include "scene/guid.h"

namespace vyr {

bool TObjectFilter::Attach(TIniObject* object) {
  object_ = TRef<TIniObject>::Share(object);
  TIniItem* idKey = FindKey(object, "id");
  if (!idKey || idKey->Value().empty()) {
    idKey = FindOrAddKey(object, "id");
    WriteText(idKey, NewGuidText());
  }
  id_ = idKey->Value();
  rev_ = ReadInt64(FindKey(object, "$rev"), 0);
  disabled_ = ReadText(FindKey(object, "Disable")) == "1";
  if (!prepared_ || rev_ != preparedRev_) {
    needsPreparing_ = !ReadParams();
    prepared_ = true;
    preparedRev_ = rev_;
  }
  return !needsPreparing_;
}

bool TObjectFilter::Matches(const TIniObject& object) const {
  return prepared_ && ReadText(FindKey(&object, "id")) == id_ &&
         ReadInt64(FindKey(&object, "$rev"), 0) == rev_;
}

void TObjectFilter::ApplyToTable(uint8_t*, int, int) const {}

void TObjectFilter::Dispose() {
  // Unlink the rest of the chain one by one: a long chain must not recurse.
  TRef<TObjectFilter> rest = std::move(next_);
  while (rest && rest->RefCount() == 1) rest = std::move(rest->next_);
}

int ChainKind(const TObjectFilter* chain) {
  int kind = kFilterNone;
  bool value = false;
  bool colour = false;
  for (const TObjectFilter* f = chain; f; f = f->Next()) {
    if (f->Disabled()) continue;
    const int k = f->GetKind();
    (k == kFilterValue ? value : colour) = true;
    if (k > kind) kind = k;
  }
  VYR_ASSERT_MSG(!(value && colour), "Error: Value filters can`t be combined");
  return kind;
}

void PushFilter(TRef<TObjectFilter>& chain, TRef<TObjectFilter> filter) {
  filter->SetNext(std::move(chain));
  chain = std::move(filter);
}

}  // namespace vyr
