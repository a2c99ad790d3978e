#pragma once
// IOTAIDEThemingServices: the IDE's themes (Light, Dark), the switch that
// turns theming off, and theming of add-ins' frames.
#include <memory>
#include <mutex>
#include <vector>

#include "ide/IDEService.h"
#include "ide/IDEStyle.h"
#include "rtl/OwnMutex.h"
#include "toolsapi/ThemingServices.h"

struct TThemedComponent {
  UnicodeString ClassName;
  UnicodeString Name;
  UnicodeString Theme;
};

class TThemingServices : public TIDEServiceOf<IOTAIDEThemingServices> {
 public:
  explicit TThemingServices(TIDEServices& Owner);
  ~TThemingServices() override;

  void GetActiveTheme(UnicodeString& Result) override;
  int32_t GetThemeCount() override;
  void GetThemeName(UnicodeString& Result, int32_t Index) override;
  bool SetActiveTheme(UnicodeStringRef ThemeName) override;
  bool GetIDEThemingEnabled() override;
  void ApplyTheme(TComponent* AComponent) override;
  // The active style, also while theming is off (callers ask first).
  TCustomStyleServices* GetStyleServices() override;

  // IDE side: the --theme switch.
  void SetThemingEnabled(bool Enabled);
  const TIDEStyle& ActiveStyle() const;
  // The style the IDE paints with now: the active one, or Light when
  // theming is off.
  const TIDEStyle& PaintingStyle() const;
  // Components themed so far, each with what it owns, in order.
  std::vector<TThemedComponent> Themed() const;

 private:
  mutable TMutex lock_;
  // Controls paint in the style in force, as a styled application's do.
  void PublishPaintingStyle();

  std::vector<std::unique_ptr<TIDEStyle>> styles_;
  size_t active_ = 0;
  bool enabled_ = true;
  std::vector<TThemedComponent> themed_;
};
