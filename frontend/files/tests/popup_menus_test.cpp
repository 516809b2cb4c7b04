#include <gtest/gtest.h>

#include <QListWidget>

#include <filesystem>
#include <fstream>

#include "frontend/core/front_end.h"
#include "frontend/core/tests/frontend_test_support.h"
#include "frontend/files/menu_commands.h"
#include "frontend/files/popup_menus.h"
#include "platform/face/dialogs.h"
#include "platform/system/dos_attributes.h"
#include "testsupport/scratch_directory.h"

using namespace frontend;

namespace {

TEST(MenuCommands, EveryNameIsQuotedAndWrittenFromItsOwnDirectory) {
  struct Case {
    std::string command, expected;
  } cases[] = {
      {CopyFileCommand("/v/my clip.flc", "/v/copy.flc"), "Copy \"my clip.flc\" \"copy.flc\""},
      {CopyFileCommand("/v/a.flc", "/w/x y/a.flc"), "Copy \"a.flc\" \"/w/x y/a.flc\""},
      {RenameFileCommand("/v/a.flc", "/v/b.flc"), "Ren \"a.flc\" \"b.flc\""},
      {DeleteFileCommand("/v/old clip.vnt"), "Del \"old clip.vnt\""},
      {AttribCommand("/v/x.txt", platform::kDosReadOnly | platform::kDosArchive), "Attrib \"x.txt\" +R -H -S +A"},
      {AttribCommand("/v/my x.txt", 0), "Attrib \"my x.txt\" -R -H -S -A"},
      {FilePropertiesCommand("/v/a.vnt"), "VntInfoW \"a.vnt\""},
      {MakeDirectoryCommand("/v/new dir"), "MD \"new dir\""},
      {RenameDirectoryCommand("/v/old/", "/v/new one"), "Ren \"old\" \"new one\""},
      {RemoveDirectoryCommand("/v/old dir"), "RD \"old dir\""},
  };
  for (const Case& c : cases) EXPECT_EQ(c.command, c.expected);
  EXPECT_EQ(CommandDirectory("/v/old/"), "/v/");
}

class Menus : public ::testing::Test {
 protected:
  Menus() : frontEnd_(starter_) {
    frontEnd_.settings.main.directory = "/opt/vant";
    frontEnd_.settings.command.directory = scratch_.path();
  }
  void SetUp() override {
    ASSERT_TRUE(frontend_testing::EnsureApplication());
    for (const char* name : {"my clip.flc", "b.flc", "notes.txt", "sub/x.flc"}) {
      std::filesystem::create_directories(std::filesystem::path(scratch_.File(name)).parent_path());
      std::ofstream(scratch_.File(name)) << "data";
    }
    controls_ = std::make_unique<FileControls>();
    controls_->SetFilter("Flics (*.flc;*.fli)|*.flc;*.fli|All files (*.*)|*.*");
    controls_->SetMultiSelect(true);
    ASSERT_TRUE(controls_->SetDirectory(scratch_.path()));
    menus_ = std::make_unique<PopupMenus>(frontEnd_, nullptr);
    menus_->Attach(*controls_);
  }

