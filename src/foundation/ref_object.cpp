#include "foundation/ref_object.h"

#include "foundation/exceptions.h"

namespace vyr {

void TRefObject::Release() const {
  const int32_t left = refCount_.fetch_sub(1, std::memory_order_acq_rel) - 1;
  if (left > 0) return;
  if (left < 0) {
    refCount_.fetch_add(1, std::memory_order_relaxed);
    VYR_ASSERT_MSG(false, "Dupliacte free or _release at " + ClassNameOf(*this));
  }
  auto* self = const_cast<TRefObject*>(this);
  try {
    self->Dispose();
  } catch (...) {
    delete self;
    throw;
  }
  delete self;
}

}  // namespace vyr
