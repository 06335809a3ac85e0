// vorpane-trace - runs the show's simulation without a window and writes the
// positions of every emitter and every bullet in flight as CSV.
//
//   vorpane-trace [--frames N] [--target X,Y] [--every K] [--scene FILE [--check]]
//                 [--rank R] [--rand-constant V] [--time]
//
// The scene is built from the random source's fixed initial state, exactly as
// the program builds it, and stepped by the show's own frame step, so the
// trace is what the program shows with the mouse held at the target point.
// A BulletML file given as the scene is a scene of one pattern, played by the
// same frame step: its root as source 0 (slot -1) and each bullet in flight
// under its creation number, positions as the shortest text that reads back
// as the same double. A fault the pattern's player finds is written on
// stderr once, by the scene.
// Schedule reports are silenced so that stdout carries only the CSV.
// --check reads the scene file and says whether it is good, without running.
// --time times each frame step instead of printing it, so that a native and
// a browser build of the same simulation can be compared.
#include <algorithm>  // sort: the step times' percentiles; max: the most in flight
#include <charconv>   // to_chars for the integer columns
#include <cstdio>     // stdout, stderr
#include <cstdlib>    // exit
#include <cstring>    // strlen of the header text
#include <string>     // option values
#include <vector>     // the output buffer

#include "cli/args.h"                   // numbers on the command line
#include "cli/scene_option.h"           // --scene, a scene or a pattern
#include "core/float_text.h"            // shortest float and double text
#include "platform/console.h"           // CONSOLE_SILENCE
#include "platform/timer.h"             // --time
#include "scene/play.h"                 // the frame step
#include "scene/scene.h"                // the show
#include "scene/scene_bodies.h"         // what is in flight, of both kinds
#include "vorpane_version.h"            // --version

namespace {

// ---- Options

const char k_usage[] =
    "usage: vorpane-trace [--frames N] [--target X,Y] [--every K] [--scene FILE [--check]] [--rank R] "
    "[--rand-constant V] [--time] [--help] [--version]";

struct Toptions {
  long frames = 600;
  float target_x = -1.0f;
  float target_y = -1.0f;
  long every = 1;
  std::string scene;  // empty: the built-in show
  bool check = false;
  bool time = false;
  double rank = 0.5;         // $rank of a pattern
  bool hold_rand = false;    // --rand-constant given
  double rand_value = 0.5;
};

[[noreturn]] void usage_error(const std::string& what) {
  std::fprintf(stderr, "vorpane-trace: %s; %s\n", what.c_str(), k_usage);
  std::exit(2);
}

Toptions parse_options(int argc, char** argv) {
  Toptions options;
  Toption_walk walk(argc, argv, usage_error);
  while (walk.NEXT()) {
    std::string value;
    bool ok = true;
    if (walk.FLAG("--help") || walk.FLAG("-h")) {
      std::printf("%s\n"
                  "  --frames N    frames to simulate (default 600)\n"
                  "  --target X,Y  target point for every frame (default -1,-1)\n"
                  "  --every K     print every K-th frame and the last (default 1)\n"
                  "  --scene FILE  the show from a scene file (docs/SCENES.md) or a BulletML\n"
                  "                pattern (a file whose first character is '<')\n"
                  "  --check       only read the scene file: exit 0 when it is good, 2 with\n"
                  "                its mistakes on stderr when it is not\n"
                  "  --rank R      a pattern's $rank, 0 to 1 (default 0.5); no effect on a scene\n"
                  "  --rand-constant V\n"
                  "                hold every $rand of a pattern at V, 0 to 1, instead of\n"
                  "                drawing it (for comparisons)\n"
                  "  --time        time every frame step; print the median and 99th percentile\n"
                  "                in microseconds instead of the CSV\n"
                  "CSV on stdout: kind,frame,emitter,slot,x,y; per-turret summary on stderr.\n"
                  "A pattern's rows: E,frame,0,-1,x,y for its root, then B,frame,0,N,x,y for\n"
                  "each bullet in flight, N its creation number, in creation order.\n"
                  "A scene with [[emitter]] tables: each emitter in their order, a BulletML\n"
                  "one as E,frame,EMITTER,-1,x,y for its root and B,frame,EMITTER,N,x,y.\n",
                  k_usage);
      std::exit(0);
    } else if (walk.FLAG("--version")) {
      std::printf("vorpane-trace %s\n", VP_VERSION);
      std::exit(0);
    } else if (walk.VALUE("--frames", value)) {
      ok = PARSE_WHOLE(value, options.frames) && options.frames > 0;
    } else if (walk.VALUE("--every", value)) {
      ok = PARSE_WHOLE(value, options.every) && options.every > 0;
    } else if (walk.VALUE("--scene", value)) {
      ok = !value.empty();
      options.scene = value;
    } else if (walk.FLAG("--check")) {
      options.check = true;
    } else if (walk.FLAG("--time")) {
      options.time = true;
    } else if (walk.VALUE("--rank", value)) {
      ok = PARSE_UNIT(value, options.rank);
    } else if (walk.VALUE("--rand-constant", value)) {
      ok = PARSE_UNIT(value, options.rand_value);
      options.hold_rand = true;
    } else if (walk.VALUE("--target", value)) {
      float target[2];
      ok = PARSE_FLOATS(value, target, 2);
      options.target_x = target[0];
      options.target_y = target[1];
    } else {
      walk.UNKNOWN();
    }
    if (!ok) usage_error("bad value '" + value + "' for " + walk.ARG());
  }
  if (options.check && options.scene.empty()) usage_error("--check needs --scene FILE");
  return options;
}

// ---- Output

// Rows are assembled here and written in large blocks.
class Tcsv_out {
 public:
  Tcsv_out() { buffer_.reserve(k_capacity + 256); }
  ~Tcsv_out() { FLUSH(); }

