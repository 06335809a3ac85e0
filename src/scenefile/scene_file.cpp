// scene_file.cpp - the scene file's schema: its keys, their ranges and
// words, and the phase defaults, read through the checked TOML reader.
#include "scenefile/scene_file.h"

#include <memory>  // a BulletML emitter's pattern, shared
#include <vector>  // the phases read

#include "bulletml/bulletml_read.h"   // a BulletML emitter's file
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

// ---- Format 2: an [[emitter]] table per emitter

// Where a scene's BulletML files are found and what was read from them.
struct Tpattern_files {
  std::string folder;  // the scene file's, ending in '/', or empty
  const Tscene_text_source* source;
  std::vector<std::string> paths;  // read, in order, each once
  std::vector<std::shared_ptr<const Tpattern>> patterns;  // null where it was refused
  std::string mistakes;  // theirs, a line each
  std::vector<Tmistake> records;  // the same, as records
};

std::string folder_of(const std::string& name) {
  const std::size_t slash = name.rfind('/');
  return slash == std::string::npos ? std::string() : name.substr(0, slash + 1);
}

// The pattern of `file`, read once however often it is named; null when it
// cannot be read (reported at `at`) or holds mistakes (reported in its own
// file's terms).
std::shared_ptr<const Tpattern> read_pattern(Ttoml_reader& r, const toml::node& at, const std::string& file,
                                             Tpattern_files& files, std::string& path) {
  path = !file.empty() && file[0] == '/' ? file : files.folder + file;
  for (std::size_t i = 0; i < files.paths.size(); ++i)
    if (files.paths[i] == path) return files.patterns[i];
  files.paths.push_back(path);
  files.patterns.push_back(nullptr);
  std::string text, why;
  const bool got = *files.source ? (*files.source)(path, text, why)
                                 : READ_WHOLE_FILE(path, VP_BULLETML_MAX_FILE_BYTES, "a BulletML file", text, why);
  if (!got) {
    r.ERROR(at.source(), "cannot read the BulletML file " + path + " (" + why + ")");
    return nullptr;
  }
  auto pattern = std::make_shared<Tpattern>();
  std::vector<Tbulletml_mistake> mistakes;
  if (!BULLETML_READ(path, text, *pattern, mistakes)) {
    for (const Tbulletml_mistake& m : mistakes) {
      files.mistakes += BULLETML_MISTAKE_TEXT(m) + "\n";
      files.records.push_back(Tmistake{m.file, m.line, m.column, m.message});
    }
    return nullptr;
  }
  files.patterns.back() = pattern;
  return pattern;
}

// A built-in emitter: its angle and, where it gives them, its own lists.
void read_builtin_emitter(Ttoml_reader& r, const toml::table& t, int angle, Tscene_desc& d) {
  r.WHOLE(t, "start_angle", -3600, 3600, angle);
  const toml::array* movement = phases_at(r, t, "movement");
  const toml::array* firing = phases_at(r, t, "firing");
  r.CHECK_KEYS(t, " in an [[emitter]] table");
  Tscene_emitter_own own;
  read_phases(r, movement, default_movement(), own.movement, read_movement);
  read_phases(r, firing, default_firing(), own.firing, read_firing);
  d.order.push_back(Tscene_source{false, d.EMITTERS()});
  d.start_angles.push_back(angle);
  d.own.push_back(own);
}

// A BulletML emitter: its file, rank and pool, and either a movement of its
// own that carries the root or the root's start.
void read_pattern_emitter(Ttoml_reader& r, const toml::table& t, const toml::node& file_node, int angle,
                          Tpattern_files& files, Tscene_desc& d) {
  std::string file;
  r.TEXT(t, "bulletml", file);
  Tscene_pattern source;
  r.NUMBER(t, "rank", 0, 1, source.rank);
  source.pool_size = VP_SCENE_PATTERN_POOL;
  r.WHOLE(t, "pool_size", 1, VP_PATTERN_POOL, source.pool_size);
  const toml::array* movement = phases_at(r, t, "movement");
  const toml::node* angle_node = r.ASK(t, "start_angle");
  const toml::node* x = r.ASK(t, "x");
  const toml::node* y = r.ASK(t, "y");
  if (const toml::node* firing = r.ASK(t, "firing"))
    r.ERROR(firing->source(), "a BulletML emitter fires as its file says: [[emitter.firing]] is for an emitter without "
                              "`bulletml`");
  r.CHECK_KEYS(t, " in an [[emitter]] table");
  if (movement) {
    r.WHOLE(t, "start_angle", -3600, 3600, angle);
    for (const toml::node* at : {x, y})
      if (at)
        r.ERROR(at->source(), "the root rides its [[emitter.movement]]: its place is the emitter's, so `x` and `y` "
                              "stand only in a BulletML emitter without one");
  } else {
    if (angle_node)
      r.ERROR(angle_node->source(), "`start_angle` turns an emitter's movement: a BulletML emitter without "
                                    "[[emitter.movement]] has none");
    r.NUMBER(t, "x", k_far_left, k_far_right, source.start_x);
    r.NUMBER(t, "y", k_far_left, k_far_right, source.start_y);
  }
  int patterns_before = 0;
  for (const Tscene_source& s : d.order) patterns_before += s.pattern ? 1 : 0;
  source.stream = patterns_before;
  if (!file.empty()) source.pattern = read_pattern(r, file_node, file, files, source.file);
  else if (file_node.is_string()) r.ERROR(file_node.source(), "`bulletml` wants the name of a BulletML file");
  if (movement) {
    Tscene_emitter_own own;
    read_phases(r, movement, default_movement(), own.movement, read_movement);
    own.carries = static_cast<int>(d.patterns.size());
    source.rider = d.EMITTERS();
    d.start_angles.push_back(angle);
    d.own.push_back(own);
  }
  d.order.push_back(Tscene_source{true, static_cast<int>(d.patterns.size())});
  d.patterns.push_back(source);
}