  testsupport::ScratchDirectory scratch_;
  frontend_testing::FakeStarter starter_;
  FrontEnd frontEnd_;
  std::unique_ptr<FileControls> controls_;
  std::unique_ptr<PopupMenus> menus_;
};

TEST_F(Menus, CopyAsksForTheTargetAndRunsTheQuotedCommandInTheListsDirectory) {
  platform::ScriptedDialogs dialogs;
  std::vector<OutputNameRequest> asked;
  frontEnd_.dialogs.askOutputName = [&](const OutputNameRequest& request) {
    asked.push_back(request);
    return scratch_.File("copy of clip.flc");
  };
  menus_->CopyFile();  // nothing highlighted
  controls_->fileList()->item(0)->setSelected(true);
  controls_->fileList()->item(1)->setSelected(true);
  menus_->CopyFile();  // two highlighted
  ASSERT_EQ(dialogs.asked().size(), 2u);
  EXPECT_EQ(dialogs.asked()[0].text, "Error, you must highlight a file.");
  EXPECT_EQ(dialogs.asked()[1].text, "Error, only one file can be copied, renamed, or moved at a time.");

  controls_->SelectFile("my clip.flc");
  menus_->CopyFile();
  ASSERT_EQ(asked.size(), 1u);
  EXPECT_EQ(asked[0].caption, "Copy a File");
  EXPECT_EQ(asked[0].prompt, " Copy my clip.flc to: ");
  EXPECT_EQ(asked[0].policy, OverwritePolicy::Ask);
  EXPECT_EQ(asked[0].proposal, scratch_.File("my clip.flc"));
  EXPECT_EQ(asked[0].filter, controls_->FilterText());
  ASSERT_EQ(starter_.starts.size(), 1u);
  EXPECT_EQ(starter_.starts[0].text, "Copy \"my clip.flc\" \"copy of clip.flc\"");
  EXPECT_EQ(starter_.starts[0].directory, scratch_.path());

  menus_->RenameFile();
  EXPECT_EQ(asked.back().policy, OverwritePolicy::Accept);
  EXPECT_EQ(starter_.starts.back().text, "Ren \"my clip.flc\" \"copy of clip.flc\"");
}

TEST_F(Menus, AttributesNeedTheirWindowAndSendOnlyAChange) {
  controls_->SelectFile("b.flc");
  menus_->fileMenu().aboutToShow();
  const auto entry = [this](const char* caption) {
    for (QAction* action : menus_->fileMenu().actions()) {
      if (action->text() == caption) return action;
    }
    return static_cast<QAction*>(nullptr);
  };
  ASSERT_NE(entry("&Attributes"), nullptr);
  EXPECT_FALSE(entry("&Attributes")->isEnabled());
  unsigned offered = 99;
  frontEnd_.dialogs.editAttributes = [&offered](const std::string&, unsigned attributes) {
    offered = attributes;
    return std::optional<unsigned>(attributes | platform::kDosReadOnly);
  };
  menus_->fileMenu().aboutToShow();
  EXPECT_TRUE(entry("&Attributes")->isEnabled());
  menus_->ChangeAttributes();
  EXPECT_EQ(offered, 0u);
  ASSERT_EQ(starter_.starts.size(), 1u);
  EXPECT_EQ(starter_.starts[0].text, "Attrib \"b.flc\" +R -H -S -A");
}

TEST_F(Menus, SwitchingToAFileByNameMovesTheListAndRemembersIt) {
  frontEnd_.dialogs.askText = [](const TextRequest& request) {
    EXPECT_EQ(request.caption, "Enter a File Name:");
    return std::optional<std::string>("sub/x");
  };
  menus_->SwitchToFile();
  EXPECT_EQ(controls_->Directory(), scratch_.File("sub"));
  EXPECT_EQ(controls_->SelectedPath(), scratch_.File("sub/x.flc"));
  EXPECT_EQ(frontEnd_.settings.recentFiles, std::vector<std::string>{scratch_.File("sub/x.flc")});

  // A file the mask does not show becomes the mask.
  frontEnd_.dialogs.pickFromList = [this](const PickRequest& request) {
    EXPECT_EQ(request.caption, "List of Recent Files:");
    return std::optional<std::string>(scratch_.File("notes.txt"));
  };
  menus_->RecentFiles();
  EXPECT_EQ(controls_->Directory(), scratch_.path());
  EXPECT_EQ(controls_->SelectedPath(), scratch_.File("notes.txt"));
}

TEST_F(Menus, DirectoryEntriesWorkOnTheHighlightedDirectory) {
  platform::ScriptedDialogs dialogs;
  menus_->DirectoryProperties();
  ASSERT_EQ(dialogs.asked().size(), 1u);
  EXPECT_EQ(dialogs.asked()[0].text,
            scratch_.path() + ":\n  Total files: 3\n  Total bytes: 12\n  Total subdirectories: 1");

  frontEnd_.dialogs.askText = [](const TextRequest&) { return std::optional<std::string>("new dir"); };
  menus_->MakeDirectory();
  ASSERT_EQ(starter_.starts.size(), 1u);
  EXPECT_EQ(starter_.starts[0].text, "MD \"new dir\"");
  EXPECT_EQ(starter_.starts[0].directory, scratch_.path());

  controls_->directoryList()->setCurrentRow(0);  // the root
  menus_->RenameDirectory();
  menus_->RemoveDirectory();
  EXPECT_EQ(dialogs.asked().at(1).text, "Error, the root directory can't be renamed.");
  EXPECT_EQ(dialogs.asked().at(2).text, "Error, the root directory can't be removed.");
}

}  // namespace
