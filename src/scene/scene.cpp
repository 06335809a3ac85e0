// scene.cpp - the built-in show's programme, and any scene built from its description.
#include "scene/scene.h"

#include <algorithm>  // max: the longest phase list
#include <cstdio>     // snprintf: the status line and a fault's line, in place

#include "platform/console.h"  // a pattern's status line and faults
#include "platform/random.h"   // the spline control points
#include "scene/sprites.h"     // the emitter sprite's side: a ridden root stands at its centre

namespace {

struct Temitter_row {
  int activetime;
  float xcenter, ycenter;
  int angle_speed, radius_delta, ai;
};

// Movement phases 1..6; every one restarts at the window's centre.
constexpr Temitter_row k_emitter_phases[] = {
    {1300, 0.0f, 0.0f, 2, 2, AI_CIRCLE_ID},
    {300, 320.0f, 240.0f, -2, 150, AI_POLAR_ID},
    {1300, 320.0f, 240.0f, -5, 2, AI_CIRCLE_ID},
    {3200, 320.0f, 240.0f, 2, 100, AI_POLAR_ID},
    {1300, 320.0f, 240.0f, 1, 2, AI_CIRCLE_ID},
    {1700, 320.0f, 240.0f, -2, 150, AI_SPLINE_ID},
};

struct Tturret_row {
  int activetime;
  float x;
  float yg;
  float radius;
  int rotspeed, maxspawndelay, bullets_per_shot, spread_rotation;
  float bulletspeed, bulletspeed_delta, bulletoffset;
  int wavemode, bulletcounterdelay, bulletwavemax, bulletwavemaxdelay, bullet_type;
};

// Firing phases 1..10: only the columns that differ between phases.
constexpr Tturret_row k_turret_phases[] = {
    {1600, 420.0f, 0.0f, 10.0f, 5, 2, 2, 80, 5.029f, 0.0f, 0.0f, 3, -40, 0, 2, 2},
    {600, 320.0f, 0.0005f, 10.0f, 5, 5, 6, 8, 0.029f, 0.15f, 0.0f, 5, -40, 3, 2, 1},
    {700, 320.0f, 0.0f, 10.0f, 5, 5, 4, 90, 0.029f, 0.15f, 0.0f, 2, -40, 0, 2, 1},
    {700, 320.0f, 0.0f, 10.0f, 5, 5, 4, 1, 0.029f, 0.15f, 0.0f, 2, 40, 0, 2, 1},
    {700, 320.0f, 0.0f, 10.0f, 5, 25, 10, 36, 0.029f, 0.15f, 0.0f, 5, 40, 4, 2, 1},
    {700, 320.0f, 0.0005f, 10.0f, 5, 50, 6, 36, 0.029f, 0.005f, 0.3f, 4, 0, 8, 2, 1},
    {700, 320.0f, 0.0f, 10.0f, 5, 50, 6, 36, 0.029f, -0.005f, 0.3f, 3, 40, 8, 2, 1},
    {700, 320.0f, 0.0f, 10.0f, 5, 5, 6, 20, 0.029f, -0.005f, 0.3f, 2, -40, 2, 2, 1},
    {700, 320.0f, 0.0f, 10.0f, 5, 5, 3, 45, 0.029f, -0.005f, 0.3f, 2, 10, 0, 0, 1},
    {1300, 320.0f, 0.0f, -40.0f, 95, 150, 10, 36, 5.1529f, 0.0f, 0.3f, 3, 24, 10, 3, 3},
};

Temitter_phase emitter_phase(const Temitter_row& row) {
  Temitter_phase phase;
  phase.ACTIVETIME = row.activetime;
  phase.X = 320.0f;
  phase.Y = 240.0f;
  phase.XV = 0.0f;
  phase.YV = 0.0f;
  phase.XCENTER = row.xcenter;
  phase.YCENTER = row.ycenter;
  phase.ACTIVE = 1;
  phase.ANGLE_SPEED = row.angle_speed;
  phase.RADIUS_DELTA = row.radius_delta;
  phase.AI = row.ai;
  return phase;
}

Tturret_phase turret_phase(const Tturret_row& row) {
  Tturret_phase phase;
  phase.ACTIVETIME = row.activetime;
  phase.TARGETING = 0;
  phase.P_POSITION = nullptr;
  phase.P_TARGET = nullptr;
  phase.X = row.x;
  phase.Y = 140.0f;
  phase.XV = 0.0f;
  phase.YV = 0.0f;
  phase.XG = 0.0f;
  phase.YG = row.yg;
  phase.TARGETX = 0.0f;
  phase.TARGETY = 0.0f;
  phase.ACTIVE = 1;
  phase.X_RADIUS = row.radius;
  phase.Y_RADIUS = row.radius;
  phase.MINROTATION = 0;
  phase.MAXROTATION = 359;
  phase.ROTATION_TYPE = 0;
  phase.ROTSPEED = row.rotspeed;
  phase.ROTDIR = 1;
  phase.SPAWNDELAY = 1;
  phase.MAXSPAWNDELAY = row.maxspawndelay;
  phase.MAXBULLET = 256;
  phase.BULLET_ENERGY = 10;
  phase.BULLET_DEATH_ID = 0;
  phase.BULLETS_PER_SHOT = row.bullets_per_shot;
  phase.SPREAD_ROTATION = row.spread_rotation;
  phase.BULLETSPEED = row.bulletspeed;
  phase.BULLETSPEED_DELTA = row.bulletspeed_delta;
  phase.BULLETOFFSET = row.bulletoffset;
  phase.WAVEMODE = row.wavemode;
  phase.BULLETCOUNTER = 0;
  phase.BULLETCOUNTERDELAY = row.bulletcounterdelay;
  phase.BULLETWAVEMAX = row.bulletwavemax;
  phase.BULLETWAVEMAXDELAY = row.bulletwavemaxdelay;
  phase.BULLET_TYPE = row.bullet_type;
  phase.BULLET_MIN_FRAME = 0;
  phase.BULLET_NUM_FRAME = 1;
  phase.BULLET_BASE_FRAME = 0;
  return phase;
}

bool carrier(const Tscene& scene, int i) {
  return !scene.desc.own.empty() && scene.desc.own[static_cast<std::size_t>(i)].carries >= 0;
}

std::size_t longest_list(const Tscene& scene, bool movement) {
  std::size_t most = 0;
  for (int i = 0; i < scene.emitter_count; ++i)
    most = std::max(most, movement ? SCENE_MOVEMENT_OF(scene, i).size() : SCENE_FIRING_OF(scene, i).size());
  return most;
}

// Phase k goes to emitters 0, 1, 2, ... (those whose list has one) before
// phase k + 1, each with its emitter's own angle; ADDTO_LIST stores a copy.
void add_movement_phase(Tscene& scene, std::size_t k) {
  for (int i = 0; i < scene.emitter_count; ++i) {
    const std::vector<Temitter_phase>& list = SCENE_MOVEMENT_OF(scene, i);
    if (k >= list.size()) continue;
    Temitter_phase scratch = list[k];
    scratch.ANGLE = scene.desc.start_angles[i];
    scene.emitters[i].ADDTO_LIST(scratch);
  }
}

void add_firing_phase(Tscene& scene, std::size_t k) {
  for (int i = 0; i < scene.emitter_count; ++i) {
    const std::vector<Tturret_phase>& list = SCENE_FIRING_OF(scene, i);
    if (k >= list.size()) continue;
    Tturret_phase scratch = list[k];
    scratch.ROTATION = scene.desc.start_angles[i];
    scene.emitters[i].turret.ADDTO_LIST(scratch);
  }
}

// x is drawn before y, emitter by emitter, point by point; each product is
// worked in double and rounded to float once.
void draw_spline_points(Tscene& scene) {
  const Tscene_desc& d = scene.desc;
  for (int i = 0; i < scene.emitter_count; ++i) {
    Tspline& spline = scene.emitters[i].spline;
    spline.INITCOORDS(d.spline_points);
    spline.SPEED(d.spline_speed);
    for (int j = 0; j < spline.MAXINDEX(); ++j) {
      const double x = static_cast<double>(d.spline_area.left) + RND() * static_cast<double>(d.spline_area.width);
      const double y = static_cast<double>(d.spline_area.top) + RND() * static_cast<double>(d.spline_area.height);
      spline.P(j, static_cast<float>(x), static_cast<float>(y));
    }
  }
}

// The emitters' reports take rows 2 to 7.
constexpr int k_pattern_row_alone = 2;
constexpr int k_pattern_row_below = 8;

// Fixed widths, so that a shorter figure overwrites a longer one whole.
void print_status(const Tscene& scene, int p) {
  const Tpattern_player& player = scene.players[static_cast<std::size_t>(p)];
  char line[128];
  std::snprintf(line, sizeof line, "pattern frame %10lld  flying %5d  missed %10lld  rank %4.2f", player.FRAME(),
                player.IN_FLIGHT(), player.MISSED(), SCENE_PATTERN_RANK(scene, p));
  CONSOLE_LOCATE((scene.emitter_count == 0 ? k_pattern_row_alone : k_pattern_row_below) + p, 1);
  CONSOLE_PRINT_LINE(line);
}

// A file name past the line's room is cut, never the place or the text.
void report_faults(Tscene& scene, int p) {
  const Tpattern_player& player = scene.players[static_cast<std::size_t>(p)];
  int& reported = scene.faults_reported[static_cast<std::size_t>(p)];
  for (; reported < player.FAULT_COUNT(); ++reported) {
    const Tpattern_fault& f = player.FAULT(reported);
    char line[512];
    std::snprintf(line, sizeof line, "%.300s:%d:%d: %s (frame %lld)",
                  scene.desc.patterns[static_cast<std::size_t>(p)].file.c_str(), f.line, f.column,
                  PATTERN_FAULT_TEXT(f.kind), f.frame);
    CONSOLE_WARN_LINE(line);
  }
}

}  // namespace