  void ROW(char kind, long frame, int emitter, long long slot, float x, float y) {
    char line[160];
    char* p = head(line, kind, frame, emitter, slot);
    p = FLOAT_TEXT(p, x);
    *p++ = ',';
    p = FLOAT_TEXT(p, y);
    end(line, p);
  }

  void ROW(char kind, long frame, int emitter, long long slot, double x, double y) {
    char line[160];
    char* p = head(line, kind, frame, emitter, slot);
    p = DOUBLE_TEXT(p, x);
    *p++ = ',';
    p = DOUBLE_TEXT(p, y);
    end(line, p);
  }

  void TEXT(const char* text) { buffer_.insert(buffer_.end(), text, text + std::strlen(text)); }

  void FLUSH() {
    if (!buffer_.empty()) std::fwrite(buffer_.data(), 1, buffer_.size(), stdout);
    buffer_.clear();
  }

 private:
  // Each field has room for its longest text (20 digits and a sign; a
  // number's 32), so no write can reach the end of the line.
  static char* head(char* line, char kind, long frame, int emitter, long long slot) {
    char* p = line;
    *p++ = kind;
    *p++ = ',';
    p = std::to_chars(p, p + 21, frame).ptr;
    *p++ = ',';
    p = std::to_chars(p, p + 11, emitter).ptr;
    *p++ = ',';
    p = std::to_chars(p, p + 21, slot).ptr;
    *p++ = ',';
    return p;
  }
  void end(char* line, char* p) {
    *p++ = '\n';
    buffer_.insert(buffer_.end(), line, p);
    if (buffer_.size() >= k_capacity) FLUSH();
  }

