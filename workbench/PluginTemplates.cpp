#include "workbench/PluginTemplates.h"

#include <cctype>
#include <utility>

#include "workbench/PluginIcon.h"

namespace {

constexpr char kCMakeLists[] = R"qorb(cmake_minimum_required(VERSION 3.25)
project(@NAME@ VERSION 1.0.0 LANGUAGES @LANG@)

# The SDK that came with the IDE: configure with CMAKE_PREFIX_PATH set to the
# folder it was installed to (the one holding bin/qorb-ide).
find_package(Qorb 1 CONFIG REQUIRED)

add_compile_options(-Wall -Wextra)
qorb_add_plugin(@NAME@ SOURCES @NAME@.@EXT@ RC @NAME@.rc@LIBS@)

# Runs the IDE with this build folder as its plug-in folder (ctest). A
# cross build (Windows from Linux) runs it through the toolchain's emulator,
# Wine.
enable_testing()
add_test(NAME @NAME@.RunsInTheIDE
  COMMAND ${CMAKE_COMMAND} "-DQORB_IDE=${QORB_IDE_EXECUTABLE}" "-DPLUGINS=$<TARGET_FILE_DIR:@NAME@>"
    "-DEMULATOR=${CMAKE_CROSSCOMPILING_EMULATOR}" -P "${CMAKE_CURRENT_SOURCE_DIR}/RunInIDE.cmake")
)qorb";

constexpr char kRunInIDE[] = R"qorb(# Runs qorb-ide on the plug-in folder. With --strict a file that did not
# load, an exception out of the plug-in, an error line in the log or
# anything the plug-in left behind fails the run; then the output must show
# what the plug-in does. A line that a worker thread of the plug-in logs
# may come after the last click: add --wait-for "its text" so that the IDE
# keeps running until it is there (--timeout bounds the wait, default 10 s).
execute_process(
  COMMAND ${EMULATOR} "${QORB_IDE}" --plugins "${PLUGINS}" --strict --click "Qorb/@CAPTION@"@IDE_ARGS@
  RESULT_VARIABLE status OUTPUT_VARIABLE out ERROR_VARIABLE err)
message("${out}${err}")
if(NOT status EQUAL 0)
  message(FATAL_ERROR "qorb-ide exited with status ${status}")
endif()
foreach(expected IN ITEMS
    "\n  @CAPTION@\n"
    "\n  @NAME@  1.0.0.0  Your Company"
    "] [@NAME@] [Info] ready"@EXPECTED@)
  string(FIND "${out}" "${expected}" at)
  if(at EQUAL -1)
    message(FATAL_ERROR "qorb-ide did not show: ${expected}")
  endif()
endforeach()
)qorb";

constexpr char kResourceScript[] = R"qorb(// Shown by the host in its plug-in list, on the welcome page and in the About
// box: the fixed version, ProductName, CompanyName; the icon is a PNG.
1 VERSIONINFO
FILEVERSION 1,0,0,0
PRODUCTVERSION 1,0,0,0
FILEOS 0x4
FILETYPE 0x2
BEGIN
  BLOCK "StringFileInfo"
  BEGIN
    BLOCK "040904B0"
    BEGIN
      VALUE "ProductName", "@NAME@"
      VALUE "FileVersion", "1.0.0.0"
      VALUE "CompanyName", "Your Company"
      VALUE "LegalCopyright", "Copyright (c) Your Company"
      VALUE "FileDescription", "@NAME@, a Qorb plug-in"
    END
  END
  BLOCK "VarFileInfo"
  BEGIN
    VALUE "Translation", 0x409, 1200
  END
END

QORBPLUGINICON RCDATA "@NAME@.png"
@RESOURCES@)qorb";

constexpr char kOptionsResources[] = R"qorb(
// The options page's layout, read when the IDE makes the frame.
@FRAMERES@ RCDATA "@NAME@.layout"
)qorb";

constexpr char kCppSource[] = R"qorb(// @NAME@: adds an item to the suite's menu and writes to the suite's log
// when it is clicked. Everything taken from the host is held by the plug-in
// object, which Shutdown destroys: the menu item is freed, the log and the
// host's interface let go, before the library is unloaded.
#include <memory>

#include "rtl/Format.h"
#include "sdk/Qorb.Plugin.Contracts.h"
#include "sdk/Qorb.Plugin.Menu.h"

namespace {

class @CLASS@ : public TObject {
 public:
  explicit @CLASS@(const TGetInterface& GetInterface)
      : FMainFunctions(GetInterface.Get<IQorbMainFunctions>()),
        FLog(FMainFunctions, u"@NAME@"),
        FItem(FMainFunctions.get(), u"@CAPTION@", BindMethod<&@CLASS@::ItemClick>(this)) {
    FLog.Info(u"ready");
  }

  // Main thread, from the menu.
  void ItemClick(TObject*) { FLog.Info(Format(u"clicked %d time(s)", {++FClicks})); }

