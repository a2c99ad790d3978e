#include <algorithm>

#include "vcl/Classes.h"

#include "rtl/ForeignCall.h"
#include "rtl/Format.h"

bool IsValidIdent(std::u16string_view S) noexcept {
  if (S.empty()) return false;
  auto alpha = [](char16_t c) { return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z') || c == u'_'; };
  if (!alpha(S[0])) return false;
  return std::all_of(S.begin() + 1, S.end(), [&](char16_t c) { return alpha(c) || (c >= u'0' && c <= u'9'); });
}

namespace {

// An owned component may be a plug-in's (a watch it put on its menu item),
// whose class is code of that plug-in, maybe unloaded after a fault skipped
// its clean-up: freed across a boundary, so that a class that is gone is
// named and nothing of ours crashes.
void FreeOwned(TComponent* c) noexcept {
  try {
    CallForeign({u"freeing a component", *reinterpret_cast<const void* const*>(c)}, [c] {
      SlotCodeOfLiveModule(c, 0);
      delete c;
    });
  } catch (...) {
    // Noted; what is left of it goes with its library.
  }
}

}  // namespace

TComponent::TComponent(TComponent* AOwner) {
  if (AOwner) AOwner->InsertComponent(this);
}

TComponent::~TComponent() {
  FDestroying = true;
  // Last first; each one is detached before it is freed, so its destructor
  // does not come back to this half-destroyed owner.
  while (!FComponents.empty()) {
    TComponent* c = FComponents.back();
    FComponents.pop_back();
    c->FOwner = nullptr;
    FreeOwned(c);
  }
  if (FOwner) FOwner->RemoveComponent(this);
}

void TComponent::SetName(const UnicodeString& AName) {
  if (AName == FName) return;
  if (!AName.IsEmpty() && !IsValidIdent(AName))
    throw EComponentError(Format(u"\"%s\" is not a valid component name", {AName}));
  if (FOwner && !AName.IsEmpty()) {
    TComponent* other = FOwner->FindComponent(AName);
    if (other && other != this)
      throw EComponentError(Format(u"A component named %s already exists", {AName}));
  }
  FName = AName;
}

TComponent* TComponent::Components(int Index) const {
  if (Index < 0 || Index >= ComponentCount()) throw EListError(u"List index out of bounds");
  return FComponents[static_cast<size_t>(Index)];
}

TComponent* TComponent::FindComponent(std::u16string_view AName) const {
  if (AName.empty()) return nullptr;
  for (TComponent* c : FComponents)
    if (SameText(c->FName.view(), AName)) return c;
  return nullptr;
}

void TComponent::InsertComponent(TComponent* AComponent) {
  if (!AComponent || AComponent->FOwner == this) return;
  // An owner cycle would free its members twice.
  for (const TComponent* o = this; o; o = o->FOwner)
    if (o == AComponent) throw EComponentError(u"A component cannot own its own owner");
  if (!AComponent->FName.IsEmpty() && FindComponent(AComponent->FName))
    throw EComponentError(Format(u"A component named %s already exists", {AComponent->FName}));
  FComponents.push_back(AComponent);
  if (AComponent->FOwner) AComponent->FOwner->RemoveComponent(AComponent);
  AComponent->FOwner = this;
}

void TComponent::RemoveComponent(TComponent* AComponent) {
  if (!AComponent || AComponent->FOwner != this) return;
  auto it = std::find(FComponents.begin(), FComponents.end(), AComponent);
  if (it != FComponents.end()) FComponents.erase(it);
  AComponent->FOwner = nullptr;
}
