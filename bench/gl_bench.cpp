// gl_bench.cpp - what one frame's drawing costs, and how evenly the frame
// loop paces its frames.
//
//   vorpane-bench-gl --samples=N [--pace=FRAMES [--intervals=PATH]] [--figures=PATH]
//                    [benchmark flags]
//
// --intervals writes every present-to-present interval of the pacing run, in
// milliseconds, one a line, for a closer look at late frames.
//
// Rules:
//  - One window per process: the pixel format (multisampling or not) is
//    chosen once with --samples, so each format is its own run.
//  - The drawing is timed on a scene stepped, as the show steps it, to the
//    first frame in which all 4 x 256 bullets are in flight; nothing is
//    stepped while drawing is timed. glFinish ends every timed frame, so
//    the renderer's deferred work is inside the time.
//  - The batched drawing exists only here, as a yardstick: the same sprites'
//    quads (SPRITE_QUAD) and state in one glBegin/glEnd.
//  - Pacing runs the real frame loop on a freshly built scene, with the
//    schedules' reports going to /dev/null through stdout as in
//    `vorpane > /dev/null`.
#include <GL/gl.h>                // drawing, glFinish, queries
#include <benchmark/benchmark.h>  // the harness
#include <fcntl.h>                // open /dev/null
#include <unistd.h>               // dup, dup2

#include <cmath>    // pacing statistics
#include <cstdio>   // messages, stdout
#include <cstdlib>  // atoi
#include <cstring>  // argument prefixes
#include <string>   // names
#include <vector>   // timestamps, pixels

#include "bench_largest.h"     // the largest scene
#include "bench_report.h"      // figures for scripts/bench
#include "gl/draw_gl.h"        // the backend's screen and atlas
#include "gl/quad_gl.h"        // the batch's quads
#include "gl/sprite_pass.h"    // the sprite pass
#include "show/show.h"         // the show's start-up and loop
#include "platform/console.h"  // silence while preparing
#include "platform/timer.h"    // the present times

