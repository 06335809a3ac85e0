// scene.cpp - the show's fixed programme.
#include "scene/scene.h"

#include "platform/random.h"         // the spline control points
#include "platform/runtime_error.h"  // VP_CHECK_INDEX

namespace {

constexpr int k_start_angle[VP_EMITTER_COUNT] = {0, 90, 180, 270};

struct Temitter_row {
  int activetime;
  float xcenter, ycenter;
  int angle_speed, radius_delta, ai;
};

// Movement phases 1..6; every one restarts at the window's centre.
constexpr Temitter_row k_emitter_phases[VP_EMITTER_PHASES] = {
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
constexpr Tturret_row k_turret_phases[VP_TURRET_PHASES] = {
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

void add_emitter_phase(Tscene& scene, Temitter_phase& scratch, const Temitter_row& row) {
  scratch.ACTIVETIME = row.activetime;
  scratch.X = 320.0f;
  scratch.Y = 240.0f;
  scratch.XV = 0.0f;
  scratch.YV = 0.0f;
  scratch.XCENTER = row.xcenter;
  scratch.YCENTER = row.ycenter;
  scratch.ACTIVE = 1;
  scratch.ANGLE_SPEED = row.angle_speed;
  scratch.RADIUS_DELTA = row.radius_delta;
  scratch.AI = row.ai;
  for (int i = 0; i < VP_EMITTER_COUNT; ++i) {
    scratch.ANGLE = k_start_angle[i];
    scene.emitters[i].ADDTO_LIST(scratch);
  }
}

void add_turret_phase(Tscene& scene, Tturret_phase& scratch, const Tturret_row& row) {
  scratch.ACTIVETIME = row.activetime;
  scratch.TARGETING = 0;
  scratch.P_POSITION = nullptr;
  scratch.P_TARGET = nullptr;
  scratch.X = row.x;
  scratch.Y = 140.0f;
  scratch.XV = 0.0f;
  scratch.YV = 0.0f;
  scratch.XG = 0.0f;
  scratch.YG = row.yg;
  scratch.TARGETX = 0.0f;
  scratch.TARGETY = 0.0f;
  scratch.ACTIVE = 1;
  scratch.X_RADIUS = row.radius;
  scratch.Y_RADIUS = row.radius;
  scratch.MINROTATION = 0;
  scratch.MAXROTATION = 359;
  scratch.ROTATION_TYPE = 0;
  scratch.ROTSPEED = row.rotspeed;
  scratch.ROTDIR = 1;
  scratch.SPAWNDELAY = 1;
  scratch.MAXSPAWNDELAY = row.maxspawndelay;
  scratch.MAXBULLET = 256;
  scratch.BULLET_ENERGY = 10;
  scratch.BULLET_DEATH_ID = 0;
  scratch.BULLETS_PER_SHOT = row.bullets_per_shot;
  scratch.SPREAD_ROTATION = row.spread_rotation;
  scratch.BULLETSPEED = row.bulletspeed;
  scratch.BULLETSPEED_DELTA = row.bulletspeed_delta;
  scratch.BULLETOFFSET = row.bulletoffset;
  scratch.WAVEMODE = row.wavemode;
  scratch.BULLETCOUNTER = 0;
  scratch.BULLETCOUNTERDELAY = row.bulletcounterdelay;
  scratch.BULLETWAVEMAX = row.bulletwavemax;
  scratch.BULLETWAVEMAXDELAY = row.bulletwavemaxdelay;
  scratch.BULLET_TYPE = row.bullet_type;
  scratch.BULLET_MIN_FRAME = 0;
  scratch.BULLET_NUM_FRAME = 1;
  scratch.BULLET_BASE_FRAME = 0;
  for (int i = 0; i < VP_EMITTER_COUNT; ++i) {
    scratch.ROTATION = k_start_angle[i];
    scene.emitters[i].turret.ADDTO_LIST(scratch);
  }
}

}  // namespace

void BUILD_SCENE(Tscene& scene) {
  DESTROY_SCENE(scene);
  // The show draws its points before it seeds the source; rewinding here
  // gives every build those same points, a rebuilt scene included.
  RANDOM_RESET();
  Temitter_phase emitter_scratch;
  scene.emitters = new Temitter[VP_EMITTER_COUNT];  // constructed 0, 1, 2, 3
  add_emitter_phase(scene, emitter_scratch, k_emitter_phases[0]);

  for (int i = 0; i < VP_EMITTER_COUNT; ++i) {
    Tspline& spline = scene.emitters[i].spline;
    spline.INITCOORDS(60);
    spline.SPEED(0.01f);
    for (int j = 0; j < spline.MAXINDEX(); ++j) {
      const double x = RND() * 640.0;  // x is drawn before y
      const double y = RND() * 480.0;
      spline.P(j, static_cast<float>(x), static_cast<float>(y));
    }
  }

  for (int k = 1; k < VP_EMITTER_PHASES; ++k) add_emitter_phase(scene, emitter_scratch, k_emitter_phases[k]);

  Tturret_phase turret_scratch;
  for (const Tturret_row& row : k_turret_phases) add_turret_phase(scene, turret_scratch, row);

  for (int i = 0; i < VP_EMITTER_COUNT; ++i) scene.emitters[i].START();
  for (int i = 0; i < VP_EMITTER_COUNT; ++i) scene.emitters[i].turret.START();

  scene.target = Ttarget_point{0.0f, 0.0f};
  for (int i = 0; i < VP_EMITTER_COUNT; ++i) scene.emitters[i].turret.SET_TARGET(&scene.target);
  for (int i = 0; i < VP_EMITTER_COUNT; ++i) scene.shown[i] = scene.emitters[i].ACTIVE();
}

Tscene::~Tscene() { DESTROY_SCENE(*this); }

void DESTROY_SCENE(Tscene& scene) {
  delete[] scene.emitters;  // destroyed 3, 2, 1, 0
  scene.emitters = nullptr;
}

int STEP_EMITTER(Temitter& emitter) {
  if (emitter.ACTIVE() == 0) return 0;
  const int c = emitter.MANAGE_LIST(MISSING_COORD, MISSING_COORD);
  emitter.DO_THINGY(c);
  return -1;
}

void STEP_SCENE(Tscene& scene) {
  for (int i = 0; i < VP_EMITTER_COUNT; ++i) scene.shown[i] = STEP_EMITTER(scene.emitters[i]);
}

int SCENE_EMITTER_PHASE_TIME(int k) {
  VP_CHECK_INDEX(k - 1, VP_EMITTER_PHASES, "scene", "SCENE_EMITTER_PHASE_TIME");
  return k_emitter_phases[k - 1].activetime;
}

int SCENE_TURRET_PHASE_TIME(int k) {
  VP_CHECK_INDEX(k - 1, VP_TURRET_PHASES, "scene", "SCENE_TURRET_PHASE_TIME");
  return k_turret_phases[k - 1].activetime;
}
