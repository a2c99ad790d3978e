#pragma once
// A module's resources: the .res image in its ELF section .rsrc. Names and
// types are strings (matched without regard to case; "#12" means ordinal
// 12) or ordinals made with MAKEINTRESOURCEW. Module 0 is the executable.
#include "winapi/WinTypes.h"

// Null with ERROR_RESOURCE_DATA_NOT_FOUND (no sound resource section),
// ERROR_RESOURCE_TYPE_NOT_FOUND or ERROR_RESOURCE_NAME_NOT_FOUND.
HRSRC FindResourceW(HMODULE module, LPCWSTR name, LPCWSTR type) noexcept;
// The resource's data, valid while the module stays loaded.
HGLOBAL LoadResource(HMODULE module, HRSRC resource) noexcept;
DWORD SizeofResource(HMODULE module, HRSRC resource) noexcept;
LPVOID LockResource(HGLOBAL data) noexcept;
