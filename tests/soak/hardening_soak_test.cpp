// hardening_soak_test.cpp - the whole show's simulation for a million frames
// (about 4.6 hours at 60 frames per second), and each BulletML pattern of
// the gallery played as a scene for 200,000, checked after every frame:
// every position finite, every bullet in flight inside the play area after
// the retire step, no pool holding more bullets in flight than its MAXBULLET,
// and no memory gained between frame 10,000 and the end.
//
// Under the sanitizers the same checks run for fewer frames: each frame
// costs some twenty times more there, and the long run belongs to the
// release build.
#include <gtest/gtest.h>  // the runner

#include <malloc.h>        // mallinfo2: bytes held by the allocator
#include <sys/resource.h>  // getrusage: peak resident size

#include <cmath>    // isfinite, sin for the moving target
#include <cstddef>  // size_t
#include <string>   // failure messages

#include "scene/play.h"         // the frame step
#include "scenefile/scene_load.h"  // the gallery's patterns
#include "support/scene_checks.h"  // the frame check
#include "scene/scene.h"        // the show
#include "platform/console.h"  // a sink that drops the schedules' reports
#include "platform/random.h"   // RANDOM_RESET: the program's own paths

#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_UNDEFINED__)
#define VP_SOAK_SANITIZED 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer) || __has_feature(undefined_behavior_sanitizer)
#define VP_SOAK_SANITIZED 1
#endif
#endif

namespace {

#ifdef VP_SOAK_SANITIZED
constexpr long k_frames = 120000;
constexpr long k_baseline_frame = 10000;
constexpr long k_pattern_frames = 20000;
#else
constexpr long k_frames = 1000000;
constexpr long k_baseline_frame = 10000;
constexpr long k_pattern_frames = 200000;  // of each gallery pattern, about an hour of play
#endif

// The reports are printed every frame; a capture would grow with them and
// hide a leak of the code under test, so they are dropped instead.
void drop_text(void*, const char*, std::size_t) {}
void drop_event(void*) {}

// Restores whatever sink was in force.
class Tconsole_drop {
 public:
  Tconsole_drop() : previous_(CONSOLE_SINK()) {
    const Tconsole_sink none = {drop_text, drop_event, drop_event, nullptr};
    CONSOLE_SET_SINK(&none);
  }
  ~Tconsole_drop() { CONSOLE_SET_SINK(&previous_); }
  Tconsole_drop(const Tconsole_drop&) = delete;
  Tconsole_drop& operator=(const Tconsole_drop&) = delete;

 private:
  Tconsole_sink previous_;
};

struct Tmemory {
  long peak_rss_kib;
  std::size_t heap_bytes;
};

Tmemory memory_now() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  const struct mallinfo2 info = mallinfo2();
  return {usage.ru_maxrss, info.uordblks + info.hblkhd};
}

}  // namespace

TEST(HardeningSoak, AMillionFramesStayFiniteBoundedAndFlat) {
  Tconsole_drop quiet;
  RANDOM_RESET();
  Tscene scene;
  BUILD_SCENE(scene);

  Tplay play;
  Tframe_input input;
  Tmemory baseline{};
  for (long frame = 1; frame <= k_frames; ++frame) {
    // The target wanders over and beyond the window, and now and then sits
    // at (-1, -1) as when the mouse has left it.
    const double t = static_cast<double>(frame);
    const bool outside = (frame / 5000) % 7 == 3;
    input.target.x = outside ? -1.0f : static_cast<float>(320.0 + 400.0 * std::sin(t * 0.00173));
    input.target.y = outside ? -1.0f : static_cast<float>(240.0 + 300.0 * std::sin(t * 0.00291));
    PLAY_STEP(scene, play, input);
    const Tfault fault = CHECK_FRAME(scene);
    if (fault.what != nullptr) {
      ADD_FAILURE() << "frame " << frame << ": " << DESCRIBE_FAULT(fault);
      break;
    }
    if (frame == k_baseline_frame) baseline = memory_now();
  }

  const Tmemory end = memory_now();
  EXPECT_EQ(end.heap_bytes, baseline.heap_bytes) << "the heap grew during play";
  EXPECT_LE(end.peak_rss_kib - baseline.peak_rss_kib, 1024) << "peak resident size grew by more than 1 MiB";
  DESTROY_SCENE(scene);
}

TEST(HardeningSoak, EveryGalleryPatternStaysFiniteBoundedAndFlat) {
  Tconsole_drop quiet;
  for (const char* name : {"rank-curtain.xml", "split-rings.xml", "turning-spiral.xml"}) {
    Tscene_desc desc;
    std::string errors;
    ASSERT_TRUE(SCENE_LOAD(std::string(VORPANE_SOURCE_DIR "/assets/scenes/") + name, desc, errors)) << errors;
    Tscene scene;
    BUILD_SCENE(scene, desc);
    Tplay play;
    Tframe_input input;
    Tmemory baseline{};
    for (long frame = 1; frame <= k_pattern_frames; ++frame) {
      const double t = static_cast<double>(frame);
      input.target.x = static_cast<float>(320.0 + 400.0 * std::sin(t * 0.00173));
      input.target.y = static_cast<float>(240.0 + 300.0 * std::sin(t * 0.00291));
      // The rank walks from 0 to 1 and back, a step every 997 frames.
      if (frame % 997 == 0) input.keys[input.key_count++] = (frame / 997 / 10) % 2 == 0 ? VP_KEY_PLUS : VP_KEY_MINUS;
      PLAY_STEP(scene, play, input);
      input.key_count = 0;
      const Tfault fault = CHECK_FRAME(scene);
      if (fault.what != nullptr) {
        ADD_FAILURE() << name << " frame " << frame << ": " << DESCRIBE_FAULT(fault);
        break;
      }
      if (frame == k_baseline_frame) baseline = memory_now();
    }
    EXPECT_EQ(scene.players[0].FAULT_COUNT(), 0) << name;
    EXPECT_EQ(memory_now().heap_bytes, baseline.heap_bytes) << name << ": the heap grew during play";
  }
}