 private:
  ComPtr<IQorbMainFunctions> FMainFunctions;
  TQorbLog FLog;
  int FClicks = 0;
  // Last, so that the item and its handler go first.
  TQorbMenuItem FItem;
};

std::unique_ptr<@CLASS@> plugin;

}  // namespace

// A copy of *GetInterface stays valid until Shutdown returns; the pointer
// does not.
extern "C" QORB_PLUGIN_EXPORT void InitPlugin(const TGetInterface* GetInterface) {
  plugin = std::make_unique<@CLASS@>(*GetInterface);
}

extern "C" QORB_PLUGIN_EXPORT void Shutdown() { plugin.reset(); }
)qorb";

constexpr char kCppOptionsSource[] = R"qorb(// @NAME@: adds an item to the suite's menu that writes a greeting to the
// suite's log, and a page under "Qorb" in the IDE's options dialog that
// chooses the greeting. Everything taken from the host is held by the
// plug-in object, which Shutdown destroys before the library is unloaded.
#include <memory>

#include "otahelper/Qorb.OTAHelper.Loc.h"
#include "otahelper/Qorb.OTAHelper.Options.h"
#include "otahelper/Qorb.OTAHelper.UILanguage.h"
#include "rtl/Format.h"
#include "sdk/Qorb.Plugin.Contracts.h"
#include "sdk/Qorb.Plugin.Menu.h"
#include "toolsapi/ObjectInterfaces.h"
#include "vcl/Forms.h"
#include "vcl/LayoutReader.h"
#include "vcl/ListBox.h"
#include "winapi/Modules.h"

namespace {

// The setting: an index into the page's list of greetings. It lives as long
// as the plug-in is loaded.
int storedGreeting = 0;

// Made by the IDE each time the page opens, from the layout in the
// plug-in's resources.
class @FRAME@ : public TFrame, public TObjectInterfaces<IQorbOptionsFrame> {
 public:
  explicit @FRAME@(TComponent* AOwner) : TFrame(AOwner) {
    if (!ReadComponentResource(HInstance(), u"@FRAMERES@", *this))
      throw EComponentError(u"The options page's layout is missing");
    lbGreeting = dynamic_cast<TListBox*>(FindComponent(u"lbGreeting"));
    if (!lbGreeting) throw EComponentError(u"The options page's layout has no list");
  }

  void LoadSettings() override { lbGreeting->SetItemIndex(storedGreeting); }
  void SaveSettings() override { storedGreeting = lbGreeting->ItemIndex(); }
  bool ValidateContents(UnicodeString& Msg) override {
    if (lbGreeting->ItemIndex() >= 0) return true;
    Msg = Loc(u"@NAME@.ChooseGreeting", u"Choose a greeting.");
    return false;
  }

  TListBox* lbGreeting = nullptr;
};

class @CLASS@OptionsPage : public TQorbOptionsPageBase {
 public:
  TCustomFrameClass GetFrameClass() override { return &FrameClassOf<@FRAME@>; }
  UnicodeString PageCaption() override { return u"@NAME@"; }
};

class @CLASS@ : public TObject {
 public:
  explicit @CLASS@(const TGetInterface& GetInterface)
      : FMainFunctions(GetInterface.Get<IQorbMainFunctions>()),
        FLog(FMainFunctions, u"@NAME@"),
        FItem(FMainFunctions.get(), u"@CAPTION@", BindMethod<&@CLASS@::ItemClick>(this)) {
    InitLocLanguage();
    // Without an options dialog in the IDE there is simply no page.
    RegisterOptionsPage(Make<@CLASS@OptionsPage>());
    FLog.Info(u"ready");
  }
  ~@CLASS@() override { UnregisterOptionsPages(); }

  // Main thread, from the menu.
  void ItemClick(TObject*) {
    static constexpr const char16_t* kGreetings[] = {u"Hello", u"Good day"};
    FLog.Info(Format(u"%s from @NAME@", {kGreetings[storedGreeting == 1 ? 1 : 0]}));
  }

 private:
  ComPtr<IQorbMainFunctions> FMainFunctions;
  TQorbLog FLog;
  // Last, so that the item and its handler go first.
  TQorbMenuItem FItem;
};

std::unique_ptr<@CLASS@> plugin;

}  // namespace

// A copy of *GetInterface stays valid until Shutdown returns; the pointer
// does not.
extern "C" QORB_PLUGIN_EXPORT void InitPlugin(const TGetInterface* GetInterface) {
  plugin = std::make_unique<@CLASS@>(*GetInterface);
}

extern "C" QORB_PLUGIN_EXPORT void Shutdown() { plugin.reset(); }
)qorb";

constexpr char kLayout[] = R"qorb(object @NAME@OptionsFrame: @FRAME@
  Left = 0
  Top = 0
  Width = 420
  Height = 240
  Font.Name = 'Segoe UI'
  Font.Height = -12
  ParentFont = False
  object lblGreeting: TLabel
    AlignWithMargins = True
    Left = 8
    Top = 8
    Width = 404
    Height = 16
    Margins.Left = 8
    Margins.Top = 8
    Margins.Right = 8
    Align = alTop
    Caption = 'The greeting the menu item writes to the log:'
    Transparent = True
  end
  object lbGreeting: TListBox
    AlignWithMargins = True
    Left = 8
    Top = 30
    Width = 200
    Height = 40
    Margins.Left = 8
    Margins.Right = 212
    Align = alTop
    ItemHeight = 18
    Items.Strings = (
      'Hello'
      'Good day')
  end
