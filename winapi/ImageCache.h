#pragma once
// One read of a module file, shared by everything that asks about the file
// while it is unchanged: the probe, the version functions and the resource
// functions. Loading a plug-in asks three times; the file is read once.
#include <cstddef>
#include <memory>
#include <optional>
#include <string>

#include "winapi/ElfImage.h"
#include "winapi/ResImage.h"
#include "winapi/WinTypes.h"

namespace qorb::winapi {

struct FileImage {
  DWORD elfError = ERROR_SUCCESS;       // or ERROR_BAD_EXE_FORMAT
  ElfImage elf;
  std::optional<ResImage> resources;  // absent: no .rsrc, or one that is unsound
};

// The image of the file at path. Fails with ERROR_FILE_NOT_FOUND,
// ERROR_PATH_NOT_FOUND or ERROR_ACCESS_DENIED when the file cannot be read.
// Images are kept for the few files asked about last and for as long as
// anyone holds them (a loaded module holds its file's), keyed by path, size,
// modification time and inode, so a rewritten file is read again. Only the
// ranges the image needs are read, never the whole file.
DWORD LoadFileImage(const std::string& path, std::shared_ptr<const FileImage>& out);

// How many times a file was actually read (tests hold the sharing to it).
size_t FileImageReads() noexcept;

}  // namespace qorb::winapi
