#pragma once
// The root reference-counted interface: QueryInterface, AddRef and Release in
// slots 0 to 2. Interfaces are structs of pure virtual functions without a
// virtual destructor, so that their method tables match the binary contract.
// Each interface names its GUID (IID) and its parent (Base), which is what
// the table-driven QueryInterface walks.
#include <cstdint>

#include "rtl/Guid.h"

// As windows.h declares them (32 bits either way), so that both go in one
// file; its macros, when it came first, stand for the constants.
#if defined(_WIN32)
using HRESULT = long;
#else
using HRESULT = int32_t;
#endif
static_assert(sizeof(HRESULT) == 4);
#ifndef S_OK
constexpr HRESULT S_OK = 0;
#endif
#ifndef E_NOINTERFACE
constexpr HRESULT E_NOINTERFACE = static_cast<HRESULT>(0x80004002u);
#endif

struct IInterface {
  static constexpr GUID IID = MakeGuid("{00000000-0000-0000-C000-000000000046}");
  virtual HRESULT QueryInterface(const GUID& IID, void** Obj) = 0;
  virtual int32_t AddRef() = 0;
  virtual int32_t Release() = 0;

 protected:
  ~IInterface() = default;
};
