// pattern_player_test - small patterns with their traces worked out by hand
// from the host model (docs/BULLETML.md, How a file plays), and the bounded
// results of what only playing can find.
#include <gtest/gtest.h>

#include <string>  // the files
#include <vector>  // frames

#include "support/pattern_text.h"  // reading and playing inline XML

namespace {

Tpattern read(const std::string& xml) {
  Tpattern pattern;
  std::string mistakes;
  EXPECT_TRUE(PATTERN_TEXT(xml, pattern, mistakes)) << mistakes;
  return pattern;
}

// The target straight below the root: every aimed bullet flies down, one
// pixel a frame at the default speed.
Tpattern_input below() {
  Tpattern_input input;
  input.target_x = 320.0;
  input.target_y = 400.0;
  return input;
}

std::vector<Tpattern_frame> play(const std::string& xml, int frames, const Tpattern_input& input = below()) {
  Tpattern_player player;
  player.BUILD(read(xml));
  return PATTERN_FRAMES(player, input, frames);
}

// A top action ends one frame after its last command; then the root starts
// afresh in the next frame.
TEST(PatternPlayer, TheRootRestartsTheFrameAfterItsActionsEnd) {
  const auto waits = play(TOP_ACTION("<fire><bullet/></fire><wait>10</wait>"), 30);
  EXPECT_EQ(FIRING_FRAMES(waits), (std::vector<int>{1, 12, 23}));
  // Frame 12: the first bullet has moved 11 frames down, the second is at
  // its spawn point, the root's place.
  ASSERT_EQ(waits[11].shots.size(), 2u);
  EXPECT_EQ(waits[11].shots[0].number, 1);
  EXPECT_EQ(waits[11].shots[0].x, 320.0);
  EXPECT_EQ(waits[11].shots[0].y, 131.0);
  EXPECT_EQ(waits[11].shots[1].number, 2);
  EXPECT_EQ(waits[11].shots[1].y, 120.0);

  EXPECT_EQ(FIRING_FRAMES(play(TOP_ACTION("<fire><bullet/></fire>"), 8)), (std::vector<int>{1, 3, 5, 7}));
}

// Each top action's end is its own: the root restarts when the longer one
// has ended (the library's isEnd, true when any has, would restart at 4).
TEST(PatternPlayer, TwoTopActionsOfDifferentLengths) {
  const auto frames = play(
      "<bulletml>"
      "<action label=\"top1\"><fire><direction type=\"absolute\">90</direction><bullet/></fire><wait>2</wait></action>"
      "<action label=\"top2\"><fire><direction type=\"absolute\">270</direction><bullet/></fire><wait>5</wait></action>"
      "</bulletml>",
      20);
  EXPECT_EQ(FIRING_FRAMES(frames), (std::vector<int>{1, 7, 13, 19}));
  // In list order, the first top action's bullet first.
  ASSERT_EQ(frames[1].shots.size(), 2u);
  EXPECT_EQ(frames[1].shots[0].x, 321.0);
  EXPECT_EQ(frames[1].shots[1].x, 319.0);
  EXPECT_EQ(frames[1].shots[1].y, 120.0);
}

// A fire without direction aims and without speed takes the default 1, and
// both become the previous fire's: the sequence fire after it turns 10
// degrees further and goes 2 faster. Children in any order.
TEST(PatternPlayer, ASequenceFireAfterAFireWithNoDirection) {
  const auto frames =
      play(TOP_ACTION("<fire><bullet/></fire>"
                      "<fire><bullet/><speed type=\"sequence\">2</speed><direction type=\"sequence\">10</direction></fire>"),
           2);
  ASSERT_EQ(frames[1].shots.size(), 2u);
  EXPECT_EQ(frames[1].shots[0].y, 121.0);
  // Direction 190 at speed 3: sin 190 = -0.17364817766693033, cos 190 = -0.984807753012208.
  EXPECT_NEAR(frames[1].shots[1].x, 320.0 - 3 * 0.17364817766693033, 1e-12);
  EXPECT_NEAR(frames[1].shots[1].y, 120.0 + 3 * 0.984807753012208, 1e-12);

  // The first of a sequence aims and goes at speed 1, its numbers ignored.
  const auto first = play(
      TOP_ACTION("<fire><direction type=\"sequence\">45</direction><speed type=\"sequence\">7</speed><bullet/></fire>"), 2);
  EXPECT_EQ(first[1].shots[0].x, 320.0);
  EXPECT_EQ(first[1].shots[0].y, 121.0);
}

// In a horizontal file <vertical> drives x and <horizontal> drives -y, and
// vertical is drawn first; an absolute direction loses 90 degrees. The
// accel applies from the next frame on.
TEST(PatternPlayer, TheAccelDrawOrderOfAHorizontalFile) {
  const std::string accel =
      "<action label=\"top\"><accel><horizontal>$rand</horizontal><vertical>$rand*10</vertical><term>1</term></accel>"
      "<fire><direction type=\"absolute\">180</direction><bullet/></fire></action></bulletml>";
  Trandom stream;
  const double r1 = stream.NEXT();
  const double r2 = stream.NEXT();
  Tpattern_input input = below();
  input.target_x = -1.0;

  const auto horizontal = play("<bulletml type=\"horizontal\">" + accel, 2, input);
  EXPECT_EQ(horizontal[0].root_x, 320.0);
  EXPECT_EQ(horizontal[1].root_x, 320.0 + 10 * r1);
  EXPECT_EQ(horizontal[1].root_y, 120.0 - r2);
  EXPECT_EQ(horizontal[1].shots[0].x, 321.0);  // fired at 180 - 90: right

  const auto vertical = play("<bulletml>" + accel, 2, input);
  EXPECT_EQ(vertical[1].root_x, 320.0 + r1);
  EXPECT_EQ(vertical[1].root_y, 120.0 + 10 * r2);
  EXPECT_EQ(vertical[1].shots[0].y, 121.0);
}

// 16,384 in flight at most; a missed fire gets no number. A bullet removed
// earlier in the frame frees its place for a fire later in the same frame.
TEST(PatternPlayer, APoolOverflow) {
  Tpattern_player player;
  player.BUILD(read(TOP_ACTION("<repeat><times>20000</times><action><fire><bullet/></fire></action></repeat>")));
  player.STEP(below());
  EXPECT_EQ(player.IN_FLIGHT(), VP_PATTERN_POOL);
  EXPECT_EQ(player.MISSED(), 20000 - VP_PATTERN_POOL);
  EXPECT_EQ(player.SHOT(VP_PATTERN_POOL - 1).number, VP_PATTERN_POOL);
  player.STEP(below());
  player.STEP(below());  // restarted: every fire missed
  EXPECT_EQ(player.MISSED(), 40000 - VP_PATTERN_POOL);

  player.BUILD(read("<bulletml><action label=\"top\">"
                    "<repeat><times>16383</times><action><fire><bulletRef label=\"gone\"/></fire></action></repeat>"
                    "<fire><bulletRef label=\"spawner\"/></fire><fire><bullet/></fire><wait>1000</wait></action>"
                    "<bullet label=\"gone\"><action><vanish/></action></bullet>"
                    "<bullet label=\"spawner\"><action><fire><bullet/></fire></action></bullet></bulletml>"));
  player.STEP(below());
  EXPECT_EQ(player.IN_FLIGHT(), VP_PATTERN_POOL);
  EXPECT_EQ(player.MISSED(), 1);
  player.STEP(below());
  ASSERT_EQ(player.IN_FLIGHT(), 2);
  EXPECT_EQ(player.SHOT(0).number, VP_PATTERN_POOL);
  EXPECT_EQ(player.SHOT(1).number, VP_PATTERN_POOL + 1);
  EXPECT_EQ(player.MISSED(), 1);
}

// Parameters: evaluated in the caller's context when the reference runs; a
// reference without them gives $n = 1; a bullet's actions read its fire's.
TEST(PatternPlayer, ParametersFollowReferences) {
  const auto frames = play(
      "<bulletml><action label=\"top\"><actionRef label=\"a\"><param>90</param><param>2</param></actionRef>"
      "<wait>100</wait></action>"
      "<action label=\"a\"><fire><direction type=\"absolute\">$1</direction><bulletRef label=\"b\">"
      "<param>$2*3</param></bulletRef></fire><actionRef label=\"c\"/></action>"
      "<action label=\"c\"><fire><direction type=\"absolute\">$1*180</direction><bullet/></fire></action>"
      "<bullet label=\"b\"><speed>$1</speed></bullet></bulletml>",
      2);
  ASSERT_EQ(frames[1].shots.size(), 2u);
  EXPECT_EQ(frames[1].shots[0].x, 326.0);  // direction 90, speed 2*3
  EXPECT_EQ(frames[1].shots[1].y, 121.0);  // $1 = 1 without params: 180
}

// What only playing can find stops that object's commands, reported once
// per kind with the element's place, and the frames go on.
TEST(PatternPlayer, RunTimeFaultsStopTheObjectOnce) {
  Tpattern_player player;
  player.BUILD(read("<bulletml>\n<action label=\"top\">\n"
                    "<repeat><times>1000000000</times><action><wait>0</wait></action></repeat>\n"
                    "</action></bulletml>"));
  for (int f = 0; f < 5; ++f) player.STEP(below());
  ASSERT_EQ(player.FAULT_COUNT(), 1);
  EXPECT_EQ(player.FAULT(0).kind, VP_PATTERN_FAULT_COMMANDS);
  EXPECT_EQ(player.FAULT(0).line, 3);
  EXPECT_EQ(player.FAULT(0).frame, 1);
  EXPECT_EQ(player.FAULT(0).objects, 1);  // the root stays stopped: no restart

  // 1/($rank-0.5) is infinite at rank 0.5: nothing is fired.
  player.BUILD(read(TOP_ACTION("<fire><direction>1/($rank-0.5)</direction><bullet/></fire>")));
  player.STEP(below());
  ASSERT_EQ(player.FAULT_COUNT(), 1);
  EXPECT_EQ(player.FAULT(0).kind, VP_PATTERN_FAULT_NOT_FINITE);
  EXPECT_EQ(player.IN_FLIGHT(), 0);

  // A bullet whose change is not finite flies on without commands; each
  // such bullet is counted under the one report.
  player.BUILD(read("<bulletml><action label=\"top\"><fire><bulletRef label=\"b\"/></fire><wait>1</wait></action>"
                    "<bullet label=\"b\"><action><changeSpeed><speed>$rand/0</speed><term>5</term></changeSpeed>"
                    "</action></bullet></bulletml>"));
  Tpattern_input held = below();
  held.hold_rand = true;
  for (int f = 0; f < 6; ++f) player.STEP(held);
  ASSERT_EQ(player.FAULT_COUNT(), 1);
  EXPECT_EQ(player.FAULT(0).objects, 3);
  EXPECT_EQ(player.IN_FLIGHT(), 3);
  EXPECT_EQ(player.SHOT(0).y, 125.0);

  // A finite but enormous speed: retired as soon as it moves.
  player.BUILD(read(TOP_ACTION("<fire><speed>99999999999999999999*99999999999999999999</speed><bullet/></fire>"
                               "<wait>1000</wait>")));
  player.STEP(below());
  player.STEP(below());
  EXPECT_EQ(player.IN_FLIGHT(), 0);
  EXPECT_EQ(player.FAULT_COUNT(), 0);
}

// RESET rewinds everything, the random stream included.
TEST(PatternPlayer, ResetPlaysTheSameFramesAgain) {
  Tpattern_player player;
  player.BUILD(read(TOP_ACTION("<repeat><times>3+$rand*5</times><action><fire><direction>$rand*360</direction>"
                               "<bullet/></fire></action></repeat><wait>$rand*4</wait>")));
  const auto first = PATTERN_FRAMES(player, Tpattern_input{}, 50);
  player.RESET();
  const auto again = PATTERN_FRAMES(player, Tpattern_input{}, 50);
  ASSERT_EQ(first.size(), again.size());
  for (std::size_t f = 0; f < first.size(); ++f) {
    ASSERT_EQ(first[f].shots.size(), again[f].shots.size());
    for (std::size_t i = 0; i < first[f].shots.size(); ++i) {
      EXPECT_EQ(first[f].shots[i].number, again[f].shots[i].number);
      EXPECT_EQ(first[f].shots[i].x, again[f].shots[i].x);
    }
  }
}

}  // namespace
