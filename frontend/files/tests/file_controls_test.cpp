#include <gtest/gtest.h>

#include <QComboBox>
#include <QListWidget>

#include <filesystem>
#include <fstream>

#include "frontend/core/file_mask.h"
#include "frontend/core/tests/frontend_test_support.h"
#include "frontend/files/directory_listing.h"
#include "frontend/files/file_controls.h"
#include "testsupport/scratch_directory.h"

using namespace frontend;

namespace {

TEST(FileMasks, MasksIgnoreCaseAndStarDotStarIsEveryFile) {
  struct Case {
    std::string mask, name;
    bool matches;
  } cases[] = {
      {"*.bmp", "Frame01.BMP", true},   {"*.bmp", "frame.bmpx", false},
      {"*.*", "README", true},          {"*.*", ".profile", true},
      {"*.avi;*.wav", "a.WAV", true},   {"*.avi; *.wav", "a.flc", false},
      {"frame??.bmp", "frame07.bmp", true}, {"frame??.bmp", "frame7.bmp", false},
      {"*a*b*c", "xaxbxxc", true},      {"*a*b*c", "xaxbxxcd", false},
      {"", "anything", true},           {"clip.vnt", "CLIP.VNT", true},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(FileMask(c.mask).Matches(c.name), c.matches) << c.mask << " " << c.name;
  }
  EXPECT_EQ(FileMask("*.*;*.lst").FirstExtension(), ".lst");
  EXPECT_EQ(FileMask("*.*").FirstExtension(), "");
  const std::vector<FilterEntry> entries =
      ParseFilter("Sound files (*.wav;*.avi)|*.wav;*.avi|All files (*.*)|*.*|Dangling");
  ASSERT_EQ(entries.size(), 2u);
  EXPECT_EQ(entries[0].description, "Sound files (*.wav;*.avi)");
  EXPECT_EQ(entries[1].mask, "*.*");
}

TEST(FileMasks, DirectoriesAndDrivesAreFoundByWholeComponents) {
  EXPECT_EQ(DirectoryChain("/home/ann/My Videos"),
            (std::vector<std::string>{"/", "/home", "/home/ann", "/home/ann/My Videos"}));
  EXPECT_EQ(DirectoryChain("/"), std::vector<std::string>{"/"});
  const std::vector<std::string> drives = {"/", "/home/ann", "/media/usb"};
  EXPECT_EQ(DriveOf("/home/ann/clips", drives), "/home/ann");
  EXPECT_EQ(DriveOf("/home/anne", drives), "/");
  EXPECT_EQ(DriveOf("/media/usb", drives), "/media/usb");
  EXPECT_EQ(DriveRoots().front(), "/");
}

TEST(FileControlsWidget, ListsFilterSelectAndRefresh) {
  ASSERT_TRUE(frontend_testing::EnsureApplication());
  testsupport::ScratchDirectory scratch;
  for (const char* name : {"b.BMP", "a.bmp", "C.wav", ".hidden.bmp", "sub dir/inner.bmp"}) {
    std::filesystem::create_directories(std::filesystem::path(scratch.File(name)).parent_path());
    std::ofstream(scratch.File(name)) << "x";
  }
  std::filesystem::create_directories(scratch.File(".git"));

  FileControls controls;
  int announced = 0;
  controls.onSelectionChanged = [&announced] { ++announced; };
  controls.SetFilter("Pictures (*.bmp)|*.bmp|All files (*.*)|*.*");
  ASSERT_TRUE(controls.SetDirectory(scratch.path() + "/sub dir/.."));
  EXPECT_EQ(controls.Directory(), scratch.path());
  EXPECT_EQ(controls.FileNames(), (std::vector<std::string>{"a.bmp", "b.BMP"}));
  controls.SetFilterIndex(1);
  EXPECT_EQ(controls.FileNames(), (std::vector<std::string>{"a.bmp", "b.BMP", "C.wav"}));
  EXPECT_EQ(controls.filterBox()->count(), 2);

  // The directory list: the path from the root, then the sub-directories (none hidden).
  const QListWidget* directories = controls.directoryList();
  const size_t depth = DirectoryChain(scratch.path()).size();
  ASSERT_EQ(directories->count(), static_cast<int>(depth) + 1);
  EXPECT_EQ(directories->item(static_cast<int>(depth))->text().trimmed().toStdString(), "sub dir");
  EXPECT_EQ(controls.HighlightedDirectory(), scratch.path());

  controls.SetMultiSelect(true);
  const int before = announced;
  controls.fileList()->item(0)->setSelected(true);
  controls.fileList()->item(2)->setSelected(true);
  EXPECT_GT(announced, before);
  EXPECT_EQ(controls.SelectedFiles(), (std::vector<std::string>{"a.bmp", "C.wav"}));

  // A refresh keeps what is still there and shows what is new, announcing once.
  std::ofstream(scratch.File("a2.bmp")) << "x";
  std::filesystem::remove(scratch.File("C.wav"));
  const int beforeRefresh = announced;
  controls.Refresh();
  EXPECT_EQ(announced, beforeRefresh + 1);
  EXPECT_EQ(controls.FileNames(), (std::vector<std::string>{"a.bmp", "a2.bmp", "b.BMP"}));
  EXPECT_EQ(controls.SelectedFiles(), std::vector<std::string>{"a.bmp"});

  EXPECT_TRUE(controls.SelectFile(scratch.File("b.BMP")));
  EXPECT_EQ(controls.SelectedPath(), scratch.File("b.BMP"));
  EXPECT_FALSE(controls.SelectFile("B.bmp"));  // names keep their case
  EXPECT_FALSE(controls.SetDirectory(scratch.File("missing")));
  EXPECT_EQ(controls.Directory(), scratch.path());

  std::string activated;
  controls.onFileActivated = [&activated](const std::string& path) { activated = path; };
  emit controls.fileList()->itemActivated(controls.fileList()->item(1));
  EXPECT_EQ(activated, scratch.File("a2.bmp"));
}

}  // namespace
