#pragma once
// A line in the IDE's message view that an add-in supplies, and the form of
// it that draws itself. The IDE calls both on its main thread.
#include <cstdint>

#include "rtl/Interface.h"
#include "rtl/UnicodeString.h"
#include "vcl/Types.h"

class TCanvas;

struct IOTACustomMessage : IInterface {
  using Base = IInterface;
  static constexpr GUID IID = MakeGuid("{C1946EB9-4FC9-461D-AB96-D33C2457B334}");
  // Where the line points in a source file; 0 and empty when nowhere.
  virtual int32_t GetColumnNumber() = 0;                  // 3
  virtual void GetFileName(UnicodeString& Result) = 0;   // 4
  virtual int32_t GetLineNumber() = 0;                    // 5
  // The line as text (what a copy to the clipboard gives).
  virtual void GetLineText(UnicodeString& Result) = 0;   // 6
  virtual void ShowHelp() = 0;                            // 7
};

struct INTACustomDrawMessage : IOTACustomMessage {
  using Base = IOTACustomMessage;
  static constexpr GUID IID = MakeGuid("{C3F45DD8-265B-4E00-B912-59F159DDD96E}");
  // Paints the line into Rect; the IDE has set the canvas font and filled
  // the background (selection included).
  virtual void Draw(TCanvas* Canvas, const TRect& Rect, bool Wrap) = 0;  // 8
  // The space the line needs; MaxWidth is what the view offers.
  virtual void CalcRect(TRect& Result, TCanvas* Canvas, int32_t MaxWidth, bool Wrap) = 0;  // 9
};
