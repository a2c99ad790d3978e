#pragma once
// INTAWelcomePagePluginService: the welcome page's plug-ins. The service
// keeps a reference to each registered plug-in, makes view frames for them
// and, when the page is opened, asks each content plug-in for its view.
#include <vector>

#include "ide/IDEService.h"
#include "rtl/ComPtr.h"
#include "toolsapi/WelcomePage.h"

struct TWelcomePagePluginInfo {
  UnicodeString ID;
  UnicodeString Name;
  bool Visible = false;
  bool IsContent = false;  // brings a view of its own
};

class TWelcomePageService : public TIDEServiceOf<INTAWelcomePagePluginService> {
 public:
  using TIDEServiceOf::TIDEServiceOf;
  ~TWelcomePageService() override;

  int32_t GetPluginCount() override;
  INTAWelcomePagePlugin* GetPlugin(int32_t Index) override;
  INTAWelcomePagePlugin* FindPlugin(UnicodeStringRef PluginID) override;
  bool IsPluginRegistered(UnicodeStringRef PluginID) override;
  void GetActivePluginID(UnicodeString& Result) override;
  bool SetActivePluginID(UnicodeStringRef PluginID) override;
  // Opens the page: every visible content plug-in is asked for its view.
  void ShowWelcomePage() override;
  bool GetWelcomePageShowing() override { return showing_; }
  void RegisterPlugin(INTAWelcomePagePlugin* APlugin) override;
  void UnRegisterPlugin(UnicodeStringRef PluginID) override;
  void GetPluginCaption(UnicodeString& Result, UnicodeStringRef PluginID) override;
  TColor GetBackgroundColor() override;
  TColor GetCaptionColor() override;
  TFrame* CreateViewFrame(UnicodeStringRef PluginID, UnicodeStringRef PluginName, TWinControl* AParent) override;

  std::vector<TWelcomePagePluginInfo> Plugins();
  // The view a content plug-in has now (null when it has none or is not a
  // content plug-in); the plug-in owns it.
  TFrame* ViewOf(UnicodeStringRef PluginID);
  // Releases every plug-in still registered; only while their code is
  // loaded.
  void Clear() noexcept;

 private:
  struct Entry {
    UnicodeString ID;
    ComPtr<INTAWelcomePagePlugin> Plugin;
  };
  Entry* Find(std::u16string_view PluginID);

  // Main thread only, as every caller of the page.
  std::vector<Entry> plugins_;
  UnicodeString active_;
  bool showing_ = false;
};
