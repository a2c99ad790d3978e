#pragma once
// The IDE's themes: which one is active, whether the IDE themes its windows
// at all, and theming of an add-in's own frames and forms.
#include <cstdint>

#include "rtl/Interface.h"
#include "rtl/UnicodeString.h"
#include "toolsapi/StyleServices.h"

class TComponent;

struct IOTAIDEThemingServices : IInterface {
  using Base = IInterface;
  static constexpr GUID IID = MakeGuid("{DEAD2647-9B2C-4084-A61E-1E69A9179637}");
  virtual void GetActiveTheme(UnicodeString& Result) = 0;                       // 3
  virtual int32_t GetThemeCount() = 0;                                          // 4
  // Empty for an index out of range.
  virtual void GetThemeName(UnicodeString& Result, int32_t Index) = 0;          // 5
  // False when there is no theme of that name (ignoring case).
  virtual bool SetActiveTheme(UnicodeStringRef ThemeName) = 0;                  // 6
  virtual bool GetIDEThemingEnabled() = 0;                                      // 7
  // Gives a component and everything it owns the active theme's look.
  virtual void ApplyTheme(TComponent* AComponent) = 0;                          // 8
  // The active theme's style, whether or not theming is on.
  virtual TCustomStyleServices* GetStyleServices() = 0;                         // 9
};
