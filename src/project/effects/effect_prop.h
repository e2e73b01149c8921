#pragma once
// One effect block of a project: a definition (a sub-object of the show-wide block)
// or a reference block (a slide's block, which names a definition by "ref").

#include <string>
#include <string_view>
#include <vector>

#include "foundation/ref_object.h"
#include "project/effects/types.h"
#include "project/ini/model.h"

namespace vyr {

class TEffectProp : public TRefObject {
 public:
  // A reference block reads the keys it lacks from its definition (none when "ref" names
  // no definition). The object stays alive as long as this block.
  TEffectProp(TIniObject* object, TEffectKind kind, const TEffectProp* definition = nullptr);

  TIniObject* Object() const { return object_.Get(); }
  TEffectKind Kind() const { return kind_; }
  const TEffectProp* Definition() const { return definition_; }
  bool IsReference() const;
  // The definition's object name, or the name a reference block's "ref" gives.
  std::string Name() const;

  // The block's own key of that name.
  const TIniItem* OwnKey(std::string_view name) const;
  // The block's own key, else its definition's.
  const TIniItem* Key(std::string_view name) const;
  // The option keys listed in "key".
  std::vector<std::string> OptionKeys() const;
  // 0 unchecked, 1 partly checked, 2 checked.
  int CheckedState() const;

  // The kind of a definition: its "stdidx" (default -1, a custom effect).
  static TEffectKind DefinitionKind(const TIniObject& object);

 private:
  TRef<TIniObject> object_;
  TEffectKind kind_;
  const TEffectProp* definition_;
};

}  // namespace vyr
