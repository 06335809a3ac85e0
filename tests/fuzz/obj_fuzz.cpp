// obj_fuzz.cpp - libFuzzer target: the OBJ loader over arbitrary file contents.
//
// Each input is written to a private temporary file, loaded into a fresh
// Tmodel, checked and unloaded. A fatal report (the loader refusing the file)
// is a correct ending: the handler throws it back here. Anything the
// sanitizers see, or a loaded model whose runs do not fit its arrays, is a
// fault.
#include <unistd.h>  // getpid, for a file name no other fuzzing process uses

#include <cstddef>  // size_t
#include <cstdint>  // uint8_t
#include <cstdio>   // the temporary file
#include <cstdlib>  // abort
#include <string>   // the path

#include "platform/console.h"        // CONSOLE_SILENCE: the loader's refusal text is not wanted
#include "platform/runtime_error.h"  // SET_FATAL_HANDLER(THROW_RUNTIME_ERROR)
#include "render/model.h"            // under test

namespace {

std::string g_path;

// Touches every record the counts promise, so an array shorter than its
// count shows up as an overflow, and checks each material's run.
void walk(const Tmodel& model) {
  volatile float sink = 0.0f;
  for (std::int32_t i = 0; i < model.VERTEX_COUNT(); ++i) {
    sink = sink + model.VERTICES()[i].x + model.VERTEX_AUX()[i].z;
  }
  for (std::int32_t i = 0; i < model.FACE_COUNT(); ++i) {
    sink = sink + static_cast<float>(model.FACES()[i].V[2]) + model.FACES()[i].UV[2].v;
  }
  for (std::int32_t i = 0; i < model.MATERIAL_COUNT(); ++i) {
    const Tmaterial& m = model.MATERIALS()[i];
    // A run lies inside the triangle array; an empty one has LAST = FIRST - 1.
    if (m.FIRST_FACE < 0 || m.LAST_FACE < m.FIRST_FACE - 1 || m.LAST_FACE >= model.FACE_COUNT()) {
      std::abort();
    }
  }
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  CONSOLE_SILENCE();
  SET_FATAL_HANDLER(THROW_RUNTIME_ERROR);
  const char* dir = std::getenv("TMPDIR");
  g_path = std::string(dir && *dir ? dir : "/tmp") + "/vorpane-obj-fuzz-" + std::to_string(getpid()) + ".obj";
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::FILE* file = std::fopen(g_path.c_str(), "wb");
  if (!file) std::abort();
  if (size > 0 && std::fwrite(data, 1, size, file) != size) std::abort();
  if (std::fclose(file) != 0) std::abort();

  Tmodel model;
  try {
    model.LOAD(g_path.c_str());
    if (model.NOT_LOADED() != 0) std::abort();
    walk(model);
    model.SCALE(2.0f);
    model.TRANSLATE(1.0f, -1.0f, 0.5f);
  } catch (const Truntime_error& error) {
    // Refused with the fatal report: the model must be left empty.
    if (model.NOT_LOADED() != -1 || error.report.find("Tmodel::") == std::string::npos) std::abort();
  }
  model.UNLOAD();
  if (model.VERTICES() || model.FACES() || model.MATERIALS() || model.VERTEX_AUX()) std::abort();
  return 0;
}
