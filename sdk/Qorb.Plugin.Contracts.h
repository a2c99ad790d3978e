#pragma once
// What a plug-in library is built against and the host implements: the
// lookup callback, the main-functions and plug-in information services and
// their records. A machine-level contract: slot order, parameter order and
// field layout are fixed (the C header qorb_plugin.h states the same).
#include <cstddef>

#include "rtl/ComPtr.h"
#include "rtl/DynArray.h"
#include "rtl/Interface.h"
#include "rtl/UnicodeString.h"

class TMenuItem;

// A callback bound to an object: code, then object. The code is called with
// the object word, the address of the caller's result variable and the
// address of the wanted GUID; it releases what the variable held first.
struct TGetInterface {
  using CodeType = void (*)(void* Self, IInterface** Result, const GUID* IntfGuid);
  CodeType Code = nullptr;
  void* Data = nullptr;

  // The interface for I::IID, or null when nothing supports it.
  template <class I>
  ComPtr<I> Get() const {
    IInterface* raw = nullptr;
    if (Code) Code(Data, &raw, &I::IID);
    return ComPtr<I>::Attach(reinterpret_cast<I*>(raw));
  }
  void operator()(const GUID& IntfGuid, ComPtr<IInterface>& Result) const {
    if (Code) Code(Data, Result.put(), &IntfGuid);
  }
};
static_assert(sizeof(TGetInterface) == 16);

struct IQorbMainFunctions : IInterface {
  using Base = IInterface;
  static constexpr GUID IID = MakeGuid("{0A5B3C7D-8E1F-4926-A4B0-6D3E9C2F7A15}");
  // The new item belongs to the suite's menu (not reference-counted).
  virtual TMenuItem* AddMenuItem(UnicodeStringRef ACaption) = 0;
  virtual void RegisterInterface(IInterface* AIntf) = 0;
  virtual void UnregisterInterface(IInterface* AIntf) = 0;
  virtual void LogDebug(UnicodeStringRef ASource, UnicodeStringRef AMessage) = 0;
  virtual void LogInfo(UnicodeStringRef ASource, UnicodeStringRef AMessage) = 0;
  virtual void LogWarning(UnicodeStringRef ASource, UnicodeStringRef AMessage) = 0;
  virtual void LogError(UnicodeStringRef ASource, UnicodeStringRef AMessage) = 0;
};

// One module's descriptive information: seven strings, no padding.
struct TQorbModuleInfo {
  UnicodeString Name;
  UnicodeString Version;
  UnicodeString Company;
  UnicodeString Copyright;
  UnicodeString Description;
  UnicodeString Comments;
  UnicodeString FilePath;
};
static_assert(sizeof(TQorbModuleInfo) == 56);
static_assert(offsetof(TQorbModuleInfo, FilePath) == 48);

struct TQorbPluginServiceInfo {
  TQorbModuleInfo Host;
  DynArray<TQorbModuleInfo> Plugins;
};
static_assert(sizeof(TQorbPluginServiceInfo) == 64);
static_assert(offsetof(TQorbPluginServiceInfo, Plugins) == 56);

struct IQorbPluginService : IInterface {
  using Base = IInterface;
  static constexpr GUID IID = MakeGuid("{485E34F0-B260-49A3-AADB-4D901D876019}");
  // Releases what Result holds, then fills it.
  virtual void GetPluginInfos(TQorbPluginServiceInfo& Result) = 0;
};

// The plug-in library's exports, looked up by these names.
using TInitPlugin = void (*)(const TGetInterface* GetInterface);
using TShutdown = void (*)();
inline constexpr char kInitPluginExport[] = "InitPlugin";
inline constexpr char kShutdownExport[] = "Shutdown";

// Marks a plug-in export (use with extern "C").
#define QORB_PLUGIN_EXPORT __attribute__((visibility("default")))
