// An example plug-in in C++: it adds an item to the suite's menu and says
// hello in the suite's log when the item is clicked.
#include <memory>

#include "sdk/Qorb.Plugin.Contracts.h"
#include "vcl/Menus.h"

namespace {

class THelloPlugin : public TObject {
 public:
  explicit THelloPlugin(const TGetInterface& GetInterface)
      : mainFunctions_(GetInterface.Get<IQorbMainFunctions>()) {
    if (!mainFunctions_) return;
    if (TMenuItem* item = mainFunctions_->AddMenuItem(UnicodeString(u"Say Hello"))) {
      item->OnClick = BindMethod<&THelloPlugin::SayHello>(this);
      item_ = item;
    }
    mainFunctions_->LogInfo(UnicodeString(u"Hello"), UnicodeString(u"Hello plug-in is ready"));
  }
  ~THelloPlugin() override {
    // The item belongs to the suite's menu; only our handler must go.
    if (item_) item_->OnClick = TNotifyEvent();
  }

  void SayHello(TObject*) {
    mainFunctions_->LogInfo(UnicodeString(u"Hello"), UnicodeString(u"Hello from the Qorb example plug-in!"));
  }

 private:
  ComPtr<IQorbMainFunctions> mainFunctions_;
  TMenuItem* item_ = nullptr;
};

std::unique_ptr<THelloPlugin> plugin;

}  // namespace

extern "C" QORB_PLUGIN_EXPORT void InitPlugin(const TGetInterface* GetInterface) {
  plugin = std::make_unique<THelloPlugin>(*GetInterface);
}

extern "C" QORB_PLUGIN_EXPORT void Shutdown() { plugin.reset(); }
