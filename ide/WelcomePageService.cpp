#include "ide/WelcomePageService.h"

#include "ide/IDE.h"
#include "ide/ThemingServices.h"
#include "ide/WelcomePageViewFrame.h"
#include "rtl/ForeignCall.h"

TWelcomePageService::~TWelcomePageService() {
  // Plug-ins still registered now belong to packages that did not clean up
  // and may be unloaded already: calling their Release could run code that
  // is gone, so their references are abandoned instead.
  for (Entry& e : plugins_) (void)e.Plugin.detach();
}

TWelcomePageService::Entry* TWelcomePageService::Find(std::u16string_view PluginID) {
  for (Entry& e : plugins_)
    if (SameText(e.ID.view(), PluginID)) return &e;
  return nullptr;
}

int32_t TWelcomePageService::GetPluginCount() { return static_cast<int32_t>(plugins_.size()); }

INTAWelcomePagePlugin* TWelcomePageService::GetPlugin(int32_t Index) {
  if (Index < 0 || static_cast<size_t>(Index) >= plugins_.size()) return nullptr;
  return plugins_[static_cast<size_t>(Index)].Plugin.get();
}

INTAWelcomePagePlugin* TWelcomePageService::FindPlugin(UnicodeStringRef PluginID) {
  Entry* e = Find(PluginID.view());
  return e ? e->Plugin.get() : nullptr;
}

bool TWelcomePageService::IsPluginRegistered(UnicodeStringRef PluginID) { return Find(PluginID.view()) != nullptr; }

void TWelcomePageService::GetActivePluginID(UnicodeString& Result) { Result = active_; }

bool TWelcomePageService::SetActivePluginID(UnicodeStringRef PluginID) {
  Entry* e = Find(PluginID.view());
  if (!e) return false;
  active_ = e->ID;
  return true;
}

void TWelcomePageService::ShowWelcomePage() {
  showing_ = true;
  // A plug-in may register or unregister others while it makes its view.
  const std::vector<Entry> snapshot = plugins_;
  for (const Entry& e : snapshot) {
    ComPtr<INTAWelcomePageContentPluginCreator> content = e.Plugin.As<INTAWelcomePageContentPluginCreator>();
    if (content && content->GetPluginVisible())
      CallForeign({u"CreateView", SlotCode(content.get(), 7), e.ID.c_str()}, [&] { content->CreateView(); });
  }
}

void TWelcomePageService::RegisterPlugin(INTAWelcomePagePlugin* APlugin) {
  if (!APlugin) return;
  ComPtr<INTAWelcomePagePlugin> plugin(APlugin);
  UnicodeString id;
  plugin->GetPluginID(id);
  if (Entry* e = Find(id.view())) {
    e->Plugin = std::move(plugin);
    return;
  }
  plugins_.push_back({std::move(id), std::move(plugin)});
}

void TWelcomePageService::UnRegisterPlugin(UnicodeStringRef PluginID) {
  for (auto it = plugins_.begin(); it != plugins_.end(); ++it) {
    if (!SameText(it->ID.view(), PluginID.view())) continue;
    ComPtr<INTAWelcomePagePlugin> plugin = std::move(it->Plugin);
    if (SameText(active_.view(), it->ID.view())) active_.Clear();
    plugins_.erase(it);
    // The page lets go of the view before it lets go of the plug-in.
    if (auto content = plugin.As<INTAWelcomePageContentPluginCreator>()) content->DestroyView();
    return;
  }
}

void TWelcomePageService::GetPluginCaption(UnicodeString& Result, UnicodeStringRef PluginID) {
  Result.Clear();
  if (Entry* e = Find(PluginID.view())) e->Plugin->GetPluginName(Result);
}

TColor TWelcomePageService::GetBackgroundColor() {
  TIDE* ide = Ide();
  const TThemingServices* theming = ide ? ide->Services().Service<TThemingServices>() : nullptr;
  return ColorToRGB(theming ? theming->PaintingStyle().GetSystemColor(clWindow) : clWindow);
}

TColor TWelcomePageService::GetCaptionColor() {
  TIDE* ide = Ide();
  const TThemingServices* theming = ide ? ide->Services().Service<TThemingServices>() : nullptr;
  return ColorToRGB(theming ? theming->PaintingStyle().GetSystemColor(clWindowText) : clWindowText);
}

TFrame* TWelcomePageService::CreateViewFrame(UnicodeStringRef PluginID, UnicodeStringRef PluginName,
                                             TWinControl* AParent) {
  // Owned by the caller, who frees it.
  auto* frame = new TWelcomePageViewFrame(nullptr, UnicodeString(PluginID));
  frame->SetCaption(UnicodeString(PluginName));
  if (AParent) frame->SetParent(AParent);
  return frame;
}

std::vector<TWelcomePagePluginInfo> TWelcomePageService::Plugins() {
  std::vector<TWelcomePagePluginInfo> out;
  for (const Entry& e : plugins_) {
    TWelcomePagePluginInfo info;
    info.ID = e.ID;
    e.Plugin->GetPluginName(info.Name);
    info.Visible = e.Plugin->GetPluginVisible();
    info.IsContent = static_cast<bool>(e.Plugin.As<INTAWelcomePageContentPluginCreator>());
    out.push_back(std::move(info));
  }
  return out;
}

TFrame* TWelcomePageService::ViewOf(UnicodeStringRef PluginID) {
  Entry* e = Find(PluginID.view());
  if (!e) return nullptr;
  auto content = e->Plugin.As<INTAWelcomePageContentPluginCreator>();
  return content ? content->GetView() : nullptr;
}

void TWelcomePageService::Clear() noexcept {
  std::vector<Entry> gone;
  gone.swap(plugins_);
  active_.Clear();
  showing_ = false;
}
