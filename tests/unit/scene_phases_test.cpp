// scene_phases_test.cpp - phase entry frames: the schedule's timing worked by
// hand, and the show's own schedules stepped frame by frame as the oracle.
#include <gtest/gtest.h>  // the runner

#include <algorithm>  // upper_bound, lower_bound over the observed entries
#include <set>        // entry frames, sorted and without repeats
#include <vector>     // the same, indexable

#include "scene/scene.h"         // the show, stepped as the oracle
#include "scenefile/scene_file.h"  // the shipped scenes
#include "support/gallery.h"       // GALLERY_SCENES
#include "scene/scene_phases.h"  // under test
#include "platform/console.h"   // the schedules' reports, kept out of stdout
#include "platform/random.h"    // RANDOM_RESET: the program's own paths

namespace {

void expect_entries(const Tphase_timeline& timeline, const std::vector<long>& entries) {
  long frame = 0;
  for (long entry : entries) {
    EXPECT_EQ(timeline.NEXT_ENTRY(frame), entry) << "after frame " << frame;
    EXPECT_EQ(timeline.PREVIOUS_ENTRY(entry + 1), entry);
    frame = entry;
  }
}

TEST(PhaseTimeline, CountdownAndWrapTimingWorkedByHand) {
  // Durations 100, 50: phase 1 lasts 101 frames; phase 2 52 the first time
  // (the constructor record then counts from 0) and 102 afterwards.
  expect_entries(Tphase_timeline({100, 50}), {1, 102, 154, 255, 357, 458, 560});
  // Durations 2, 3: the wrap after cycle 1 takes 4 calls of the constructor record.
  expect_entries(Tphase_timeline({2, 3}), {1, 4, 9, 12, 20, 23, 31});
  // A zero duration lasts one call; so does its wrap.
  expect_entries(Tphase_timeline({2, 0}), {1, 4, 6, 9, 11});
  expect_entries(Tphase_timeline({100}), {1, 103, 305, 507});
  const Tphase_timeline one({100});
  EXPECT_EQ(one.NEXT_ENTRY(-5), 1);
  EXPECT_EQ(one.PREVIOUS_ENTRY(1), 0);
  EXPECT_EQ(one.PREVIOUS_ENTRY(-3), 0);
  EXPECT_EQ(one.PREVIOUS_ENTRY(2), 1);
  EXPECT_EQ(one.NEXT_ENTRY(1), 103);
}

TEST(PhaseTimeline, FarFramesSkipWholeCycles) {
  // Durations 100, 50 from cycle 1 on: phase 1 at 154 + 203k, phase 2 at
  // 255 + 203k; k = 492610 brackets frame 100,000,000.
  const Tphase_timeline timeline({100, 50});
  EXPECT_EQ(timeline.NEXT_ENTRY(100000000), 100000085);
  EXPECT_EQ(timeline.PREVIOUS_ENTRY(100000000), 99999984);
  EXPECT_EQ(timeline.NEXT_ENTRY(99999984), 100000085);
  EXPECT_EQ(timeline.PREVIOUS_ENTRY(99999984), 99999984 - 203 + 101);
}

TEST(ScenePhases, FirstEntriesOfTheShow) {
  Tscene scene;
  BUILD_SCENE(scene);
  EXPECT_EQ(NEXT_PHASE_FRAME(scene, 0), 1);
  EXPECT_EQ(PREVIOUS_PHASE_FRAME(scene, 1), 0);
  EXPECT_EQ(NEXT_PHASE_FRAME(scene, 1), 1302);     // movement 2 after 1300 + 1
  EXPECT_EQ(NEXT_PHASE_FRAME(scene, 1302), 1602);  // firing 2 after 1600 + 1
  EXPECT_EQ(NEXT_PHASE_FRAME(scene, 1602), 1603);  // movement 3 after 300 + 1 more
  EXPECT_EQ(PREVIOUS_PHASE_FRAME(scene, 2904), 2203);
  EXPECT_EQ(NEXT_PHASE_FRAME(scene, 2203), 2904);  // movement 4 and firing 4 together
  // Firing 10 (1300) ends cycle 0 at 7110 + 1301 + 1; movement 6 (1700) at
  // 7406 + 1701 + 1. Later cycles hold the last phase twice as long.
  EXPECT_EQ(NEXT_PHASE_FRAME(scene, 7406), 8412);
  EXPECT_EQ(NEXT_PHASE_FRAME(scene, 8412), 9108);
  EXPECT_LT(PREVIOUS_PHASE_FRAME(scene, 100000000), 100000000);
  EXPECT_GT(NEXT_PHASE_FRAME(scene, 100000000), 100000000);
}

// Every frame in which some emitter or turret of the real show moved its
// LISTINDEX to a phase (>= 1), over two wraps of both schedules.
std::vector<long> observed_entries(Tscene& scene, long frames) {
  Tconsole_quiet quiet;
  std::set<long> entries;
  // A phase is entered when the cursor lands on a phase record: LISTINDEX
  // alone would miss a one-phase list entering its phase again.
  std::vector<const void*> cursor(2 * static_cast<std::size_t>(scene.emitter_count), nullptr);
  for (long frame = 1; frame <= frames; ++frame) {
    STEP_SCENE(scene);
    for (int i = 0; i < scene.emitter_count; ++i) {
      Temitter& e = scene.emitters[i];
      const void* now[2] = {e.schedule.GETNODE(), e.turret.schedule.GETNODE()};
      const bool on_phase[2] = {e.LISTINDEX() >= 1 && e.schedule.GETNODE()->data != nullptr,
                                e.turret.LISTINDEX() >= 1 && e.turret.schedule.GETNODE()->data != nullptr};
      for (int s = 0; s < 2; ++s) {
        if (now[s] != cursor[2 * i + s] && on_phase[s]) entries.insert(frame);
        cursor[2 * i + s] = now[s];
      }
    }
  }
  return std::vector<long>(entries.begin(), entries.end());
}

}  // namespace

