#pragma once
// What the benchmarks share around their files: a temporary folder of their own, the build
// folder their programs lie in, shell commands, and the 24-megapixel test-pattern JPEGs.

#include <cstdlib>
#include <filesystem>
#include <string>

namespace bench {

// A folder under the system's temporary folder, made when missing.
inline std::filesystem::path TempFolder(const std::string& name) {
  const std::filesystem::path folder = std::filesystem::temp_directory_path() / name;
  std::filesystem::create_directories(folder);
  return folder;
}

// The build folder: the benchmark programs lie in its bench/ folder.
inline std::filesystem::path BuildFolder() {
  return std::filesystem::read_symlink("/proc/self/exe").parent_path().parent_path();
}

// A shell command; true when it ended with status 0.
inline bool Run(const std::string& command) { return std::system(command.c_str()) == 0; }

// A 6000 x 4000 JPEG of an ffmpeg test source ("testsrc2", "smptehdbars") at path, made once;
// false when it is missing and ffmpeg could not make it.
inline bool MakePatternJpeg(const std::filesystem::path& path, const std::string& source) {
  return std::filesystem::exists(path) ||
         Run("ffmpeg -v error -y -f lavfi -i " + source + "=size=6000x4000 -frames:v 1 -q:v 3 " +
             path.string());
}

}  // namespace bench
