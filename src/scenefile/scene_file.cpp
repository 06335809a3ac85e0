// scene_file.cpp - the scene file's schema: its keys, their ranges and
// words, and the phase defaults, read through the checked TOML reader.
#include "scenefile/scene_file.h"

#include <vector>  // the phases read

#include "platform/textfile.h"        // the file read whole, bounded
#include "scenefile/toml_reader.h"    // checked reads and the report

namespace {

// The rotation procedures each get a word of their own per value the turret
// knows.
const std::vector<Tword> k_turnings = {{"wrap", 0}, {"sweep", 1}};

// The words of the simulation's tables, in their order.
std::vector<Tword> pattern_words() {
  std::vector<Tword> words;
  for (int i = 0; i < VP_MOVEMENT_PATTERN_COUNT; ++i) words.push_back(Tword{VP_MOVEMENT_PATTERNS[i].name, i});
  return words;
}

std::vector<Tword> mode_words() {
  std::vector<Tword> words;
  for (const Tfiring_mode& mode : VP_FIRING_MODES) words.push_back(Tword{mode.word, mode.value});
  return words;
}

std::vector<Tword> motion_words() {
  std::vector<Tword> words;
  for (const Tbullet_motion& motion : VP_BULLET_MOTIONS) words.push_back(Tword{motion.word, motion.value});
  return words;
}

// A phase a file leaves mostly empty: where the built-in show's phases agree,
// their value; else a value that shows something.
Temitter_phase default_movement() {
  Temitter_phase p;
  p.ACTIVETIME = 1300;
  p.X = 320.0f;
  p.Y = 240.0f;
  p.XCENTER = 320.0f;
  p.YCENTER = 240.0f;
  p.ACTIVE = 1;
  p.ANGLE_SPEED = 2;
  p.RADIUS_DELTA = 2;
  p.AI = AI_CIRCLE_ID;
  return p;
}

Tturret_phase default_firing() {
  Tturret_phase p = SCENE_BUILTIN().firing[1];  // the fixed fields: energy, frames, active
  p.ACTIVETIME = 700;
  p.YG = 0.0f;
  p.MAXSPAWNDELAY = 5;
  p.MAXBULLET = VP_SCENE_MAX_POOL;  // the pool's size, whatever it is
  p.BULLETS_PER_SHOT = 6;
  p.SPREAD_ROTATION = 36;
  p.BULLETSPEED = 2.0f;
  p.BULLETSPEED_DELTA = 0.0f;
  p.BULLETOFFSET = 1.0f;
  p.WAVEMODE = VP_FIRING_CENTRED;
  p.BULLETCOUNTERDELAY = 0;
  p.BULLETWAVEMAX = 0;
  p.BULLETWAVEMAXDELAY = 2;
  p.BULLET_TYPE = VP_MOTION_STRAIGHT;
  return p;
}

// A [[list]] of 1 to VP_SCENE_MAX_PHASES tables, or nothing.
const toml::array* phases_at(Ttoml_reader& r, const toml::table& table, const char* key) {
  const toml::node* node = r.ASK(table, key);
  if (!node) return nullptr;
  const toml::array* phases = node->as_array();
  if (!phases || !phases->is_array_of_tables() || phases->empty() || phases->size() > VP_SCENE_MAX_PHASES) {
    r.ERROR(node->source(), "`" + std::string(key) + "` wants 1 to " + std::to_string(VP_SCENE_MAX_PHASES) +
                                " phases, each a [[" + key + "]] table");
    return nullptr;
  }
  return phases;
}

// Ranges that several keys share: positions and speeds in pixels (per
// frame), durations in frames.
constexpr double k_far_left = -1000, k_far_right = 2000;
constexpr double k_fastest = 100;
constexpr long long k_longest = 1000000;

// How long a phase lasts, where it puts its emitter or turret and how that
// drifts: the same keys in both lists.
template <typename Tphase>
void read_place(Ttoml_reader& r, const toml::table& t, Tphase& p) {
  r.WHOLE(t, "frames", 0, k_longest, p.ACTIVETIME);
  r.NUMBER(t, "x", k_far_left, k_far_right, p.X);
  r.NUMBER(t, "y", k_far_left, k_far_right, p.Y);
  r.NUMBER(t, "x_speed", -k_fastest, k_fastest, p.XV);
  r.NUMBER(t, "y_speed", -k_fastest, k_fastest, p.YV);
}

void read_movement(Ttoml_reader& r, const toml::table& t, Temitter_phase& p) {
  read_place(r, t, p);
  r.WORD(t, "pattern", pattern_words(), p.AI);
  r.NUMBER(t, "center_x", k_far_left, k_far_right, p.XCENTER);
  r.NUMBER(t, "center_y", k_far_left, k_far_right, p.YCENTER);
  r.WHOLE(t, "angle_speed", -360, 360, p.ANGLE_SPEED);
  r.WHOLE(t, "radius", -1000, 1000, p.RADIUS_DELTA);
  r.CHECK_KEYS(t, " in a [[movement]] phase");
}

void read_firing(Ttoml_reader& r, const toml::table& t, Tturret_phase& p) {
  read_place(r, t, p);
  r.FLAG(t, "aim", p.TARGETING);
  r.NUMBER(t, "gravity_x", -10, 10, p.XG);
  r.NUMBER(t, "gravity_y", -10, 10, p.YG);
  r.NUMBER(t, "spawn_radius_x", -1000, 1000, p.X_RADIUS);
  r.NUMBER(t, "spawn_radius_y", -1000, 1000, p.Y_RADIUS);
  r.WHOLE(t, "min_direction", -3600, 3600, p.MINROTATION);
  r.WHOLE(t, "max_direction", -3600, 3600, p.MAXROTATION);
  r.WORD(t, "turning", k_turnings, p.ROTATION_TYPE);
  r.WHOLE(t, "turn_speed", -3600, 3600, p.ROTSPEED);
  r.WHOLE(t, "turn_direction", -1, 1, p.ROTDIR);
  r.WHOLE(t, "first_shot_delay", 0, k_longest, p.SPAWNDELAY);
  r.WHOLE(t, "wave_pause", 0, k_longest, p.MAXSPAWNDELAY);
  r.WHOLE(t, "bullet_limit", 0, VP_SCENE_MAX_POOL, p.MAXBULLET);
  r.WHOLE(t, "bullets_per_shot", 0, 360, p.BULLETS_PER_SHOT);
  r.WHOLE(t, "spread", -360, 360, p.SPREAD_ROTATION);
  r.NUMBER(t, "bullet_speed", -k_fastest, k_fastest, p.BULLETSPEED);
  r.NUMBER(t, "speed_step", -k_fastest, k_fastest, p.BULLETSPEED_DELTA);
  r.NUMBER(t, "odd_shot_spread", -10, 10, p.BULLETOFFSET);
  r.WORD(t, "mode", mode_words(), p.WAVEMODE);
  int shots = p.BULLETWAVEMAX + 1;
  r.WHOLE(t, "shots_per_wave", 1, 1000, shots);
  p.BULLETWAVEMAX = shots - 1;
  r.WHOLE(t, "shot_pause", 0, k_longest, p.BULLETWAVEMAXDELAY);
  r.WHOLE(t, "bullet_stop_at", -100000, 100000, p.BULLETCOUNTERDELAY);
  r.WORD(t, "motion", motion_words(), p.BULLET_TYPE);
  r.CHECK_KEYS(t, " in a [[firing]] phase");
}

void read_spline(Ttoml_reader& r, const toml::table& t, Tscene_desc& d) {
  r.WHOLE(t, "points", VP_SCENE_MIN_SPLINE_POINTS, VP_SCENE_MAX_SPLINE_POINTS, d.spline_points);
  r.NUMBER(t, "speed", 0, 1, d.spline_speed);
  const toml::node* area = r.ASK(t, "area");
  r.CHECK_KEYS(t, " in [spline]");
  if (!area) return;
  const toml::array* values = area->as_array();
  if (!values || values->size() != 4) {
    r.ERROR(area->source(), "`area` wants four numbers: [left, top, width, height]");
    return;
  }
  const char* const names[4] = {"`area` left", "`area` top", "`area` width", "`area` height"};
  const double mins[4] = {k_far_left, k_far_left, 0, 0};
  const double maxs[4] = {k_far_right, k_far_right, 4000, 4000};
  float* fields[4] = {&d.spline_area.left, &d.spline_area.top, &d.spline_area.width, &d.spline_area.height};
  for (int i = 0; i < 4; ++i) r.NUMBER_OF(*values->get(static_cast<std::size_t>(i)), names[i], mins[i], maxs[i], *fields[i]);
}

void read_emitters(Ttoml_reader& r, const toml::table& top, Tscene_desc& d) {
  int count = 0;
  r.WHOLE(top, "emitters", 1, VP_SCENE_MAX_EMITTERS, count);
  const toml::node* node = r.ASK(top, "start_angles");
  if (!node) {
    // Evenly spaced, as the built-in show's four are.
    if (count > 0 && count != d.EMITTERS()) {
      d.start_angles.clear();
      for (int i = 0; i < count; ++i) d.start_angles.push_back(i * 360 / count);
    }
    return;
  }
  const toml::array* angles = node->as_array();
  if (!angles || angles->empty() || angles->size() > VP_SCENE_MAX_EMITTERS) {
    r.ERROR(node->source(), "`start_angles` wants a list of 1 to " + std::to_string(VP_SCENE_MAX_EMITTERS) +
                                " whole numbers of degrees, one per emitter");
    return;
  }
  if (count > 0 && static_cast<std::size_t>(count) != angles->size()) {
    r.ERROR(node->source(), "`start_angles` holds " + std::to_string(angles->size()) + " angles but `emitters` is " +
                                std::to_string(count));
    return;
  }
  std::vector<int> read;
  for (const toml::node& angle : *angles) {
    const auto value = angle.value_exact<std::int64_t>();
    if (!angle.is_integer() || !value || *value < -3600 || *value > 3600) {
      r.ERROR(angle.source(), "a start angle must be a whole number of degrees from -3600 to 3600");
      return;
    }
    read.push_back(static_cast<int>(*value));
  }
  d.start_angles = read;
}

template <typename Tphase>
void read_phases(Ttoml_reader& r, const toml::array* tables, const Tphase& defaults, std::vector<Tphase>& out,
                 void (*read)(Ttoml_reader&, const toml::table&, Tphase&)) {
  if (!tables) return;
  out.clear();
  for (const toml::node& node : *tables) {
    Tphase phase = defaults;
    read(r, *node.as_table(), phase);
    out.push_back(phase);
  }
}

}  // namespace