  static constexpr std::size_t k_capacity = 1 << 20;
  std::vector<char> buffer_;
};

const char k_header[] = "kind,frame,emitter,slot,x,y\n";

// Runs `step` once per frame and prints its median and 99th percentile.
template <class Tstep>
int time_steps(long frames, Tstep step) {
  std::vector<double> seconds(static_cast<std::size_t>(frames));
  for (double& each : seconds) {
    const double start = TIMER();
    step();
    each = TIMER() - start;
  }
  std::sort(seconds.begin(), seconds.end());
  std::printf("frame step over %ld frames: median %.2f us, 99th percentile %.2f us\n", frames,
              seconds[seconds.size() / 2] * 1e6, seconds[seconds.size() * 99 / 100] * 1e6);
  return 0;
}

int finish_output() {
  if (std::fflush(stdout) != 0 || std::ferror(stdout)) {
    std::fprintf(stderr, "vorpane-trace: writing the trace failed\n");
    return 1;
  }
  return 0;
}

// ---- The scene: built-in, from a scene file or a BulletML pattern

int check_scene(const Toptions& options, const Tscene_desc& desc) {
  if (!desc.order.empty()) {
    const std::size_t patterns = desc.patterns.size(), emitters = desc.order.size();
    std::printf("%s: a good scene: %zu emitter%s, %zu of them BulletML, %zu file%s read\n", options.scene.c_str(),
                emitters, emitters == 1 ? "" : "s", patterns, desc.files.size(), desc.files.size() == 1 ? "" : "s");
    return 0;
  }
  if (!desc.patterns.empty()) {
    const Tpattern& pattern = *desc.patterns[0].pattern;
    std::printf("%s: a good pattern: %zu top action%s, %zu commands, nesting %d deep\n", options.scene.c_str(),
                pattern.top_actions.size(), pattern.top_actions.size() == 1 ? "" : "s", pattern.nodes.size(),
                pattern.frame_depth);
    return 0;
  }
  std::printf("%s: a good scene: %d emitter%s, pools of %d, %zu movement and %zu firing phases\n",
              options.scene.c_str(), desc.EMITTERS(), desc.EMITTERS() == 1 ? "" : "s", desc.pool_size,
              desc.movement.size(), desc.firing.size());
  return 0;
}

// An emitter's rows are its floats' text, as the show's own scenes always
// printed; a pattern's its doubles'.
void print_body(Tcsv_out& out, long frame, const Tscene_body& body) {
  const char kind = body.kind == VP_SPRITE_EMITTER ? 'E' : 'B';
  if (body.source_kind == VP_SOURCE_EMITTER)
    out.ROW(kind, frame, body.source, body.number, static_cast<float>(body.x), static_cast<float>(body.y));
  else
    out.ROW(kind, frame, body.source, body.number, body.x, body.y);
}

int trace_scene(const Toptions& options) {
  const Tscene_desc desc = options.scene.empty() ? SCENE_BUILTIN() : SCENE_OPTION(options.scene);
  if (options.check) return check_scene(options, desc);
  Tscene scene;
  BUILD_SCENE(scene, desc);
  scene.rank = options.rank;
  scene.hold_rand = options.hold_rand;
  scene.rand_value = options.rand_value;
  Tplay play;
  Tframe_input input;
  input.target = Ttarget_point{options.target_x, options.target_y};

  if (options.time) return time_steps(options.frames, [&] { PLAY_STEP(scene, play, input); });

  const int sources = SCENE_SOURCES(scene);
  std::vector<int> most_in_flight(static_cast<std::size_t>(sources), 0);
  std::vector<int> in_flight(static_cast<std::size_t>(sources), 0);
  {
    Tcsv_out out;
    out.TEXT(k_header);
    for (long f = 1; f <= options.frames; ++f) {
      PLAY_STEP(scene, play, input);
      const bool print = (f % options.every == 0) || f == options.frames;
      in_flight.assign(in_flight.size(), 0);
      SCENE_EACH_BODY(scene, [&](const Tscene_body& body) {
        if (body.kind == VP_SPRITE_BULLET) ++in_flight[static_cast<std::size_t>(body.source)];
        if (print) print_body(out, f, body);
      });
      for (int i = 0; i < sources; ++i)
        most_in_flight[i] = std::max(most_in_flight[i], in_flight[static_cast<std::size_t>(i)]);
    }
  }

  for (int i = 0; i < sources; ++i) {
    const Tscene_source& s = scene.sources[static_cast<std::size_t>(i)];
    if (!s.pattern) {
      std::fprintf(stderr, "turret %d: most in flight %d, missed (pool full) %lld\n", i, most_in_flight[i],
                   SCENE_MISSED(scene, i));
      continue;
    }
    const Tpattern_player& player = scene.players[static_cast<std::size_t>(s.index)];
    std::fprintf(stderr, "pattern: most in flight %d, fired %lld, missed (pool full) %lld\n", most_in_flight[i],
                 player.FIRED(), player.MISSED());
  }
  return finish_output();
}

}  // namespace

int main(int argc, char** argv) {
  const Toptions options = parse_options(argc, argv);
  CONSOLE_SILENCE();
  return trace_scene(options);
}
