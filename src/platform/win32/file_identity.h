#pragma once

#include <windows.h>

#include <string>

#include "platform/file_identity.h"

namespace platform {

// The identity of the file or folder open in `handle`, found at `path`: the volume's serial
// number and the file's index on it (128 bits where the file system has them). Where the file
// system gives no index (0, as some network and FAT volumes do), the full path stands in for
// it, so that two such files are never taken for one.
FileIdentity IdentityOfHandle(HANDLE handle, const std::string& path);

// The identity from a volume's serial number and a file index read elsewhere (a folder
// listing), with the same stand-in for an index of 0.
FileIdentity IdentityFrom(std::uint64_t volume, const FILE_ID_128& index, const std::string& path);

// The volume serial number of the file open in `handle`, as IdentityOfHandle takes it; false
// when the system does not say.
bool VolumeSerialOf(HANDLE handle, std::uint64_t& volume);

}  // namespace platform
