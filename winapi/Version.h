#pragma once
// Version resources of module files, read from the file without loading it.
#include "winapi/WinTypes.h"

// The size of the file's version block, 0 when there is none: then the last
// error is ERROR_FILE_NOT_FOUND (or another file error),
// ERROR_BAD_EXE_FORMAT, ERROR_RESOURCE_DATA_NOT_FOUND or
// ERROR_RESOURCE_TYPE_NOT_FOUND. *handle is set to 0.
DWORD GetFileVersionInfoSizeW(LPCWSTR fileName, DWORD* handle) noexcept;

// Copies the version block into data. A buffer shorter than the block gets
// the block's start, with the root's length cut to what was copied.
BOOL GetFileVersionInfoW(LPCWSTR fileName, DWORD handle, DWORD length, LPVOID data) noexcept;

// Finds a value in a block filled by GetFileVersionInfoW: "\" gives the
// VS_FIXEDFILEINFO, "\VarFileInfo\Translation" the translation table (pairs
// of language and code page), "\StringFileInfo\llllcccc\Key" a string.
// Keys match without regard to case. *length is in characters, counting the
// terminating zero, for strings, and in bytes otherwise.
BOOL VerQueryValueW(LPCVOID block, LPCWSTR subBlock, LPVOID* buffer, UINT* length) noexcept;
