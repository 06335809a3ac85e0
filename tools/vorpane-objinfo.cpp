// vorpane-objinfo - prints what the OBJ loader reads from a file.
//
//   vorpane-objinfo FILE [--scale S | --scale SX,SY,SZ] [--translate X,Y,Z] [--dump]
//
// Plain lines on stdout: counts, one line per material, the bounding box
// (omitted without vertices) and, with --dump, every vertex and triangle.
// Floats are printed as the shortest text that reads back to the same float.
// A bad file ends in the loader's own fatal report and exit status; bad
// options print one usage line on stderr and exit with status 2.
#include <cstdio>   // printf, the output
#include <cstdlib>  // exit
#include <string>   // float text

#include "platform/console.h"  // silenced: stdout carries data
#include "render/model.h"      // the loader
#include "cli/args.h"           // numbers on the command line
#include "core/float_text.h"   // shortest float text
#include "vorpane_version.h"    // --version

namespace {

const char k_usage[] = "usage: vorpane-objinfo FILE [--scale S | --scale SX,SY,SZ] [--translate X,Y,Z] [--dump]";

[[noreturn]] void usage(const std::string& = std::string()) {
  std::fprintf(stderr, "%s\n", k_usage);
  std::exit(2);
}

// What the command line asks for.
struct Toptions {
  std::string file_name;
  bool scale = false;
  float scale_by[3] = {1.0f, 1.0f, 1.0f};
  bool translate = false;
  float translate_by[3] = {0.0f, 0.0f, 0.0f};
  bool dump = false;
};

// The options; --help, --version and a bad option end the program here.
Toptions read_options(int argc, char** argv) {
  Toptions o;
  Toption_walk walk(argc, argv, usage);
  while (walk.NEXT()) {
    std::string value;
    if (walk.FLAG("--help") || walk.FLAG("-h")) {
      std::printf("%s\n\n"
                  "Loads a Wavefront OBJ model with the library's loader and prints its counts, its\n"
                  "materials and its bounds.\n\n"
                  "  --scale S, --scale SX,SY,SZ  scale the vertices after loading\n"
                  "  --translate X,Y,Z            move them after scaling\n"
                  "  --dump                       also print every vertex and triangle\n\n"
                  "A bad file ends in the loader's report and its exit status; a bad option in\n"
                  "status 2.\n",
                  k_usage);
      std::exit(0);
    } else if (walk.FLAG("--version")) {
      std::printf("vorpane-objinfo %s\n", VP_VERSION);
      std::exit(0);
    } else if (walk.VALUE("--scale", value)) {
      if (o.scale) usage();
      if (PARSE_FLOATS(value, o.scale_by, 1)) {
        o.scale_by[1] = o.scale_by[2] = o.scale_by[0];
      } else if (!PARSE_FLOATS(value, o.scale_by, 3)) {
        usage();
      }
      o.scale = true;
    } else if (walk.VALUE("--translate", value)) {
      if (o.translate || !PARSE_FLOATS(value, o.translate_by, 3)) usage();
      o.translate = true;
    } else if (walk.FLAG("--dump")) {
      o.dump = true;
    } else if (walk.PLAIN(value)) {
      if (!o.file_name.empty()) usage();
      o.file_name = value;
    } else {
      walk.UNKNOWN();
    }
  }
  if (o.file_name.empty()) usage();
  return o;
}

// Counts, one line per material, and the bounding box when there are vertices.
void print_summary(const Tmodel& model) {
  const int vertex_count = model.VERTEX_COUNT();
  const int material_count = model.MATERIAL_COUNT();
  const Tvector* vertices = model.VERTICES();
  const Tmaterial* materials = model.MATERIALS();
  std::printf("vertices %d\nfaces %d\nmaterials %d\n", vertex_count, model.FACE_COUNT(), material_count);
  for (int i = 0; i < material_count; ++i) {
    std::printf("material %d number %d faces %d-%d\n", i, materials[i].MTL_NUMBER,
                materials[i].FIRST_FACE, materials[i].LAST_FACE);
  }
  if (vertex_count == 0) return;
  Tvector low = vertices[0];
  Tvector high = vertices[0];
  for (int i = 1; i < vertex_count; ++i) {
    const Tvector& v = vertices[i];
    if (v.x < low.x) low.x = v.x;
    if (v.y < low.y) low.y = v.y;
    if (v.z < low.z) low.z = v.z;
    if (v.x > high.x) high.x = v.x;
    if (v.y > high.y) high.y = v.y;
    if (v.z > high.z) high.z = v.z;
  }
  std::printf("bounds %s %s %s %s %s %s\n", FLOAT_TEXT(low.x).c_str(), FLOAT_TEXT(low.y).c_str(),
              FLOAT_TEXT(low.z).c_str(), FLOAT_TEXT(high.x).c_str(), FLOAT_TEXT(high.y).c_str(),
              FLOAT_TEXT(high.z).c_str());
}

// Every vertex, then every triangle with its texture corners.
void print_dump(const Tmodel& model) {
  const Tvector* vertices = model.VERTICES();
  const Tface* faces = model.FACES();
  for (int i = 0; i < model.VERTEX_COUNT(); ++i) {
    std::printf("vertex %d %s %s %s\n", i, FLOAT_TEXT(vertices[i].x).c_str(),
                FLOAT_TEXT(vertices[i].y).c_str(), FLOAT_TEXT(vertices[i].z).c_str());
  }
  for (int i = 0; i < model.FACE_COUNT(); ++i) {
    const Tface& f = faces[i];
    std::printf("face %d v %d %d %d uv %s %s %s %s %s %s\n", i, f.V[0], f.V[1], f.V[2],
                FLOAT_TEXT(f.UV[0].u).c_str(), FLOAT_TEXT(f.UV[0].v).c_str(),
                FLOAT_TEXT(f.UV[1].u).c_str(), FLOAT_TEXT(f.UV[1].v).c_str(),
                FLOAT_TEXT(f.UV[2].u).c_str(), FLOAT_TEXT(f.UV[2].v).c_str());
  }
}

}  // namespace

int main(int argc, char** argv) {
  const Toptions options = read_options(argc, argv);
  CONSOLE_SILENCE();
  Tmodel model;
  model.LOAD(options.file_name.c_str());
  if (options.scale) model.SCALE(options.scale_by[0], options.scale_by[1], options.scale_by[2]);
  if (options.translate) model.TRANSLATE(options.translate_by[0], options.translate_by[1], options.translate_by[2]);
  print_summary(model);
  if (options.dump) print_dump(model);
  return 0;
}
