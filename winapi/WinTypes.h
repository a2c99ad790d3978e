#pragma once
// The Windows types, constants and error codes the host code is written
// against, with their Windows names and values.
#include <cstdint>

using DWORD = uint32_t;
using WORD = uint16_t;
using BOOL = int32_t;
using UINT = unsigned int;
using LPCWSTR = const char16_t*;
using LPWSTR = char16_t*;
using LPCSTR = const char*;
using LPVOID = void*;
using LPCVOID = const void*;
using HANDLE = void*;
using COLORREF = DWORD;

#ifndef TRUE
#define TRUE 1
#endif
#ifndef FALSE
#define FALSE 0
#endif

// A module handle is 64 bits wide and travels in records as an integer.
using HMODULE = uintptr_t;
using HINSTANCE = HMODULE;
struct HRSRC__;
using HRSRC = HRSRC__*;
using HGLOBAL = void*;
using FARPROC = void (*)();

constexpr DWORD MAX_PATH = 260;
constexpr DWORD DONT_RESOLVE_DLL_REFERENCES = 0x00000001;

// Resource names and types are either strings or 16-bit ordinals smuggled
// in the pointer.
inline bool IS_INTRESOURCE(const void* p) noexcept {
  return (reinterpret_cast<uintptr_t>(p) >> 16) == 0;
}
inline LPCWSTR MAKEINTRESOURCEW(WORD id) noexcept {
  return reinterpret_cast<LPCWSTR>(static_cast<uintptr_t>(id));
}
inline WORD RESOURCE_ORDINAL(LPCWSTR p) noexcept {
  return static_cast<WORD>(reinterpret_cast<uintptr_t>(p));
}

// Resource types (as ordinals).
constexpr WORD RT_RCDATA_ID = 10;
constexpr WORD RT_VERSION_ID = 16;
#define RT_RCDATA MAKEINTRESOURCEW(RT_RCDATA_ID)
#define RT_VERSION MAKEINTRESOURCEW(RT_VERSION_ID)
constexpr WORD VS_VERSION_INFO = 1;

// Error codes.
constexpr DWORD ERROR_SUCCESS = 0;
constexpr DWORD ERROR_FILE_NOT_FOUND = 2;
constexpr DWORD ERROR_PATH_NOT_FOUND = 3;
constexpr DWORD ERROR_ACCESS_DENIED = 5;
constexpr DWORD ERROR_INVALID_HANDLE = 6;
constexpr DWORD ERROR_NOT_ENOUGH_MEMORY = 8;
constexpr DWORD ERROR_BAD_FORMAT = 11;
constexpr DWORD ERROR_INVALID_PARAMETER = 87;
constexpr DWORD ERROR_INSUFFICIENT_BUFFER = 122;
constexpr DWORD ERROR_MOD_NOT_FOUND = 126;
constexpr DWORD ERROR_PROC_NOT_FOUND = 127;
constexpr DWORD ERROR_BAD_EXE_FORMAT = 193;
constexpr DWORD ERROR_RESOURCE_DATA_NOT_FOUND = 1812;
constexpr DWORD ERROR_RESOURCE_TYPE_NOT_FOUND = 1813;
constexpr DWORD ERROR_RESOURCE_NAME_NOT_FOUND = 1814;

// The fixed part of a version resource, found at the path "\".
struct VS_FIXEDFILEINFO {
  DWORD dwSignature;
  DWORD dwStrucVersion;
  DWORD dwFileVersionMS;
  DWORD dwFileVersionLS;
  DWORD dwProductVersionMS;
  DWORD dwProductVersionLS;
  DWORD dwFileFlagsMask;
  DWORD dwFileFlags;
  DWORD dwFileOS;
  DWORD dwFileType;
  DWORD dwFileSubtype;
  DWORD dwFileDateMS;
  DWORD dwFileDateLS;
};
static_assert(sizeof(VS_FIXEDFILEINFO) == 52);
constexpr DWORD VS_FFI_SIGNATURE = 0xFEEF04BD;
