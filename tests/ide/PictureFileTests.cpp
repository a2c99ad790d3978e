// Pictures qorb-ide writes: one that cannot be written is the IDE's error and
// does not keep the others from being written.
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>

#include "ide/AboutBoxService.h"
#include "ide/IDE.h"
#include "ide/MessageView.h"
#include "workbench/MessageViewReport.h"
#include "workbench/PresentationReport.h"

namespace fs = std::filesystem;

TEST(Pictures, OneThatCannotBeWrittenIsReportedAndTheNextAreStillWritten) {
  const fs::path dir = fs::temp_directory_path() / ("qorb-pictures-" + std::to_string(std::chrono::steady_clock::now().time_since_epoch().count()));
  fs::remove_all(dir);
  fs::create_directories(dir / "about-box.png");  // a folder in the way
  {
    TIDEOptions options;
    options.PicturesDirectory = dir;
    TIDE ide(std::move(options));
    const UnicodeString title(u"Add-in"), text(u"Does things"), none, qorb(u"Qorb"), hello(u"hello");
    ide.Services().Service<TAboutBoxService>()->AddPluginInfo(title, text, nullptr, false, none, none, false);
    TMessageView& view = *ide.Services().Service<TMessageView>();
    ComPtr<IOTAMessageGroup> group;
    view.AddMessageGroup(group, qorb);
    view.AddTitleMessage(hello, group.get());

    EXPECT_NO_THROW(SavePresentationPictures(ide, false));
    EXPECT_NO_THROW(SaveMessageViewPicture(ide));
    ASSERT_EQ(ide.Errors().size(), 1u);
    const std::string error = ide.Errors()[0].ToUtf8();
    EXPECT_TRUE(error.starts_with("Cannot write the picture " + (dir / "about-box.png").string() + ": ")) << error;
    EXPECT_TRUE(fs::is_regular_file(dir / "messages.png"));
    group = nullptr;
    EXPECT_TRUE(ide.Shutdown().empty());
  }
  fs::remove_all(dir);
}
