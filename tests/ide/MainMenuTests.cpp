#include <gtest/gtest.h>

#include "ide/IDE.h"
#include "ide/MainMenu.h"
#include "ide/MenuTree.h"
#include "vcl/Menus.h"

TEST(MainMenu, UsualTopLevelItemsWithHelpLast) {
  TIDE ide;
  TMenuItem* top = ide.MainMenu().Items();
  ASSERT_EQ(top->Count(), 11);
  EXPECT_EQ(top->Items(0)->Name(), u"FileMenu");
  EXPECT_EQ(top->Items(0)->Caption(), u"File");
  EXPECT_EQ(top->Items(10)->Name(), u"HelpMenu");
  EXPECT_EQ(top->Items(10)->Caption(), u"Help");
  EXPECT_EQ(FormatMenuTree(ide.MainMenu()),
            "File\nEdit\nSearch\nView\nRefactor\nProject\nRun\nComponent\nTools\nWindow\nHelp\n");
}

TEST(MainMenu, TreeFindAndPath) {
  TIDE ide;
  TMenuItem* top = ide.MainMenu().Items();
  auto* qorb = new TMenuItem(nullptr);
  qorb->SetCaption(u"&Qorb");
  top->Insert(top->Count() - 1, qorb);
  auto* sub = new TMenuItem(qorb);
  sub->SetName(u"QorbPlugins");
  sub->SetCaption(u"Plug-ins");
  qorb->Add(sub);
  auto* leaf = new TMenuItem(qorb);
  leaf->SetCaption(u"R&&D tools");
  sub->Add(leaf);
  auto* line = new TMenuItem(qorb);
  line->SetCaption(u"-");
  qorb->Add(line);
  auto* about = new TMenuItem(qorb);
  about->SetCaption(u"About Qorb...");
  qorb->Add(about);

  EXPECT_EQ(FormatMenuTree(ide.MainMenu()),
            "File\nEdit\nSearch\nView\nRefactor\nProject\nRun\nComponent\nTools\nWindow\n"
            "&Qorb\n  Plug-ins\n    R&&D tools\n  -\n  About Qorb...\nHelp\n");

  EXPECT_EQ(FindMenuItemByPath(ide.MainMenu(), u"Qorb/About Qorb..."), about);
  EXPECT_EQ(FindMenuItemByPath(ide.MainMenu(), u"qorb/plug-ins/R&D TOOLS"), leaf);
  EXPECT_EQ(FindMenuItemByPath(ide.MainMenu(), u"Qorb"), qorb);
  EXPECT_EQ(FindMenuItemByPath(ide.MainMenu(), u"Qorb/About"), nullptr);
  EXPECT_EQ(FindMenuItemByPath(ide.MainMenu(), u"Qorb/"), nullptr);
  EXPECT_EQ(FindMenuItemByPath(ide.MainMenu(), u""), nullptr);
  EXPECT_EQ(FindMenuItemByPath(ide.MainMenu(), u"Qorb/About Qorb.../deeper"), nullptr);

  EXPECT_EQ(FindMenuItemByName(ide.MainMenu(), u"qorbplugins"), sub);
  EXPECT_EQ(FindMenuItemByName(ide.MainMenu(), u""), nullptr);

  qorb->Free();
  EXPECT_EQ(top->Count(), 11);
}
