// unbundle: the show of a self-playing program copied out into a package of its own.
#include <cstdio>
#include <filesystem>

#include "cli_error.h"
#include "commands.h"
#include "open_package.h"
#include "package/container/entry_name.h"
#include "package/container/package_writer.h"

namespace vyr::pack {

// Entries are read decoded and written anew with their own methods: a package copied byte
// for byte would open only where it was written (its entry offsets are file offsets).
int UnbundleCommand(const TArgs& args) {
  if (args.size() != 2) throw ECliError(kExitTrouble, "usage: vyrpack unbundle PROGRAM OUT.vyshow");
  const auto package = OpenPackage(args[0]);
  const std::string out = args[1];
  std::error_code error;
  if (std::filesystem::equivalent(args[0], out, error))
    throw ECliError(kExitTrouble, "the output would overwrite " + args[0]);
  TRef<TFileStream> target = TFileStream::TryOpen(out, TFileStream::Mode::Create);
  if (!target) throw ECliError(kExitTrouble, "cannot create " + out);
  size_t copied = 0;
  try {
    TPackageWriterOptions options;
    options.version = package->Version();
    TPackageWriter writer(target, options);
    for (const auto& entry : package->Directory()->Entries()) {
      const auto stream = OpenStoredEntry(*package, entry.section);
      writer.AddEntry(RecoverEntryName(entry.section), *stream,
                      static_cast<TPackMethod>(entry.method));
      ++copied;
    }
    writer.Finish();
  } catch (...) {
    target = nullptr;
    std::filesystem::remove(out, error);
    throw;
  }
  std::printf("copied %zu entries into %s\n", copied, out.c_str());
  return 0;
}

}  // namespace vyr::pack
