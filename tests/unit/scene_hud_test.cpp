// scene_hud_test.cpp - HUD text: the names the show's phases read as, and
// the line layout before the first frame and deep into the show.
#include <gtest/gtest.h>  // the runner

#include <string>  // HUD lines
#include <vector>  // names in phase order

#include "scene/scene.h"        // the show
#include "scene/scene_hud.h"    // under test
#include "support/scene_fixture.h"  // the built scene
#include "platform/console.h"  // the schedules' reports, kept out of stdout

namespace {

using SceneHudTest = Tscene_test;

TEST_F(SceneHudTest, PhasesReadAsTheirPatterns) {
  std::vector<std::string> fire;
  for (auto* n = scene.emitters[2].turret.schedule.GETFIRST(); n->data != nullptr; n = n->next) {
    Tturret scratch;
    scratch = *n->data;
    fire.push_back(FIRING_NAME(scratch));
  }
  const std::vector<std::string> expected_fire = {"none",  "stream", "chevron", "sweep", "stream", "chevron",
                                                  "wave",  "fan",    "sweep",   "sweep", "aimed"};
  EXPECT_EQ(fire, expected_fire);

  std::vector<std::string> move;
  for (auto* n = scene.emitters[2].schedule.GETFIRST(); n->data != nullptr; n = n->next) {
    Temitter scratch;
    scratch.AI(n->data->AI);
    scratch.CHANGE_AI();
    move.push_back(MOVEMENT_NAME(scratch));
  }
  const std::vector<std::string> expected_move = {"linear", "circle", "orbit", "circle",
                                                  "orbit",  "circle", "spline"};
  EXPECT_EQ(move, expected_move);
}

// A wide shot reads as its mode's HUD word, the stepped one when its speeds
// step, unless its motion has a word of its own. The words the pictures show
// stay: scene files say "centred" where the HUD says "fan".
TEST(SceneHud, FiringNamesComeFromTheTables) {
  for (const Tfiring_mode& mode : VP_FIRING_MODES) {
    Tturret t;
    t.BULLETS_PER_SHOT(6);
    t.SPREAD_ROTATION(36);
    t.WAVEMODE(mode.value);
    EXPECT_STREQ(FIRING_NAME(t), mode.hud) << mode.word;
    t.BULLETSPEED_DELTA(0.5f);
    for (const Tbullet_motion& motion : VP_BULLET_MOTIONS) {
      t.BULLET_TYPE(motion.value);
      EXPECT_STREQ(FIRING_NAME(t), motion.hud ? motion.hud : mode.hud_stepped) << mode.word << " " << motion.word;
    }
  }
  const struct {
    int mode;
    const char *hud, *hud_stepped;
  } pictured[] = {{VP_FIRING_ONE_SIDED, "sweep", "sweep"}, {VP_FIRING_CENTRED, "fan", "fan"},
                  {VP_FIRING_ALTERNATING, "wave", "wave"}, {VP_FIRING_PARALLEL, "wall", "chevron"},
                  {VP_FIRING_EVEN, "wave", "wave"}};
  for (const auto& p : pictured) {
    EXPECT_STREQ(FIRING_MODE(p.mode).hud, p.hud) << p.mode;
    EXPECT_STREQ(FIRING_MODE(p.mode).hud_stepped, p.hud_stepped) << p.mode;
  }
  EXPECT_STREQ(BULLET_MOTION(VP_MOTION_AIMED)->hud, "aimed");
}

TEST_F(SceneHudTest, LinesBeforeTheFirstFrameAndDeepIntoTheShow) {
  const Thud_timing k_start_timing = {85.4, 3.26, 59.6};
  const std::vector<std::string> start = HUD_LINES(scene, 0, &k_start_timing);
  const std::vector<std::string> expected = {
      "frame 0",
      "   move       fire       flying missed",
      "E0 0 linear   0 none          0      0",
      "E1 0 linear   0 none          0      0",
      "E2 0 linear   0 none          0      0",
      "E3 0 linear   0 none          0      0",
      "sim 85 us  draw 3.3 ms  60 fps",
  };
  EXPECT_EQ(start, expected);

  Tconsole_quiet quiet;
  for (int frame = 1; frame <= 7600; ++frame) STEP_SCENE(scene);
  const std::vector<std::string> lines = HUD_LINES(scene, 7600, nullptr);
  ASSERT_EQ(lines.size(), 6u);  // no timing line without timings
  EXPECT_EQ(lines[0], "frame 7600");
  for (int i = 0; i < VP_EMITTER_COUNT; ++i) {
    const std::string& line = lines[2 + i];
    // Movement 6 entered at 7406, firing 10 at 7110.
    EXPECT_EQ(line.substr(0, 25), "E" + std::to_string(i) + " 6 spline   10 aimed   ");
    const Tturret& t = scene.emitters[i].turret;
    EXPECT_GT(BULLETS_IN_FLIGHT(t), 0);
    EXPECT_EQ(std::stoi(line.substr(25, 6)), BULLETS_IN_FLIGHT(t));
    EXPECT_EQ(std::stoll(line.substr(31)), t.MISSED());
  }
  for (const std::string& line : lines) EXPECT_LE(line.size(), static_cast<std::size_t>(VP_HUD_COLUMNS));
}

// The most emitters a scene may have, and a report of several mistakes: the
// lines still fit the picture's 52 lines and its 40 columns.
TEST(SceneHud, AFullSceneAndALongNoteFitThePicture) {
  Tscene_desc desc = SCENE_BUILTIN();
  desc.start_angles.assign(VP_SCENE_MAX_EMITTERS, 0);
  Tscene big;
  BUILD_SCENE(big, desc);
  const Thud_timing timing = {1.0, 1.0, 60.0};
  std::string note = "s.toml:12:5: `bullet_speed` is 500; it must be from -100 to 100\n";
  for (int i = 0; i < 6; ++i) note += note;
  const std::vector<std::string> lines = HUD_LINES(big, 1, &timing, note);
  EXPECT_LE(lines.size(), 52u);
  EXPECT_EQ(lines[2 + VP_HUD_EMITTER_ROWS - 1], "+ 25 more emitters");
  EXPECT_EQ(lines.back(), "...");
  EXPECT_EQ(lines[lines.size() - VP_HUD_NOTE_ROWS], "s.toml:12:5: `bullet_speed` is 500; it");
  for (const std::string& line : lines) EXPECT_LE(line.size(), static_cast<std::size_t>(VP_HUD_COLUMNS)) << line;
  EXPECT_EQ(HUD_WRAP("a_word_longer_than_ten and\nmore", 10),
            (std::vector<std::string>{"a_word_lon", "ger_than_t", "en and", "more"}));
}

}  // namespace