// The answers for `desc` against its scene stepped frame by frame over
// `frames` frames, which should cover two wraps of both schedules.
void EXPECT_PHASE_FRAMES_MATCH_THE_SCENE(const Tscene_desc& desc, long frames) {
  Tscene scene;
  BUILD_SCENE(scene, desc);
  const std::vector<long> entries = observed_entries(scene, frames);
  ASSERT_FALSE(entries.empty());
  EXPECT_EQ(entries.front(), 1);
  for (long frame = 0; frame <= frames + 1; ++frame) {
    auto later = std::upper_bound(entries.begin(), entries.end(), frame);
    if (later != entries.end()) {
      ASSERT_EQ(NEXT_PHASE_FRAME(scene, frame), *later) << "after frame " << frame;
    }
    auto earlier = std::lower_bound(entries.begin(), entries.end(), frame);
    const long previous = earlier == entries.begin() ? 0 : *(earlier - 1);
    ASSERT_EQ(PREVIOUS_PHASE_FRAME(scene, frame), previous) << "before frame " << frame;
  }
}

namespace {

TEST(ScenePhases, MatchTheShowSteppedFrameByFrame) {
  // Movement wraps at 9108 and 19915, firing at 8412 and 18123.
  EXPECT_PHASE_FRAMES_MATCH_THE_SCENE(SCENE_BUILTIN(), 25000);
}

// Page Up and Down land right in the shipped scenes too: over a little more
// than two cycles of the longer schedule.
TEST(ScenePhases, MatchEveryShippedScene) {
  for (const std::string& file : GALLERY_SCENES()) {
    SCOPED_TRACE(file);
    Tscene_desc desc;
    std::string errors;
    ASSERT_TRUE(SCENE_FILE_READ(file, desc, errors)) << errors;
    long cycle = 0;
    for (const auto& phase : desc.movement) cycle += phase.ACTIVETIME + 2;
    long firing = 0;
    for (const auto& phase : desc.firing) firing += phase.ACTIVETIME + 2;
    EXPECT_PHASE_FRAMES_MATCH_THE_SCENE(desc, 2 * std::max(cycle, firing) + 100);
  }
}

}  // namespace
