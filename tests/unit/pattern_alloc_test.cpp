// pattern_alloc_test - playing a pattern allocates nothing once its player
// is built: every one of the 354 real BulletML files Debian ships (counted
// when they are installed) and a pattern of the project's that overflows
// the pool through references with parameters; nor once a scene of a
// pattern is built, stepped through PLAY_STEP with keys pressed, its status
// line printed, its faults reported and what is in flight described. Its
// own program, since it counts every operator new (support/alloc_count.cpp).
#include <gtest/gtest.h>

#include <algorithm>   // sort: a stable order of files
#include <cstdlib>     // getenv: whether this is CI
#include <filesystem>  // the real files
#include <fstream>     // a real file's text, for the places of faults
#include <iterator>    // istreambuf_iterator
#include <string>      // paths
#include <vector>      // the files

#include "platform/console.h"        // the status line, printed into the silent sink
#include "scene/play.h"              // PLAY_STEP and its keys
#include "scenefile/scene_load.h"    // the gallery's patterns
#include "support/alloc_count.h"     // ALLOCATIONS
#include "support/scene_checks.h"    // the frame check through the one description
#include "support/pattern_checks.h"  // every frame checked while it is counted
#include "support/pattern_text.h"    // reading a pattern

namespace {

// Allocations while `player` steps `frames` frames, with the stream drawn
// and a target that moves; each frame checked (which allocates nothing
// unless it finds a violation). `most_commands` rises to the most commands
// a frame ran.
long allocations_playing(Tpattern_player& player, int frames, const std::vector<std::size_t>& lines,
                         long long& most_commands) {
  const long before = ALLOCATIONS();
  Tpattern_input input;
  for (int f = 0; f < frames; ++f) {
    input.target_x = 320.0 + (f % 50) * 3.0;
    input.target_y = 400.0;
    const Tpattern_counts counts = PATTERN_COUNTS(player);
    player.STEP(input);
    const Tpattern_violation v = PATTERN_CHECK_FRAME(player, counts, lines);
    if (v.what) ADD_FAILURE() << "frame " << f + 1 << ": " << DESCRIBE_VIOLATION(v);
    most_commands = std::max(most_commands, player.FRAME_COMMANDS());
  }
  return ALLOCATIONS() - before;
}

TEST(PatternAlloc, PlayingAPatternOfOursAllocatesNothing) {
  const std::string text =
      "<bulletml><action label=\"top\"><repeat><times>9000</times><actionRef label=\"ring\">"
      "<param>$rand*360</param></actionRef></repeat><wait>30</wait></action>"
      "<action label=\"ring\"><fire><direction type=\"absolute\">$1</direction><bulletRef label=\"split\">"
      "<param>2</param></bulletRef></fire><fire><direction type=\"sequence\">7</direction><bullet/></fire></action>"
      "<bullet label=\"split\"><speed>$1</speed><action><wait>10</wait><changeDirection><direction type=\"aim\">0"
      "</direction><term>20</term></changeDirection><fire><bullet/></fire><vanish/></action></bullet></bulletml>";
  Tpattern pattern;
  std::string mistakes;
  ASSERT_TRUE(PATTERN_TEXT(text, pattern, mistakes)) << mistakes;
  Tpattern_player player;
  player.BUILD(pattern);
  long long most_commands = 0;
  EXPECT_EQ(allocations_playing(player, 300, PATTERN_LINE_LENGTHS(text), most_commands), 0);
  EXPECT_GT(player.MISSED(), 0);
}

// Allocations while a scene steps `frames` frames through PLAY_STEP, every
// key of the show pressed now and then (the rank keys, Page Down and Up,
// which have nothing to jump to, H, Space twice), each frame checked.
long allocations_in_scene(Tscene& scene, int frames) {
  static const Tkey k_keys[] = {VP_KEY_PLUS,  VP_KEY_MINUS, VP_KEY_PAGE_DOWN, VP_KEY_PAGE_UP, VP_KEY_H,
                                VP_KEY_SPACE, VP_KEY_SPACE, VP_KEY_RIGHT,     VP_KEY_PERIOD};
  Tplay play;
  Tframe_input input;
  Tconsole_quiet quiet;
  const long before = ALLOCATIONS();
  for (int f = 0; f < frames; ++f) {
    input.target = Ttarget_point{static_cast<float>(320 + (f % 50) * 3), 400.0f};
    input.key_count = 0;
    if (f % 7 == 3) input.keys[input.key_count++] = k_keys[(f / 7) % (sizeof k_keys / sizeof k_keys[0])];
    PLAY_STEP(scene, play, input);
    const Tfault fault = CHECK_FRAME(scene);
    if (fault.what) ADD_FAILURE() << "frame " << f + 1 << ": " << DESCRIBE_FAULT(fault);
  }
  return ALLOCATIONS() - before;
}

TEST(PatternAlloc, PlayingAPatternSceneAllocatesNothing) {
  for (const char* name : {"rank-curtain.xml", "split-rings.xml", "turning-spiral.xml"}) {
    Tscene_desc desc;
    std::string errors;
    ASSERT_TRUE(SCENE_LOAD(std::string(VORPANE_SOURCE_DIR "/assets/scenes/") + name, desc, errors)) << errors;
    Tscene scene;
    BUILD_SCENE(scene, desc);
    EXPECT_EQ(allocations_in_scene(scene, 600), 0) << name;
    EXPECT_GT(scene.players[0].FIRED(), 0) << name;
  }
  // One that overflows the pool and one whose runaway repeat is stopped and
  // reported on stderr.
  const std::string overflow =
      "<bulletml><action label=\"top\"><repeat><times>20000</times><action><fire><bullet/></fire></action></repeat>"
      "<wait>100</wait></action></bulletml>";
  const std::string runaway =
      "<bulletml><action label=\"top\"><repeat><times>1000000000</times><action><vanish/></action></repeat>"
      "</action></bulletml>";
  for (const std::string& text : {overflow, runaway}) {
    Tpattern pattern;
    std::string mistakes;
    ASSERT_TRUE(PATTERN_TEXT(text, pattern, mistakes)) << mistakes;
    Tscene scene;
    BUILD_SCENE(scene, PATTERN_SCENE(pattern));
    testing::internal::CaptureStderr();
    EXPECT_EQ(allocations_in_scene(scene, 200), 0);
    testing::internal::GetCapturedStderr();
    EXPECT_TRUE(scene.players[0].MISSED() > 0 || scene.players[0].FAULT_COUNT() == 1);
  }
}

// Where Debian puts them, with how many each package ships.
struct Treal_folder {
  const char* path;
  int files;
};
const Treal_folder k_real_folders[] = {
    {"/usr/share/doc/libbulletml-dev/doc/sample", 18}, {"/usr/share/games/noiz2sa", 73},
    {"/usr/share/games/parsec47", 85},                 {"/usr/share/games/rrootage", 68},
    {"/usr/share/games/torus-trooper", 28},            {"/usr/share/games/tumiki-fighters", 69},
    {"/usr/share/games/mu-cade", 13}};
constexpr int k_real_files = 354;

// Skipped only when none is installed and this is not CI (scripts/setup
// --test installs them all); a package missing or short of its files fails.
TEST(PatternAlloc, PlayingEveryRealFileAllocatesNothing) {
  std::vector<std::string> files, missing;
  for (const Treal_folder& folder : k_real_folders) {
    std::vector<std::string> found;
    std::error_code error;
    for (std::filesystem::recursive_directory_iterator it(folder.path, error), end; !error && it != end; it.increment(error))
      if (it->is_regular_file() && it->path().extension() == ".xml") found.push_back(it->path().string());
    if (found.empty()) missing.push_back(folder.path);
    else EXPECT_EQ(static_cast<int>(found.size()), folder.files) << folder.path;
    files.insert(files.end(), found.begin(), found.end());
  }
  const char* ci = std::getenv("CI");
  if (files.empty() && !(ci && *ci && std::string(ci) != "false"))
    GTEST_SKIP() << "no real BulletML files installed: scripts/setup --test installs libbulletml-dev and the six game "
                    "data packages";
  for (const std::string& folder : missing) ADD_FAILURE() << "not installed: " << folder << " (scripts/setup --test)";
  std::sort(files.begin(), files.end());
  int stepped = 0;
  long long most_commands = 0;  // in one frame, over every file
  std::string refused;  // "NAME: mistake" lines
  for (const std::string& file : files) {
    Tpattern pattern;
    std::vector<Tbulletml_mistake> mistakes;
    std::ifstream in(file, std::ios::binary);
    const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    // The reader's counted work on a real file is a small part of the text.
    Tbulletml_read_work work;
    BULLETML_READ(file, text, pattern, mistakes, work);
    EXPECT_LE(work.steps, static_cast<long long>(text.size())) << file;
    if (!BULLETML_READ_FILE(file, pattern, mistakes)) {
      refused += std::filesystem::path(file).filename().string() + ": " + mistakes[0].message + "\n";
      continue;
    }
    Tpattern_player player;
    player.BUILD(pattern);
    EXPECT_EQ(allocations_playing(player, 600, PATTERN_LINE_LENGTHS(text), most_commands), 0) << file;
    EXPECT_EQ(player.FAULT_COUNT(), 0) << file;
    ++stepped;
  }
  // The frame's cap is far from anything a real file does: the most is
  // 2,813 here (garu_zakato's homing bullets, which never leave).
  EXPECT_LE(most_commands * 100, VP_PATTERN_MAX_FRAME_COMMANDS) << most_commands;
  EXPECT_EQ(static_cast<int>(files.size()), k_real_files);
  // The library's empty template has no top action; every other file plays.
  EXPECT_EQ(refused.compare(0, 28, "template.xml: no top action:"), 0) << refused;
  EXPECT_EQ(std::count(refused.begin(), refused.end(), '\n'), 1) << refused;
  EXPECT_EQ(stepped, k_real_files - 1);
}

}  // namespace
