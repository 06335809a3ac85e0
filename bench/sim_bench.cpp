// sim_bench.cpp - the simulation's cost: the whole scene's frame step over
// one full cycle of its programmes, one bullet's MOVE, one fan shot, the
// cost per bullet in flight of the built-in show and of the largest scene
// the limits allow, and a scene file's reload deep into the show.
//
// Rules:
//  - Every scene is built from the random source's initial state, as the show
//    builds it, so the emitters follow the show's own paths.
//  - Frame steps are timed one by one (the clock read costs some 20 ns
//    against steps of microseconds); the figures are the median and the 99th
//    percentile of all frames of all cycles run.
//  - The console is silenced except in the run that writes the reports to
//    /dev/null through a buffered FILE, flushed once per frame as the frame
//    loop flushes stdout.
#include <benchmark/benchmark.h>  // the harness

#include <chrono>  // per-frame timing
#include <cmath>   // the circling target
#include <cstdint>  // item counts
#include <cstdio>  // /dev/null
#include <string>  // counter names
#include <vector>  // samples, bullets, turrets

#include "bench_largest.h"     // the largest scene
#include "bench_report.h"      // figures for scripts/bench
#include "scene/play.h"        // the frame step
#include "scene/scene.h"        // BUILD_SCENE, STEP_SCENE
#include "scene/scene_reload.h"  // the reload, as the show does it
#include "scenefile/scene_file.h"  // the reader the show hands it
#include "platform/console.h"  // silence or /dev/null
#include "platform/random.h"   // RANDOM_RESET: the show's spline paths

namespace {

using Tclock = std::chrono::steady_clock;

double seconds_between(Tclock::time_point a, Tclock::time_point b) {
  return std::chrono::duration<double>(b - a).count();
}

void build_show_scene(Tscene& scene) {
  RANDOM_RESET();
  BUILD_SCENE(scene);
}

// Frames from the start until both schedules of emitter 0 are back at their
// first phase (all emitters share one programme): one cycle of each.
long schedule_cycle_frames() {
  Tscene scene;
  build_show_scene(scene);
  long emitter_end = 0, turret_end = 0;
  bool emitter_left = false, turret_left = false;
  for (long frame = 1; frame < 1000000 && (emitter_end == 0 || turret_end == 0); ++frame) {
    STEP_SCENE(scene);
    const Temitter& e = scene.emitters[0];
    if (e.LISTINDEX() != 1) emitter_left = true;
    else if (emitter_left && emitter_end == 0) emitter_end = frame - 1;
    if (e.turret.LISTINDEX() != 1) turret_left = true;
    else if (turret_left && turret_end == 0) turret_end = frame - 1;
  }
  DESTROY_SCENE(scene);
  return emitter_end > turret_end ? emitter_end : turret_end;
}

long g_cycle_frames = 0;
std::FILE* g_devnull = nullptr;

void devnull_write(void*, const char* text, std::size_t length) { std::fwrite(text, 1, length, g_devnull); }
void no_event(void*) {}

// The mouse stands in for a point circling the window's centre once every
// ten seconds.
Ttarget_point target_at(long frame) {
  const double a = static_cast<double>(frame) * (2.0 * 3.141592653589793 / 600.0);
  return Ttarget_point{static_cast<float>(320.0 + 150.0 * std::cos(a)),
                       static_cast<float>(240.0 + 150.0 * std::sin(a))};
}

void BM_step_scene(benchmark::State& state, bool reports_to_devnull) {
  const Tconsole_sink devnull_sink = {devnull_write, no_event, no_event, nullptr};
  if (reports_to_devnull) CONSOLE_SET_SINK(&devnull_sink);
  else CONSOLE_SILENCE();

  std::vector<Ttarget_point> targets(static_cast<std::size_t>(g_cycle_frames));
  for (long f = 0; f < g_cycle_frames; ++f) targets[static_cast<std::size_t>(f)] = target_at(f);
  std::vector<double> frame_us;
  frame_us.reserve(static_cast<std::size_t>(g_cycle_frames) * 8);

  for (auto _ : state) {
    Tscene scene;
    build_show_scene(scene);
    double cycle_seconds = 0.0;
    for (long f = 0; f < g_cycle_frames; ++f) {
      const Tclock::time_point start = Tclock::now();
      scene.target = targets[static_cast<std::size_t>(f)];
      STEP_SCENE(scene);
      if (reports_to_devnull) std::fflush(g_devnull);
      const double s = seconds_between(start, Tclock::now());
      cycle_seconds += s;
      frame_us.push_back(s * 1e6);
    }
    state.SetIterationTime(cycle_seconds);
    DESTROY_SCENE(scene);
  }
  CONSOLE_SILENCE();

  double sum = 0.0;
  for (double v : frame_us) sum += v;
  state.counters["frames"] = static_cast<double>(frame_us.size());
  state.counters["mean_us"] = sum / static_cast<double>(frame_us.size());
  state.counters["median_us"] = QUANTILE(frame_us, 0.5);
  state.counters["p99_us"] = QUANTILE(frame_us, 0.99);
  state.counters["max_us"] = QUANTILE(frame_us, 1.0);
}

// 256 bullets of every motion type, a third of them with a pause; moved
// together, so the figure is the average over the types.
void BM_bullet_move(benchmark::State& state) {
  std::vector<Tbullet> bullets(VP_POOL_SIZE);
  for (int i = 0; i < VP_POOL_SIZE; ++i) {
    Tbullet& b = bullets[static_cast<std::size_t>(i)];
    const float a = static_cast<float>(i * 7 * DEG_TO_RAD);
    b.X(320.0f);
    b.Y(240.0f);
    b.XV(std::cos(a) * 3.0f);
    b.YV(std::sin(a) * 3.0f);
    b.YG((i & 1) != 0 ? 0.0005f : 0.0f);
    b.XACCEL(b.XV() * 0.5f);
    b.YACCEL(b.YV() * 0.5f);
    b.BTYPE(i % VP_BULLET_MOTION_COUNT);
    b.DELAY(i % 3 == 0 ? 24 : -1);
    b.ACTIVE(-1);
  }
  for (auto _ : state) {
    for (Tbullet& b : bullets) b.MOVE(400.0f, 300.0f, 5.1529f);
    benchmark::ClobberMemory();
  }
  state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations()) * VP_POOL_SIZE);
}