const std::vector<Temitter_phase>& SCENE_MOVEMENT_OF(const Tscene& scene, int i) {
  const std::vector<Tscene_emitter_own>& own = scene.desc.own;
  if (!own.empty() && !own[static_cast<std::size_t>(i)].movement.empty()) return own[static_cast<std::size_t>(i)].movement;
  return scene.desc.movement;
}

// A carrier's turret gets no phase: its constructor's fires nothing, and it
// is never stepped.
const std::vector<Tturret_phase>& SCENE_FIRING_OF(const Tscene& scene, int i) {
  static const std::vector<Tturret_phase> none;
  if (carrier(scene, i)) return none;
  const std::vector<Tscene_emitter_own>& own = scene.desc.own;
  if (!own.empty() && !own[static_cast<std::size_t>(i)].firing.empty()) return own[static_cast<std::size_t>(i)].firing;
  return scene.desc.firing;
}

const Tscene_desc& SCENE_BUILTIN() {
  static const Tscene_desc builtin = [] {
    Tscene_desc d;
    d.start_angles = {0, 90, 180, 270};
    for (const Temitter_row& row : k_emitter_phases) d.movement.push_back(emitter_phase(row));
    for (const Tturret_row& row : k_turret_phases) d.firing.push_back(turret_phase(row));
    return d;
  }();
  return builtin;
}

