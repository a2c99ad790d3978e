#pragma once
// What a plug-in library is built against and the host implements: the
// lookup callback, the main-functions and plug-in information services and
// their records. A machine-level contract: slot order, parameter order and
// field layout are fixed (the C header qorb_plugin.h states the same).
//
// Interfaces of a plug-in's own (services it registers, events it publishes)
// follow the same convention: derive from IInterface or IQorbEvent, name an
// IID and a Base, and hand strings, interfaces and records out through a
// result parameter (void GetText(UnicodeString& Result)), never by value:
// the compiler would pass the result's address before the object, where
// the convention, and a plug-in written in C, expect it after.
#include <cstddef>
#include <string_view>
#include <utility>

#include "rtl/ComPtr.h"
#include "rtl/DynArray.h"
#include "rtl/Interface.h"
#include "rtl/UnicodeString.h"

class TMenuItem;

// A callback bound to an object: code, then object. The code is called with
// the object word, the address of the caller's result variable and the
// address of the wanted GUID; it releases what the variable held first.
// Any thread, from InitPlugin until Shutdown returns. Plug-ins load in no
// particular order: another plug-in's interface may not be registered yet
// during InitPlugin, so look it up when it is needed.
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
  // Main thread. The new item belongs to the suite's menu (not
  // reference-counted) and outlives the plug-in unless the plug-in frees it
  // (TQorbMenuItem in Qorb.Plugin.Menu.h does); null without a suite menu.
  virtual TMenuItem* AddMenuItem(UnicodeStringRef ACaption) = 0;
  // Any thread. The host matches by pointer and never drops a registration
  // by itself: unregister the very reference registered before Shutdown
  // returns, or the host later releases it into an unloaded library
  // (TQorbRegisteredInterface below does both).
  virtual void RegisterInterface(IInterface* AIntf) = 0;
  virtual void UnregisterInterface(IInterface* AIntf) = 0;
  // Any thread; the line shows in the IDE's message view.
  virtual void LogDebug(UnicodeStringRef ASource, UnicodeStringRef AMessage) = 0;
  virtual void LogInfo(UnicodeStringRef ASource, UnicodeStringRef AMessage) = 0;
  virtual void LogWarning(UnicodeStringRef ASource, UnicodeStringRef AMessage) = 0;
  virtual void LogError(UnicodeStringRef ASource, UnicodeStringRef AMessage) = 0;

 protected:
  ~IQorbMainFunctions() = default;
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
  // Releases what Result holds, then fills it. Plug-ins appear once their
  // InitPlugin has returned: during its own, a plug-in sees neither itself
  // nor those loaded after it.
  // Any thread, but it takes the plug-in list's lock, which the host holds
  // while plug-ins load and while every Shutdown runs: on another thread it
  // waits until they are done. A Shutdown (or InitPlugin) that waits for a
  // worker thread which calls this deadlocks the IDE, and no stop flag
  // closes the race: call it on the main thread and hand the worker a copy.
  virtual void GetPluginInfos(TQorbPluginServiceInfo& Result) = 0;

 protected:
  ~IQorbPluginService() = default;
};

// The plug-in library's exports, looked up by these names. GetInterface
// points at a value valid only during the call: keep a copy of *GetInterface
// (the copy works until Shutdown returns), not the pointer. An InitPlugin
// that throws is followed by Shutdown, then the library is unloaded.
// Everything taken from the host or from other plug-ins (interfaces,
// subscriptions, registrations, menu handlers) is given back before
// Shutdown returns; every Shutdown runs before any library is unloaded.
using TInitPlugin = void (*)(const TGetInterface* GetInterface);
using TShutdown = void (*)();
inline constexpr char kInitPluginExport[] = "InitPlugin";
inline constexpr char kShutdownExport[] = "Shutdown";

// Marks a plug-in export (use with extern "C"). A DLL with a marked export
// exports nothing else.
#if defined(_WIN32)
#define QORB_PLUGIN_EXPORT __declspec(dllexport)
#else
#define QORB_PLUGIN_EXPORT __attribute__((visibility("default")))
#endif

// Keeps an interface registered with the host for as long as it lives, and
// unregisters the same reference when it goes out of scope.
class TQorbRegisteredInterface {
 public:
  TQorbRegisteredInterface() noexcept = default;
  TQorbRegisteredInterface(ComPtr<IQorbMainFunctions> AMainFunctions, IInterface* AIntf)
      : FMainFunctions(std::move(AMainFunctions)), FIntf(AIntf) {
    if (FMainFunctions && FIntf)
      FMainFunctions->RegisterInterface(FIntf.get());
    else
      FIntf.reset();
  }
  TQorbRegisteredInterface(TQorbRegisteredInterface&& o) noexcept
      : FMainFunctions(std::move(o.FMainFunctions)), FIntf(std::move(o.FIntf)) {}
  TQorbRegisteredInterface& operator=(TQorbRegisteredInterface&& o) noexcept {
    if (this != &o) {
      Reset();
      FMainFunctions = std::move(o.FMainFunctions);
      FIntf = std::move(o.FIntf);
    }
    return *this;
  }
  ~TQorbRegisteredInterface() { Reset(); }

  IInterface* get() const noexcept { return FIntf.get(); }
  void Reset() noexcept {
    if (FMainFunctions && FIntf) FMainFunctions->UnregisterInterface(FIntf.get());
    FIntf.reset();
    FMainFunctions.reset();
  }

 private:
  ComPtr<IQorbMainFunctions> FMainFunctions;
  ComPtr<IInterface> FIntf;
};

// Log lines under one source name, from any thread; silent without the
// host's main functions:
//   TQorbLog log(GetInterface.Get<IQorbMainFunctions>(), u"MyPlugin");
//   log.Info(u"ready");
class TQorbLog {
 public:
  TQorbLog() = default;
  TQorbLog(ComPtr<IQorbMainFunctions> AMainFunctions, std::u16string_view ASource)
      : FMainFunctions(std::move(AMainFunctions)), FSource(ASource) {}

  void Debug(std::u16string_view AMessage) const { Write(&IQorbMainFunctions::LogDebug, AMessage); }
  void Info(std::u16string_view AMessage) const { Write(&IQorbMainFunctions::LogInfo, AMessage); }
  void Warning(std::u16string_view AMessage) const { Write(&IQorbMainFunctions::LogWarning, AMessage); }
  void Error(std::u16string_view AMessage) const { Write(&IQorbMainFunctions::LogError, AMessage); }
  // Drops the host's main functions (before Shutdown returns).
  void Reset() noexcept { FMainFunctions.reset(); }

 private:
  using Level = void (IQorbMainFunctions::*)(UnicodeStringRef, UnicodeStringRef);
  void Write(Level ALevel, std::u16string_view AMessage) const {
    if (FMainFunctions) (FMainFunctions.get()->*ALevel)(FSource, UnicodeString(AMessage));
  }

  ComPtr<IQorbMainFunctions> FMainFunctions;
  UnicodeString FSource;
};