// A turret with 246 of its 256 slots in flight (slots 0 to 245, bullets that
// stand still), set up for the last firing phase's shot: a 10-bullet V fan.
// The fan is fired outside the play area, so one MOVE_BULLETS retires its
// bullets again and the pool is back where it was.
void prepare_fan_turret(Tturret& t) {
  t.X(320.0f);
  t.Y(240.0f);
  t.X_RADIUS(150.0f);
  t.Y_RADIUS(150.0f);
  t.ROTATION(0);
  t.ROTDIR(1);
  t.WAVEMODE(VP_FIRING_ONE_SIDED);
  t.BULLETS_PER_SHOT(VP_POOL_SIZE - 10);
  t.SPREAD_ROTATION(1);
  t.BULLETSPEED(0.0f);
  t.BULLETSPEED_DELTA(0.0f);
  t.BULLETCOUNTERDELAY(0);
  t.BULLET_TYPE(VP_BULLET_MOTION_COUNT);  // a motion outside the table: they stand still in the area
  t.SHOOTER_AI();

  t.X(-1000.0f);
  t.X_RADIUS(-40.0f);
  t.Y_RADIUS(-40.0f);
  t.ROTATION(137);
  t.WAVEMODE(VP_FIRING_CENTRED);
  t.BULLETS_PER_SHOT(10);
  t.SPREAD_ROTATION(36);
  t.BULLETSPEED(5.1529f);
  t.BULLETSPEED_DELTA(0.0f);
  t.BULLETOFFSET(0.3f);
  t.BULLETCOUNTERDELAY(24);
  t.BULLETWAVEMAX(10);
  t.BULLETCOUNTER(3);
  t.BULLET_TYPE(VP_MOTION_AIMED);
}

int active_bullets(const Tturret& t) {
  int n = 0;
  for (int j = 0; j < t.MAXBULLET(); ++j) n += t.BULLET(j).ACTIVE() != 0 ? 1 : 0;
  return n;
}

void BM_shooter_ai_fan(benchmark::State& state) {
  constexpr int k_turrets = 32;  // timed together: one call is about a microsecond
  std::vector<Tturret> turrets(k_turrets);
  for (Tturret& t : turrets) prepare_fan_turret(t);
  if (active_bullets(turrets[0]) != VP_POOL_SIZE - 10) {
    state.SkipWithError("the pool was not filled as planned");
    return;
  }
  for (auto _ : state) {
    const Tclock::time_point start = Tclock::now();
    for (Tturret& t : turrets) t.SHOOTER_AI();
    state.SetIterationTime(seconds_between(start, Tclock::now()) / k_turrets);
    for (Tturret& t : turrets) t.MOVE_BULLETS();
  }
  // Every bullet of every fan found a slot, and the pools were restored.
  for (const Tturret& t : turrets) {
    if (t.MISSED() != 0 || active_bullets(t) != VP_POOL_SIZE - 10) {
      state.SkipWithError("the fan did not find its ten free slots");
      return;
    }
  }
}

