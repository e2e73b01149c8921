#include "package/access/packed_file_source.h"

#include <exception>

#include "foundation/exceptions.h"
#include "package/access/file_accessor.h"

namespace vyr {

TPackedFileSource::TPackedFileSource(TRef<TVyrUnpack> package, std::string showFolder)
    : TMappedFileSource(std::move(showFolder)), package_(std::move(package)) {
  VYR_ASSERT_MSG(package_, "TPackedFileSource.Create - Package not Assigned");
}

bool TPackedFileSource::HasEntry(std::string_view name) const {
  return package_->FindEntry(name).has_value();
}

TRef<TStream> TPackedFileSource::Open(const std::string& name) {
  try {
    return package_->OpenEntry(FollowFileMap(name));
  } catch (const std::exception&) {
    return nullptr;
  }
}

TPackedFileSource* PackageSourceOf(const TFileAccessor* accessor) {
  return accessor ? dynamic_cast<TPackedFileSource*>(&accessor->Source()) : nullptr;
}

}  // namespace vyr
