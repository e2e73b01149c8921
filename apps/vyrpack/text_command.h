#pragma once
// `vyrpack text "DESCRIPTION" OUTPUT.png [--show SHOW]`: renders a text description to a PNG,
// with the show's vector text when a show is given, else with the fonts of this machine.

#include <functional>
#include <string>
#include <vector>

#include "foundation/stream_opener.h"

namespace vyr {

// Opens a show (package file) and answers an opener of its entries, or an empty function
// when the show cannot be opened.
using TShowEntryOpener = std::function<TStreamOpener(const std::string& show)>;

// args are the words after "text". Returns the exit code: 0 done, 1 failure, 2 usage.
int RunTextCommand(const std::vector<std::string>& args,
                   const TShowEntryOpener& openShow = nullptr);

}  // namespace vyr