namespace {

Tscene g_full;  // every pool full
std::vector<Tsprite> g_full_sprites;
Tscene g_largest;  // 64 emitters with 4096 bullets each, pools full
std::vector<Tsprite> g_largest_sprites;
Tshow g_show;
std::string g_intervals_path;

// Steps the show (target circling the centre) until all pools are full.
long fill_scene(Tscene& scene) {
  BUILD_SCENE(scene);
  Tplay play;
  Tframe_input input;
  for (long frame = 1; frame <= 100000; ++frame) {
    const double a = static_cast<double>(frame) * (2.0 * 3.141592653589793 / 600.0);
    input.target = Ttarget_point{static_cast<float>(320.0 + 150.0 * std::cos(a)),
                                 static_cast<float>(240.0 + 150.0 * std::sin(a))};
    PLAY_STEP(scene, play, input);
    int active = 0;
    for (int i = 0; i < VP_EMITTER_COUNT; ++i) {
      const Tturret& t = scene.emitters[i].turret;
      for (int j = 0; j < t.MAXBULLET(); ++j) active += t.BULLET(j).ACTIVE() != 0 ? 1 : 0;
    }
    if (active == VP_EMITTER_COUNT * VP_POOL_SIZE) return frame;
  }
  return -1;
}

// The show's sprite pass around a sprite-drawing procedure.
template <typename Tdraw>
void draw_frame(Tdraw draw) {
  SPRITE_PASS_BEGIN(*g_show.draw->screen, g_show.draw->atlas);
  draw();
  SPRITE_PASS_END(*g_show.draw->screen);
}

// The same sprites in the same order, read the same way, in one batch.
void draw_batched(const Tscene& scene) {
  glBegin(GL_QUADS);
  for (int i = 0; i < VP_EMITTER_COUNT; ++i) {
    const Temitter& e = scene.emitters[i];
    if (e.ACTIVE() == 0) continue;
    QUAD_SEND(SPRITE_QUAD(Tsprite{e.X(), e.Y(), VP_SPRITE_EMITTER}));
    const Tturret& t = e.turret;
    const int count = t.MAXBULLET();
    for (int j = 0; j < count; ++j) {
      const Tbullet b = t.BULLET(j);
      if (b.ACTIVE() != 0) QUAD_SEND(SPRITE_QUAD(Tsprite{b.X(), b.Y(), VP_SPRITE_BULLET}));
    }
  }
  glEnd();
}

// What the show's frame does: the scene's sprites gathered, then drawn.
void draw_prescribed() {
  SCENE_SPRITES(g_full, g_full_sprites);
  SPRITE_PASS_DRAW(g_show.draw->atlas, g_full_sprites);
}
void draw_batch() { draw_batched(g_full); }
void draw_largest() {
  SCENE_SPRITES(g_largest, g_largest_sprites);
  SPRITE_PASS_DRAW(g_show.draw->atlas, g_largest_sprites);
}
void draw_nothing() {}

void BM_draw(benchmark::State& state, void (*sprites)()) {
  for (auto _ : state) {
    draw_frame(sprites);
    glFinish();
  }
}

// How far the batch's picture is from the display lists' picture: the
// largest channel difference and the share of pixels that differ at all.
void compare_pictures(const Tfigures& figures, const std::string& prefix) {
  draw_frame(draw_prescribed);
  const std::vector<std::uint8_t> a = SHOW_READ_BACK(g_show).rgb;
  draw_frame(draw_batch);
  const std::vector<std::uint8_t> b = SHOW_READ_BACK(g_show).rgb;
  int largest = 0;
  long differing = 0, lit = 0;
  for (std::size_t p = 0; p < a.size(); p += 3) {
    bool differs = false;
    for (int c = 0; c < 3; ++c) {
      const int d = std::abs(static_cast<int>(a[p + c]) - static_cast<int>(b[p + c]));
      if (d > largest) largest = d;
      differs = differs || d != 0;
    }
    differing += differs ? 1 : 0;
    lit += (a[p] | a[p + 1] | a[p + 2]) != 0 ? 1 : 0;
  }
  figures.WRITE(prefix + "batch_max_channel_difference", largest);
  figures.WRITE(prefix + "batch_differing_pixels", static_cast<double>(differing));
  figures.WRITE(prefix + "lit_pixels", static_cast<double>(lit));
}

// Pacing: the real loop, TIMER() taken after every present.
struct Tpresents {
  std::vector<double> at;
};

void on_present(void* context, long) { static_cast<Tpresents*>(context)->at.push_back(TIMER()); }

void BM_pace(benchmark::State& state, long frames) {
  Tpresents presents;
  presents.at.reserve(static_cast<std::size_t>(frames));
  for (auto _ : state) {
    BUILD_SCENE(g_show.scene);
    CONSOLE_SET_SINK(nullptr);
    std::fflush(stdout);
    const int saved = dup(1);
    const int devnull = open("/dev/null", O_WRONLY);
    dup2(devnull, 1);
    const Tframe_observer observer = {on_present, &presents};
    const double start = TIMER();
    SHOW_RUN(g_show, frames, &observer);
    const double end = TIMER();
    std::fflush(stdout);
    dup2(saved, 1);
    close(devnull);
    close(saved);
    CONSOLE_SILENCE();
    state.SetIterationTime(end - start);
  }

  const std::vector<double>& t = presents.at;
  const std::size_t n = t.size();
  if (n < 3) {
    state.SkipWithError("too few frames presented");
    return;
  }
  std::vector<double> interval(n - 1), deviation(n - 1);
  double sum = 0.0;
  long late = 0;
  for (std::size_t k = 1; k < n; ++k) {
    interval[k - 1] = t[k] - t[k - 1];
    deviation[k - 1] = std::fabs(interval[k - 1] - VP_FRAME_SECONDS);
    sum += interval[k - 1];
    late += interval[k - 1] > VP_FRAME_SECONDS + 0.25e-3 ? 1 : 0;
  }
  if (!g_intervals_path.empty()) {
    if (std::FILE* f = std::fopen(g_intervals_path.c_str(), "w")) {
      for (double v : interval) std::fprintf(f, "%.4f\n", v * 1e3);
      std::fclose(f);
    }
  }
  const double mean = sum / static_cast<double>(n - 1);
  double squares = 0.0;
  for (double v : interval) squares += (v - mean) * (v - mean);
  state.counters["presents"] = static_cast<double>(n);
  state.counters["mean_ms"] = mean * 1e3;
  state.counters["mean_error_pct"] = (mean - VP_FRAME_SECONDS) / VP_FRAME_SECONDS * 100.0;
  state.counters["sd_ms"] = std::sqrt(squares / static_cast<double>(n - 2)) * 1e3;
  state.counters["p99_dev_ms"] = QUANTILE(deviation, 0.99) * 1e3;
  state.counters["max_dev_ms"] = QUANTILE(deviation, 1.0) * 1e3;
  // The last present against the ideal schedule anchored at the first one.
  state.counters["drift_ms"] = (t[n - 1] - t[0] - static_cast<double>(n - 1) * VP_FRAME_SECONDS) * 1e3;
  state.counters["late_frames"] = static_cast<double>(late);
}

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  Tfigures figures;
  figures.PARSE(argc, argv);
  int samples = 2;
  long pace_frames = 0;
  int out = 1;
  for (int i = 1; i < argc; ++i) {
    if (std::strncmp(argv[i], "--samples=", 10) == 0) samples = std::atoi(argv[i] + 10);
    else if (std::strncmp(argv[i], "--pace=", 7) == 0) pace_frames = std::atol(argv[i] + 7);
    else if (std::strncmp(argv[i], "--intervals=", 12) == 0) g_intervals_path = argv[i] + 12;
    else argv[out++] = argv[i];
  }
  argc = out;
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;

