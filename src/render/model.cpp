// model.cpp - Tmodel: the OBJ subset loader.
#include "render/model.h"

#include <climits>  // INT_MAX: a header count must fit an int32
#include <cmath>    // nearbyint (ties to even under the default rounding mode)
#include <cstdint>  // SIZE_MAX
#include <cstdlib>  // calloc/free, strtod

#include "core/numeric.h"            // NEAREST_INT: indexes and material numbers
#include "platform/console.h"        // the refusal of a second LOAD
#include "platform/runtime_error.h"  // fatal reports
#include "platform/textfile.h"       // the file, line by line

namespace {

const char k_module[] = "Tmodel";

bool is_blank(char c) { return c == ' ' || c == '\t'; }
bool is_digit(char c) { return c >= '0' && c <= '9'; }

// The decimal number at the start of line[position...]: blanks skipped, an
// optional sign, digits with an optional fraction, an optional exponent;
// reading stops at the first character that cannot continue it. No number
// (or a position past the end) reads as 0.
double read_number(const std::string& line, std::size_t position) {
  const std::size_t length = line.size();
  std::size_t i = position;
  while (i < length && is_blank(line[i])) ++i;
  const std::size_t start = i;
  if (i < length && (line[i] == '+' || line[i] == '-')) ++i;
  std::size_t digits = 0;
  while (i < length && is_digit(line[i])) ++i, ++digits;
  if (i < length && line[i] == '.') {
    ++i;
    while (i < length && is_digit(line[i])) ++i, ++digits;
  }
  if (digits == 0) return 0.0;
  if (i < length && (line[i] == 'e' || line[i] == 'E')) {
    std::size_t j = i + 1;
    if (j < length && (line[j] == '+' || line[j] == '-')) ++j;
    if (j < length && is_digit(line[j])) {
      while (j < length && is_digit(line[j])) ++j;
      i = j;
    }
  }
  // strtod on exactly the accepted text: correctly rounded, and it cannot
  // wander into "inf", "nan" or hexadecimal forms.
  const std::string text = line.substr(start, i - start);
  return std::strtod(text.c_str(), nullptr);
}

// A header count: rounded to nearest; negative or beyond int32 is refused.
std::int32_t header_count(const std::string& line, std::size_t position) {
  double r = std::nearbyint(read_number(line, position));
  if (!(r >= 0.0 && r <= static_cast<double>(INT_MAX))) {
    RUNTIME_ERROR(VP_ERR_OUT_OF_BOUNDS, __LINE__, k_module, "LOAD");
  }
  return static_cast<std::int32_t>(r);
}

// A zero-filled array of `count` records. An empty array still gets one
// record's storage so that "announced as empty" and "never announced" stay
// apart (a null array and a full one report differently).
template <typename T>
T* allocate_zeroed(std::int32_t count) {
  std::size_t records = count > 0 ? static_cast<std::size_t>(count) : 1;
  if (records > SIZE_MAX / sizeof(T)) RUNTIME_ERROR(VP_ERR_OUT_OF_BOUNDS, __LINE__, k_module, "LOAD");
  void* block = std::calloc(records, sizeof(T));
  if (block == nullptr) RUNTIME_ERROR(VP_ERR_NULL_POINTER, __LINE__, k_module, "LOAD");
  return static_cast<T*>(block);
}

template <typename T>
void release(T*& array) {
  std::free(array);
  array = nullptr;
}

// A header naming `name` on the line sizes `array` (and `twin`, when given)
// anew from the count after it; `count` reads 0 until all are allocated.
template <typename T>
void size_from_header(const std::string& line, const char* name, std::int32_t& count, T*& array, T** twin = nullptr) {
  const std::size_t at = line.find(name);
  if (at == std::string::npos) return;
  release(array);
  if (twin) release(*twin);
  count = 0;
  const std::int32_t n = header_count(line, at + std::char_traits<char>::length(name) + 1);
  array = allocate_zeroed<T>(n);
  if (twin) *twin = allocate_zeroed<T>(n);
  count = n;
}

bool starts_with(const std::string& line, const char* prefix) {
  return line.compare(0, std::char_traits<char>::length(prefix), prefix) == 0;
}

}  // namespace

void GETSURFACES(Ttextfile& file, Tmaterial_list& list) {
  int count = 0;
  std::string line;
  while (file.READ_LINE(line)) {
    if (!starts_with(line, "usemtl")) continue;
    bool known = false;
    for (int i = 0; i < count && !known; ++i) known = list[i] == line;
    if (known) continue;
    if (count >= VP_MODEL_MATERIAL_LINES) {
      RUNTIME_ERROR(VP_ERR_OUT_OF_BOUNDS, __LINE__, k_module, "GETSURFACES");
    }
    list[count++] = line;
  }
  int error = file.SEEK(0);
  if (error != 0) RUNTIME_ERROR(error, __LINE__, k_module, "GETSURFACES");
}

