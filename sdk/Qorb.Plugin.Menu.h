#pragma once
// A plug-in's item in the suite's menu, held like any other resource: the
// item the host adds is the suite menu's and would stay behind, with its
// click handler pointing into the unloaded library, after Shutdown.
#include <string_view>
#include <utility>

#include "sdk/Qorb.Plugin.Contracts.h"
#include "vcl/Menus.h"

// Adds an item to the suite's menu and frees it when it goes out of scope
// (before Shutdown returns). Null when the host gave no item; turns null
// when something else frees the item first. Main thread only.
//   TQorbMenuItem FItem{mainFunctions.get(), u"Say Hello", BindMethod<&TMyPlugin::SayHello>(this)};
class TQorbMenuItem {
 public:
  TQorbMenuItem() noexcept = default;
  TQorbMenuItem(IQorbMainFunctions* AMainFunctions, std::u16string_view ACaption, TNotifyEvent AOnClick = {}) {
    if (!AMainFunctions) return;
    TMenuItem* item = AMainFunctions->AddMenuItem(UnicodeString(ACaption));
    if (!item) return;
    try {
      FWatch = new TWatch(item, this);  // owned by the item
    } catch (...) {
      item->Free();
      throw;
    }
    FItem = item;
    FItem->OnClick = AOnClick;
  }
  TQorbMenuItem(TQorbMenuItem&& o) noexcept { Take(o); }
  TQorbMenuItem& operator=(TQorbMenuItem&& o) noexcept {
    if (this != &o) {
      Reset();
      Take(o);
    }
    return *this;
  }
  ~TQorbMenuItem() { Reset(); }

  TMenuItem* get() const noexcept { return FItem; }
  TMenuItem* operator->() const noexcept { return FItem; }
  explicit operator bool() const noexcept { return FItem != nullptr; }

  // Takes the item out of the menu and frees it.
  void Reset() noexcept {
    TMenuItem* item = std::exchange(FItem, nullptr);
    if (TWatch* watch = std::exchange(FWatch, nullptr)) watch->Holder = nullptr;
    if (item) item->Free();
  }

 private:
  // Freed with the item; tells the holder when that happens without it.
  class TWatch final : public TComponent {
   public:
    TWatch(TMenuItem* AItem, TQorbMenuItem* AHolder) : TComponent(AItem), Holder(AHolder) {}
    ~TWatch() override {
      if (!Holder) return;
      Holder->FItem = nullptr;
      Holder->FWatch = nullptr;
    }
    TQorbMenuItem* Holder;
  };

  void Take(TQorbMenuItem& o) noexcept {
    FItem = std::exchange(o.FItem, nullptr);
    FWatch = std::exchange(o.FWatch, nullptr);
    if (FWatch) FWatch->Holder = this;
  }

  TMenuItem* FItem = nullptr;
  TWatch* FWatch = nullptr;
};
