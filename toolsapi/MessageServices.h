#pragma once
// The IDE's message view: named groups (tabs) of lines. Add-ins add their
// own groups and lines; the view keeps each line until its group is cleared.
#include <cstdint>

#include "rtl/ComPtr.h"
#include "rtl/Interface.h"
#include "rtl/UnicodeString.h"
#include "toolsapi/CustomMessage.h"

struct IOTAMessageGroup : IInterface {
  using Base = IInterface;
  static constexpr GUID IID = MakeGuid("{471574D5-670C-4EE5-A69B-57676E98CBA9}");
  virtual void GetGroupName(UnicodeString& Result) = 0;  // 3
  // Whether the user may close the group's tab.
  virtual bool GetCanClose() = 0;                        // 4
  virtual void SetCanClose(bool Value) = 0;              // 5
  // Whether the view follows new lines.
  virtual bool GetAutoScroll() = 0;                      // 6
  virtual void SetAutoScroll(bool Value) = 0;            // 7
};

struct IOTAMessageServices : IInterface {
  using Base = IInterface;
  static constexpr GUID IID = MakeGuid("{29E893DB-DD9A-4CEA-B2EE-57532E01A9B9}");
  virtual void ClearAllMessages() = 0;                                                      // 3
  virtual int32_t GetMessageGroupCount() = 0;                                               // 4
  // Null for an index out of range.
  virtual void GetMessageGroup(ComPtr<IOTAMessageGroup>& Result, int32_t Index) = 0;        // 5
  // A plain text line.
  virtual void AddTitleMessage(UnicodeStringRef MessageStr, IOTAMessageGroup* Group) = 0;  // 6
  // Brings the view to the front with Group's tab selected (null: keep the tab).
  virtual void ShowMessageView(IOTAMessageGroup* Group) = 0;                                // 7
  virtual void HideMessageView() = 0;                                                       // 8
  virtual bool IsMessageViewVisible() = 0;                                                  // 9
  virtual void GetCurrentGroup(ComPtr<IOTAMessageGroup>& Result) = 0;                      // 10
  virtual void SetCurrentGroup(IOTAMessageGroup* Group) = 0;                                // 11
  virtual void RemoveMessageGroup(IOTAMessageGroup* Group) = 0;                             // 12
  // A new group, also when one of that name exists.
  virtual void AddMessageGroup(ComPtr<IOTAMessageGroup>& Result, UnicodeStringRef GroupName) = 0;  // 13
  // The group keeps a reference to the line; null adds to the current group.
  virtual void AddCustomMessage(IOTACustomMessage* CustomMsg, IOTAMessageGroup* Group) = 0;  // 14
  virtual int32_t GetMessageCount(IOTAMessageGroup* Group) = 0;                              // 15
  // Null for an index out of range.
  virtual void GetMessage(ComPtr<IOTACustomMessage>& Result, IOTAMessageGroup* Group, int32_t Index) = 0;  // 16
  // Releases every line of the group; the group stays.
  virtual void ClearMessageGroup(IOTAMessageGroup* Group) = 0;  // 17
  virtual void ClearCurrentGroup() = 0;                         // 18
  // What groups made from now on start with.
  virtual bool GetAutoScroll() = 0;                             // 19
  virtual void SetAutoScroll(bool Value) = 0;                   // 20
  // The first group of that name, ignoring case; null when there is none.
  virtual void GetGroup(ComPtr<IOTAMessageGroup>& Result, UnicodeStringRef GroupName) = 0;  // 21
};