void read_emitter_tables(Ttoml_reader& r, const toml::node& node, Tpattern_files& files, Tscene_desc& d) {
  const toml::array* tables = node.as_array();
  if (!tables || !tables->is_array_of_tables() || tables->empty() || tables->size() > VP_SCENE_MAX_EMITTERS) {
    r.ERROR(node.source(), "`emitter` wants 1 to " + std::to_string(VP_SCENE_MAX_EMITTERS) +
                               " emitters, each an [[emitter]] table");
    return;
  }
  d.start_angles.clear();
  const int count = static_cast<int>(tables->size());
  for (int i = 0; i < count; ++i) {
    const toml::table& t = *tables->get(static_cast<std::size_t>(i))->as_table();
    // Evenly spaced where no angle is given, as `emitters` alone spaces them.
    const int angle = i * 360 / count;
    if (const toml::node* file = r.ASK(t, "bulletml")) read_pattern_emitter(r, t, *file, angle, files, d);
    else read_builtin_emitter(r, t, angle, d);
  }
  long long bullets = 0;
  for (const Tscene_source& s : d.order)
    bullets += s.pattern ? d.patterns[static_cast<std::size_t>(s.index)].pool_size : d.pool_size;
  if (bullets > VP_SCENE_MAX_BULLETS)
    r.ERROR(node.source(), "the emitters' pools hold " + std::to_string(bullets) + " bullets together; at most " +
                               std::to_string(VP_SCENE_MAX_BULLETS) + " may be");
}

}  // namespace

namespace {

// The reading itself; the report both as text and as records. The BulletML
// files an [[emitter]] table names come through `source` when it is given,
// else from disk.
bool read_text(const std::string& text, const std::string& name, Tscene_desc& desc, std::string& errors,
               std::vector<Tmistake>& mistakes, const Tscene_text_source& source) {
  Ttoml_reader r(text, name, "a scene file");
  const toml::table* parsed = r.PARSE();
  if (!parsed) {
    errors = r.REPORT();
    mistakes = r.MISTAKES();
    return false;
  }
  const toml::table& top = *parsed;
  Tscene_desc d = SCENE_BUILTIN();
  int format = 1;
  r.WHOLE(top, "format", 1, VP_SCENE_FORMAT, format);
  // Format 1 knows no [[emitter]]: there it is an unknown key, as it always was.
  const toml::node* emitter_tables = format >= 2 ? r.ASK(top, "emitter") : nullptr;
  if (emitter_tables) {
    for (const char* key : {"emitters", "start_angles"})
      if (const toml::node* at = r.ASK(top, key))
        r.ERROR(at->source(), "`" + std::string(key) + "` cannot stand beside [[emitter]] tables: their number is the "
                              "number of emitters, and each gives its own `start_angle`");
  } else {
    read_emitters(r, top, d);
  }
  r.WHOLE(top, "pool_size", 1, VP_SCENE_MAX_POOL, d.pool_size);
  const toml::table* spline = r.TABLE(top, "spline");
  const toml::array* movement = phases_at(r, top, "movement");
  const toml::array* firing = phases_at(r, top, "firing");
  r.CHECK_KEYS(top, "");
  if (spline) read_spline(r, *spline, d);
  read_phases(r, movement, default_movement(), d.movement, read_movement);
  read_phases(r, firing, default_firing(), d.firing, read_firing);
  Tpattern_files files{folder_of(name), &source, {}, {}, {}, {}};
  if (emitter_tables) read_emitter_tables(r, *emitter_tables, files, d);
  errors = r.REPORT() + files.mistakes;
  mistakes = r.MISTAKES();
  mistakes.insert(mistakes.end(), files.records.begin(), files.records.end());
  if (!errors.empty()) return false;
  d.files.assign(1, name);
  d.files.insert(d.files.end(), files.paths.begin(), files.paths.end());
  desc = d;
  return true;
}

bool read_file(const std::string& path, Tscene_desc& desc, std::string& errors, std::vector<Tmistake>& mistakes,
               const Tscene_text_source& source) {
  std::string text, why;
  if (!READ_WHOLE_FILE(path, VP_SCENE_MAX_FILE_BYTES, "a scene file", text, why)) {
    mistakes.assign(1, Tmistake{path, 0, 0, "cannot read the scene file (" + why + ")"});
    errors = MISTAKE_TEXT(mistakes[0]) + "\n";
    return false;
  }
  return read_text(text, path, desc, errors, mistakes, source);
}

}  // namespace

bool SCENE_TEXT_READ(const std::string& text, const std::string& name, Tscene_desc& desc, std::string& errors,
                     const Tscene_text_source& source) {
  std::vector<Tmistake> mistakes;
  return read_text(text, name, desc, errors, mistakes, source);
}

bool SCENE_FILE_READ(const std::string& path, Tscene_desc& desc, std::string& errors) {
  std::vector<Tmistake> mistakes;
  return read_file(path, desc, errors, mistakes, nullptr);
}

bool SCENE_TEXT_CHECK(const std::string& text, const std::string& name, Tscene_desc& desc,
                      std::vector<Tmistake>& mistakes, const Tscene_text_source& source) {
  std::string errors;
  return read_text(text, name, desc, errors, mistakes, source);
}

bool SCENE_FILE_CHECK(const std::string& path, Tscene_desc& desc, std::vector<Tmistake>& mistakes,
                      const Tscene_text_source& source) {
  std::string errors;
  return read_file(path, desc, errors, mistakes, source);
}
