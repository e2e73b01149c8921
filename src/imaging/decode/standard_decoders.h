#pragma once
// The decoders every program has, registered in their fixed order when the registry is made.

#include <functional>
#include <string>
#include <vector>

#include "imaging/decode/decoder_registry.h"

namespace vyr {

using TAddDecoder = std::function<void(TDecodeFunction, std::vector<std::string>)>;
void RegisterStandardDecoders(const TAddDecoder& add);

}  // namespace vyr
