#pragma once
// The vyrpack commands. Each takes its arguments after the command word, writes its
// results to standard output and returns the exit status; failures raise ECliError.

#include <string>
#include <vector>

namespace vyr::pack {

using TArgs = std::vector<std::string>;

int CreateCommand(const TArgs& args);
int ListCommand(const TArgs& args);
int CatCommand(const TArgs& args);
int ExtractCommand(const TArgs& args);
int VerifyCommand(const TArgs& args);
int UnbundleCommand(const TArgs& args);
int InfoCommand(const TArgs& args);
int DecodeCommand(const TArgs& args);
int TextCommand(const TArgs& args);
int SceneCommand(const TArgs& args);
int MusicCommand(const TArgs& args);

}  // namespace vyr::pack