namespace {

// The reading itself; the report both as text and as records.
bool read_text(const std::string& text, const std::string& name, Tscene_desc& desc, std::string& errors,
               std::vector<Tmistake>& mistakes) {
  Ttoml_reader r(text, name, "a scene file");
  const toml::table* parsed = r.PARSE();
  if (!parsed) {
    errors = r.REPORT();
    mistakes = r.MISTAKES();
    return false;
  }
  const toml::table& top = *parsed;
  Tscene_desc d = SCENE_BUILTIN();
  int format = VP_SCENE_FORMAT;
  r.WHOLE(top, "format", 1, VP_SCENE_FORMAT, format);
  read_emitters(r, top, d);
  r.WHOLE(top, "pool_size", 1, VP_SCENE_MAX_POOL, d.pool_size);
  const toml::table* spline = r.TABLE(top, "spline");
  const toml::array* movement = phases_at(r, top, "movement");
  const toml::array* firing = phases_at(r, top, "firing");
  r.CHECK_KEYS(top, "");
  if (spline) read_spline(r, *spline, d);
  read_phases(r, movement, default_movement(), d.movement, read_movement);
  read_phases(r, firing, default_firing(), d.firing, read_firing);
  errors = r.REPORT();
  mistakes = r.MISTAKES();
  if (!errors.empty()) return false;
  desc = d;
  return true;
}

bool read_file(const std::string& path, Tscene_desc& desc, std::string& errors, std::vector<Tmistake>& mistakes) {
  std::string text, why;
  if (!READ_WHOLE_FILE(path, VP_SCENE_MAX_FILE_BYTES, "a scene file", text, why)) {
    const std::string message = "cannot read the scene file (" + why + ")";
    errors = path + ": " + message + "\n";
    mistakes.assign(1, Tmistake{path, 0, 0, message});
    return false;
  }
  return read_text(text, path, desc, errors, mistakes);
}

}  // namespace

bool SCENE_TEXT_READ(const std::string& text, const std::string& name, Tscene_desc& desc, std::string& errors) {
  std::vector<Tmistake> mistakes;
  return read_text(text, name, desc, errors, mistakes);
}

bool SCENE_FILE_READ(const std::string& path, Tscene_desc& desc, std::string& errors) {
  std::vector<Tmistake> mistakes;
  return read_file(path, desc, errors, mistakes);
}

bool SCENE_TEXT_CHECK(const std::string& text, const std::string& name, Tscene_desc& desc,
                      std::vector<Tmistake>& mistakes) {
  std::string errors;
  return read_text(text, name, desc, errors, mistakes);
}

bool SCENE_FILE_CHECK(const std::string& path, Tscene_desc& desc, std::vector<Tmistake>& mistakes) {
  std::string errors;
  return read_file(path, desc, errors, mistakes);
}
