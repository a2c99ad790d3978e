#pragma once
// The IDE's welcome page: add-ins register plug-ins whose views the page
// shows. A content plug-in creates its view on demand; the IDE's service
// makes the view's frame, which has a caption slot and a content slot, and
// lends its painter for backgrounds in the page's look. Reached through the
// global WelcomePagePluginService (null when the IDE has no welcome page).
#include <cstdint>

#include "rtl/DynArray.h"
#include "rtl/Interface.h"
#include "rtl/UnicodeString.h"
#include "vcl/Colors.h"

class TCanvas;
class TFrame;
class TGraphic;
class TWinControl;

struct INTAWelcomePagePlugin : IInterface {
  using Base = IInterface;
  static constexpr GUID IID = MakeGuid("{60AB2EA1-9521-4A7C-BE7F-125308AF20E5}");
  // Unique, stable identity, e.g. "Vendor.WelcomePage.Name".
  virtual void GetPluginID(UnicodeString& Result) = 0;    // 3
  virtual void GetPluginName(UnicodeString& Result) = 0;  // 4
  virtual bool GetPluginVisible() = 0;                    // 5
};

// A plug-in that brings a view of its own. The plug-in owns the view.
struct INTAWelcomePageContentPluginCreator : INTAWelcomePagePlugin {
  using Base = INTAWelcomePagePlugin;
  static constexpr GUID IID = MakeGuid("{1E2E6E47-B4C5-49A6-8018-938B5CC1EDFE}");
  // The view as it is, null when none has been made.
  virtual TFrame* GetView() = 0;  // 6
  // The view, made first when there is none.
  virtual TFrame* CreateView() = 0;  // 7
  // Frees the view; the next CreateView makes a new one.
  virtual void DestroyView() = 0;  // 8
  // Pictures for the page's plug-in list, borrowed; empty: none.
  virtual void GetIcon(DynArray<TGraphic*>& Result) = 0;  // 9
  virtual int32_t GetIconIndex() = 0;                     // 10
  virtual void SetIconIndex(int32_t Value) = 0;           // 11
};

// The frame the service makes for a plug-in's view: a caption strip over a
// content area. The frames put into the slots keep their owner; the view
// frame only places them.
struct INTAWelcomePageCaptionFrame : IInterface {
  using Base = IInterface;
  static constexpr GUID IID = MakeGuid("{2E6BCE6D-60BB-42C5-B24A-30C40976F202}");
  virtual void GetPluginID(UnicodeString& Result) = 0;    // 3
  virtual int32_t GetCaptionHeight() = 0;                 // 4
  virtual void SetCaptionHeight(int32_t Value) = 0;       // 5
  virtual bool GetCaptionVisible() = 0;                   // 6
  virtual void SetCaptionVisible(bool Value) = 0;         // 7
  virtual TFrame* GetCaptionFrame() = 0;                  // 8
  virtual void SetCaptionFrame(TFrame* AFrame) = 0;       // 9
  virtual TFrame* GetContentFrame() = 0;                  // 10
  virtual void SetContentFrame(TFrame* AFrame) = 0;       // 11
};

// Backgrounds in the welcome page's look, for frames that sit on the page.
struct INTAWelcomePagePainter : IInterface {
  using Base = IInterface;
  static constexpr GUID IID = MakeGuid("{996AC521-40D2-4FA4-94A8-E9F2EB16199D}");
  // The page's own background colour.
  virtual TColor GetBackgroundColor() = 0;  // 3
  // Fills AControl's client area on ACanvas: AColor (clDefault: the page's
  // colour) covered by the page's shading at opacity AAlpha (0 to 255).
  virtual void PaintBackground(TCanvas* ACanvas, TWinControl* AControl, TColor AColor, uint8_t AAlpha) = 0;  // 4
};

struct INTAWelcomePagePluginService : IInterface {
  using Base = IInterface;
  static constexpr GUID IID = MakeGuid("{7C3E5A91-2F64-4B8D-A1C0-6E9D4B2F8A37}");
  virtual int32_t GetPluginCount() = 0;                                           // 3
  // Null for an index out of range; no reference is added.
  virtual INTAWelcomePagePlugin* GetPlugin(int32_t Index) = 0;                    // 4
  // Null when no plug-in has that identity; no reference is added.
  virtual INTAWelcomePagePlugin* FindPlugin(UnicodeStringRef PluginID) = 0;      // 5
  virtual bool IsPluginRegistered(UnicodeStringRef PluginID) = 0;                 // 6
  // The plug-in whose view the page shows; empty: the page's own.
  virtual void GetActivePluginID(UnicodeString& Result) = 0;                      // 7
  // False when no plug-in has that identity.
  virtual bool SetActivePluginID(UnicodeStringRef PluginID) = 0;                  // 8
  virtual void ShowWelcomePage() = 0;                                             // 9
  // Whether the page is open.
  virtual bool GetWelcomePageShowing() = 0;                                       // 10
  // Adds a plug-in and keeps a reference to it; a plug-in whose identity is
  // taken replaces the one registered before.
  virtual void RegisterPlugin(INTAWelcomePagePlugin* APlugin) = 0;                // 11
  // Drops the plug-in (the page's view of it first); unknown identities are
  // ignored.
  virtual void UnRegisterPlugin(UnicodeStringRef PluginID) = 0;                   // 12
  virtual void GetPluginCaption(UnicodeString& Result, UnicodeStringRef PluginID) = 0;  // 13
  virtual TColor GetBackgroundColor() = 0;                                        // 14
  virtual TColor GetCaptionColor() = 0;                                           // 15
  // A new view frame for a plug-in, owned by the caller. AParent (may be
  // null) is the control the frame is placed on.
  virtual TFrame* CreateViewFrame(UnicodeStringRef PluginID, UnicodeStringRef PluginName,
                                  TWinControl* AParent) = 0;                      // 16
};