end
)qorb";

constexpr char kCSource[] = R"qorb(/* @NAME@: adds an item to the suite's menu that writes to the suite's log
 * when clicked, in plain C with nothing but qorb_plugin.h (no C runtime
 * needed). Everything taken from the host is given back in Shutdown. */
#include "qorb_plugin.h"

QORB_STRING_CONST(kSource, u"@NAME@");
QORB_STRING_CONST(kCaption, u"@CAPTION@");
QORB_STRING_CONST(kReady, u"ready");
QORB_STRING_CONST(kClicked, u"clicked");

static QorbMainFunctions* mainFunctions;
static QorbMenuItems* menuItems;
static void* item;

/* Main thread; self is the word given with the handler. */
static void OnClick(void* self, void* sender) {
  (void)self;
  (void)sender;
  mainFunctions->Vtbl->LogInfo(mainFunctions, kSource, kClicked);
}

/* Keep a copy of *GetInterface to look interfaces up later, not the
 * pointer. */
QORB_EXPORT void InitPlugin(const QorbGetInterface* GetInterface) {
  mainFunctions = (QorbMainFunctions*)qorb_get_interface(GetInterface, &IID_IQorbMainFunctions);
  if (!mainFunctions) return;
  menuItems = qorb_menu_items(GetInterface);
  item = mainFunctions->Vtbl->AddMenuItem(mainFunctions, kCaption);
  qorb_menu_item_set_click(menuItems, item, OnClick, NULL);
  mainFunctions->Vtbl->LogInfo(mainFunctions, kSource, kReady);
}

/* The item goes with its handler, before the library does. */
QORB_EXPORT void Shutdown(void) {
  qorb_menu_item_free(menuItems, item);
  item = NULL;
  qorb_release(menuItems);
  menuItems = NULL;
  qorb_release(mainFunctions);
  mainFunctions = NULL;
}
)qorb";

constexpr char kGitIgnore[] = "build/\n";

void ReplaceAll(std::string& text, const std::string& from, const std::string& to) {
  for (size_t at = text.find(from); at != std::string::npos; at = text.find(from, at + to.size()))
    text.replace(at, from.size(), to);
}

std::string Upper(std::string s) {
  for (char& c : s) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return s;
}

}  // namespace

std::string PluginTemplateCaption(const std::string& Name) { return "Hello from " + Name; }

std::vector<TTemplateFile> PluginTemplateFiles(const TPluginTemplateChoice& Choice) {
  const std::string& name = Choice.Name;
  const bool options = Choice.OptionsPage && !Choice.C;
  const std::string frame = "T" + name + "OptionsFrame";
  std::string ideArgs, expected;
  if (Choice.C) {
    expected = "\n    \"] [" + name + "] [Info] clicked\"";
  } else if (options) {
    ideArgs = " --options \"Qorb/" + name + "\"";
    expected =
        "\n    \"] [" + name + "] [Info] Hello from " + name + "\"" +
        "\n    \"Options page Qorb/" + name + ":\\n  frame: " + frame +
        "\\n  confirmed: entries accepted\\n  closed: accepted\"";
  } else {
    expected = "\n    \"] [" + name + "] [Info] clicked 1 time(s)\"";
  }
  const std::pair<std::string, std::string> substitutions[] = {
      {"@IDE_ARGS@", ideArgs},
      {"@EXPECTED@", expected},
      {"@RESOURCES@", options ? kOptionsResources : ""},
      {"@LANG@", Choice.C ? "C" : "CXX"},
      {"@EXT@", Choice.C ? "c" : "cpp"},
      {"@LIBS@", Choice.C ? "" : options ? " LIBS Qorb::otahelper" : " LIBS Qorb::vcl"},
      {"@CAPTION@", PluginTemplateCaption(name)},
      {"@FRAMERES@", Upper(frame)},
      {"@FRAME@", frame},
      {"@CLASS@", "T" + name},
      {"@NAME@", name},
  };
  std::vector<TTemplateFile> files = {
      {"CMakeLists.txt", kCMakeLists},
      {name + (Choice.C ? ".c" : ".cpp"), Choice.C ? kCSource : options ? kCppOptionsSource : kCppSource},
      {name + ".rc", kResourceScript},
      {"RunInIDE.cmake", kRunInIDE},
      {".gitignore", kGitIgnore},
  };
  if (options) files.push_back({name + ".layout", kLayout});
  for (TTemplateFile& file : files)
    for (const auto& [from, to] : substitutions) ReplaceAll(file.Content, from, to);
  files.push_back({name + ".png", std::string(PluginIconPng())});
  return files;
}
