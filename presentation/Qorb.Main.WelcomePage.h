#pragma once
// Registration of the host's page with the IDE's welcome page. The page's
// view is made by the IDE's welcome-page service and holds the caption strip
// and the plug-in list.
#include "presentation/Qorb.Main.WelcomePage.View.h"
#include "rtl/InterfacedObject.h"
#include "toolsapi/WelcomePage.h"

class TQorbWelcomePagePluginCreator : public TInterfacedObjectOf<INTAWelcomePageContentPluginCreator> {
 public:
  TQorbWelcomePagePluginCreator() = default;
  ~TQorbWelcomePagePluginCreator() override;

  void GetPluginID(UnicodeString& Result) override;
  void GetPluginName(UnicodeString& Result) override;
  bool GetPluginVisible() override { return true; }
  TFrame* GetView() override { return FView.get(); }
  // Made by the IDE's service on the first request; holds the caption strip
  // and the plug-in list when the IDE's frame has slots for them.
  TFrame* CreateView() override;
  void DestroyView() override { FView.reset(); }
  void GetIcon(DynArray<TGraphic*>& Result) override { Result.Clear(); }
  int32_t GetIconIndex() override { return FIconIndex; }
  void SetIconIndex(int32_t Value) override { FIconIndex = Value; }

 private:
  std::unique_ptr<TFrame> FView;
  int32_t FIconIndex = -1;
};

// Fills the provider slot and registers the page with the IDE's welcome
// page, if the IDE has one.
void RegisterQorbWelcomePage(const TGetWelcomePagePlugins& Provider);
// Withdraws the page from the IDE (if it has a welcome page) and clears the
// provider slot.
void UnregisterQorbWelcomePage();
