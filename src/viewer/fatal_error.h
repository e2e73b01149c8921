#pragma once
// The last word of the window player: an assertion or exception that nobody caught ends the
// player with status 1 after its message went to the log, standard error and a message box.

#include <functional>
#include <string>

namespace vyr {

// Reports the message (the box only where dialogs can be shown) and returns status 1.
int EndWithFailure(const std::string& message);

// Runs the body and returns its status, or EndWithFailure's for whatever escapes it.
int RunReportingFailure(const std::function<int()>& body);

}  // namespace vyr
