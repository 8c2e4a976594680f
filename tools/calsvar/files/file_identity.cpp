#include "tools/calsvar/files/file_identity.h"

#include <windows.h>

#include <cstring>
#include <map>

#include "cals/windows/unique_file.h"

namespace calsvar {

std::optional<FileIdentity> IdentityOf(const std::wstring& path) {
  // Attributes only: neither the plug-in's deny-write open nor another
  // program's is disturbed.
  const cals::UniqueFile file(CreateFileW(path.c_str(), FILE_READ_ATTRIBUTES,
                                    FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                                    FILE_ATTRIBUTE_NORMAL, nullptr));
  if (file.get() == INVALID_HANDLE_VALUE) return std::nullopt;
  // The 128-bit file ID where the file system has one (ReFS needs all of
  // it); it is also one query where the older call makes a second one
  // for the volume.
  FILE_ID_INFO id{};
  if (GetFileInformationByHandleEx(file.get(), FileIdInfo, &id, sizeof id)) {
    FileIdentity identity;
    identity.volumeSerial = id.VolumeSerialNumber;
    std::memcpy(identity.fileId.data(), id.FileId.Identifier, identity.fileId.size());
    return identity;
  }
  BY_HANDLE_FILE_INFORMATION info{};
  if (!GetFileInformationByHandle(file.get(), &info)) return std::nullopt;
  FileIdentity identity;
  identity.volumeSerial = info.dwVolumeSerialNumber;
  const std::uint64_t index = (std::uint64_t{info.nFileIndexHigh} << 32) | info.nFileIndexLow;
  std::memcpy(identity.fileId.data(), &index, sizeof index);
  return identity;
}

std::optional<SameFile> FirstFileNamedTwice(const std::vector<std::wstring>& paths) {
  std::map<FileIdentity, std::size_t> seen;
  for (std::size_t i = 0; i < paths.size(); ++i) {
    const std::optional<FileIdentity> identity = IdentityOf(paths[i]);
    if (!identity) continue;
    const auto [known, added] = seen.emplace(*identity, i);
    if (!added) return SameFile{known->second, i};
  }
  return std::nullopt;
}

}  // namespace calsvar
