#pragma once
// The content of the host's welcome page: one 44-pixel row per loaded
// plug-in (icon, name, version) over the host package's copyright line. The
// rows come from a provider, asked once per frame.
#include <memory>
#include <vector>

#include "rtl/ComPtr.h"
#include "rtl/DynArray.h"
#include "rtl/InterfacedObject.h"
#include "rtl/UnicodeString.h"
#include "vcl/Forms.h"
#include "vcl/ListBox.h"

class TBitmap;
class TLabel;
class TPanel;

// One row. Graphic is borrowed, never owned by the record.
struct TQorbWelcomePagePlugin {
  UnicodeString Name;
  UnicodeString Version;
  // Drawn right-aligned on the version's line; empty draws nothing.
  UnicodeString UpdateVersion;
  TBitmap* Graphic = nullptr;
};

// A reference-counted function without arguments that answers the rows; it
// may capture state of its own.
struct IGetWelcomePagePlugins : IInterface {
  using Base = IInterface;
  static constexpr GUID IID = MakeGuid("{A4C1E7B2-5D39-4F06-8E2A-7B0C9D1F3E65}");
  virtual void Invoke(DynArray<TQorbWelcomePagePlugin>& Result) = 0;  // 3
};
using TGetWelcomePagePlugins = ComPtr<IGetWelcomePagePlugins>;

// A provider that calls Fn.
template <class Fn>
TGetWelcomePagePlugins MakeWelcomePagePluginsProvider(Fn AFunction) {
  class TProvider : public TInterfacedObjectOf<IGetWelcomePagePlugins> {
   public:
    explicit TProvider(Fn F) : FFunction(std::move(F)) {}
    void Invoke(DynArray<TQorbWelcomePagePlugin>& Result) override { Result = FFunction(); }

   private:
    Fn FFunction;
  };
  return TGetWelcomePagePlugins(Make<TProvider>(std::move(AFunction)));
}

// Puts Provider into the process-wide slot (releasing what was there); an
// empty one clears it. Frames that exist already keep their rows.
void SetWelcomePagePluginsProvider(const TGetWelcomePagePlugins& Provider);
// The unit's finalisation: releases the provider if the slot still holds it.
void WelcomePageViewFinalization();

class TQorbWelcomePageFrame : public TFrame {
 public:
  // Reads the designed layout, themes, and takes its rows from the provider.
  explicit TQorbWelcomePageFrame(TComponent* AOwner);
  ~TQorbWelcomePageFrame() override;

  // Resolves the three colours from the IDE's theme (once: later theme
  // changes do not recolour the frame) and applies them to the panels.
  void ApplyTheme();
  void lbPluginsDrawItem(TWinControl* Control, int Index, const TRect& Rect, TOwnerDrawState State);

  // Designed components.
  TPanel* pnlTop = nullptr;
  TLabel* lblTitle = nullptr;
  TLabel* lblVersion = nullptr;
  TPanel* pnlBottom = nullptr;
  TLabel* lblCopyright = nullptr;
  TListBox* lbPlugins = nullptr;

  const DynArray<TQorbWelcomePagePlugin>& Plugins() const noexcept { return FPlugins; }

 private:
  DynArray<TQorbWelcomePagePlugin> FPlugins;
  std::vector<std::unique_ptr<TBitmap>> FOwnedGraphics;
  TColor FBg = clWindow;
  TColor FFg = clWindowText;
  TColor FDim = clGrayText;
};
