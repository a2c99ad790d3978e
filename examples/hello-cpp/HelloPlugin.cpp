// An example plug-in in C++: it adds an item to the suite's menu and says
// hello in the suite's log when the item is clicked.
#include <memory>

#include "sdk/Qorb.Plugin.Contracts.h"
#include "sdk/Qorb.Plugin.Menu.h"

namespace {

class THelloPlugin : public TObject {
 public:
  explicit THelloPlugin(const TGetInterface& GetInterface)
      : mainFunctions_(GetInterface.Get<IQorbMainFunctions>()),
        log_(mainFunctions_, u"Hello"),
        item_(mainFunctions_.get(), u"Say Hello", BindMethod<&THelloPlugin::SayHello>(this)) {
    log_.Info(u"Hello plug-in is ready");
  }

  void SayHello(TObject*) { log_.Info(u"Hello from the Qorb example plug-in!"); }

 private:
  ComPtr<IQorbMainFunctions> mainFunctions_;
  TQorbLog log_;
  // Last, so that the item and its handler go first.
  TQorbMenuItem item_;
};

std::unique_ptr<THelloPlugin> plugin;

}  // namespace

extern "C" QORB_PLUGIN_EXPORT void InitPlugin(const TGetInterface* GetInterface) {
  plugin = std::make_unique<THelloPlugin>(*GetInterface);
}

extern "C" QORB_PLUGIN_EXPORT void Shutdown() { plugin.reset(); }
