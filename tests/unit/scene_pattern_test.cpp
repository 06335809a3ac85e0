// scene_pattern_test - a BulletML pattern as a source of the scene: read by
// SCENE_LOAD, stepped through PLAY_STEP exactly as its player alone plays
// it, described by SCENE_EACH_BODY, drawn centred, shown on the HUD and the
// console, its rank stepped by keys, its faults reported once.
#include <gtest/gtest.h>

#include <cstdio>            // a bad file written for the loader, expected lines
#include <initializer_list>  // a frame's keys
#include <string>   // HUD lines, console text
#include <utility>  // a file and its text
#include <vector>   // bodies and sprites

#include "platform/console.h"      // the status line captured
#include "scene/play.h"            // PLAY_STEP and the keys
#include "scene/scene_bodies.h"    // the one description
#include "scene/scene_hud.h"       // HUD_LINES
#include "scene/sprites.h"         // SCENE_SPRITES
#include "scenefile/scene_load.h"  // either kind of file
#include "support/pattern_text.h"  // patterns from inline XML, PATTERN_SCENE

namespace {

const std::string k_gallery = VORPANE_SOURCE_DIR "/assets/scenes/";

Tscene_desc load(const std::string& file) {
  Tscene_desc desc;
  std::string errors;
  EXPECT_TRUE(SCENE_LOAD(file, desc, errors)) << errors;
  return desc;
}

// Steps `frames` frames through PLAY_STEP with no keys.
void play_frames(Tscene& scene, Tplay& play, Ttarget_point target, int frames) {
  Tframe_input input;
  input.target = target;
  for (int f = 0; f < frames; ++f) PLAY_STEP(scene, play, input);
}

Tframe_input keys(std::initializer_list<Tkey> pressed) {
  Tframe_input input;
  for (Tkey k : pressed) input.keys[input.key_count++] = k;
  return input;
}

// The scene of one top action's commands, stepped `frames` frames with no
// target, and the sprites it then shows.
std::vector<Tsprite> sprites_after(const std::string& commands, Tscene& scene, int frames) {
  Tpattern pattern;
  std::string mistakes;
  EXPECT_TRUE(PATTERN_TEXT(TOP_ACTION(commands), pattern, mistakes)) << mistakes;
  BUILD_SCENE(scene, PATTERN_SCENE(pattern));
  Tplay play;
  Tconsole_quiet quiet;
  play_frames(scene, play, VP_NO_TARGET, frames);
  std::vector<Tsprite> sprites;
  SCENE_SPRITES(scene, sprites);
  return sprites;
}

std::vector<Tscene_body> bodies_of(const Tscene& scene) {
  std::vector<Tscene_body> out;
  SCENE_EACH_BODY(scene, [&out](const Tscene_body& b) { out.push_back(b); });
  return out;
}

TEST(ScenePattern, ALoadedPatternIsASceneOfOneSourceAndNoEmitter) {
  const Tscene_desc desc = load(k_gallery + "split-rings.xml");
  EXPECT_EQ(desc.EMITTERS(), 0);
  ASSERT_EQ(desc.patterns.size(), 1u);
  EXPECT_EQ(desc.patterns[0].file, k_gallery + "split-rings.xml");
  EXPECT_EQ(desc.patterns[0].start_x, 320.0);
  EXPECT_EQ(desc.patterns[0].start_y, 120.0);
  EXPECT_FALSE(desc.patterns[0].pattern->top_actions.empty());
  // A scene file through the same loader is what its own reader gives.
  const Tscene_desc toml = load(k_gallery + "show.toml");
  EXPECT_EQ(toml.EMITTERS(), 4);
  EXPECT_TRUE(toml.patterns.empty());
}

TEST(ScenePattern, TheLoaderReportsAPatternsMistakesAtTheirPlaces) {
  const std::string file = testing::TempDir() + "bad-pattern.xml";
  std::FILE* out = std::fopen(file.c_str(), "w");
  ASSERT_NE(out, nullptr);
  std::fputs("  <bulletml>\n<action label=\"top\"><wait>2+</wait></action></bulletml>\n", out);
  std::fclose(out);
  Tscene_desc desc = SCENE_BUILTIN();
  std::string errors;
  EXPECT_FALSE(SCENE_LOAD(file, desc, errors));
  EXPECT_EQ(errors.compare(0, file.size() + 3, file + ":2:"), 0) << errors;
  EXPECT_EQ(errors.back(), '\n');
  EXPECT_EQ(desc.EMITTERS(), 4) << "a refused file changed the description";
  EXPECT_TRUE(desc.patterns.empty());
  std::remove(file.c_str());
}

// The records SCENE_LOAD_CHECK gives are SCENE_LOAD's report taken apart,
// for either kind of file, and nothing on success.
TEST(ScenePattern, TheLoadersRecordsAreItsReportTakenApart) {
  const std::string xml = testing::TempDir() + "bad-records.xml";
  const std::string toml = testing::TempDir() + "bad-records.toml";
  for (const auto& [file, text] : {std::pair<std::string, const char*>{xml, "<bulletml>\n<action label=\"top\"><wiat>2+"
                                                                             "</wiat><wait>1+</wait></action></bulletml>\n"},
                                   {toml, "format = 1\npool_size = 0\nemiters = 3\n"}}) {
    std::FILE* out = std::fopen(file.c_str(), "w");
    ASSERT_NE(out, nullptr);
    std::fputs(text, out);
    std::fclose(out);
    Tscene_desc desc = SCENE_BUILTIN();
    std::string errors;
    std::vector<Tmistake> records;
    EXPECT_FALSE(SCENE_LOAD(file, desc, errors));
    EXPECT_FALSE(SCENE_LOAD_CHECK(file, desc, records));
    std::string joined;
    for (const Tmistake& m : records)
      joined += m.file + ":" + std::to_string(m.line) + ":" + std::to_string(m.column) + ": " + m.message + "\n";
    EXPECT_GE(records.size(), 2u) << errors;
    EXPECT_EQ(joined, errors);
    EXPECT_EQ(desc.EMITTERS(), 4) << "a refused file changed the description";
    std::remove(file.c_str());
  }
  Tscene_desc desc;
  std::vector<Tmistake> records(2);
  EXPECT_TRUE(SCENE_LOAD_CHECK(k_gallery + "split-rings.xml", desc, records));
  EXPECT_TRUE(records.empty());
  EXPECT_EQ(desc.patterns.size(), 1u);
}

// A format 2 scene checked with a source takes its BulletML files from that
// source alone: a name it serves plays even where no such file is on disk,
// and one it refuses is a mistake at its `bulletml` key, with its reason.
TEST(ScenePattern, TheLoadersSourceIsWhereAScenesFilesComeFrom) {
  const std::string scene = testing::TempDir() + "sourced.toml";
  std::FILE* out = std::fopen(scene.c_str(), "w");
  ASSERT_NE(out, nullptr);
  std::fputs("format = 2\n[[emitter]]\nbulletml = \"served.xml\"\n[[emitter]]\nbulletml = \"refused.xml\"\n", out);
  std::fclose(out);
  std::vector<std::string> asked;
  const Tscene_text_source source = [&](const std::string& path, std::string& text, std::string& why) {
    asked.push_back(path);
    if (path != testing::TempDir() + "served.xml") {
      why = "not served";
      return false;
    }
    text = "<bulletml><action label=\"top\"><wait>1</wait></action></bulletml>\n";
    return true;
  };
  Tscene_desc desc = SCENE_BUILTIN();
  std::vector<Tmistake> records;
  EXPECT_FALSE(SCENE_LOAD_CHECK(scene, desc, records, source));
  ASSERT_EQ(records.size(), 1u);
  EXPECT_EQ(records[0].file, scene);
  EXPECT_EQ(records[0].line, 5);
  EXPECT_EQ(records[0].column, 12);
  EXPECT_EQ(records[0].message, "cannot read the BulletML file " + testing::TempDir() + "refused.xml (not served)");
  EXPECT_EQ(asked.size(), 2u);
  EXPECT_EQ(desc.EMITTERS(), 4) << "a refused file changed the description";
  out = std::fopen(scene.c_str(), "w");
  ASSERT_NE(out, nullptr);
  std::fputs("format = 2\n[[emitter]]\nbulletml = \"served.xml\"\n", out);
  std::fclose(out);
  EXPECT_TRUE(SCENE_LOAD_CHECK(scene, desc, records, source));
  EXPECT_TRUE(records.empty());
  ASSERT_EQ(desc.patterns.size(), 1u);
  EXPECT_EQ(desc.files.size(), 2u);
  std::remove(scene.c_str());
}

// What the trace prints of a pattern scene is its player's own play: the
// same root and bullets, numbers and doubles, frame by frame, with a rank
// and a target that are not the defaults.
TEST(ScenePattern, ItsBodiesAreThePlayersAlone) {
  for (const char* name : {"split-rings.xml", "rank-curtain.xml", "turning-spiral.xml"}) {
    const Tscene_desc desc = load(k_gallery + name);
    Tscene scene;
    BUILD_SCENE(scene, desc);
    scene.rank = 0.8;
    Tplay play;
    Tpattern_player alone;
    alone.BUILD(*desc.patterns[0].pattern);
    Tpattern_input input;
    input.target_x = 100.0f;
    input.target_y = 420.0f;
    input.rank = 0.8;
    Tconsole_quiet quiet;
    for (int f = 1; f <= 400; ++f) {
      play_frames(scene, play, Ttarget_point{100.0f, 420.0f}, 1);
      alone.STEP(input);
      const std::vector<Tscene_body> bodies = bodies_of(scene);
      ASSERT_EQ(bodies.size(), static_cast<std::size_t>(alone.IN_FLIGHT()) + 1) << name << " frame " << f;
      EXPECT_EQ(bodies[0].number, -1);
      EXPECT_EQ(bodies[0].kind, VP_SPRITE_EMITTER);
      ASSERT_EQ(bodies[0].x, alone.ROOT().x) << name << " frame " << f;
      ASSERT_EQ(bodies[0].y, alone.ROOT().y) << name << " frame " << f;
      for (int i = 0; i < alone.IN_FLIGHT(); ++i) {
        const Tscene_body& b = bodies[static_cast<std::size_t>(i) + 1];
        EXPECT_EQ(b.source, 0);
        EXPECT_EQ(b.source_kind, VP_SOURCE_PATTERN);
        EXPECT_EQ(b.kind, VP_SPRITE_BULLET);
        ASSERT_EQ(b.number, alone.SHOT(i).number) << name << " frame " << f;
        ASSERT_EQ(b.x, alone.SHOT(i).x) << name << " frame " << f;
        ASSERT_EQ(b.y, alone.SHOT(i).y) << name << " frame " << f;
      }
    }
    EXPECT_GT(alone.FIRED(), 0) << name;
    EXPECT_EQ(scene.players[0].MISSED(), alone.MISSED());
  }
}

// The emitters' description is the walk the show always did by hand.
TEST(ScenePattern, TheBuiltInShowsBodiesAreItsEmittersAndPools) {
  Tscene scene;
  BUILD_SCENE(scene);
  Tplay play;
  Tconsole_quiet quiet;
  play_frames(scene, play, VP_NO_TARGET, 900);
  std::vector<Tscene_body> expected;
  for (int i = 0; i < scene.emitter_count; ++i) {
    const Temitter& e = scene.emitters[i];
    expected.push_back({i, -1, e.X(), e.Y(), VP_SPRITE_EMITTER, VP_SOURCE_EMITTER, scene.shown[i] != 0});
    for (int j = 0; j < e.turret.MAXBULLET(); ++j)
      if (e.turret.BULLET(j).ACTIVE() != 0)
        expected.push_back({i, j, e.turret.BULLET(j).X(), e.turret.BULLET(j).Y(), VP_SPRITE_BULLET,
                            VP_SOURCE_EMITTER, scene.shown[i] != 0});
  }
  const std::vector<Tscene_body> bodies = bodies_of(scene);
  ASSERT_EQ(bodies.size(), expected.size());
  ASSERT_GT(bodies.size(), 100u);
  for (std::size_t k = 0; k < bodies.size(); ++k) {
    EXPECT_EQ(bodies[k].source, expected[k].source) << k;
    EXPECT_EQ(bodies[k].number, expected[k].number) << k;
    EXPECT_EQ(static_cast<float>(bodies[k].x), static_cast<float>(expected[k].x)) << k;
    EXPECT_EQ(static_cast<float>(bodies[k].y), static_cast<float>(expected[k].y)) << k;
    EXPECT_EQ(bodies[k].kind, expected[k].kind) << k;
  }
  for (int i = 0; i < scene.emitter_count; ++i)
    EXPECT_EQ(SCENE_MISSED(scene, i), scene.emitters[i].turret.MISSED());
}

TEST(ScenePattern, SpritesAreCentredTheRootFirstThenTheBulletsInCreationOrder) {
  // The root stands still; one bullet a frame, straight down at speed 2.
  Tscene scene;
  const std::vector<Tsprite> sprites = sprites_after(
      "<fire><direction type=\"absolute\">180</direction><speed>2</speed><bullet/></fire><wait>1</wait>", scene, 5);
  ASSERT_GE(sprites.size(), 3u);
  EXPECT_EQ(sprites[0].kind, VP_SPRITE_EMITTER);
  EXPECT_EQ(sprites[0].x, 320.0f - 16.0f);
  EXPECT_EQ(sprites[0].y, 120.0f - 16.0f);
  ASSERT_EQ(sprites.size(), static_cast<std::size_t>(scene.players[0].IN_FLIGHT()) + 1);
  for (std::size_t k = 1; k < sprites.size(); ++k) {
    const Tpattern_body& shot = scene.players[0].SHOT(static_cast<int>(k) - 1);
    EXPECT_EQ(sprites[k].kind, VP_SPRITE_BULLET);
    EXPECT_EQ(sprites[k].x, static_cast<float>(shot.x - 8.0)) << k;
    EXPECT_EQ(sprites[k].y, static_cast<float>(shot.y - 8.0)) << k;
  }
  // The oldest bullet first: it has flown farthest down.
  EXPECT_GT(sprites[1].y, sprites[2].y);
  EXPECT_EQ(sprites[1].x, 312.0f);
}

// The rounding is stated on a value no tenth holds: the corner is the
// double's difference rounded once, not the float's.
TEST(ScenePattern, ASpritesCornerIsRoundedOnceFromTheDouble) {
  Tscene scene;
  const std::vector<Tsprite> sprites = sprites_after(
      "<fire><direction type=\"absolute\">90</direction><speed>0.1</speed><bullet/></fire><wait>1000</wait>", scene, 8);
  ASSERT_EQ(sprites.size(), 2u);
  const double x = scene.players[0].SHOT(0).x;
  EXPECT_NE(x, 320.0);
  EXPECT_EQ(sprites[1].x, static_cast<float>(x - 8.0));
}

TEST(ScenePattern, RankKeysStepByTenthsWithinZeroAndOne) {
  double rank = 0.0;
  for (int i = 0; i < 10; ++i) rank = PLAY_RANK_STEP(rank, true);
  EXPECT_EQ(rank, 1.0) << "ten presses from 0 reach 1 exactly";
  EXPECT_EQ(PLAY_RANK_STEP(1.0, true), 1.0);
  EXPECT_EQ(PLAY_RANK_STEP(0.0, false), 0.0);
  EXPECT_EQ(PLAY_RANK_STEP(0.5, true), 0.6);
  EXPECT_EQ(PLAY_RANK_STEP(0.5, false), 0.4);
  // Off the tenths: from the nearest one.
  EXPECT_EQ(PLAY_RANK_STEP(0.37, true), 0.5);
  EXPECT_EQ(PLAY_RANK_STEP(0.37, false), 0.3);
  // Up then down by any road lands on the same tenth.
  double a = 0.5, b = 0.5;
  for (int i = 0; i < 3; ++i) a = PLAY_RANK_STEP(a, true);
  a = PLAY_RANK_STEP(a, false);
  b = PLAY_RANK_STEP(PLAY_RANK_STEP(b, true), true);
  EXPECT_EQ(a, b);
  EXPECT_EQ(a, 0.7);
}

TEST(ScenePattern, RankKeysGoThroughPlayStepEvenWhilePausedAndSurviveARebuild) {
  Tscene scene;
  BUILD_SCENE(scene, load(k_gallery + "rank-curtain.xml"));
  Tplay play;
  Tconsole_quiet quiet;
  play.paused = true;
  EXPECT_TRUE(PLAY_STEP(scene, play, keys({})));  // the first frame always is
  EXPECT_FALSE(PLAY_STEP(scene, play, keys({VP_KEY_PLUS, VP_KEY_PLUS, VP_KEY_PLUS})));
  EXPECT_EQ(scene.rank, 0.8);
  EXPECT_EQ(play.frame, 1);
  PLAY_STEP(scene, play, keys({VP_KEY_PLUS, VP_KEY_PLUS, VP_KEY_PLUS}));
  EXPECT_EQ(scene.rank, 1.0);
  for (int i = 0; i < 12; ++i) PLAY_STEP(scene, play, keys({VP_KEY_MINUS}));
  EXPECT_EQ(scene.rank, 0.0);
  BUILD_SCENE(scene, scene.desc);
  EXPECT_EQ(scene.rank, 0.0) << "a rebuild keeps how the scene is played";
}

TEST(ScenePattern, TheRankReachesThePattern) {
  const Tscene_desc desc = load(k_gallery + "rank-curtain.xml");
  long long fired[2] = {0, 0};
  for (int k = 0; k < 2; ++k) {
    Tscene scene;
    BUILD_SCENE(scene, desc);
    scene.rank = k == 0 ? 0.0 : 1.0;
    Tplay play;
    Tconsole_quiet quiet;
    play_frames(scene, play, VP_NO_TARGET, 300);
    fired[k] = scene.players[0].FIRED();
  }
  EXPECT_LT(fired[0], fired[1]) << "rank-curtain fires more at a higher rank";
}

TEST(ScenePattern, PageKeysSayThereAreNoPhasesAndLeaveTheFrame) {
  Tscene scene;
  BUILD_SCENE(scene, load(k_gallery + "turning-spiral.xml"));
  Tplay play;
  Tconsole_quiet quiet;
  play_frames(scene, play, VP_NO_TARGET, 50);
  PLAY_STEP(scene, play, keys({VP_KEY_PAGE_DOWN}));
  EXPECT_EQ(play.frame, 51);
  ASSERT_NE(play.note, nullptr);
  EXPECT_NE(std::string(play.note).find("no phases"), std::string::npos);
  EXPECT_TRUE(play.hud) << "the note is shown";
  PLAY_STEP(scene, play, keys({VP_KEY_PAGE_UP}));
  EXPECT_EQ(play.frame, 52);
  EXPECT_NE(play.note, nullptr);
  std::string hud;
  for (const std::string& line : HUD_LINES(scene, play.frame, nullptr, play.note)) hud += line + "\n";
  EXPECT_NE(hud.find("rank 0.50\nPage Up and Page Down: a BulletML scene\n"), std::string::npos) << hud;
  PLAY_STEP(scene, play, keys({VP_KEY_H}));
  EXPECT_EQ(play.note, nullptr) << "another key clears it";
  EXPECT_FALSE(play.hud);
}

TEST(ScenePattern, TheHudShowsTheFileTheRankTheBulletsAndTheMissed) {
  const Tscene_desc desc = load(k_gallery + "turning-spiral.xml");
  Tscene scene;
  BUILD_SCENE(scene, desc);
  scene.rank = 0.3;
  Tplay play;
  Tconsole_quiet quiet;
  play_frames(scene, play, VP_NO_TARGET, 120);
  const int flying = scene.players[0].IN_FLIGHT();
  ASSERT_GT(flying, 0);
  char row[64];
  std::snprintf(row, sizeof row, "P0 turning-spiral.xml    %6d      0", flying);
  const std::vector<std::string> expected = {"frame 120", "   pattern               flying missed", row,
                                             "rank 0.30"};
  EXPECT_EQ(HUD_LINES(scene, 120, nullptr), expected);
  for (const std::string& line : HUD_LINES(scene, 120, nullptr)) EXPECT_LE(line.size(), VP_HUD_COLUMNS) << line;
}

TEST(ScenePattern, TheHudCutsALongFileNameToItsColumns) {
  Tpattern pattern;
  std::string mistakes;
  ASSERT_TRUE(PATTERN_TEXT(TOP_ACTION("<wait>1</wait>"), pattern, mistakes)) << mistakes;
  Tscene scene;
  BUILD_SCENE(scene, PATTERN_SCENE(pattern, "/some/folder/a-pattern-with-a-very-long-name.xml"));
  const std::vector<std::string> lines = HUD_LINES(scene, 0, nullptr);
  ASSERT_GE(lines.size(), 3u);
  EXPECT_EQ(lines[2], "P0 a-pattern-with-a-very      0      0");
}

TEST(ScenePattern, AFaultShowsOnTheHudAndOnStderrOnce) {
  Tpattern pattern;
  std::string mistakes;
  ASSERT_TRUE(PATTERN_TEXT("<bulletml>\n<action label=\"top\">\n<wait>1/($rank-0.5)</wait>\n</action></bulletml>",
                           pattern, mistakes))
      << mistakes;
  Tscene scene;
  BUILD_SCENE(scene, PATTERN_SCENE(pattern, "faulty.xml"));
  Tplay play;
  Tconsole_quiet quiet;
  testing::internal::CaptureStderr();
  play_frames(scene, play, VP_NO_TARGET, 30);
  const std::string err = testing::internal::GetCapturedStderr();
  EXPECT_EQ(err, std::string("faulty.xml:3:1: ") + PATTERN_FAULT_TEXT(VP_PATTERN_FAULT_NOT_FINITE) + " (frame 1)\n");
  const std::vector<std::string> lines = HUD_LINES(scene, play.frame, nullptr);
  std::string all;
  for (const std::string& line : lines) all += line + "\n";
  EXPECT_NE(all.find("rank 0.50\nP0 line 3: stopped: a value that is not\na finite number\n"), std::string::npos)
      << all;
  // A rebuild starts the reports over, as it starts the player over.
  BUILD_SCENE(scene, scene.desc);
  testing::internal::CaptureStderr();
  play_frames(scene, play, VP_NO_TARGET, 2);
  EXPECT_EQ(testing::internal::GetCapturedStderr().find("faulty.xml:3:1:"), 0u);
}

TEST(ScenePattern, OneStatusLinePerFrameWhereTheEmittersReportStands) {
  Tscene scene;
  BUILD_SCENE(scene, load(k_gallery + "split-rings.xml"));
  Tplay play;
  std::string text;
  {
    Tconsole_capture capture;
    play_frames(scene, play, VP_NO_TARGET, 3);
    text = capture.text;
  }
  char expected[256];
  std::snprintf(expected, sizeof expected,
                "\x1b[2;1Hpattern frame          3  flying %5d  missed          0  rank 0.50\r\n",
                scene.players[0].IN_FLIGHT());
  ASSERT_GE(text.size(), std::string(expected).size());
  EXPECT_EQ(text.substr(text.size() - std::string(expected).size()), expected);
  EXPECT_EQ(text.find("pattern frame          1"), text.find("pattern frame"));
  {
    Tconsole_quiet quiet;  // what --quiet and skipping do
    Tconsole_capture inner;
    Tconsole_quiet silent;
    play_frames(scene, play, VP_NO_TARGET, 1);
    EXPECT_TRUE(inner.text.empty());
  }
}

}  // namespace
