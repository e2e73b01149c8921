#include "package/access/runtime_libraries.h"

#include "imaging/colour/lcms_dll.h"

namespace vyr {

bool LoadDecoderLibrary(const TFileAccessor* /*show*/) { return true; }

bool LoadColorManagementLibrary(const TFileAccessor* /*show*/) { return LcmsDll().loaded; }

}  // namespace vyr
