// model.h - Tmodel: a triangle mesh read from the loader's subset of
// Wavefront OBJ, with its triangles grouped by material.
//
// Rules:
//  - A file announces its sizes in header comments containing "Vertices:",
//    "Faces:" and "Materials:", and marks the start of its face list with
//    the line "#\t               Face list". The arrays are sized from the
//    headers alone and zero-filled before anything is stored in them.
//  - The loader reads the file once for the vertices and the first material,
//    then once more from the marker for each further material, so the
//    triangles of a material form one contiguous run, materials in order of
//    first appearance. Headers and "v " lines count in the first pass only.
//  - Nothing is ever written outside an array: a record past an announced
//    count (more distinct materials than announced included), an absent
//    array, a fourth corner on an "f " line or more than
//    201 distinct "usemtl" lines stop the program with the fatal report
//    naming "Tmodel", as do header counts that are negative or too big to
//    allocate and file open/seek/close failures.
//  - Every material's run lies inside FACES: a repeated "Faces:" header
//    announcing fewer triangles than were already stored is refused.
//  - Vertex indexes in `V` are stored as read (zero-based) and are not
//    checked against VERTEX_COUNT: whoever dereferences them checks.
//  - NOT_LOADED is -1 (true) while the model holds no data; LOAD on a loaded
//    model is refused on the console and changes nothing.
//  - No GL here, so the loader is tested without a display.
#pragma once

#include <array>    // the per-load material list
#include <cstdint>  // 32-bit record fields
#include <string>   // material lines

#include "math/vector.h"  // vertex triples share Tvector's layout

// The line that opens the face list (found anywhere in a line).
constexpr char VP_OBJ_FACE_LIST_MARKER[] = "#\t               Face list";

class Ttextfile;

struct Tuv {
  float u;
  float v;
};

// One triangle. Corner entries 1 to 3 live at indexes 0 to 2.
struct Tface {
  std::int32_t V[3];  // zero-based vertex indexes
  Tuv UV[3];          // texture coordinates per corner
};

// A material's run of triangles: FIRST_FACE..LAST_FACE inclusive; a
// material without triangles has LAST_FACE = FIRST_FACE - 1.
struct Tmaterial {
  std::int32_t FIRST_FACE;
  std::int32_t LAST_FACE;
  std::int32_t MTL_NUMBER;  // the number written after "usemtl"
};

constexpr int VP_MODEL_MATERIAL_LINES = 201;
// Distinct "usemtl" lines in order of first appearance; unused entries are
// empty (a "usemtl" line never is).
using Tmaterial_list = std::array<std::string, VP_MODEL_MATERIAL_LINES>;

// Collects the distinct "usemtl" lines of an open file, whole lines, then
// moves back to the start of the file.
void GETSURFACES(Ttextfile& file, Tmaterial_list& list);

class Tmodel {
 public:
  Tmodel() = default;
  explicit Tmodel(const char* file_name);
  ~Tmodel();
  Tmodel(const Tmodel&) = delete;
  Tmodel& operator=(const Tmodel&) = delete;

  void LOAD(const char* file_name);
  void UNLOAD();
  void SCALE(float s);
  void SCALE(float sx, float sy, float sz);
  void TRANSLATE(float tx, float ty, float tz);

  // Read-only: a count changed from outside would no longer match its array.
  std::int32_t VERTEX_COUNT() const { return VERTEX_COUNT_; }
  std::int32_t FACE_COUNT() const { return FACE_COUNT_; }
  std::int32_t MATERIAL_COUNT() const { return MATERIAL_COUNT_; }
  std::int32_t NOT_LOADED() const { return NOT_LOADED_; }
  const Tvector* VERTEX_AUX() const { return VERTEX_AUX_; }
  const Tvector* VERTICES() const { return VERTICES_; }
  const Tface* FACES() const { return FACES_; }
  const Tmaterial* MATERIALS() const { return MATERIALS_; }

 private:
  // The steps of LOAD (model.cpp); a fatal report of any of them names LOAD.
  struct Tload;
  void read_headers(const std::string& line);
  void read_material_line(const std::string& line, Tload& load);
  void read_vertex(const std::string& line, Tload& load);
  void read_texture_corner(const std::string& line, Tload& load);
  void read_face(const std::string& line, Tload& load);
  bool end_pass(Tload& load);
  void next_pass(Ttextfile& file, Tload& load);

  std::int32_t VERTEX_COUNT_ = 0;
  std::int32_t FACE_COUNT_ = 0;
  std::int32_t MATERIAL_COUNT_ = 0;
  std::int32_t NOT_LOADED_ = -1;
  Tvector* VERTEX_AUX_ = nullptr;  // allocated with VERTICES_, filled by nothing
  Tvector* VERTICES_ = nullptr;
  Tface* FACES_ = nullptr;
  Tmaterial* MATERIALS_ = nullptr;
};
