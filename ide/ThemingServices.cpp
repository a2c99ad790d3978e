#include "ide/ThemingServices.h"

#include "vcl/Classes.h"
#include "vcl/Colors.h"

namespace {

TColor StyleColor(void* Style, TColor Color) { return static_cast<const TIDEStyle*>(Style)->GetSystemColor(Color); }

}  // namespace

TThemingServices::TThemingServices(TIDEServices& Owner) : TIDEServiceOf(Owner) {
  styles_.push_back(TIDEStyle::Light());
  styles_.push_back(TIDEStyle::Dark());
  PublishPaintingStyle();
}

TThemingServices::~TThemingServices() { SetStyleColorMap({}); }

void TThemingServices::PublishPaintingStyle() {
  TStyleColorMap map;
  if (enabled_) {
    map.Code = &StyleColor;
    map.Data = styles_[active_].get();
  }
  SetStyleColorMap(map);
}

void TThemingServices::GetActiveTheme(UnicodeString& Result) {
  std::lock_guard lock(lock_);
  Result = styles_[active_]->Name();
}

int32_t TThemingServices::GetThemeCount() {
  std::lock_guard lock(lock_);
  return static_cast<int32_t>(styles_.size());
}

void TThemingServices::GetThemeName(UnicodeString& Result, int32_t Index) {
  std::lock_guard lock(lock_);
  if (Index < 0 || static_cast<size_t>(Index) >= styles_.size())
    Result.Clear();
  else
    Result = styles_[static_cast<size_t>(Index)]->Name();
}

bool TThemingServices::SetActiveTheme(UnicodeStringRef ThemeName) {
  std::lock_guard lock(lock_);
  for (size_t i = 0; i < styles_.size(); ++i)
    if (SameText(styles_[i]->Name().view(), ThemeName.view())) {
      active_ = i;
      PublishPaintingStyle();
      return true;
    }
  return false;
}

bool TThemingServices::GetIDEThemingEnabled() {
  std::lock_guard lock(lock_);
  return enabled_;
}

void TThemingServices::ApplyTheme(TComponent* AComponent) {
  if (!AComponent) return;
  std::vector<const TComponent*> pending{AComponent};
  std::lock_guard lock(lock_);
  const UnicodeString theme = enabled_ ? styles_[active_]->Name() : UnicodeString();
  while (!pending.empty()) {
    const TComponent* c = pending.back();
    pending.pop_back();
    themed_.push_back({c->ClassName(), c->Name(), theme});
    for (int i = c->ComponentCount() - 1; i >= 0; --i) pending.push_back(c->Components(i));
  }
}

TCustomStyleServices* TThemingServices::GetStyleServices() {
  std::lock_guard lock(lock_);
  return styles_[active_].get();
}

void TThemingServices::SetThemingEnabled(bool Enabled) {
  std::lock_guard lock(lock_);
  enabled_ = Enabled;
  PublishPaintingStyle();
}

const TIDEStyle& TThemingServices::ActiveStyle() const {
  std::lock_guard lock(lock_);
  return *styles_[active_];
}

const TIDEStyle& TThemingServices::PaintingStyle() const {
  std::lock_guard lock(lock_);
  return enabled_ ? *styles_[active_] : *styles_[0];
}

std::vector<TThemedComponent> TThemingServices::Themed() const {
  std::lock_guard lock(lock_);
  return themed_;
}