void BUILD_SCENE(Tscene& scene) { BUILD_SCENE(scene, SCENE_BUILTIN()); }

void BUILD_SCENE(Tscene& scene, const Tscene_desc& desc) {
  if (&desc != &scene.desc) scene.desc = desc;  // a rebuild passes its own
  DESTROY_SCENE(scene);
  // The show draws its points before it seeds the source; rewinding here
  // gives every build those same points, a rebuilt scene included.
  RANDOM_RESET();
  scene.emitter_count = scene.desc.EMITTERS();
  scene.emitters = new Temitter[scene.emitter_count];  // constructed 0, 1, 2, ...
  if (scene.desc.pool_size != VP_POOL_SIZE)
    for (int i = 0; i < scene.emitter_count; ++i)
      if (!carrier(scene, i)) scene.emitters[i].turret.RESIZE_POOL(scene.desc.pool_size);
  // A scene of patterns alone may have no phase to add.
  if (scene.emitter_count > 0) {
    add_movement_phase(scene, 0);
    draw_spline_points(scene);
    const std::size_t movement = longest_list(scene, true), firing = longest_list(scene, false);
    for (std::size_t k = 1; k < movement; ++k) add_movement_phase(scene, k);
    for (std::size_t k = 0; k < firing; ++k) add_firing_phase(scene, k);
  }

  for (int i = 0; i < scene.emitter_count; ++i) scene.emitters[i].START();
  for (int i = 0; i < scene.emitter_count; ++i) scene.emitters[i].turret.START();

  scene.target = Ttarget_point{0.0f, 0.0f};
  for (int i = 0; i < scene.emitter_count; ++i) scene.emitters[i].turret.SET_TARGET(&scene.target);
  scene.shown.assign(static_cast<std::size_t>(scene.emitter_count), 0);
  for (int i = 0; i < scene.emitter_count; ++i) scene.shown[i] = scene.emitters[i].ACTIVE();

  const std::size_t patterns = scene.desc.patterns.size();
  scene.players.resize(patterns);
  for (std::size_t p = 0; p < patterns; ++p) {
    const Tscene_pattern& source = scene.desc.patterns[p];
    scene.players[p].BUILD(*source.pattern, source.start_x, source.start_y, source.pool_size, source.stream);
  }
  scene.faults_reported.assign(patterns, 0);

  scene.sources = scene.desc.order;
  if (scene.sources.empty()) {
    for (int i = 0; i < scene.emitter_count; ++i) scene.sources.push_back(Tscene_source{false, i});
    for (std::size_t p = 0; p < patterns; ++p) scene.sources.push_back(Tscene_source{true, static_cast<int>(p)});
  }
}

