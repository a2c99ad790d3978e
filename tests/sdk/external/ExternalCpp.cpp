// Adds a menu item; a click logs from a worker thread and publishes an
// event. Offers a click counter to the other plug-ins.
#include <memory>
#include <thread>

#include "ExternalEvents.h"
#include "HelperLink.h"
#include "rtl/Format.h"
#include "rtl/InterfacedObject.h"
#include "sdk/Qorb.Plugin.Menu.h"

bool SameIids();  // LayoutCheck.cpp

namespace {

class TClickEvent : public TInterfacedObjectOf<IExternalClickEvent> {
 public:
  explicit TClickEvent(int32_t ANumber) : FNumber(ANumber) {}
  void GetText(UnicodeString& Result) override { Result = u"ping"; }
  int32_t Number() override { return FNumber; }

 private:
  int32_t FNumber;
};

class TCounter : public TInterfacedObjectOf<IExternalCounter> {
 public:
  int32_t Clicks() override { return FClicks; }
  int32_t FClicks = 0;
};

class TExternalCpp : public TObject {
 public:
  explicit TExternalCpp(const TGetInterface& GetInterface)
      : FMain(GetInterface.Get<IQorbMainFunctions>()),
        FBus(GetInterface.Get<IQorbEventBus>()),
        FLog(FMain, u"External"),
        FCounter(Make<TCounter>()),
        FRegistration(FMain, FCounter->AsIInterface()),
        FItem(FMain.get(), u"External Item", BindMethod<&TExternalCpp::Clicked>(this)) {
    CheckMenuItemHelper();
    FLog.Info(SameIids() ? u"C header agrees" : u"C header DISAGREES");
    FLog.Info(Format(u"helper answers %d", {HelperAnswer()}));
  }

  void Clicked(TObject*) {
    ++FCounter->FClicks;
    std::thread worker([log = FLog] { log.Info(u"clicked"); });
    worker.join();
    FBus->Publish(Make<TClickEvent>(FCounter->FClicks)->AsIInterface());
  }

 private:
  // An item freed behind the helper's back leaves it null, not dangling;
  // a reset one leaves the menu.
  void CheckMenuItemHelper() {
    TQorbMenuItem freed(FMain.get(), u"Freed elsewhere");
    if (freed) freed->Free();
    TQorbMenuItem reset(FMain.get(), u"Reset");
    TMenuItem* const parent = reset ? reset->Parent() : nullptr;
    TQorbMenuItem moved = std::move(reset);
    const int before = parent ? parent->Count() : -1;
    moved.Reset();
    const int after = parent ? parent->Count() : -1;
    FLog.Info(!freed && !reset && !moved && parent && after == before - 1 ? u"menu item helper ok"
                                                                          : u"menu item helper FAILED");
  }

  ComPtr<IQorbMainFunctions> FMain;
  ComPtr<IQorbEventBus> FBus;
  TQorbLog FLog;
  ComPtr<TCounter> FCounter;
  TQorbRegisteredInterface FRegistration;
  TQorbMenuItem FItem;
};

std::unique_ptr<TExternalCpp> plugin;

}  // namespace

extern "C" QORB_PLUGIN_EXPORT void InitPlugin(const TGetInterface* GetInterface) {
  plugin = std::make_unique<TExternalCpp>(*GetInterface);
}

extern "C" QORB_PLUGIN_EXPORT void Shutdown() { plugin.reset(); }
