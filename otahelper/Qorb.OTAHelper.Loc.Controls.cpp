#include "otahelper/Qorb.OTAHelper.Loc.Controls.h"

#include <string>

#include "otahelper/Qorb.OTAHelper.Loc.h"
#include "vcl/Collections.h"
#include "vcl/Controls.h"
#include "vcl/Forms.h"
#include "vcl/PublishedProperties.h"
#include "vcl/StringList.h"

namespace {

std::u16string Decimal(int n) {
  const std::string digits = std::to_string(n);
  return std::u16string(digits.begin(), digits.end());
}

std::u16string Key(std::u16string_view AClassName, std::u16string_view AName) {
  std::u16string key(AClassName);
  key += u'.';
  key += AName;
  return key;
}

// The object behind a published object property, or null.
TObject* ObjectProperty(TObject& AInstance, std::u16string_view APropName) {
  const TPropInfo* info = GetPropInfo(AInstance, APropName);
  return info && info->Kind == tkClass ? GetObjectProp(AInstance, *info) : nullptr;
}

}  // namespace

void LocalizeStrProp(TObject& AInstance, std::u16string_view APropName, std::u16string_view AKey) {
  const TPropInfo* info = GetPropInfo(AInstance, APropName);
  if (!info || !IsStringKind(info->Kind)) return;
  const UnicodeString value = GetStrProp(AInstance, *info);
  if (value.IsEmpty()) return;
  const UnicodeString translated = Loc(AKey, value);
  if (translated != value) SetStrProp(AInstance, *info, translated);
}

bool IsSafeToLocalizeItems(TComponent& AComponent) {
  auto* control = dynamic_cast<TWinControl*>(&AComponent);
  if (!control || control->HandleAllocated()) return true;
  for (TWinControl* c = control; c; c = c->Parent())
    if (dynamic_cast<TCustomForm*>(c)) return true;
  return false;
}

void LocalizeStrings(TComponent& AOwner, TStrings& AStrings, std::u16string_view AKeyBase) {
  const TPropInfo* itemIndex = GetPropInfo(AOwner, u"ItemIndex");
  const int64_t saved = itemIndex && IsOrdinalKind(itemIndex->Kind) ? GetOrdProp(AOwner, *itemIndex) : -1;
  bool changed = false;
  const int count = AStrings.Count();
  for (int j = 0; j < count; ++j) {
    const UnicodeString entry = AStrings.Get(j);
    if (entry.IsEmpty()) continue;
    const UnicodeString translated = Loc(std::u16string(AKeyBase) + u".Item" + Decimal(j), entry);
    if (translated != entry) {
      AStrings.Put(j, translated);
      changed = true;
    }
  }
  if (changed && itemIndex && saved >= 0) SetOrdProp(AOwner, *itemIndex, saved);
}

void LocalizeItems(TComponent& AComponent, std::u16string_view AKeyBase) {
  auto* strings = dynamic_cast<TStrings*>(ObjectProperty(AComponent, u"Items"));
  if (!strings || !IsSafeToLocalizeItems(AComponent)) return;
  LocalizeStrings(AComponent, *strings, AKeyBase);
}

void LocalizeColumns(TComponent& AComponent, std::u16string_view AKeyBase) {
  auto* columns = dynamic_cast<TCollection*>(ObjectProperty(AComponent, u"Columns"));
  if (!columns) return;
  for (int k = 0; k < columns->Count(); ++k)
    LocalizeStrProp(*columns->Items(k), u"Caption", std::u16string(AKeyBase) + u".Column" + Decimal(k));
}

void LocalizeComponent(TComponent* ARoot) {
  if (!ARoot) return;
  const UnicodeString className = ARoot->ClassName();
  if (!ARoot->Name().IsEmpty()) LocalizeStrProp(*ARoot, u"Caption", Key(className, ARoot->Name()));
  for (int i = 0; i < ARoot->ComponentCount(); ++i) {
    TComponent& component = *ARoot->Components(i);
    if (component.Name().IsEmpty()) continue;
    const std::u16string base = Key(className, component.Name());
    LocalizeStrProp(component, u"Caption", base);
    LocalizeStrProp(component, u"TextHint", base + u".TextHint");
    LocalizeStrProp(component, u"Hint", base + u".Hint");
    LocalizeItems(component, base);
    LocalizeColumns(component, base);
  }
}

void LocalizeComponentItems(TComponent* ARoot) {
  if (!ARoot) return;
  const UnicodeString className = ARoot->ClassName();
  for (int i = 0; i < ARoot->ComponentCount(); ++i) {
    TComponent& component = *ARoot->Components(i);
    if (!component.Name().IsEmpty()) LocalizeItems(component, Key(className, component.Name()));
  }
}