Tscene::~Tscene() { DESTROY_SCENE(*this); }

void DESTROY_SCENE(Tscene& scene) {
  delete[] scene.emitters;  // destroyed last to first
  scene.emitters = nullptr;
  scene.emitter_count = 0;
}

int STEP_EMITTER(Temitter& emitter) {
  if (emitter.ACTIVE() == 0) return 0;
  const int c = emitter.MANAGE_LIST(MISSING_COORD, MISSING_COORD);
  emitter.DO_THINGY(c);
  return -1;
}

namespace {

// A carrier only moves; its root is placed at its centre by the pattern's
// step.
int step_carrier(Temitter& emitter) {
  if (emitter.ACTIVE() == 0) return 0;
  emitter.MANAGE_LIST(MISSING_COORD, MISSING_COORD);
  emitter.MOVE();
  return -1;
}

}  // namespace

void STEP_SCENE(Tscene& scene) {
  for (int i = 0; i < scene.emitter_count; ++i)
    scene.shown[i] = carrier(scene, i) ? step_carrier(scene.emitters[i]) : STEP_EMITTER(scene.emitters[i]);
  const int patterns = static_cast<int>(scene.players.size());
  if (patterns == 0) return;
  Tpattern_input input;
  input.target_x = scene.target.x;
  input.target_y = scene.target.y;
  input.rank = scene.rank;
  input.hold_rand = scene.hold_rand;
  input.rand_value = scene.rand_value;
  for (int p = 0; p < patterns; ++p) {
    const Tscene_pattern& source = scene.desc.patterns[static_cast<std::size_t>(p)];
    input.rank = SCENE_PATTERN_RANK(scene, p);
    input.ride = source.rider >= 0;
    if (input.ride) {
      // The emitter's position is its sprite's corner; the root stands at
      // the sprite's centre, worked in double (exact for these floats).
      const Temitter& rider = scene.emitters[source.rider];
      input.ride_x = static_cast<double>(rider.X()) + VP_EMITTER_SIDE / 2.0;
      input.ride_y = static_cast<double>(rider.Y()) + VP_EMITTER_SIDE / 2.0;
    }
    scene.players[static_cast<std::size_t>(p)].STEP(input);
    print_status(scene, p);
    report_faults(scene, p);
  }
}
