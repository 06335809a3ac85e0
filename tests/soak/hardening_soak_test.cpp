// hardening_soak_test.cpp - the whole show's simulation for a million frames
// (about 4.6 hours at 60 frames per second), checked after every frame:
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
#else
constexpr long k_frames = 1000000;
constexpr long k_baseline_frame = 10000;
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

// What a frame check found; the text is only built for a fault, so that the
// check itself allocates nothing while the heap is being watched.
struct Tfault {
  const char* what = nullptr;  // null: the frame is sound
  int turret = -1;
  int bullet = -1;
  float x = 0.0f;
  float y = 0.0f;
  int count = 0;
};

std::string describe(const Tfault& f) {
  return std::string(f.what) + " (turret " + std::to_string(f.turret) + ", bullet " + std::to_string(f.bullet) +
         ", at " + std::to_string(f.x) + ", " + std::to_string(f.y) + ", count " + std::to_string(f.count) + ")";
}

Tfault check_frame(Tscene& scene) {
  for (int i = 0; i < VP_EMITTER_COUNT; ++i) {
    Temitter& emitter = scene.emitters[i];
    Tturret& turret = emitter.turret;
    if (!std::isfinite(emitter.X()) || !std::isfinite(emitter.Y()) || !std::isfinite(turret.X()) ||
        !std::isfinite(turret.Y())) {
      return {"emitter or turret not at a finite position", i, -1, emitter.X(), emitter.Y(), 0};
    }
    // The whole pool is read, also past MAXBULLET, so that a bullet left in
    // flight above it after a phase shrank the count is seen too. Setting
    // MAXBULLET only stores it; it is put back before the next frame.
    const int maxbullet = turret.MAXBULLET();
    turret.MAXBULLET(VP_POOL_SIZE);
    int in_flight = 0;
    Tfault fault;
    for (int j = 0; j < VP_POOL_SIZE && fault.what == nullptr; ++j) {
      const Tbullet bullet = turret.BULLET(j);
      if (!std::isfinite(bullet.X()) || !std::isfinite(bullet.Y()) || !std::isfinite(bullet.XV()) ||
          !std::isfinite(bullet.YV())) {
        fault = {"bullet not finite", i, j, bullet.X(), bullet.Y(), 0};
      } else if (bullet.ACTIVE() != 0) {
        ++in_flight;
        if (OUTSIDE_PLAY_AREA(bullet.X(), bullet.Y())) {
          fault = {"bullet in flight outside the play area", i, j, bullet.X(), bullet.Y(), 0};
        }
      }
    }
    turret.MAXBULLET(maxbullet);
    if (fault.what != nullptr) return fault;
    if (in_flight > maxbullet) return {"more bullets in flight than MAXBULLET", i, -1, 0.0f, 0.0f, in_flight};
  }
  return {};
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
    const Tfault fault = check_frame(scene);
    if (fault.what != nullptr) {
      ADD_FAILURE() << "frame " << frame << ": " << describe(fault);
      break;
    }
    if (frame == k_baseline_frame) baseline = memory_now();
  }

  const Tmemory end = memory_now();
  EXPECT_EQ(end.heap_bytes, baseline.heap_bytes) << "the heap grew during play";
  EXPECT_LE(end.peak_rss_kib - baseline.peak_rss_kib, 1024) << "peak resident size grew by more than 1 MiB";
  DESTROY_SCENE(scene);
}
