// file_watch_test.cpp - saves noticed once each, only once they settle, by
// writing in place or by renaming over, and a file gone for a moment.
#include <gtest/gtest.h>  // the runner

#include "platform/file_watch.h"  // under test
#include "support/temp_folder.h"  // the watched files

namespace {

TEST(FileWatch, AFileLeftAloneIsNeverSaved) {
  Ttemp_folder folder;
  Tfile_watch watch(folder.WRITE("a.toml", "one"));
  for (int look = 0; look < 5; ++look) EXPECT_FALSE(watch.SAVED()) << "look " << look;
}

// The first look after a write only sees it; the second, finding it the
// same, reports it; later looks report nothing more.
TEST(FileWatch, AWriteInPlaceCountsOnceItHasSettled) {
  Ttemp_folder folder;
  Tfile_watch watch(folder.WRITE("a.toml", "one"));
  folder.WRITE("a.toml", "three");
  EXPECT_FALSE(watch.SAVED());
  EXPECT_TRUE(watch.SAVED());
  EXPECT_FALSE(watch.SAVED());
  EXPECT_FALSE(watch.SAVED());
}

TEST(FileWatch, AFileStillBeingWrittenIsNotSavedUntilItStops) {
  Ttemp_folder folder;
  Tfile_watch watch(folder.WRITE("a.toml", "x"));
  std::string text = "x";
  for (int look = 0; look < 4; ++look) {
    text += "x";
    folder.WRITE("a.toml", text);
    EXPECT_FALSE(watch.SAVED()) << "look " << look;
  }
  EXPECT_TRUE(watch.SAVED());
}

TEST(FileWatch, ANewFileRenamedOverTheOldOneIsASave) {
  Ttemp_folder folder;
  Tfile_watch watch(folder.WRITE("a.toml", "one"));
  folder.REPLACE("a.toml", "two");  // the same size: only the inode tells
  EXPECT_FALSE(watch.SAVED());
  EXPECT_TRUE(watch.SAVED());
  EXPECT_FALSE(watch.SAVED());
}

TEST(FileWatch, AFileMissingForAMomentIsNoSaveButItsReturnIs) {
  Ttemp_folder folder;
  Tfile_watch watch(folder.WRITE("a.toml", "one"));
  folder.REMOVE("a.toml");
  EXPECT_FALSE(watch.SAVED());
  EXPECT_FALSE(watch.SAVED());  // settled, but missing
  folder.WRITE("a.toml", "again");
  EXPECT_FALSE(watch.SAVED());
  EXPECT_TRUE(watch.SAVED());
}

TEST(FileWatch, AFileThatAppearsLaterIsASave) {
  Ttemp_folder folder;
  Tfile_watch watch(folder.PATH("later.toml"));
  EXPECT_FALSE(watch.SAVED());
  folder.WRITE("later.toml", "now");
  EXPECT_FALSE(watch.SAVED());
  EXPECT_TRUE(watch.SAVED());
}

}  // namespace