  CONSOLE_SILENCE();
  const long full_at = fill_scene(g_full);
  if (full_at < 0) {
    std::fprintf(stderr, "vorpane-bench-gl: the pools never filled\n");
    return 1;
  }

  // The show's own start-up, with the chosen sample count.
  Tshow_setup setup;
  setup.atlas = VORPANE_SOURCE_DIR "/assets/parts.png";
  setup.draw.samples = samples;
  SHOW_START(g_show, setup);
  const char* renderer = reinterpret_cast<const char*>(glGetString(GL_RENDERER));
  GLint got_samples = 0;
  glGetIntegerv(GL_SAMPLES, &got_samples);
  const std::string prefix = "samples" + std::to_string(samples) + ".";
  figures.WRITE_TEXT("renderer", renderer ? renderer : "unknown");
  figures.WRITE(prefix + "gl_samples", got_samples);
  figures.WRITE(prefix + "full_at_frame", static_cast<double>(full_at));
  std::printf("Renderer: %s; %d samples requested, %d granted; pools full at frame %ld\n",
              renderer ? renderer : "unknown", samples, got_samples, full_at);
  compare_pictures(figures, prefix);

  const std::string suffix = "/samples:" + std::to_string(samples);
  benchmark::RegisterBenchmark(("draw/display_lists" + suffix).c_str(), BM_draw, draw_prescribed)
      ->Unit(benchmark::kMillisecond)
      ->MinTime(1.0);
  benchmark::RegisterBenchmark(("draw/one_batch" + suffix).c_str(), BM_draw, draw_batch)
      ->Unit(benchmark::kMillisecond)
      ->MinTime(1.0);
  if (samples == 0) {
    BUILD_SCENE(g_largest, BENCH_LARGEST_SCENE());
    Tplay play;
    for (long f = 0; f < 3000; ++f) PLAY_STEP(g_largest, play, Tframe_input());
    SCENE_SPRITES(g_largest, g_largest_sprites);
    figures.WRITE("largest_sprites", static_cast<double>(g_largest_sprites.size()));
    benchmark::RegisterBenchmark("draw/largest/samples:0", BM_draw, draw_largest)
        ->Unit(benchmark::kMillisecond)
        ->Iterations(5);
  }
  benchmark::RegisterBenchmark(("draw/no_sprites" + suffix).c_str(), BM_draw, draw_nothing)
      ->Unit(benchmark::kMillisecond)
      ->MinTime(1.0);
  if (pace_frames > 0)
    benchmark::RegisterBenchmark(("pace" + suffix).c_str(), BM_pace, pace_frames)
        ->Iterations(1)
        ->UseManualTime()
        ->Unit(benchmark::kMillisecond);

  Tfigures_reporter reporter(figures);
  benchmark::RunSpecifiedBenchmarks(&reporter);
  benchmark::Shutdown();
  return 0;
}
