// scene_format2_test.cpp - scene files of format 2, an [[emitter]] table per
// emitter: the built-in show and a BulletML file alone written so, each
// emitter's own lists, a root riding its emitter's movement, the $rand
// streams, the mistakes and the pools' bound, and what the trace, the HUD
// and the reload read of such a scene.
#include <gtest/gtest.h>

#include <map>     // the BulletML files in memory
#include <string>  // scene texts, HUD lines
#include <vector>  // bodies frame by frame

#include "platform/console.h"      // the schedules' reports, quiet
#include "scene/play.h"            // PLAY_STEP
#include "scene/scene_bodies.h"    // SCENE_EACH_BODY
#include "scene/scene_hud.h"       // HUD_LINES
#include "scenefile/scene_file.h"  // under test
#include "scenefile/scene_load.h"  // a BulletML file alone
#include "support/pattern_text.h"  // TOP_ACTION, PATTERN_TEXT

namespace {

const std::string k_gallery = VORPANE_SOURCE_DIR "/assets/scenes/";

// A bullet every 3 frames at a random direction and speed: a stream whose
// $rand draws show in every position.
const std::string k_random_xml = TOP_ACTION(
    "<repeat><times>9999</times><action><fire><direction type=\"absolute\">$rand*360</direction>"
    "<speed>1+$rand</speed><bullet/></fire><wait>3</wait></action></repeat>");

// A BulletML file set as files beside the scene, in memory.
struct Tfiles {
  std::map<std::string, std::string> texts;
  Tscene_text_source source() const {
    return [this](const std::string& path, std::string& text, std::string& why) {
      const auto found = texts.find(path);
      if (found == texts.end()) {
        why = "no such file";
        return false;
      }
      text = found->second;
      return true;
    };
  }
};

// The report for `text` read as dir/s.toml with `files` beside it, or ""
// when it was accepted (into `desc`).
std::string mistakes(const std::string& text, Tscene_desc& desc, const Tfiles& files = Tfiles()) {
  std::string errors;
  return SCENE_TEXT_READ(text, "dir/s.toml", desc, errors, files.source()) ? "" : errors;
}

std::string mistakes(const std::string& text, const Tfiles& files = Tfiles()) {
  Tscene_desc desc;
  return mistakes(text, desc, files);
}

struct Trow {
  int source;
  long long number;
  double x, y;
  bool operator==(const Trow& o) const { return source == o.source && number == o.number && x == o.x && y == o.y; }
};

std::vector<Trow> rows_of(const Tscene& scene) {
  std::vector<Trow> rows;
  SCENE_EACH_BODY(scene, [&rows](const Tscene_body& b) {
    if (b.shown) rows.push_back(Trow{b.source, b.number, b.x, b.y});
  });
  return rows;
}

// Both scenes stepped side by side, every frame's rows the same.
void expect_same_play(const Tscene_desc& a, const Tscene_desc& b, int frames) {
  Tscene sa, sb;
  BUILD_SCENE(sa, a);
  BUILD_SCENE(sb, b);
  Tplay pa, pb;
  Tframe_input input;
  input.target = Ttarget_point{500.0f, 400.0f};
  for (int f = 1; f <= frames; ++f) {
    PLAY_STEP(sa, pa, input);
    PLAY_STEP(sb, pb, input);
    const std::vector<Trow> ra = rows_of(sa), rb = rows_of(sb);
    ASSERT_EQ(ra.size(), rb.size()) << "frame " << f;
    ASSERT_TRUE(ra == rb) << "frame " << f;
  }
}

// The schedules' reports stay off the test's output.
class SceneFormat2 : public testing::Test {
  Tconsole_quiet quiet_;
};

TEST_F(SceneFormat2, FourBuiltinTablesAtTheShowsAnglesAreTheBuiltinShow) {
  Tscene_desc d;
  ASSERT_EQ(mistakes("format = 2\n[[emitter]]\nstart_angle = 0\n[[emitter]]\nstart_angle = 90\n"
                     "[[emitter]]\nstart_angle = 180\n[[emitter]]\nstart_angle = 270\n",
                     d),
            "");
  EXPECT_EQ(d.start_angles, SCENE_BUILTIN().start_angles);
  // The last phase of the longest list lies past frame 6,000; the spline
  // phase starts at frame 7,405.
  expect_same_play(d, SCENE_BUILTIN(), 8000);
  // Left out, the angles are evenly spaced, as `emitters` spaces them.
  ASSERT_EQ(mistakes("format = 2\n[[emitter]]\n[[emitter]]\n[[emitter]]\n", d), "");
  EXPECT_EQ(d.start_angles, (std::vector<int>{0, 120, 240}));
}

TEST_F(SceneFormat2, OneBulletMLEmitterAtTheRootsStartIsItsFileAlone) {
  for (const char* name : {"split-rings.xml", "turning-spiral.xml", "rank-curtain.xml"}) {
    Tscene_desc alone, one;
    std::string errors;
    ASSERT_TRUE(SCENE_LOAD(k_gallery + name, alone, errors)) << errors;
    ASSERT_TRUE(SCENE_TEXT_READ("format = 2\n[[emitter]]\nbulletml = \"" + std::string(name) +
                                    "\"\npool_size = 16384\nx = 320\ny = 120\n",
                                k_gallery + "f2.toml", one, errors))
        << errors;
    expect_same_play(alone, one, 900);
    EXPECT_EQ(one.files, (std::vector<std::string>{k_gallery + "f2.toml", k_gallery + name}));
  }
}

TEST_F(SceneFormat2, EachLaterBulletMLEmitterDrawsFromItsOwnSeededStream) {
  Tfiles files;
  files.texts["dir/r.xml"] = k_random_xml;
  Tscene_desc d;
  ASSERT_EQ(mistakes("format = 2\n[[emitter]]\nbulletml = \"r.xml\"\n[[emitter]]\nbulletml = \"r.xml\"\n"
                     "[[emitter]]\nbulletml = \"r.xml\"\n",
                     d, files),
            "");
  ASSERT_EQ(d.patterns.size(), 3u);
  EXPECT_EQ(d.files, (std::vector<std::string>{"dir/s.toml", "dir/r.xml"}));  // read once
  Tscene scene;
  BUILD_SCENE(scene, d);
  Tpattern pattern;
  std::string why;
  ASSERT_TRUE(PATTERN_TEXT(k_random_xml, pattern, why)) << why;
  Tpattern_player alone[3];
  for (int k = 0; k < 3; ++k) alone[k].BUILD(pattern, 320.0, 120.0, VP_SCENE_PATTERN_POOL, k);
  Tplay play;
  Tframe_input input;
  Tpattern_input pin;
  pin.target_x = pin.target_y = -1.0;
  for (int f = 0; f < 30; ++f) {
    PLAY_STEP(scene, play, input);
    for (auto& p : alone) p.STEP(pin);
  }
  for (int k = 0; k < 3; ++k) {
    ASSERT_EQ(scene.players[k].IN_FLIGHT(), alone[k].IN_FLIGHT());
    for (int j = 0; j < alone[k].IN_FLIGHT(); ++j) EXPECT_EQ(scene.players[k].SHOT(j).x, alone[k].SHOT(j).x) << k;
  }
  // The streams differ: the same file's bullets stand elsewhere.
  EXPECT_NE(scene.players[0].SHOT(1).x, scene.players[1].SHOT(1).x);
  EXPECT_NE(scene.players[1].SHOT(1).x, scene.players[2].SHOT(1).x);
}

TEST_F(SceneFormat2, EachEmitterRunsItsOwnListsOrTheScenes) {
  Tscene_desc d;
  ASSERT_EQ(mistakes("format = 2\npool_size = 300\n[[movement]]\npattern = \"sine-h\"\n"
                     "[[firing]]\nbullets_per_shot = 3\n[[firing]]\nbullets_per_shot = 4\n"
                     "[[emitter]]\nstart_angle = 45\n"
                     "[[emitter.movement]]\npattern = \"linear\"\nx = 100\n[[emitter.movement]]\npattern = \"orbit\"\n"
                     "[[emitter]]\n[[emitter.firing]]\nbullets_per_shot = 7\nframes = 10\n",
                     d),
            "");
  ASSERT_EQ(d.EMITTERS(), 2);
  EXPECT_EQ(d.start_angles, (std::vector<int>{45, 180}));
  ASSERT_EQ(d.own.size(), 2u);
  EXPECT_EQ(d.own[0].movement.size(), 2u);
  EXPECT_TRUE(d.own[0].firing.empty());
  EXPECT_TRUE(d.own[1].movement.empty());
  ASSERT_EQ(d.own[1].firing.size(), 1u);
  Tscene scene;
  BUILD_SCENE(scene, d);
  // Emitter 0: its own two movement phases and the scene's two firing
  // phases; emitter 1: the scene's movement and its own firing phase.
  Tplay play;
  Tframe_input input;
  PLAY_STEP(scene, play, input);
  EXPECT_EQ(scene.emitters[0].X(), 100.0f);  // linear with no speed
  EXPECT_EQ(scene.emitters[0].ANGLE(), 45);
  EXPECT_EQ(scene.emitters[0].turret.BULLETS_PER_SHOT(), 3);
  EXPECT_EQ(scene.emitters[0].turret.ROTATION(), 45);
  EXPECT_EQ(scene.emitters[1].turret.BULLETS_PER_SHOT(), 7);
  EXPECT_EQ(scene.emitters[1].turret.POOL_SIZE(), 300);
  EXPECT_EQ(scene.emitters[1].AI(), 2);  // sine-h
  for (int f = 0; f < 1400; ++f) PLAY_STEP(scene, play, input);
  EXPECT_EQ(scene.emitters[0].AI(), AI_POLAR_ID);  // its second phase
  EXPECT_EQ(scene.emitters[0].turret.BULLETS_PER_SHOT(), 4);
  const std::vector<std::string> hud = HUD_LINES(scene, play.frame, nullptr);
  ASSERT_GE(hud.size(), 4u);
  EXPECT_EQ(hud[2].substr(0, 14), "E0 2 orbit    ");
  EXPECT_EQ(hud[3].substr(0, 3), "E1 ");
}

TEST_F(SceneFormat2, ARootRidesItsEmittersMovementAndFiresFromThere) {
  Tfiles files;
  files.texts["dir/r.xml"] = k_random_xml;
  Tscene_desc d;
  ASSERT_EQ(mistakes("format = 2\n[[emitter]]\nbullets_per_shot = 0\n[[emitter]]\nbulletml = \"r.xml\"\n"
                     "rank = 0.25\npool_size = 20\nstart_angle = 30\n"
                     "[[emitter.movement]]\npattern = \"orbit\"\nradius = 100\n",
                     d, files),
            "dir/s.toml:3:1: unknown key `bullets_per_shot` in an [[emitter]] table\n")
      << "a built-in table's firing keys stand in its [[emitter.firing]]";
  ASSERT_EQ(mistakes("format = 2\n[[emitter]]\n[[emitter]]\nbulletml = \"r.xml\"\n"
                     "rank = 0.25\npool_size = 20\nstart_angle = 30\n"
                     "[[emitter.movement]]\npattern = \"orbit\"\nradius = 100\n",
                     d, files),
            "");
  ASSERT_EQ(d.EMITTERS(), 2);  // the built-in one and the carrier
  ASSERT_EQ(d.patterns.size(), 1u);
  EXPECT_EQ(d.patterns[0].rider, 1);
  EXPECT_EQ(d.own[1].carries, 0);
  Tscene scene;
  BUILD_SCENE(scene, d);
  scene.rank = 0.9;  // the emitter's own wins
  EXPECT_EQ(SCENE_PATTERN_RANK(scene, 0), 0.25);
  ASSERT_EQ(SCENE_SOURCES(scene), 2);
  Tplay play;
  Tframe_input input;
  for (int f = 1; f <= 200; ++f) {
    PLAY_STEP(scene, play, input);
    const Temitter& carrier = scene.emitters[1];
    const Tpattern_body& root = scene.players[0].ROOT();
    ASSERT_EQ(root.x, static_cast<double>(carrier.X()) + 16.0) << f;
    ASSERT_EQ(root.y, static_cast<double>(carrier.Y()) + 16.0) << f;
    ASSERT_LE(scene.players[0].IN_FLIGHT(), 20);
    // A bullet appears where its root stood when it fired, and has not yet moved.
    if (f % 3 == 1 && scene.players[0].MISSED() == 0) {
      const Tpattern_body& newest = scene.players[0].SHOT(scene.players[0].IN_FLIGHT() - 1);
      EXPECT_EQ(newest.x, root.x) << f;
    }
  }
  EXPECT_GT(scene.players[0].MISSED(), 0);  // 20 bullets are not enough
  EXPECT_EQ(scene.emitters[1].turret.BULLETS_PER_SHOT(), 0);  // the carrier never fires
  // The sources are the tables: the built-in emitter, then the root and its bullets.
  std::vector<Tscene_body> bodies;
  SCENE_EACH_BODY(scene, [&bodies](const Tscene_body& b) { bodies.push_back(b); });
  bool root_seen = false;
  for (const Tscene_body& b : bodies) {
    if (b.source == 1 && b.number == -1) {
      root_seen = true;
      EXPECT_EQ(b.source_kind, VP_SOURCE_PATTERN);
    }
    if (b.source == 0) {
      EXPECT_FALSE(root_seen);
    }
  }
  EXPECT_TRUE(root_seen);
  const std::vector<std::string> hud = HUD_LINES(scene, play.frame, nullptr);
  EXPECT_EQ(hud[3].substr(0, 25), "E1 1 orbit    r.xml      ");
}

TEST_F(SceneFormat2, EachMistakeIsReportedWhereItStands) {
  Tfiles files;
  files.texts["dir/r.xml"] = k_random_xml;
  files.texts["dir/bad.xml"] = "<bulletml>\n  <action label=\"top\">\n    <wait>1</wiat>\n  </action>\n</bulletml>\n";
  EXPECT_EQ(mistakes("format = 2\nemitters = 2\nstart_angles = [0, 1]\n[[emitter]]\n"),
            "dir/s.toml:2:12: `emitters` cannot stand beside [[emitter]] tables: their number is the number of "
            "emitters, and each gives its own `start_angle`\n"
            "dir/s.toml:3:16: `start_angles` cannot stand beside [[emitter]] tables: their number is the number of "
            "emitters, and each gives its own `start_angle`\n");
  // Format 1 knows no emitter tables.
  EXPECT_EQ(mistakes("format = 1\n[[emitter]]\n").substr(0, 33), "dir/s.toml:2:3: unknown key `emit");
  EXPECT_EQ(mistakes("format = 2\n[[emitter]]\nbulletml = \"gone.xml\"\n"),
            "dir/s.toml:3:12: cannot read the BulletML file dir/gone.xml (no such file)\n");
  // A mistake inside the BulletML file names that file and its place.
  const std::string bad = mistakes("format = 2\n[[emitter]]\nbulletml = \"bad.xml\"\n", files);
  EXPECT_EQ(bad, "dir/bad.xml:3:12: a closing tag that does not match the element it closes\n");
  EXPECT_EQ(mistakes("format = 2\n[[emitter]]\nbulletml = \"r.xml\"\nstart_angle = 5\nx = 10\n", files),
            "dir/s.toml:4:15: `start_angle` turns an emitter's movement: a BulletML emitter without "
            "[[emitter.movement]] has none\n");
  EXPECT_EQ(mistakes("format = 2\n[[emitter]]\nbulletml = \"r.xml\"\n[[emitter.movement]]\n[[emitter]]\n"
                     "bulletml = \"r.xml\"\ny = 3\n[[emitter.movement]]\n",
                     files),
            "dir/s.toml:7:5: the root rides its [[emitter.movement]]: its place is the emitter's, so `x` and `y` "
            "stand only in a BulletML emitter without one\n");
  EXPECT_EQ(mistakes("format = 2\n[[emitter]]\nbulletml = \"r.xml\"\n[[emitter.firing]]\n", files),
            "dir/s.toml:4:1: a BulletML emitter fires as its file says: [[emitter.firing]] is for an emitter "
            "without `bulletml`\n");
  EXPECT_EQ(mistakes("format = 2\n[[emitter]]\nbulletml = \"r.xml\"\nrank = 1.5\npool_size = 0\n", files),
            "dir/s.toml:4:8: `rank` is 1.5; it must be from 0 to 1\n"
            "dir/s.toml:5:13: `pool_size` is 0; it must be from 1 to 16384\n");
  EXPECT_EQ(mistakes("format = 2\nemitter = 3\n"),
            "dir/s.toml:2:11: `emitter` wants 1 to 64 emitters, each an [[emitter]] table\n");
  EXPECT_EQ(mistakes("format = 3\n").substr(0, 27), "dir/s.toml:1:10: `format` i");
}

TEST_F(SceneFormat2, ThePoolsTogetherHoldAtMostTheLargestFormat1Scenes) {
  Tfiles files;
  files.texts["dir/r.xml"] = k_random_xml;
  std::string exact = "format = 2\npool_size = 4096\n";
  for (int i = 0; i < 16; ++i) exact += "[[emitter]]\nbulletml = \"r.xml\"\npool_size = 16384\n";
  Tscene_desc d;
  EXPECT_EQ(mistakes(exact, d, files), "");  // 262,144 bullets: read, not built
  EXPECT_EQ(mistakes(exact + "[[emitter]]\n", files),
            "dir/s.toml:3:1: the emitters' pools hold 266240 bullets together; at most 262144 may be\n");
}

TEST_F(SceneFormat2, AFormat1FileReadsAsBefore) {
  Tscene_desc d;
  std::string errors;
  ASSERT_TRUE(SCENE_FILE_READ(k_gallery + "show.toml", d, errors)) << errors;
  EXPECT_TRUE(d.own.empty());
  EXPECT_TRUE(d.order.empty());
  EXPECT_EQ(d.files, (std::vector<std::string>{k_gallery + "show.toml"}));
  expect_same_play(d, SCENE_BUILTIN(), 1500);
}

}  // namespace