Tmodel::Tmodel(const char* file_name) { LOAD(file_name); }

Tmodel::~Tmodel() { UNLOAD(); }

void Tmodel::UNLOAD() {
  VERTEX_COUNT_ = 0;
  FACE_COUNT_ = 0;
  MATERIAL_COUNT_ = 0;
  release(VERTICES_);
  release(VERTEX_AUX_);
  release(FACES_);
  release(MATERIALS_);
  NOT_LOADED_ = -1;
}

// Where one load stands between lines and passes.
struct Tmodel::Tload {
  Tmaterial_list list;         // distinct "usemtl" lines, in order of first appearance
  int distinct_materials = 0;  // how many of them
  std::string current;         // the "usemtl" line whose triangles this pass takes
  std::int32_t vertex_counter = 0;
  std::int32_t triangle_counter = 0;
  std::int32_t material_counter = 0;
  int corner = 0;               // 1 to 3: the last texture corner read
  bool inside_current = false;  // since the last "usemtl" line, which was `current`
  bool first_recorded = false;  // the current material's FIRST_FACE is set
  long face_list_position = -1;
  bool first_pass = true;
};

void Tmodel::LOAD(const char* file_name) {
  if (NOT_LOADED_ == 0) {
    CONSOLE_BEEP();
    CONSOLE_PRINT_LINE("Model already allocated!!!");
    CONSOLE_WAIT_KEY();
    return;
  }
  // An empty model may still hold arrays from a load that a trapped fatal
  // error cut short; they must neither leak nor mix into this load.
  UNLOAD();

  Ttextfile file;
  int error = file.OPEN(file_name);
  if (error != 0) RUNTIME_ERROR(error, __LINE__, k_module, "LOAD");

  Tload load;
  GETSURFACES(file, load.list);
  while (load.distinct_materials < VP_MODEL_MATERIAL_LINES && !load.list[load.distinct_materials].empty()) {
    ++load.distinct_materials;
  }
  load.current = load.list[0];

  std::string line;
  for (;;) {
    while (file.READ_LINE(line)) {
      // Later passes re-read only the face list: a header or vertex there
      // was already taken in the first pass and taking it again would
      // reallocate or overflow what that pass stored.
      if (load.first_pass) read_headers(line);
      if (line.find(VP_OBJ_FACE_LIST_MARKER) != std::string::npos) load.face_list_position = file.POSITION();
      if (starts_with(line, "usemtl")) read_material_line(line, load);
      if (load.first_pass && starts_with(line, "v ")) read_vertex(line, load);
      if (load.inside_current && starts_with(line, "vt")) read_texture_corner(line, load);
      if (load.inside_current && starts_with(line, "f ")) read_face(line, load);
    }
    if (!end_pass(load)) break;
    next_pass(file, load);
  }

  error = file.CLOSE();
  if (error != 0) RUNTIME_ERROR(error, __LINE__, k_module, "LOAD");
  NOT_LOADED_ = 0;
}

// "Vertices:", "Faces:" and "Materials:" size their arrays. A repeated
// header replaces its arrays; the counters keep counting, so surplus
// records still meet the bounds checks.
void Tmodel::read_headers(const std::string& line) {
  size_from_header(line, "Vertices:", VERTEX_COUNT_, VERTICES_, &VERTEX_AUX_);
  size_from_header(line, "Faces:", FACE_COUNT_, FACES_);
  size_from_header(line, "Materials:", MATERIAL_COUNT_, MATERIALS_);
}

// A "usemtl" line: the current material's run starts at its first one.
void Tmodel::read_material_line(const std::string& line, Tload& load) {
  double number = read_number(line, 6);
  load.inside_current = line == load.current;
  if (!load.inside_current) return;
  VP_CHECK_PTR(MATERIALS_, k_module, "LOAD");
  VP_CHECK_INDEX(load.material_counter, MATERIAL_COUNT_, k_module, "LOAD");
  Tmaterial& material = MATERIALS_[load.material_counter];
  if (!load.first_recorded) {
    material.FIRST_FACE = load.triangle_counter;
    load.first_recorded = true;
  }
  material.MTL_NUMBER = NEAREST_INT(number);
}

