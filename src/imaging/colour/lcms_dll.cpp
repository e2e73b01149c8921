#include "imaging/colour/lcms_dll.h"

namespace vyr {

const TLcmsDll& LcmsDll() {
  static const TLcmsDll dll;  // thread-safe first use
  return dll;
}

}  // namespace vyr