// Bullets in flight in the turrets of the first `emitters` emitters.
double in_flight(const Tscene& scene, int emitters) {
  double bullets = 0.0;
  for (int i = 0; i < emitters; ++i) {
    const Tturret& t = scene.emitters[i].turret;
    for (int j = 0; j < t.MAXBULLET(); ++j) bullets += t.BULLET(j).ACTIVE() != 0 ? 1.0 : 0.0;
  }
  return bullets;
}

// The frame step of `desc` over `frames` frames after `warm_up` untimed ones:
// microseconds per frame and nanoseconds per bullet in flight.
void BM_per_bullet(benchmark::State& state, const Tscene_desc* desc, long warm_up, long frames) {
  double seconds = 0.0, bullet_frames = 0.0;
  for (auto _ : state) {
    Tscene scene;
    BUILD_SCENE(scene, *desc);
    Tplay play;
    Tframe_input input;
    for (long f = 0; f < warm_up + frames; ++f) {
      input.target = target_at(f);
      const Tclock::time_point start = Tclock::now();
      PLAY_STEP(scene, play, input);
      if (f < warm_up) continue;
      seconds += seconds_between(start, Tclock::now());
      bullet_frames += in_flight(scene, scene.emitter_count);
    }
    state.SetIterationTime(seconds);
  }
  const double total_frames = static_cast<double>(frames) * static_cast<double>(state.iterations());
  state.counters["us_per_frame"] = seconds / total_frames * 1e6;
  state.counters["ns_per_bullet"] = bullet_frames > 0 ? seconds / bullet_frames * 1e9 : 0.0;
  state.counters["in_flight"] = bullet_frames / total_frames;
}

// The median over 31 rounds of `part` called on the turrets of the first
// `turrets` emitters, in nanoseconds per bullet in flight there.
double part_ns_per_bullet(Tscene& scene, int turrets, void (Tturret::*part)()) {
  std::vector<double> ns;
  for (int round = 0; round < 31; ++round) {
    const double bullets = in_flight(scene, turrets);
    const Tclock::time_point start = Tclock::now();
    for (int i = 0; i < turrets; ++i) (scene.emitters[i].turret.*part)();
    ns.push_back(seconds_between(start, Tclock::now()) * 1e9 / bullets);
  }
  return QUANTILE(ns, 0.5);
}

// Where the time per bullet in flight goes, from one state warmed up over
// `warm_up` frames: the whole frame step over `frames` frames, then
// MOVE_BULLETS alone (no firing, no emitter moving) over the turrets of the
// first 1, 4, 16 and 64 emitters, 31 frames each, few enough that the pools
// stay as full as the step left them, and last SHOOTER_AI alone over the
// first 1 and 64. The moves over more and more turrets show what the
// bullets' memory costs as it outgrows the caches (84 bytes a bullet: a pool
// of 4,096 is 344 KB, the built-in show's four pools of 256 are 86 KB); the
// step less the moves is firing, whose search for idle slots runs from slot
// 0 past the bullets in flight, reading one field of each. Each figure is
// the median over frames of time / bullets in flight, so that a frame in
// which the process lost its core counts once, not by its length.
void BM_per_bullet_parts(benchmark::State& state, const Tscene_desc* desc, long warm_up, long frames) {
  for (auto _ : state) {
    Tscene scene;
    BUILD_SCENE(scene, *desc);
    Tplay play;
    Tframe_input input;
    long f = 0;
    for (; f < warm_up; ++f) {
      input.target = target_at(f);
      PLAY_STEP(scene, play, input);
    }
    std::vector<double> step_ns;
    double seconds = 0.0;
    for (const long end = f + frames; f < end; ++f) {
      input.target = target_at(f);
      const Tclock::time_point start = Tclock::now();
      PLAY_STEP(scene, play, input);
      const double s = seconds_between(start, Tclock::now());
      seconds += s;
      step_ns.push_back(s * 1e9 / in_flight(scene, scene.emitter_count));
    }
    state.SetIterationTime(seconds);
    state.counters["step_ns_per_bullet"] = QUANTILE(step_ns, 0.5);
    for (const int turrets : {1, 4, 16, 64}) {
      if (turrets > scene.emitter_count) break;
      state.counters["move_ns_per_bullet_" + std::to_string(turrets)] =
          part_ns_per_bullet(scene, turrets, &Tturret::MOVE_BULLETS);
    }
    // One shot of each turret alone: with the pools as full as the step
    // keeps them, mostly the search for idle slots.
    for (const int turrets : {1, 64}) {
      if (turrets > scene.emitter_count) break;
      state.counters["shot_ns_per_bullet_" + std::to_string(turrets)] =
          part_ns_per_bullet(scene, turrets, &Tturret::SHOOTER_AI);
    }
  }
}