void Tmodel::read_vertex(const std::string& line, Tload& load) {
  VP_CHECK_PTR(VERTICES_, k_module, "LOAD");
  VP_CHECK_INDEX(load.vertex_counter, VERTEX_COUNT_, k_module, "LOAD");
  Tvector& vertex = VERTICES_[load.vertex_counter];
  int field = 0;
  // Fields past the third are ignored, so the scan stops there: a long
  // run of blanks would otherwise be re-skipped once per blank.
  for (std::size_t i = 0; i < line.size() && field < 3; ++i) {
    if (!is_blank(line[i])) continue;
    ++field;
    float value = static_cast<float>(read_number(line, i + 1));
    if (field == 1) vertex.x = value;
    if (field == 2) vertex.y = value;
    if (field == 3) vertex.z = value;
  }
  ++load.vertex_counter;
}

// A "vt" line fills the corners of the triangle to come, third corner first.
void Tmodel::read_texture_corner(const std::string& line, Tload& load) {
  load.corner = load.corner % 3 + 1;
  const int slot = 4 - load.corner;
  VP_CHECK_PTR(FACES_, k_module, "LOAD");
  VP_CHECK_INDEX(load.triangle_counter, FACE_COUNT_, k_module, "LOAD");
  Tuv& uv = FACES_[load.triangle_counter].UV[slot - 1];
  int field = 0;
  for (std::size_t i = 0; i < line.size() && field < 2; ++i) {
    if (!is_blank(line[i])) continue;
    ++field;
    if (field == 1) uv.u = static_cast<float>(read_number(line, i + 1));
    if (field == 2) uv.v = static_cast<float>(read_number(line, i + 1));
  }
}

void Tmodel::read_face(const std::string& line, Tload& load) {
  VP_CHECK_PTR(FACES_, k_module, "LOAD");
  VP_CHECK_INDEX(load.triangle_counter, FACE_COUNT_, k_module, "LOAD");
  Tface& face = FACES_[load.triangle_counter];
  int field = 0;
  for (std::size_t i = 0; i < line.size(); ++i) {
    if (!is_blank(line[i])) continue;
    ++field;
    VP_CHECK_INDEX(field - 1, 3, k_module, "LOAD");
    face.V[field - 1] = NEAREST_INT(read_number(line, i + 1) - 1.0);
  }
  ++load.triangle_counter;
}

// The end of a pass closes the current material's run; false when it was
// the last material.
bool Tmodel::end_pass(Tload& load) {
  // A "Faces:" header repeated below the triangles already stored would
  // leave this run reaching past the triangle array: refused like any other
  // surplus.
  if (load.triangle_counter > FACE_COUNT_) RUNTIME_ERROR(VP_ERR_OUT_OF_BOUNDS, __LINE__, k_module, "LOAD");
  VP_CHECK_PTR(MATERIALS_, k_module, "LOAD");
  VP_CHECK_INDEX(load.material_counter, MATERIAL_COUNT_, k_module, "LOAD");
  Tmaterial& material = MATERIALS_[load.material_counter];
  material.LAST_FACE = load.triangle_counter - 1;
  // A material with no triangles gets the empty run just past the
  // triangles stored before it.
  if (!load.first_recorded) material.FIRST_FACE = load.triangle_counter;
  ++load.material_counter;
  load.first_recorded = false;
  // Materials beyond the announced count would have no record and their
  // triangles would vanish unseen: such a file is refused like any other
  // surplus.
  if (load.first_pass && load.distinct_materials > MATERIAL_COUNT_) {
    RUNTIME_ERROR(VP_ERR_OUT_OF_BOUNDS, __LINE__, k_module, "LOAD");
  }
  return load.material_counter < MATERIAL_COUNT_;
}

// Back to the face list for the next material's triangles.
void Tmodel::next_pass(Ttextfile& file, Tload& load) {
  // Another pass needs the marker; without one there is no face list to
  // go back to, and the start of the file would read the vertices twice.
  if (load.face_list_position < 0) RUNTIME_ERROR(VP_ERR_ILLEGAL_CALL, __LINE__, k_module, "LOAD");
  int error = file.SEEK(load.face_list_position);
  if (error != 0) RUNTIME_ERROR(error, __LINE__, k_module, "LOAD");
  VP_CHECK_INDEX(load.material_counter, VP_MODEL_MATERIAL_LINES, k_module, "LOAD");
  load.current = load.list[static_cast<std::size_t>(load.material_counter)];
  load.first_pass = false;
}

void Tmodel::SCALE(float s) { SCALE(s, s, s); }

void Tmodel::SCALE(float sx, float sy, float sz) {
  for (std::int32_t i = 0; i < VERTEX_COUNT_; ++i) {
    VERTICES_[i].x *= sx;
    VERTICES_[i].y *= sy;
    VERTICES_[i].z *= sz;
  }
}

void Tmodel::TRANSLATE(float tx, float ty, float tz) {
  for (std::int32_t i = 0; i < VERTEX_COUNT_; ++i) {
    VERTICES_[i].x += tx;
    VERTICES_[i].y += ty;
    VERTICES_[i].z += tz;
  }
}
