#pragma once
// The filter family of keyframes: colour filters (applied to a colour lookup table)
// and expression modifiers (which compute a value). The filters of one keyframe form
// a chain kept newest first; applying it visits the tail first, which is file order.

#include <cstdint>
#include <string>

#include "foundation/ref_object.h"
#include "project/ini/model.h"

namespace vyr {

enum TFilterKind : int {
  kFilterNone = 0,
  kFilterValue = 1,    // expression modifiers
  kFilterChannel = 2,  // each channel on its own: a 256-entry strip is enough
  kFilterCross = 3,    // channels mixed: needs the 32 x 32 x 32 cube
};

class TObjectFilter : public TRefObject {
 public:
  explicit TObjectFilter(std::string typeName) : typeName_(std::move(typeName)) {}

  const std::string& TypeName() const { return typeName_; }
  const std::string& Caption() const { return caption_; }
  void SetCaption(std::string caption) { caption_ = std::move(caption); }

  // Takes the INI object: gives it a new GUID as "id" when it has none, keeps "id" and
  // "$rev", reads "Disable", and reads the parameters when "$rev" differs from the one
  // last prepared. False when reading the parameters failed (NeedsPreparing then).
  bool Attach(TIniObject* object);
  // A filter of an earlier load is reused for an object with the same id and $rev.
  bool Matches(const TIniObject& object) const;

  TIniObject* IniObject() const { return object_.Get(); }
  const std::string& Id() const { return id_; }
  int64_t Rev() const { return rev_; }
  bool Disabled() const { return disabled_; }
  void SetDisabled(bool disabled) { disabled_ = disabled; }
  bool NeedsPreparing() const { return needsPreparing_; }

  // The chain: this filter owns the rest.
  TObjectFilter* Next() const { return next_.Get(); }
  void SetNext(TRef<TObjectFilter> next) { next_ = std::move(next); }

  // Colour filters: rewrite every entry (blue, green, red, alpha bytes) of a table of
  // width x height entries, rows packed; alpha becomes 255.
  virtual void ApplyToTable(uint8_t* entries, int width, int height) const;
  // Value filters: the computed value.
  virtual double GetResult() { return 0; }
  // Reads the filter's keys from its INI object.
  virtual bool ReadParams() { return true; }
  virtual int GetKind() const = 0;

 protected:
  void Dispose() override;

 private:
  std::string typeName_;
  std::string caption_;
  TRef<TIniObject> object_;
  std::string id_;
  int64_t rev_ = 0;
  int64_t preparedRev_ = 0;
  bool prepared_ = false;
  bool disabled_ = false;
  bool needsPreparing_ = false;
  TRef<TObjectFilter> next_;
};

// The largest kind among the enabled filters of a chain (kFilterNone when there are
// none). Value filters mixed with colour filters are an assertion.
int ChainKind(const TObjectFilter* chain);
// Puts filter at the head of the chain.
void PushFilter(TRef<TObjectFilter>& chain, TRef<TObjectFilter> filter);

}  // namespace vyr