// A save of the built-in show's file read back in at frame 7600: reading,
// building and stepping the new scene up to the frame on screen.
void BM_reload(benchmark::State& state) {
  const std::string file = VORPANE_SOURCE_DIR "/assets/scenes/show.toml";
  for (auto _ : state) {
    Tscene scene;
    Tplay play;
    Tplay_note note;
    BUILD_SCENE(scene);
    PLAY_SKIP_TO(scene, play, 7600);
    const Tclock::time_point start = Tclock::now();
    if (!SCENE_RELOAD(scene, play, note, file, SCENE_FILE_READ)) state.SkipWithError("the show's file did not load");
    state.SetIterationTime(seconds_between(start, Tclock::now()));
  }
}

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  Tfigures figures;
  figures.PARSE(argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;

  CONSOLE_SILENCE();
  g_devnull = std::fopen("/dev/null", "w");
  if (!g_devnull) {
    std::perror("/dev/null");
    return 1;
  }
  g_cycle_frames = schedule_cycle_frames();
  figures.WRITE("cycle_frames", static_cast<double>(g_cycle_frames));
  std::printf("One cycle of both schedules: %ld frames\n", g_cycle_frames);

  benchmark::RegisterBenchmark("step_scene/silent", BM_step_scene, false)
      ->Iterations(5)
      ->UseManualTime()
      ->Unit(benchmark::kMillisecond);
  benchmark::RegisterBenchmark("step_scene/devnull", BM_step_scene, true)
      ->Iterations(5)
      ->UseManualTime()
      ->Unit(benchmark::kMillisecond);
  // One iteration moves all 256: scripts/bench divides by 256.
  benchmark::RegisterBenchmark("bullet_move/256_bullets", BM_bullet_move)->Unit(benchmark::kNanosecond);
  // Each iteration also restores 32 pools untimed, some 100 times the timed
  // part, so the count is fixed rather than left to the manual clock.
  benchmark::RegisterBenchmark("shooter_ai/fan10_pool246", BM_shooter_ai_fan)
      ->Iterations(20000)
      ->UseManualTime()
      ->Unit(benchmark::kNanosecond);

  static const Tscene_desc largest = BENCH_LARGEST_SCENE();
  // Both from frame 3000 on, when the built-in show's pools have filled;
  // the largest scene's are full long before.
  benchmark::RegisterBenchmark("per_bullet/builtin", BM_per_bullet, &SCENE_BUILTIN(), 3000L, 3000L)
      ->Iterations(3)
      ->UseManualTime()
      ->Unit(benchmark::kMillisecond);
  benchmark::RegisterBenchmark("per_bullet/largest", BM_per_bullet, &largest, 3000L, 300L)
      ->Iterations(1)
      ->UseManualTime()
      ->Unit(benchmark::kMillisecond);
  benchmark::RegisterBenchmark("per_bullet_parts/builtin", BM_per_bullet_parts, &SCENE_BUILTIN(), 3000L, 3000L)
      ->Iterations(1)
      ->UseManualTime()
      ->Unit(benchmark::kMillisecond);
  benchmark::RegisterBenchmark("per_bullet_parts/largest", BM_per_bullet_parts, &largest, 3000L, 300L)
      ->Iterations(1)
      ->UseManualTime()
      ->Unit(benchmark::kMillisecond);
  benchmark::RegisterBenchmark("reload/frame7600", BM_reload)
      ->Iterations(10)
      ->UseManualTime()
      ->Unit(benchmark::kMillisecond);

  Tfigures_reporter reporter(figures);
  benchmark::RunSpecifiedBenchmarks(&reporter);
  benchmark::Shutdown();
  std::fclose(g_devnull);
  return 0;
}
