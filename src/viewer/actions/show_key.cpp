#include "viewer/actions/show_key.h"

#include <glib.h>

#include <memory>
#include <vector>

#include "foundation/exceptions.h"
#include "package/access/show_opener.h"
#include "package/container/package_trailer.h"
#include "package/container/vyr_unpack.h"

namespace vyr {
namespace {

struct TChecksumDeleter {
  void operator()(GChecksum* checksum) const { g_checksum_free(checksum); }
};
using TChecksum = std::unique_ptr<GChecksum, TChecksumDeleter>;

// Adds the stream's bytes from its position on, in pieces; false when a read fails.
bool AddRest(GChecksum* checksum, TStream& stream) {
  std::vector<uint8_t> piece(1 << 16);
  for (;;) {
    const int64_t read = stream.Read(piece.data(), static_cast<int64_t>(piece.size()));
    if (read < 0) return false;
    if (read == 0) return true;
    g_checksum_update(checksum, piece.data(), static_cast<gssize>(read));
  }
}

}  // namespace

std::string ShowKeyOf(const std::string& path, bool packaged) {
  try {
    TRef<TFileStream> file = TFileStream::TryOpen(path, TFileStream::Mode::Read);
    if (!file) return {};
    TChecksum checksum(g_checksum_new(G_CHECKSUM_SHA256));
    if (packaged) {
      const TPackageTrailer trailer = ReadPackageTrailer(*file);
      if (trailer.status != TPackageTrailer::Status::Found) return {};
      file->Seek(trailer.directoryOffset);
      if (!AddRest(checksum.get(), *file)) return {};
      const TRef<TVyrUnpack> package = MakeRef<TVyrUnpack>(path);
      const TRef<TStream> project =
          package->IsOpen() ? package->OpenEntry(kProjectEntryName) : TRef<TStream>();
      if (!project || !AddRest(checksum.get(), *project)) return {};
    } else if (!AddRest(checksum.get(), *file)) {
      return {};
    }
    return std::string(packaged ? "package:" : "project:") + g_checksum_get_string(checksum.get());
  } catch (const std::exception&) {
    return {};
  }
}

}  // namespace vyr
