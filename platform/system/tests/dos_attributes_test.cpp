#include "platform/system/dos_attributes.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include "testsupport/scratch_directory.h"
#include "platform/system/tests/test_files.h"

namespace {

using namespace platform;

TEST(DosAttributes, WhatLinuxCanShow) {
  struct Case {
    const char* name;
    mode_t mode;
    unsigned attributes;
  } cases[] = {
      {"clip.vnt", S_IFREG | 0644, 0},
      {"clip.vnt", S_IFREG | 0466, kDosReadOnly},  // only the owner's bit counts
      {"/home/ann/.bashrc", S_IFREG | 0600, kDosHidden},
      {"/home/ann/.config/", S_IFDIR | 0500, kDosHidden | kDosDirectory | kDosReadOnly},
      {"..", S_IFDIR | 0755, kDosDirectory},
  };
  for (const Case& c : cases) EXPECT_EQ(DosAttributesFrom(c.name, c.mode), c.attributes) << c.name;
}

TEST(DosAttributes, OnlyReadOnlyChangesAndAnyOtherChangeIsRefusedWhole) {
  testsupport::ScratchDirectory scratch;
  const std::string file = scratch / "clip.vnt", hidden = scratch / ".hidden";
  testfiles::WriteFile(file, "x");
  testfiles::WriteFile(hidden, "x");
  ASSERT_EQ(chmod(file.c_str(), 0664), 0);
  struct Case {
    unsigned asked;
    AttributeChange outcome;
    mode_t modeAfter;
  } cases[] = {
      {kDosReadOnly, AttributeChange::Done, 0464},
      {kDosReadOnly | kDosDirectory, AttributeChange::Done, 0464},
      {0, AttributeChange::Done, 0664},
      {kDosReadOnly | kDosSystem, AttributeChange::Cannot, 0664},
      {kDosReadOnly | kDosArchive, AttributeChange::Cannot, 0664},
      {kDosHidden, AttributeChange::Cannot, 0664},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(SetDosAttributes(file, c.asked).outcome, c.outcome) << c.asked;
    struct stat info {};
    stat(file.c_str(), &info);
    EXPECT_EQ(info.st_mode & 07777, c.modeAfter) << c.asked;
  }
  EXPECT_EQ(GetDosAttributes(hidden), kDosHidden);
  EXPECT_EQ(SetDosAttributes(hidden, kDosHidden).outcome, AttributeChange::Done);
  EXPECT_EQ(SetDosAttributes(hidden, 0).outcome, AttributeChange::Cannot);
  EXPECT_FALSE(GetDosAttributes(scratch / "none").has_value());
  EXPECT_EQ(SetDosAttributes(scratch / "none", 0).outcome, AttributeChange::Failed);
}

}  // namespace
