// Subscribes to ExternalCpp's event and asks its counter, found only when
// the event comes (plug-ins load in no particular order).
#include <memory>

#include "ExternalEvents.h"
#include "rtl/Format.h"
#include "sdk/Qorb.Plugin.Contracts.h"

namespace {

class TExternalSubscriber : public TObject {
 public:
  explicit TExternalSubscriber(const TGetInterface& GetInterface)
      : FGetInterface(GetInterface), FLog(GetInterface.Get<IQorbMainFunctions>(), u"Subscriber") {
    QorbSubscribe<&TExternalSubscriber::OnClick>(FSubscriptions.Bus(), this, u"OnClick");
  }

  void OnClick(IExternalClickEvent* AEvent) {
    UnicodeString text;
    AEvent->GetText(text);
    const ComPtr<IExternalCounter> counter = FGetInterface.Get<IExternalCounter>();
    TQorbPluginServiceInfo info;
    if (const auto service = FGetInterface.Get<IQorbPluginService>()) service->GetPluginInfos(info);
    FLog.Info(Format(u"%s %d of %d clicks; %d plug-ins",
                     {text, AEvent->Number(), counter ? counter->Clicks() : -1, info.Plugins.Length()}));
  }

 private:
  TGetInterface FGetInterface;
  TQorbLog FLog;
  TQorbSubscriptions FSubscriptions{FGetInterface.Get<IQorbEventBus>(), this};
};

std::unique_ptr<TExternalSubscriber> plugin;

}  // namespace

extern "C" QORB_PLUGIN_EXPORT void InitPlugin(const TGetInterface* GetInterface) {
  plugin = std::make_unique<TExternalSubscriber>(*GetInterface);
}

extern "C" QORB_PLUGIN_EXPORT void Shutdown() { plugin.reset(); }
