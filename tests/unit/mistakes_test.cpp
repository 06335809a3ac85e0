// mistakes_test.cpp - what every file reader reports with: the near-miss
// finder's reach, ties and exact words, lists of words, report lines.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/mistakes.h"  // under test

namespace {

TEST(Mistakes, ANearMissIsNamedWithinAThirdOfTheWord) {
  const std::vector<const char*> known = {"bullet_speed", "speed_step", "spread", "mode"};
  EXPECT_STREQ(NEAREST_WORD("bullet_speed", known), "bullet_speed");  // known itself
  EXPECT_STREQ(NEAREST_WORD("bulet_sped", known), "bullet_speed");    // 2 edits
  EXPECT_STREQ(NEAREST_WORD("bxllxt_spxxd", known), "bullet_speed");  // 4 edits of 12
  EXPECT_EQ(NEAREST_WORD("bxllxt_sxxxd", known), nullptr);            // 5 of 12
  EXPECT_STREQ(NEAREST_WORD("mxdx", known), "mode");                  // at least 2, however short
  EXPECT_EQ(NEAREST_WORD("colour", known), nullptr);
  EXPECT_STREQ(NEAREST_WORD("spee", {"speed", "spees"}), "speed");    // a tie goes to the first
  EXPECT_EQ(NEAREST_WORD("mode", {}), nullptr);
}

TEST(Mistakes, WordsAreListedAsASentenceAndReportsLineByLine) {
  EXPECT_EQ(LIST_OR({}), "");
  EXPECT_EQ(LIST_OR({"a"}), "a");
  EXPECT_EQ(LIST_OR({"a", "b"}), "a or b");
  EXPECT_EQ(LIST_OR({"a", "b", "c"}), "a, b or c");
  Tfile_report report("dir/f.xml");
  EXPECT_TRUE(report.EMPTY());
  report.ADD(3, 14, "one");
  report.ADD(1, 1, "two");
  EXPECT_EQ(report.TEXT(), "dir/f.xml:3:14: one\ndir/f.xml:1:1: two\n");
}

}  // namespace
