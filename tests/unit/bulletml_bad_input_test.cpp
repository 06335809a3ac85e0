// bulletml_bad_input_test - every kind of bad input the library crashes on,
// hangs on or misreads, and others found since, each either refused with a
// clear mistake at its place or played a few hundred frames to a bounded
// end: no crash, no hang, no allocation once built. The reader's first
// cases of each kind are in bulletml_read_test.cpp; these are other
// elements, places and sizes of the same kinds, and what only playing can
// tell. In the allocation-counting program (support/alloc_count.cpp).
#include <gtest/gtest.h>

#include <cstdio>   // remove
#include <fstream>  // the files on disk
#include <string>   // texts
#include <vector>   // cases

#include "support/alloc_count.h"     // ALLOCATIONS
#include "support/pattern_checks.h"  // the checks of every frame and mistake

namespace {

// A file whose third line is `line`.
std::string third_line(const std::string& line) {
  return "<bulletml>\n<action label=\"top\">\n" + line + "\n</action>\n</bulletml>\n";
}

std::string repeated(const std::string& piece, int times) {
  std::string out;
  for (int i = 0; i < times; ++i) out += piece;
  return out;
}

// `levels` actions, each firing and calling the next twice with nine
// parameters, so the references in progress reach `levels`.
std::string deep_references(int levels) {
  std::string params, s = "<bulletml>\n<action label=\"top\"><actionRef label=\"a0\">" +
                          repeated("<param>$rand</param>", 9) + "</actionRef><wait>5</wait></action>\n";
  for (int p = 1; p <= 9; ++p) params += "<param>$" + std::to_string(p) + "*0.9+0.1</param>";
  for (int i = 0; i < levels; ++i)
    s += "<action label=\"a" + std::to_string(i) + "\"><repeat><times>2</times><action><fire><direction>$1*360" +
         "</direction><speed>$9+1</speed><bullet/></fire><actionRef label=\"a" + std::to_string(i + 1) + "\">" + params +
         "</actionRef></action></repeat></action>\n";
  return s + "<action label=\"a" + std::to_string(levels) + "\"><wait>1</wait></action>\n</bulletml>";
}

// 9 levels of entities, each ten of the one below: a billion "lol"s if the
// DOCTYPE were loaded.
std::string laughs(const std::string& use) {
  std::string s = "<?xml version=\"1.0\"?>\n<!DOCTYPE bulletml [\n<!ENTITY lol \"lol\">\n";
  for (int i = 1; i <= 9; ++i)
    s += "<!ENTITY lol" + std::to_string(i) + " \"" + repeated(i == 1 ? "&lol;" : "&lol" + std::to_string(i - 1) + ";", 10) +
         "\">\n";
  return s + "]>\n" + use;
}

// About 1e280: finite, and times a term of 2^31 still finite; k_huge times
// such a term is not.
const std::string k_big = repeated("99999999999999999999*", 14) + "1";
const std::string k_huge = k_big + "*99999999999999999999";

struct Tmistake_case {
  const char* kind;
  std::string text;
  const char* mistake;  // the first one's beginning, after "bad.xml:"
};

TEST(BulletmlBadInput, EachIsAMistakeAtItsPlace) {
  const std::vector<Tmistake_case> cases = {
      {"empty value", third_line("<repeat><times> </times><action/></repeat>"), "3:9: empty value: <times>"},
      {"empty value", third_line("<actionRef label=\"top\"><param></param></actionRef>"), "3:24: empty value: <param>"},
      {"syntax error in the first expression",
       "<bulletml>\n<bullet label=\"b\"><speed>1+*2</speed></bullet>\n<action label=\"top\"/>\n</bulletml>",
       "2:28: a value is missing before '*' in <speed>"},
      {"% of a constant by zero", third_line("<wait>1 % 0</wait>"), "3:7: a value that is not a finite number"},
      {"<direction> directly in an action", third_line("<direction>1</direction>"),
       "3:1: <direction> cannot stand directly in <action>"},
      // Short names, so that 100,000 levels fit in a file the reader takes.
      {"100,000-deep nesting", "<bulletml><action label=\"top\">" + repeated("<a>", 100000) + repeated("</a>", 100000) +
                                   "</action></bulletml>",
       "1:217: elements nested deeper than 64"},
      {"50,000-deep actions", "<bulletml><action label=\"top\">" + repeated("<action>", 50000) +
                                  repeated("</action>", 50000) + "</action></bulletml>",
       "1:527: elements nested deeper than 64"},
      {"100,000-deep nesting, unclosed", "<bulletml>" + repeated("<a>", 100000), "1:200: elements nested deeper"},
      {"changeDirection without term, in a bullet",
       third_line("<fire><bullet><action>\n<changeDirection><direction>90</direction></changeDirection></action>"
                  "</bullet></fire>"),
       "4:1: <changeDirection> without <term>"},
      {"repeat without times", third_line("<repeat><action><fire><bullet/></fire></action></repeat>"),
       "3:1: <repeat> without <times>"},
      {"direction 1/0", third_line("<fire><direction>  1 / 0</direction><bullet/></fire>"),
       "3:20: a value that is not a finite number"},
      {"NaN of constants", third_line("<fire><speed>0/0</speed><bullet/></fire>"), "3:14: a value that is not a finite"},
      {"empty file", "\xEF\xBB\xBF \r\n\t", "1:1: the file is empty"},
      {"an action referring to itself with no wait", "<bulletml>\n<action label=\"top\"><actionRef label=\"top\"/>"
                                                     "</action>\n</bulletml>",
       "2:21: this reference leads back to the action at line 2"},
      {"a bullet's own action referring to itself",
       "<bulletml>\n<action label=\"top\"><fire><bulletRef label=\"b\"/></fire></action>\n<bullet label=\"b\"><action "
       "label=\"loop\"><fire><bullet/></fire><actionRef label=\"loop\"/></action></bullet>\n</bulletml>",
       "3:62: this reference leads back to the action at line 3"},
      {"a cycle of three through a repeat",
       "<bulletml>\n<action label=\"top\"><actionRef label=\"a\"/></action>\n<action label=\"a\"><actionRef label=\"b\"/>"
       "</action>\n<action label=\"b\"><repeat><times>2</times><actionRef label=\"a\"/></repeat></action>\n</bulletml>",
       "4:43: this reference leads back to the action at line 3"},
      {"2+", third_line("<fire><direction type=\"absolute\">2+</direction><bullet/></fire>"),
       "3:35: an operator without its right-hand value in <direction>"},
      {"$10", third_line("<actionRef label=\"top\"><param>$10</param></actionRef>"), "3:31: $10 is no parameter"},
      {"1e1", third_line("<fire><speed>1e1</speed><bullet/></fire>"), "3:14: an exponent is not part of the language"},
      {"+2", third_line("<repeat><times>+2</times><action/></repeat>"), "3:16: a leading '+'"},
      {"--2", third_line("<changeSpeed><speed>1</speed><term>--2</term></changeSpeed>"), "3:36: two signs in a row"},
      {"text before children", third_line("<fire>x<bullet/></fire>"), "3:7: text before the children of <fire>"},
      {"text before children", third_line("<repeat>\n  9 <times>2</times><action/></repeat>"),
       "4:3: text before the children of <repeat>"},
      {"missing label", third_line("<fire><bulletRef label=\"nope\"/></fire>"), "3:25: no <bullet> labelled 'nope'"},
      {"missing label", third_line("<fireRef label=\"nope\"/>"), "3:17: no <fire> labelled 'nope'"},
      {"fire without bullet", third_line("<fire><direction>0</direction></fire>"), "3:1: <fire> without a <bullet>"},
      {"repeat without action", third_line("<repeat><times>3</times><fire><bullet/></fire></repeat>"),
       "3:25: <fire> cannot stand in <repeat>"},
      {"change without its value", third_line("<changeDirection><term>3</term></changeDirection>"),
       "3:1: <changeDirection> without <direction>"},
      {"change without its value", third_line("<changeSpeed><term>3</term></changeSpeed>"),
       "3:1: <changeSpeed> without <speed>"},
      {"change without its value", "<bulletml type=\"horizontal\">\n<action label=\"top\">\n<fire><bullet><action><accel>"
                                   "<term>3</term></accel></action></bullet></fire>\n</action>\n</bulletml>",
       "3:23: <accel> without <horizontal> or <vertical>"},
      {"a label too long", third_line("<actionRef label=\"" + std::string(VP_BULLETML_MAX_LABEL + 1, 'a') + "\"/>"),
       "3:19: a label of 257 bytes: a label has at most 256"},
      {"a label too long", "<bulletml>\n<action label=\"top\"/>\n<bullet label=\"" +
                               std::string(VP_BULLETML_MAX_LABEL + 1, 'b') + "\"/>\n</bulletml>",
       "3:16: a label of 257 bytes"},
      {"a value too long", third_line("<wait>  " + repeated("1+", VP_BULLETML_MAX_VALUE / 2) + "1 </wait>"),
       "3:9: a value of 1025 characters in <wait>: a value has at most 1024"},
      {"a tenth parameter", third_line("<actionRef label=\"a\">" + repeated("<param>1</param>", 10) + "</actionRef>"),
       "3:166: a <param> past the 9th in <actionRef>: a reference passes at most 9, read as $1 to $9"},
      {"top-level label twice", "<bulletml>\n<action label=\"top\"/>\n<bullet label=\"b\"/>\n<bullet label=\"b\"/>\n"
                                "</bulletml>",
       "4:1: a second <bullet> labelled 'b' (the first is at line 3)"},
      {"top-level label twice", "<bulletml>\n<action label=\"top\"/>\n<fire label=\"f\"><bullet/></fire>\n"
                                "<fire label=\"f\"><bullet/></fire>\n</bulletml>",
       "4:1: a second <fire> labelled 'f'"},
      {"no top action", "<bulletml>\n<action label=\"ptop\"/>\n<bullet label=\"top\"/>\n</bulletml>", "1:1: no top action"},
      {"no top action", "<bulletml>\n<action label=\"main\"><action label=\"top\"/></action>\n</bulletml>",
       "1:1: no top action"},
      {"references deeper than the runner's stack", deep_references(30), "24:1: commands nested deeper than 64"},
      {"binary garbage", std::string("\x01\x02\x00<bulletml>", 13), "1:3: a NUL byte"},
      {"binary garbage", "<bulletml>\x01\x02\xff</bulletml>", "1:11: <bulletml> takes elements only, not text"},
      {"another root element", "<html><body/></html>", "1:1: the root element is <html>, not <bulletml>"},
      {"unknown entity", third_line("<wait>&nbsp;</wait>"), "3:7: unknown entity &nbsp;"},
      {"DOCTYPE with an external entity",
       "<?xml version=\"1.0\"?>\n<!DOCTYPE bulletml [\n<!ENTITY ext SYSTEM \"file:///etc/passwd\">\n]>\n"
       "<bulletml><action label=\"top\"><wait>&ext;</wait></action></bulletml>",
       "5:37: unknown entity &ext;"},
      {"billion laughs in a value", laughs("<bulletml><action label=\"top\"><wait>&lol9;</wait></action></bulletml>"),
       "14:37: unknown entity &lol9;"},
      {"billion laughs in a label", laughs("<bulletml><action label=\"&lol9;\"/></bulletml>"), "14:26: unknown entity"},
      {"billion laughs as text", laughs("<bulletml><action label=\"top\">&lol9;</action></bulletml>"),
       "14:31: <action> takes elements only, not text"},
  };
  for (const Tmistake_case& c : cases) {
    std::vector<Tbulletml_mistake> mistakes;
    Tpattern pattern;
    EXPECT_FALSE(BULLETML_READ("bad.xml", c.text, pattern, mistakes)) << c.kind;
    EXPECT_EQ(PATTERN_CHECK_MISTAKES("bad.xml", PATTERN_LINE_LENGTHS(c.text), mistakes), "") << c.kind;
    const std::string first = mistakes.empty() ? "" : BULLETML_MISTAKE_TEXT(mistakes[0]);
    const std::string want = std::string("bad.xml:") + c.mistake;
    EXPECT_EQ(first.compare(0, want.size(), want), 0) << c.kind << "\nwant: " << want << "\nfound: " << first;
  }
}

struct Tplay_case {
  const char* kind;
  std::string text;
  int fault;       // the first fault expected (Tpattern_fault_kind), or -1 for none
  int fault_line;  // where it is reported; 0 for anywhere
  int second_fault = -1;  // a fault of another kind expected after it, or -1
};

constexpr int k_none = -1;

// Played 300 frames, every frame checked, nothing allocated once built.
TEST(BulletmlBadInput, WhatOnlyPlayingCanTellEndsBounded) {
  std::string many_tops = "<bulletml>\n";
  // More than the pool holds, in a file under the size cap.
  for (int i = 0; i < 18000; ++i) many_tops += "<action label=\"top" + std::to_string(i) + "\"><fire><bullet/></fire></action>";
  many_tops += "\n</bulletml>";
  const std::vector<Tplay_case> cases = {
      {"huge times", third_line("<repeat><times>99999999999999999999</times><action><wait>0</wait></action></repeat>"),
       VP_PATTERN_FAULT_COMMANDS, 3},
      {"huge negative times: once", third_line("<repeat><times>-99999999999999999999</times><action><fire><bullet/>"
                                               "</fire></action></repeat><wait>3</wait>"),
       k_none, 0},
      {"huge wait", third_line("<fire><bullet/></fire><wait>99999999999999999999</wait>"), k_none, 0},
      {"huge negative wait", third_line("<fire><bullet/></fire><wait>-99999999999999999999</wait>"), k_none, 0},
      {"$rand in times", third_line("<repeat><times>$rand*1000000000</times><action><fire><bullet/></fire></action>"
                                    "</repeat>"),
       VP_PATTERN_FAULT_COMMANDS, 3},
      {"a repeat of 1e9 fires", third_line("<repeat><times>1000000000</times><action><fire><bullet/></fire></action>"
                                           "</repeat>"),
       VP_PATTERN_FAULT_COMMANDS, 3},
      {"empty repeats 1e5 cubed", third_line(repeated("<repeat><times>100000</times><action>", 3) +
                                             repeated("</action></repeat>", 3)),
       VP_PATTERN_FAULT_COMMANDS, 3},
      // The first 16 spend the frame's commands, each stopped at its own cap.
      {"a runaway in each of 100 bullets",
       "<bulletml>\n<action label=\"top\"><repeat><times>100</times><action><fire><bulletRef label=\"b\"/></fire>"
       "</action></repeat><wait>1000</wait></action>\n<bullet label=\"b\"><speed>0</speed><action>\n<repeat><times>"
       "1000000000</times><action><wait>0</wait></action></repeat></action></bullet>\n</bulletml>",
       VP_PATTERN_FAULT_COMMANDS, 4, VP_PATTERN_FAULT_FRAME_COMMANDS},
      {"a runaway in each of 15 bullets: within the frame's commands",
       "<bulletml>\n<action label=\"top\"><repeat><times>15</times><action><fire><bulletRef label=\"b\"/></fire>"
       "</action></repeat><wait>1000</wait></action>\n<bullet label=\"b\"><speed>0</speed><action>\n<repeat><times>"
       "1000000000</times><action><wait>0</wait></action></repeat></action></bullet>\n</bulletml>",
       VP_PATTERN_FAULT_COMMANDS, 4},
      {"NaN via 0/0", third_line("<fire><direction>0*$rank/0</direction><bullet/></fire><wait>1</wait>"),
       VP_PATTERN_FAULT_NOT_FINITE, 3},
      {"NaN times", third_line("<repeat><times>(0*$rank)/0</times><action/></repeat>"), VP_PATTERN_FAULT_NOT_FINITE, 3},
      {"infinite wait", third_line("<wait>1/($rank-0.5)</wait>"), VP_PATTERN_FAULT_NOT_FINITE, 3},
      {"% by zero", third_line("<fire><speed>3 % ($rank-0.5)</speed><bullet/></fire>"), VP_PATTERN_FAULT_NOT_FINITE, 3},
      {"%", third_line("<fire><speed>-7 % 3 + 2.5</speed><bullet/></fire><wait>1</wait>"), k_none, 0},
      {"huge terms and sequence changes",
       third_line("<changeDirection><direction type=\"sequence\">" + k_big + "</direction><term>99999999999999999999"
                  "</term></changeDirection><changeSpeed><speed type=\"sequence\">" + k_big + "</speed><term>1000000"
                  "</term></changeSpeed><fire><bullet/></fire><wait>100</wait>"),
       k_none, 0},
      {"a sequence change of the root to infinity",
       third_line("<changeDirection><direction type=\"sequence\">" + k_huge + "</direction><term>99999999999999999999"
                  "</term></changeDirection><fire><bullet/></fire><wait>100</wait>"),
       VP_PATTERN_FAULT_NOT_FINITE, 3},
      // Both ends finite, the span between them not.
      {"a change of speed across the largest doubles",
       third_line("<changeSpeed><speed>1" + std::string(308, '0') + "</speed><term>1</term></changeSpeed><wait>2"
                  "</wait><changeSpeed><speed>-1" + std::string(308, '0') + "</speed><term>10</term></changeSpeed>"
                  "<wait>100</wait>"),
       VP_PATTERN_FAULT_NOT_FINITE, 3},
      {"a root flung off by its accel", third_line("<accel><horizontal>" + k_big + "</horizontal><term>2</term></accel>"
                                                   "<fire><bullet/></fire><wait>1000</wait>"),
       k_none, 0},
      {"a root flung to infinity", third_line("<changeSpeed><speed>1" + std::string(306, '0') + "</speed><term>1</term>"
                                              "</changeSpeed><wait>1000</wait>"),
       VP_PATTERN_FAULT_NOT_FINITE, 2},
      {"a bullet tree doubling every frame",
       "<bulletml>\n<action label=\"top\"><fire><bulletRef label=\"b\"/></fire><wait>100000</wait></action>\n<bullet "
       "label=\"b\"><speed>0</speed><action><wait>1</wait><fire><bulletRef label=\"b\"/></fire><fire><bulletRef "
       "label=\"b\"/></fire><vanish/></action></bullet>\n</bulletml>",
       k_none, 0},
      {"deep references with nine parameters", deep_references(15), k_none, 0},
      {"18,000 top actions", many_tops, k_none, 0},
  };
  for (const Tplay_case& c : cases) {
    Tpattern pattern;
    std::vector<Tbulletml_mistake> mistakes;
    ASSERT_TRUE(BULLETML_READ("bad.xml", c.text, pattern, mistakes))
        << c.kind << ": " << (mistakes.empty() ? "" : BULLETML_MISTAKE_TEXT(mistakes[0]));
    const std::vector<std::size_t> lines = PATTERN_LINE_LENGTHS(c.text);
    Tpattern_player player;
    player.BUILD(pattern);
    Tpattern_input input;
    input.target_x = 320.0;
    input.target_y = 400.0;
    const long before = ALLOCATIONS();
    Tpattern_violation v;
    for (int f = 0; f < 300 && !v.what; ++f) {
      const Tpattern_counts counts = PATTERN_COUNTS(player);
      player.STEP(input);
      v = PATTERN_CHECK_FRAME(player, counts, lines);
    }
    EXPECT_EQ(ALLOCATIONS() - before, 0) << c.kind;
    EXPECT_FALSE(v.what) << c.kind << ": frame " << player.FRAME() << ": " << DESCRIBE_VIOLATION(v);
    EXPECT_EQ(player.FRAME(), 300) << c.kind;
    ASSERT_EQ(player.FAULT_COUNT(), (c.fault == k_none ? 0 : 1) + (c.second_fault == k_none ? 0 : 1)) << c.kind;
    if (c.fault == k_none) continue;
    EXPECT_EQ(player.FAULT(0).kind, c.fault) << c.kind;
    if (c.fault_line) {
      EXPECT_EQ(player.FAULT(0).line, c.fault_line) << c.kind;
    }
    if (c.second_fault != k_none) {
      EXPECT_EQ(player.FAULT(1).kind, c.second_fault) << c.kind;
    }
  }
}

// Only a regular file up to the limit is read; what is past it is refused
// whole, at its first line, before a byte of it is parsed.
TEST(BulletmlBadInput, FilesTooLargeOrNotRegular) {
  const std::string path = testing::TempDir() + "bulletml_bad_input_test.xml";
  const std::string good = third_line("<fire><bullet/></fire>");
  for (const std::size_t size : {std::size_t{VP_BULLETML_MAX_FILE_BYTES}, std::size_t{VP_BULLETML_MAX_FILE_BYTES} + 1}) {
    {
      std::ofstream file(path, std::ios::binary);
      file << good << std::string(size - good.size(), ' ');
    }
    Tpattern pattern;
    std::vector<Tbulletml_mistake> mistakes;
    const bool read = BULLETML_READ_FILE(path, pattern, mistakes);
    EXPECT_EQ(read, size == VP_BULLETML_MAX_FILE_BYTES) << size;
    if (!read) {
      EXPECT_EQ(BULLETML_MISTAKE_TEXT(mistakes.at(0)),
                path + ":1:1: cannot read the pattern file (larger than 1048576 bytes, the most a pattern file may hold)");
    }
  }
  std::remove(path.c_str());
  for (const std::string& other : {std::string("/dev/zero"), testing::TempDir()}) {
    Tpattern pattern;
    std::vector<Tbulletml_mistake> mistakes;
    EXPECT_FALSE(BULLETML_READ_FILE(other, pattern, mistakes));
    EXPECT_EQ(BULLETML_MISTAKE_TEXT(mistakes.at(0)), other + ":1:1: cannot read the pattern file (not a regular file)");
  }
}

// The target below the root, so that every aimed fire's direction is
// finite and the same.
Tpattern_input target_below() {
  Tpattern_input input;
  input.target_x = 320.0;
  input.target_y = 400.0;
  return input;
}

// Bullets in flight may each run VP_PATTERN_MAX_COMMANDS in a frame; all
// together stop at VP_PATTERN_MAX_FRAME_COMMANDS. 100 bullets each run
// 40,001 commands in frame 3: 26 run them all, the 27th is stopped when the
// frame's are spent, and the other 73 at their first command; the one
// fired after them is waiting then, untouched, and fires in frame 7.
TEST(BulletmlBadInput, OneFramesCommandsAreBoundedAcrossObjects) {
  const std::string text =
      "<bulletml>\n<action label=\"top\"><repeat><times>100</times><action><fire><bulletRef label=\"b\"/></fire>"
      "</action></repeat><fire><bulletRef label=\"w\"/></fire><wait>1000</wait></action>\n"
      "<bullet label=\"b\"><speed>0</speed><action><wait>1</wait>\n"
      "<repeat><times>20000</times><action><wait>0</wait></action></repeat></action></bullet>\n"
      "<bullet label=\"w\"><speed>0</speed><action><wait>5</wait><fire><bullet/></fire></action></bullet>\n</bulletml>";
  Tpattern pattern;
  std::vector<Tbulletml_mistake> mistakes;
  ASSERT_TRUE(BULLETML_READ("bad.xml", text, pattern, mistakes));
  const std::vector<std::size_t> lines = PATTERN_LINE_LENGTHS(text);
  Tpattern_player player;
  player.BUILD(pattern);
  long long frame_commands[7] = {};
  const long before = ALLOCATIONS();
  for (long long& count : frame_commands) {
    const Tpattern_counts counts = PATTERN_COUNTS(player);
    player.STEP(Tpattern_input{});
    const Tpattern_violation v = PATTERN_CHECK_FRAME(player, counts, lines);
    EXPECT_FALSE(v.what) << "frame " << player.FRAME() << ": " << DESCRIBE_VIOLATION(v);
    count = player.FRAME_COMMANDS();
    if (player.FRAME() == 2) {
      EXPECT_EQ(player.FAULT_COUNT(), 0);
    }
  }
  EXPECT_EQ(ALLOCATIONS() - before, 0);
  // The root's repeat of 100 fires, the fire of w and the wait; then
  // each bullet's action and wait; then the budget.
  EXPECT_EQ(frame_commands[0], 2 + 2 * 100 + 2);
  EXPECT_EQ(frame_commands[1], 2 * 101);
  EXPECT_EQ(frame_commands[2], VP_PATTERN_MAX_FRAME_COMMANDS);
  EXPECT_EQ(frame_commands[3], 0);
  ASSERT_EQ(player.FAULT_COUNT(), 1);
  const Tpattern_fault& f = player.FAULT(0);
  EXPECT_EQ(f.kind, VP_PATTERN_FAULT_FRAME_COMMANDS);
  EXPECT_EQ(f.line, 4);  // the repeat the 27th bullet was in
  EXPECT_EQ(f.column, 1);
  EXPECT_EQ(f.frame, 3);
  EXPECT_EQ(f.objects, 74);
  EXPECT_EQ(player.IN_FLIGHT(), 102);  // none lost: the stopped fly on
  EXPECT_EQ(player.FIRED(), 102);
  const std::string cap = std::to_string(VP_PATTERN_MAX_FRAME_COMMANDS);
  EXPECT_NE(std::string(PATTERN_FAULT_TEXT(VP_PATTERN_FAULT_FRAME_COMMANDS)).find("more than " + cap + " commands"),
            std::string::npos);
  EXPECT_NE(std::string(PATTERN_FAULT_TEXT(VP_PATTERN_FAULT_COMMANDS))
                .find("more than " + std::to_string(VP_PATTERN_MAX_COMMANDS) + " commands"),
            std::string::npos);
}

// Each evaluation costs its code's operations, a folded one 1: frame 1 of
// this file evaluates $rank*2+$rand (5), 90 and 10 (1 each); frame 2 none.
TEST(BulletmlBadInput, OperationsOfValuesAreCountedEachFrame) {
  Tpattern pattern;
  std::vector<Tbulletml_mistake> mistakes;
  ASSERT_TRUE(BULLETML_READ("ops.xml", third_line("<fire><direction type=\"absolute\">90</direction><speed>$rank*2+$rand"
                                                   "</speed><bullet/></fire><wait>10</wait>"),
                            pattern, mistakes));
  Tpattern_player player;
  player.BUILD(pattern);
  long long operations[13] = {};
  for (long long& count : operations) {
    player.STEP(Tpattern_input{});
    count = player.FRAME_OPERATIONS();
  }
  EXPECT_EQ(operations[0], 7);
  EXPECT_EQ(operations[1], 0);
  EXPECT_EQ(operations[11], 7);  // fired again in frame 12
  EXPECT_EQ(player.FAULT_COUNT(), 0);
}

// The longest values the reader takes, 681 operations each, in 20 bullets'
// runaway repeats of a fireRef of 22 of them: without a budget of their own,
// frame 2 would run 2^20 commands of some 15,000 operations each. Counted:
// bullet 1 evaluates its repeat's times (1) and 3,079 long values (139
// fireRefs and 21 values of the 140th: its bullet's direction, line 5, is
// the one past the budget); bullets 2 to 20 each their times (1), then are
// stopped at their first long value.
TEST(BulletmlBadInput, OneFramesOperationsOfValuesAreBounded) {
  const std::string e = "$1" + repeated("*$1", 340);
  const std::string params = repeated("<param>" + e + "</param>", 9);
  const std::string fire = "<fire label=\"f\"><direction type=\"absolute\">" + e + "</direction><speed>" + e +
                           "</speed><bulletRef label=\"c\">" + params + "</bulletRef></fire>\n<bullet label=\"c\">"
                           "<direction type=\"absolute\">" + e + "</direction><speed>" + e + "</speed></bullet>\n";
  const std::string text =
      "<bulletml>\n<action label=\"top\"><repeat><times>20</times><action><fire><speed>0</speed><bulletRef label=\"b\"/>"
      "</fire></action></repeat><wait>1000000</wait></action>\n<bullet label=\"b\"><action><repeat><times>100000000"
      "</times><action><fireRef label=\"f\">" + params + "</fireRef></action></repeat></action></bullet>\n" + fire +
      "</bulletml>";
  Tpattern pattern;
  std::vector<Tbulletml_mistake> mistakes;
  ASSERT_TRUE(BULLETML_READ("bad.xml", text, pattern, mistakes));
  ASSERT_GT(text.size(), 22u * 1000u);
  const std::vector<std::size_t> lines = PATTERN_LINE_LENGTHS(text);
  Tpattern_player player;
  player.BUILD(pattern);
  long long operations[3] = {}, commands[3] = {};
  const long before = ALLOCATIONS();
  for (int f = 0; f < 3; ++f) {
    const Tpattern_counts counts = PATTERN_COUNTS(player);
    player.STEP(target_below());
    const Tpattern_violation v = PATTERN_CHECK_FRAME(player, counts, lines);
    EXPECT_FALSE(v.what) << "frame " << player.FRAME() << ": " << DESCRIBE_VIOLATION(v);
    operations[f] = player.FRAME_OPERATIONS();
    commands[f] = player.FRAME_COMMANDS();
  }
  EXPECT_EQ(ALLOCATIONS() - before, 0);
  EXPECT_EQ(operations[0], 1 + 20 + 1);  // times, 20 speeds, the wait
  EXPECT_EQ(operations[1], 1 + 3079 * 681 + 19);
  EXPECT_LE(operations[1], VP_PATTERN_MAX_FRAME_OPERATIONS);
  EXPECT_GT(operations[1] + 681, VP_PATTERN_MAX_FRAME_OPERATIONS);
  // Each bullet's action, repeat, and a round's action and fireRef: 140
  // rounds for bullet 1, one for the others.
  EXPECT_EQ(commands[1], 20 * 2 + 140 * 2 + 19 * 2);
  EXPECT_EQ(operations[2], 0);  // every runner stopped
  EXPECT_EQ(commands[2], 0);
  ASSERT_EQ(player.FAULT_COUNT(), 1);
  const Tpattern_fault& f = player.FAULT(0);
  EXPECT_EQ(f.kind, VP_PATTERN_FAULT_FRAME_OPERATIONS);
  EXPECT_EQ(f.line, 5);
  EXPECT_EQ(f.frame, 2);
  EXPECT_EQ(f.objects, 20);
  EXPECT_EQ(player.IN_FLIGHT(), 20 + 139);  // the stopped fly on with what they fired
  EXPECT_NE(std::string(PATTERN_FAULT_TEXT(VP_PATTERN_FAULT_FRAME_OPERATIONS))
                .find("more than " + std::to_string(VP_PATTERN_MAX_FRAME_OPERATIONS) + " operations"),
            std::string::npos);

  // The root alone, which the frame's commands never stop, is stopped by
  // the operations, and stays so.
  const std::string root_text = "<bulletml>\n<action label=\"top\"><repeat><times>100000000</times><action><fireRef "
                                "label=\"f\">" + params + "</fireRef></action></repeat></action>\n" + fire + "</bulletml>";
  ASSERT_TRUE(BULLETML_READ("bad.xml", root_text, pattern, mistakes));
  player.BUILD(pattern);
  player.STEP(target_below());
  EXPECT_EQ(player.FRAME_OPERATIONS(), 1 + 3079 * 681);
  ASSERT_EQ(player.FAULT_COUNT(), 1);
  EXPECT_EQ(player.FAULT(0).kind, VP_PATTERN_FAULT_FRAME_OPERATIONS);
  player.STEP(target_below());
  EXPECT_EQ(player.FRAME_OPERATIONS(), 0);
  EXPECT_EQ(player.FRAME_COMMANDS(), 0);
}

// Hostile texts of two sizes, 1 to 4: what the reader counts of its own
// work stays within a fixed multiple of the text's size (and the near-miss
// budget), instead of growing with the square of a count.
TEST(BulletmlBadInput, ReadingWorkGrowsWithTheTextAlone) {
  struct Thostile {
    const char* kind;
    bool accepted;
    std::string (*text)(int n);
    int n;  // the smaller size
  };
  const Thostile cases[] = {
      {"many labels, many missing references near them", false,
       [](int n) {
         std::string s = "<bulletml>\n<action label=\"top\">";
         for (int i = 0; i < n; ++i) s += "<fire><bulletRef label=\"c" + std::to_string(1000000 + i) + "\"/></fire>";
         s += "</action>\n";
         for (int i = 0; i < n; ++i) s += "<bullet label=\"b" + std::to_string(1000000 + i) + "\"/>";
         return s + "\n</bulletml>";
       },
       3000},
      {"long labels alike, missing ones among them", false,
       [](int n) {
         const std::string prefix(VP_BULLETML_MAX_LABEL - 7, 'x');
         std::string s = "<bulletml>\n<action label=\"top\">";
         for (int i = 0; i < n; ++i) s += "<fire><bulletRef label=\"" + prefix + std::to_string(2000000 + i) + "\"/></fire>";
         s += "</action>\n";
         for (int i = 0; i < n; ++i) s += "<bullet label=\"" + prefix + std::to_string(1000000 + i) + "\"/>";
         return s + "\n</bulletml>";
       },
       400},
      {"many attributes, unknown and repeated", false,
       [](int n) {
         std::string s = "<bulletml>\n<action label=\"top\"";
         for (int i = 0; i < n; ++i) s += " a" + std::to_string(i) + "=\"1\"";
         s += "/>\n<bullet";
         for (int i = 0; i < n; ++i) s += " label=\"b\"";
         return s + "/>\n</bulletml>";
       },
       10000},
      {"many unknown elements near known ones", false,
       [](int n) { return third_line(repeated("<fier/><actoin/>", n)); }, 10000},
      {"many references to many labels, long values", true,
       [](int n) {
         std::string s = "<bulletml>\n<action label=\"top\">";
         for (int i = 0; i < n; ++i) s += "<actionRef label=\"a" + std::to_string(i % 1000) + "\"/>";
         s += "<wait>" + repeated("1+", VP_BULLETML_MAX_VALUE / 2 - 1) + "1</wait></action>\n";
         for (int i = 0; i < 1000; ++i) s += "<action label=\"a" + std::to_string(i) + "\"><wait>$rand</wait></action>";
         return s + "\n</bulletml>";
       },
       5000},
  };
  for (const Thostile& c : cases) {
    for (const int n : {c.n, 4 * c.n}) {
      const std::string text = c.text(n);
      ASSERT_LE(text.size(), std::size_t{VP_BULLETML_MAX_FILE_BYTES}) << c.kind;
      Tpattern pattern;
      std::vector<Tbulletml_mistake> mistakes;
      Tbulletml_read_work work;
      EXPECT_EQ(BULLETML_READ("bad.xml", text, pattern, mistakes, work), c.accepted)
          << c.kind << ": " << (mistakes.empty() ? "" : BULLETML_MISTAKE_TEXT(mistakes[0]));
      if (!c.accepted) {
        EXPECT_EQ(PATTERN_CHECK_MISTAKES("bad.xml", PATTERN_LINE_LENGTHS(text), mistakes), "") << c.kind;
        // Each has more mistakes than are kept, and says so once, last.
        ASSERT_EQ(mistakes.size(), std::size_t{VP_BULLETML_MAX_MISTAKES} + 1) << c.kind;
        EXPECT_EQ(mistakes.back().message, "more mistakes follow: reading stopped here") << c.kind;
      }
      EXPECT_LE(work.steps, 32 * static_cast<long long>(text.size()) + VP_BULLETML_NEAR_MISS_CELLS)
          << c.kind << ", " << n << ": " << work.steps << " steps for " << text.size() << " bytes";
    }
  }
}

// A text given as a string is held to the file's cap, with the same mistake.
TEST(BulletmlBadInput, TextsTooLargeAsFilesAre) {
  const std::string good = third_line("<fire><bullet/></fire>");
  for (const std::size_t size : {std::size_t{VP_BULLETML_MAX_FILE_BYTES}, std::size_t{VP_BULLETML_MAX_FILE_BYTES} + 1}) {
    const std::string text = good + std::string(size - good.size(), ' ');
    Tpattern pattern;
    std::vector<Tbulletml_mistake> mistakes;
    const bool read = BULLETML_READ("big.xml", text, pattern, mistakes);
    EXPECT_EQ(read, size == VP_BULLETML_MAX_FILE_BYTES) << size;
    if (!read) {
      ASSERT_EQ(mistakes.size(), 1u);
      EXPECT_EQ(BULLETML_MISTAKE_TEXT(mistakes[0]),
                "big.xml:1:1: cannot read the pattern file (larger than 1048576 bytes, the most a pattern file may hold)");
    }
  }
}

// A sequence change's value times its term past the largest double would
// give an infinite direction, speed or accel, and the bullet would be
// retired at its next move with no fault said: the change is named, where
// it stands, and the bullet flies on as it was.
TEST(BulletmlBadInput, ASequenceChangeToInfinityIsAFaultOfTheChange) {
  const char* const changes[][2] = {
      {"changeDirection", "direction"}, {"changeSpeed", "speed"}, {"accel", "horizontal"}};
  for (const auto& c : changes) {
    const std::string change = std::string("<") + c[0] + "><" + c[1] + " type=\"sequence\">" + k_huge + "</" + c[1] +
                               "><term>1000000000</term></" + c[0] + ">";
    Tpattern pattern;
    std::vector<Tbulletml_mistake> mistakes;
    ASSERT_TRUE(BULLETML_READ("bad.xml",
                              "<bulletml>\n<action label=\"top\"><fire><bulletRef label=\"b\"/></fire><wait>1000</wait>"
                              "</action>\n<bullet label=\"b\"><action>\n" + change + "</action></bullet>\n</bulletml>",
                              pattern, mistakes));
    Tpattern_player player;
    player.BUILD(pattern);
    player.STEP(Tpattern_input{});
    ASSERT_EQ(player.IN_FLIGHT(), 1) << change;
    const Tpattern_body fired = player.SHOT(0);
    for (int f = 1; f < 5; ++f) player.STEP(Tpattern_input{});
    ASSERT_EQ(player.FAULT_COUNT(), 1) << change;
    EXPECT_EQ(player.FAULT(0).kind, VP_PATTERN_FAULT_NOT_FINITE) << change;
    EXPECT_EQ(player.FAULT(0).line, 4) << change;  // the change's own line, after the bullet's
    EXPECT_EQ(player.FAULT(0).column, 1) << change;
    EXPECT_EQ(player.FAULT(0).frame, 2) << change;
    ASSERT_EQ(player.IN_FLIGHT(), 1) << change;
    EXPECT_EQ(player.SHOT(0).runner, -1) << change;
    EXPECT_EQ(player.SHOT(0).direction, fired.direction) << change;
    EXPECT_EQ(player.SHOT(0).speed, fired.speed) << change;
    EXPECT_EQ(player.SHOT(0).ax, 0.0) << change;
  }
}

// An <accel> with neither <horizontal> nor <vertical> would be read as a
// change of nothing: it is a change without its value.
TEST(BulletmlBadInput, AnAccelWithoutAValueIsAMistake) {
  const std::string text = third_line("<accel><term>3</term></accel>");
  std::vector<Tbulletml_mistake> mistakes;
  Tpattern pattern;
  EXPECT_FALSE(BULLETML_READ("bad.xml", text, pattern, mistakes));
  const std::string want = "bad.xml:3:1: <accel> without ";
  EXPECT_EQ(mistakes.empty() ? "" : BULLETML_MISTAKE_TEXT(mistakes[0]).substr(0, want.size()), want);
}

}  // namespace
