// create: pack a project and the files it refers to.
#include <sys/stat.h>

#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "cli_error.h"
#include "commands.h"
#include "foundation/case_fold.h"
#include "package/container/package_writer.h"
#include "project/ini/model.h"
#include "project_files.h"

namespace vyr::pack {

namespace fs = std::filesystem;

namespace {

constexpr const char* kProjectEntry = "Project.vyr";
constexpr const char* kCreateUsage =
    "usage: vyrpack create OUT PROJECT.vyr [--add ENTRY=FILE]... [--method 0|1|2] "
    "[--exe PLAYER] [--short-trailer] [--allow-modify] [--allow-outside]";

struct TCreateOptions {
  std::string out, project, player;
  std::vector<std::pair<std::string, std::string>> added;  // entry name, file
  int method = -1;                                         // -1: the defaults
  bool shortTrailer = false;
  bool allowModify = false;
  bool allowOutside = false;
};

struct TPlannedEntry {
  std::string name;
  fs::path file;
  TPackMethod method;
};

TCreateOptions ParseOptions(const TArgs& args) {
  TCreateOptions options;
  std::vector<std::string> positional;
  for (size_t i = 0; i < args.size(); ++i) {
    const std::string& arg = args[i];
    const auto value = [&]() -> const std::string& {
      if (i + 1 >= args.size()) throw ECliError(kExitTrouble, arg + " needs a value");
      return args[++i];
    };
    if (arg == "--add") {
      const std::string& spec = value();
      const size_t eq = spec.find('=');
      if (eq == std::string::npos || eq == 0 || eq + 1 == spec.size())
        throw ECliError(kExitTrouble, "--add takes ENTRY=FILE, not " + spec);
      options.added.emplace_back(spec.substr(0, eq), spec.substr(eq + 1));
    } else if (arg == "--method") {
      const std::string& method = value();
      if (method != "0" && method != "1" && method != "2")
        throw ECliError(kExitTrouble, "--method takes 0, 1 or 2, not " + method);
      options.method = method[0] - '0';
    } else if (arg == "--exe") {
      options.player = value();
    } else if (arg == "--short-trailer") {
      options.shortTrailer = true;
    } else if (arg == "--allow-modify") {
      options.allowModify = true;
    } else if (arg == "--allow-outside") {
      options.allowOutside = true;
    } else if (arg.size() > 1 && arg[0] == '-') {
      throw ECliError(kExitTrouble, "unknown option " + arg + "\n" + kCreateUsage);
    } else {
      positional.push_back(arg);
    }
  }
  if (positional.size() != 2) throw ECliError(kExitTrouble, kCreateUsage);
  options.out = positional[0];
  options.project = positional[1];
  return options;
}

bool SameFile(const fs::path& a, const fs::path& b) {
  std::error_code error;
  return fs::equivalent(a, b, error);
}

std::vector<TPlannedEntry> PlanEntries(const TCreateOptions& options) {
  const auto method = [&](TPackMethod fallback) {
    return options.method < 0 ? fallback : static_cast<TPackMethod>(options.method);
  };
  auto project = MakeRef<TIniFile>();
  {
    auto file = TFileStream::TryOpen(options.project, TFileStream::Mode::Read);
    if (!file || !project->LoadFromStream(*file))
      throw ECliError(kExitTrouble, "cannot read " + options.project);
  }
  std::vector<TPlannedEntry> entries = {
      {kProjectEntry, options.project, method(TPackMethod::Deflated)}};
  const auto taken = [&](const std::string& name) {
    for (const auto& entry : entries)
      if (SameName(entry.name, name)) return true;
    return false;
  };
  for (const auto& [name, file] : options.added) {
    if (!fs::is_regular_file(file)) throw ECliError(kExitTrouble, "no file " + file);
    if (taken(name)) throw ECliError(kExitTrouble, "entry " + name + " given twice");
    entries.push_back({name, file, method(TPackMethod::Stored)});
  }
  const fs::path folder = fs::absolute(options.project).parent_path();
  TProjectFileFinder finder(folder);
  std::string outside;
  for (const auto& value : KeyValues(*project)) {
    if (taken(value)) continue;
    const auto file = finder.Find(value);
    if (!file || SameFile(*file, options.out) || SameFile(*file, options.project)) continue;
    if (!options.allowOutside && !LiesInside(*file, folder)) {
      outside += "\n  " + value + " (" + ResolvedPath(*file).string() + ")";
      continue;
    }
    entries.push_back({value, *file, method(TPackMethod::Stored)});
  }
  if (!outside.empty())
    throw ECliError(kExitTrouble, options.project + " names files outside " + folder.string() +
                                      ":" + outside + "\nnothing was packed; --allow-outside " +
                                      "packs them as well");
  return entries;
}

void WritePackage(const TCreateOptions& options, const std::vector<TPlannedEntry>& entries) {
  auto out = MakeRef<TFileStream>(options.out, TFileStream::Mode::Create);
  if (!options.player.empty()) {
    auto player = TFileStream::TryOpen(options.player, TFileStream::Mode::Read);
    if (!player) throw ECliError(kExitTrouble, "cannot read " + options.player);
    out->CopyFrom(*player);
  }
  TPackageWriter writer(out, {.longTrailer = !options.shortTrailer,
                              .allowModify = options.allowModify,
                              .version = VYRPACK_VERSION});
  for (const auto& entry : entries) {
    auto source = TFileStream::TryOpen(entry.file.string(), TFileStream::Mode::Read);
    if (!source) throw ECliError(kExitTrouble, "cannot read " + entry.file.string());
    writer.AddEntry(entry.name, *source, entry.method);
  }
  writer.Finish();
}

}  // namespace

int CreateCommand(const TArgs& args) {
  const TCreateOptions options = ParseOptions(args);
  const auto entries = PlanEntries(options);
  try {
    WritePackage(options, entries);
  } catch (...) {
    std::error_code ignored;
    fs::remove(options.out, ignored);
    throw;
  }
  if (!options.player.empty()) {
    // The show plays itself: keep the player's permission bits, run bit included.
    struct stat info {};
    if (::stat(options.player.c_str(), &info) == 0)
      ::chmod(options.out.c_str(), info.st_mode & 07777);
  }
  std::printf("packed %zu entries into %s\n", entries.size(), options.out.c_str());
  return 0;
}

}  // namespace vyr::pack
