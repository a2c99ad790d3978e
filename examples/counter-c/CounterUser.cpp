// A C++ plug-in that uses the C plug-in's counter: each click on its menu
// item looks the counter up, counts and logs the count under the counter's
// name.
#include <memory>

#include "examples/counter-c/ExampleCounter.h"
#include "rtl/Format.h"
#include "sdk/Qorb.Plugin.Contracts.h"
#include "sdk/Qorb.Plugin.Menu.h"

namespace {

class TCounterUser : public TObject {
 public:
  explicit TCounterUser(const TGetInterface& GetInterface)
      : FGetInterface(GetInterface),
        FMainFunctions(GetInterface.Get<IQorbMainFunctions>()),
        FLog(FMainFunctions, u"CounterUser"),
        FItem(FMainFunctions.get(), u"Count", BindMethod<&TCounterUser::CountClick>(this)) {}

  void CountClick(TObject*) {
    // Looked up when needed: the counter's plug-in may load after this one.
    ComPtr<IExampleCounter> counter = FGetInterface.Get<IExampleCounter>();
    if (!counter) {
      FLog.Warning(u"no counter registered");
      return;
    }
    UnicodeString name;
    counter->GetName(name);
    const int32_t count = counter->Increment();
    FLog.Info(Format(u"%s is at %d", {name, count}));
  }

 private:
  TGetInterface FGetInterface;
  ComPtr<IQorbMainFunctions> FMainFunctions;
  TQorbLog FLog;
  TQorbMenuItem FItem;
};

std::unique_ptr<TCounterUser> plugin;

}  // namespace

extern "C" QORB_PLUGIN_EXPORT void InitPlugin(const TGetInterface* GetInterface) {
  plugin = std::make_unique<TCounterUser>(*GetInterface);
}

extern "C" QORB_PLUGIN_EXPORT void Shutdown() { plugin.reset(); }
