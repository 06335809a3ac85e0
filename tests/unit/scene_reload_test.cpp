// scene_reload_test.cpp - a saved scene read into a running play with no
// display: a good save at the frame on screen, a bad one keeping the old
// scene with its report as the note, the fall-back to frame 1 when
// stepping is too slow (on a counted clock, so nothing is timed), and the
// note giving H's choice back.
#include <gtest/gtest.h>  // the runner

#include <fstream>  // the show's own file
#include <sstream>  // read whole
#include <string>   // files, notes

#include "platform/console.h"      // skipped frames are silent anyway; the reports of stepped ones are not wanted
#include "scene/play.h"            // the play kept
#include "scene/scene_reload.h"    // under test
#include "scenefile/scene_file.h"  // the reader the programs hand it
#include "support/temp_folder.h"   // the saved files

namespace {

std::string show_file_text() {
  std::ifstream in(VORPANE_SOURCE_DIR "/assets/scenes/show.toml");
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

// The show's file with one line replaced.
std::string with_line(const std::string& from, const std::string& to) {
  std::string text = show_file_text();
  const std::size_t at = text.find(from);
  EXPECT_NE(at, std::string::npos) << from;
  if (at != std::string::npos) text.replace(at, from.size(), to);
  return text;
}

std::string three_emitters() {
  std::string text = with_line("emitters = 4", "emitters = 3");
  const std::size_t at = text.find("start_angles = [0, 90, 180, 270]");
  EXPECT_NE(at, std::string::npos);
  if (at != std::string::npos) text.replace(at, 32, "start_angles = [0, 120, 240]");
  return text;
}

// A play of the built-in show with `frame` on screen, as the programs hold
// one: its first frame shown, so a paused play steps no more.
struct Tplaying {
  explicit Tplaying(long frame) {
    BUILD_SCENE(scene);
    PLAY_SKIP_TO(scene, play, frame);
    play.steps = 0;
  }
  Tscene scene;
  Tplay play;
  Tplay_note note;
};

// A clock that moves on by `step` seconds at every reading.
double g_now = 0.0;
double g_step = 0.0;
double counted_clock() { return g_now += g_step; }

// A reader that never reads a file: what the seam hands on is all there is.
int g_loads = 0;
bool failing_loader(const std::string& file, Tscene_desc&, std::string& errors) {
  ++g_loads;
  errors = file + ":1:1: made up\n";
  return false;
}

void expect_same_scene(Tscene& a, Tscene& b) {
  ASSERT_EQ(a.emitter_count, b.emitter_count);
  for (int i = 0; i < a.emitter_count; ++i) {
    EXPECT_EQ(a.emitters[i].X(), b.emitters[i].X()) << "emitter " << i;
    EXPECT_EQ(a.emitters[i].Y(), b.emitters[i].Y()) << "emitter " << i;
    EXPECT_EQ(a.emitters[i].turret.X(), b.emitters[i].turret.X()) << "turret " << i;
  }
}

TEST(SceneReload, ASaveShowsTheNewSceneAtTheFrameOnScreenStillPaused) {
  Ttemp_folder folder;
  const std::string file = folder.WRITE("my.toml", three_emitters());
  Tplaying p(600);
  p.play.paused = true;
  ASSERT_TRUE(SCENE_RELOAD(p.scene, p.play, p.note, file, SCENE_FILE_READ));
  EXPECT_EQ(p.play.frame, 600);
  EXPECT_TRUE(p.play.paused);
  EXPECT_FALSE(p.play.hud);
  EXPECT_EQ(p.note.text, "");

  // The frame a fresh play of the file steps to.
  Tscene_desc desc;
  std::string errors;
  ASSERT_TRUE(SCENE_FILE_READ(file, desc, errors)) << errors;
  Tscene reference;
  Tplay reference_play;
  BUILD_SCENE(reference, desc);
  PLAY_SKIP_TO(reference, reference_play, 600);
  expect_same_scene(p.scene, reference);
  // Paused: the next frame is not stepped.
  EXPECT_FALSE(PLAY_STEP(p.scene, p.play, Tframe_input()));
}

TEST(SceneReload, ABadSaveKeepsTheOldSceneAndShowsTheReportUntilAGoodOne) {
  Tconsole_quiet quiet;
  Ttemp_folder folder;
  const std::string file = folder.WRITE("my.toml", with_line("pool_size = 256", "pool_size = 99999"));
  Tplaying p(600), reference(600);
  testing::internal::CaptureStderr();
  EXPECT_FALSE(SCENE_RELOAD(p.scene, p.play, p.note, file, SCENE_FILE_READ));
  const std::string printed = testing::internal::GetCapturedStderr();
  EXPECT_NE(printed.find("my.toml:"), std::string::npos) << printed;
  EXPECT_NE(printed.find("`pool_size` is 99999; it must be from 1 to 4096"), std::string::npos) << printed;
  EXPECT_EQ(p.note.text, "not reloaded, the old scene goes on:\n" + printed);
  EXPECT_TRUE(p.play.hud);  // forced on with the note
  EXPECT_EQ(p.play.frame, 600);
  expect_same_scene(p.scene, reference.scene);
  // The old scene goes on as if nothing had been read.
  for (int frame = 0; frame < 30; ++frame) {
    PLAY_STEP(p.scene, p.play, Tframe_input());
    PLAY_STEP(reference.scene, reference.play, Tframe_input());
  }
  expect_same_scene(p.scene, reference.scene);

  // A second bad save keeps the first note's memory of H's choice.
  testing::internal::CaptureStderr();
  EXPECT_FALSE(SCENE_RELOAD(p.scene, p.play, p.note, file, SCENE_FILE_READ));
  testing::internal::GetCapturedStderr();
  folder.WRITE("my.toml", three_emitters());
  ASSERT_TRUE(SCENE_RELOAD(p.scene, p.play, p.note, file, SCENE_FILE_READ));
  EXPECT_EQ(p.note.text, "");
  EXPECT_FALSE(p.play.hud);  // H's choice before the mistake
  EXPECT_EQ(p.scene.emitter_count, 3);
  EXPECT_EQ(p.play.frame, 630);
}

TEST(SceneReload, TheReaderIsTheOneHandedIn) {
  Tplaying p(10);
  g_loads = 0;
  testing::internal::CaptureStderr();
  EXPECT_FALSE(SCENE_RELOAD(p.scene, p.play, p.note, "anything.bml", failing_loader));
  EXPECT_EQ(testing::internal::GetCapturedStderr(), "anything.bml:1:1: made up\n");
  EXPECT_EQ(g_loads, 1);
  EXPECT_EQ(p.note.text, "not reloaded, the old scene goes on:\nanything.bml:1:1: made up\n");
}

// Each clock reading a tenth of a second on: the budget of half a second is
// spent after four frames, so frame 600 is out of reach and the new scene
// starts at frame 1, the note saying why.
TEST(SceneReload, SteppingPastTheTimeBoxStartsTheNewSceneAtFrameOne) {
  Ttemp_folder folder;
  const std::string file = folder.WRITE("my.toml", three_emitters());
  Tplaying p(600);
  p.play.paused = true;
  g_now = 0.0;
  g_step = 0.1;
  Treload_budget budget;
  budget.clock = counted_clock;
  ASSERT_TRUE(SCENE_RELOAD(p.scene, p.play, p.note, file, SCENE_FILE_READ, budget));
  EXPECT_EQ(p.play.frame, 0);
  EXPECT_EQ(p.scene.emitter_count, 3);
  EXPECT_EQ(p.note.text, "reloaded at frame 1: frame 600 is more than 500 ms of stepping away");
  EXPECT_TRUE(p.play.hud);
  EXPECT_TRUE(p.play.paused);
  // Frame 1 is stepped even while paused, and it is the new scene's frame 1.
  Tconsole_quiet quiet;
  EXPECT_TRUE(PLAY_STEP(p.scene, p.play, Tframe_input()));
  EXPECT_EQ(p.play.frame, 1);
  EXPECT_FALSE(PLAY_STEP(p.scene, p.play, Tframe_input()));
  Tscene reference;
  Tplay reference_play;
  BUILD_SCENE(reference, p.scene.desc);
  PLAY_STEP(reference, reference_play, Tframe_input());
  expect_same_scene(p.scene, reference);

  // A clock that stands still never runs out: the frame is reached.
  g_step = 0.0;
  Tplaying q(600);
  ASSERT_TRUE(SCENE_RELOAD(q.scene, q.play, q.note, file, SCENE_FILE_READ, budget));
  EXPECT_EQ(q.play.frame, 600);
  EXPECT_EQ(q.note.text, "");
}

TEST(SceneReload, TheTimeBoxIsInTheNoteInWholeMilliseconds) {
  Ttemp_folder folder;
  const std::string file = folder.WRITE("my.toml", show_file_text());
  Tplaying p(50);
  g_now = 0.0;
  g_step = 1.0;
  Treload_budget budget;
  budget.clock = counted_clock;
  budget.seconds = 0.25;
  ASSERT_TRUE(SCENE_RELOAD(p.scene, p.play, p.note, file, SCENE_FILE_READ, budget));
  EXPECT_EQ(p.note.text, "reloaded at frame 1: frame 50 is more than 250 ms of stepping away");
}

TEST(PlayNote, ANoteForcesTheHudAndClearingItGivesHsChoiceBack) {
  Tplay play;
  Tplay_note note;
  PLAY_SET_NOTE(play, note, "a mistake");
  EXPECT_TRUE(play.hud);
  PLAY_SET_NOTE(play, note, "");
  EXPECT_FALSE(play.hud);

  play.hud = true;  // shown by H before the note
  PLAY_SET_NOTE(play, note, "a mistake");
  PLAY_SET_NOTE(play, note, "");
  EXPECT_TRUE(play.hud);

  // H pressed while the note stands: the note still gives back what H had
  // chosen before it came, and a second note does not overwrite that.
  play.hud = false;
  PLAY_SET_NOTE(play, note, "one");
  play.hud = false;
  PLAY_SET_NOTE(play, note, "two");
  EXPECT_TRUE(play.hud);
  EXPECT_EQ(note.text, "two");
  play.hud = true;
  PLAY_SET_NOTE(play, note, "");
  EXPECT_FALSE(play.hud);
  EXPECT_EQ(note.text, "");

  // Clearing no note changes nothing.
  play.hud = true;
  PLAY_SET_NOTE(play, note, "");
  EXPECT_TRUE(play.hud);
}

}  // namespace
