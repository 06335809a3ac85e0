// model_test.cpp - Tmodel: the loader's passes, the refusal of a second
// load and bad files ending in their fatal report.
#include <gtest/gtest.h>  // the runner

#include <sys/resource.h>  // setrlimit: a count whose array cannot be allocated

#include <string>   // file text

#include "platform/console.h"        // Tconsole_capture
#include "platform/runtime_error.h"  // Tfatal_trap
#include "render/model.h"            // under test
#include "support/obj_text.h"        // model files

namespace {

// Loads `text` and returns the fatal error's code (0 when none).
int load_error(const std::string& name, const std::string& text, std::string* report = nullptr) {
  Tfatal_trap trap;
  Tmodel model;
  try {
    model.LOAD(write_obj(name, text).c_str());
  } catch (const Truntime_error& e) {
    if (report) *report = e.report;
    return e.code;
  }
  return 0;
}

void expect_uv(const Tuv& uv, float u, float v) {
  EXPECT_EQ(uv.u, u);
  EXPECT_EQ(uv.v, v);
}

}  // namespace

TEST(Model, ThreeVertexTriangle) {
  Tmodel model(write_obj("triangle", k_obj_triangle).c_str());
  EXPECT_EQ(model.NOT_LOADED(), 0);
  ASSERT_EQ(model.VERTEX_COUNT(), 3);
  ASSERT_EQ(model.FACE_COUNT(), 1);
  ASSERT_EQ(model.MATERIAL_COUNT(), 1);
  EXPECT_EQ(model.VERTICES()[2].x, 1.0f);
  EXPECT_EQ(model.VERTICES()[2].y, 1.0f);
  EXPECT_EQ(model.VERTICES()[2].z, 0.5f);
  const Tface& face = model.FACES()[0];
  EXPECT_EQ(face.V[0], 0);
  EXPECT_EQ(face.V[1], 1);
  EXPECT_EQ(face.V[2], 2);
  expect_uv(face.UV[2], 0.0f, 0.0f);  // entry 3 gets the first "vt"
  expect_uv(face.UV[1], 1.0f, 0.0f);
  expect_uv(face.UV[0], 1.0f, 1.0f);
  EXPECT_EQ(model.MATERIALS()[0].MTL_NUMBER, 4);
  EXPECT_EQ(model.MATERIALS()[0].FIRST_FACE, 0);
  EXPECT_EQ(model.MATERIALS()[0].LAST_FACE, 0);
  for (int i = 0; i < 3; ++i) EXPECT_EQ(model.VERTEX_AUX()[i].x, 0.0f);
}

TEST(Model, AlternatingMaterialsAreGroupedInOrderOfFirstAppearance) {
  // A, B, A: A's two triangles come first, then B's; each triangle keeps the
  // texture coordinates written before it. A "v " line after the marker is
  // taken once, in the first pass.
  const std::string text = obj_header(4, 3, 2) + "v 0 0 0\nv 1 0 0\nv 0 1 0\n" + k_marker +
                           "usemtl 7\nvt 1 1\nvt 1 2\nvt 1 3\nf 1 2 3\n"
                           "usemtl 9\nvt 2 1\nvt 2 2\nvt 2 3\nf 2 3 1\n"
                           "v 0 0 1\n"
                           "usemtl 7\nvt 3 1\nvt 3 2\nvt 3 3\nf 3 1 4\n";
  Tmodel model(write_obj("alternate", text).c_str());
  ASSERT_EQ(model.NOT_LOADED(), 0);
  const Tface* faces = model.FACES();
  EXPECT_EQ(faces[0].V[2], 2);
  EXPECT_EQ(faces[1].V[0], 2);
  EXPECT_EQ(faces[1].V[2], 3);
  EXPECT_EQ(faces[2].V[0], 1);
  expect_uv(faces[0].UV[2], 1.0f, 1.0f);
  expect_uv(faces[1].UV[0], 3.0f, 3.0f);
  expect_uv(faces[2].UV[1], 2.0f, 2.0f);
  const Tmaterial* materials = model.MATERIALS();
  EXPECT_EQ(materials[0].MTL_NUMBER, 7);
  EXPECT_EQ(materials[0].FIRST_FACE, 0);
  EXPECT_EQ(materials[0].LAST_FACE, 1);
  EXPECT_EQ(materials[1].MTL_NUMBER, 9);
  EXPECT_EQ(materials[1].FIRST_FACE, 2);
  EXPECT_EQ(materials[1].LAST_FACE, 2);
  EXPECT_EQ(model.VERTICES()[3].z, 1.0f);
}

TEST(Model, NoUsemtlLineStoresVerticesButNoTriangles) {
  const std::string text = obj_header(2, 1, 1) + "v 1 2 3\nv 4 5 6\n" + k_marker + "vt 9 9\nf 1 2 1\n";
  Tmodel model(write_obj("no_usemtl", text).c_str());
  ASSERT_EQ(model.NOT_LOADED(), 0);
  EXPECT_EQ(model.VERTICES()[1].y, 5.0f);
  EXPECT_EQ(model.FACES()[0].V[1], 0);
  expect_uv(model.FACES()[0].UV[2], 0.0f, 0.0f);
  EXPECT_EQ(model.MATERIALS()[0].FIRST_FACE, 0);
  EXPECT_EQ(model.MATERIALS()[0].LAST_FACE, -1);
}

TEST(Model, MaterialWithoutTrianglesGetsAnEmptyRunAfterThePrecedingOnes) {
  // B's only section holds no triangle: its run is empty, just past A's.
  const std::string text = obj_header(3, 2, 2) + "v 0 0 0\n" + k_marker +
                           "usemtl 1\nf 1 1 1\nf 1 1 1\nusemtl 2\n";
  Tmodel model(write_obj("empty_material", text).c_str());
  EXPECT_EQ(model.MATERIALS()[1].FIRST_FACE, 2);
  EXPECT_EQ(model.MATERIALS()[1].LAST_FACE, 1);
}

TEST(Model, ScaleAndTranslateMoveVerticesOnly) {
  Tmodel model(write_obj("scale", k_obj_triangle).c_str());
  model.SCALE(2.0f);
  EXPECT_EQ(model.VERTICES()[2].x, 2.0f);
  EXPECT_EQ(model.VERTICES()[2].z, 1.0f);
  model.TRANSLATE(1.0f, 0.0f, 0.0f);
  EXPECT_EQ(model.VERTICES()[0].x, 1.0f);
  EXPECT_EQ(model.VERTICES()[2].x, 3.0f);
  EXPECT_EQ(model.VERTICES()[2].y, 2.0f);
  model.SCALE(1.0f, 0.5f, -1.0f);
  EXPECT_EQ(model.VERTICES()[2].y, 1.0f);
  EXPECT_EQ(model.VERTICES()[2].z, -1.0f);
  for (int i = 0; i < 3; ++i) {
    EXPECT_EQ(model.VERTEX_AUX()[i].x, 0.0f);
    EXPECT_EQ(model.VERTEX_AUX()[i].y, 0.0f);
    EXPECT_EQ(model.VERTEX_AUX()[i].z, 0.0f);
  }
  Tmodel empty;
  empty.SCALE(3.0f);
  empty.TRANSLATE(1.0f, 1.0f, 1.0f);
  EXPECT_EQ(empty.VERTICES(), nullptr);
}

TEST(Model, UnloadTwiceAndLoadAgain) {
  const std::string path = write_obj("reload", k_obj_triangle);
  Tmodel model(path.c_str());
  model.UNLOAD();
  model.UNLOAD();
  EXPECT_EQ(model.NOT_LOADED(), -1);
  EXPECT_EQ(model.VERTEX_COUNT(), 0);
  EXPECT_EQ(model.FACES(), nullptr);
  EXPECT_EQ(model.MATERIALS(), nullptr);
  EXPECT_EQ(model.VERTEX_AUX(), nullptr);
  model.LOAD(path.c_str());
  EXPECT_EQ(model.NOT_LOADED(), 0);
  EXPECT_EQ(model.FACES()[0].V[2], 2);
  EXPECT_EQ(model.MATERIALS()[0].MTL_NUMBER, 4);
}

TEST(Model, LoadingIntoALoadedModelIsRefusedOnTheConsole) {
  Tmodel model(write_obj("first", k_obj_triangle).c_str());
  const Tvector* vertices = model.VERTICES();
  const std::string other = obj_header(1, 0, 1) + "v 9 9 9\n";
  Tconsole_capture capture;
  model.LOAD(write_obj("second", other).c_str());
  EXPECT_EQ(capture.text, "Model already allocated!!!\r\n");
  EXPECT_EQ(capture.beeps, 1);
  EXPECT_EQ(capture.key_waits, 1);
  EXPECT_EQ(model.VERTICES(), vertices);
  EXPECT_EQ(model.VERTEX_COUNT(), 3);
  EXPECT_EQ(model.VERTICES()[0].x, 0.0f);
}

TEST(Model, NumbersAreReadFromTheirPositionAndRounded) {
  // "Vertices:" at the very end: its number would start past the line.
  // Counts and indexes round to nearest, ties to even; text reads as 0;
  // "3/7" reads 3; a huge index is clamped rather than converted wildly.
  const std::string text = "#Vertices:\n# Faces: 2.5\n# Materials: 1.4\n" + std::string(k_marker) +
                           "usemtl 2.5 x\nf 3/7 1.6 x\nf 1e30 -1e30 -2.5\n";
  Tmodel model(write_obj("numbers", text).c_str());
  EXPECT_EQ(model.VERTEX_COUNT(), 0);
  EXPECT_EQ(model.FACE_COUNT(), 2);
  EXPECT_EQ(model.MATERIAL_COUNT(), 1);
  EXPECT_EQ(model.MATERIALS()[0].MTL_NUMBER, 2);
  EXPECT_EQ(model.FACES()[0].V[0], 2);
  EXPECT_EQ(model.FACES()[0].V[1], 1);
  EXPECT_EQ(model.FACES()[0].V[2], -1);
  EXPECT_EQ(model.FACES()[1].V[0], 2147483647);
  EXPECT_EQ(model.FACES()[1].V[1], -2147483647 - 1);
  EXPECT_EQ(model.FACES()[1].V[2], -4);  // -3.5 rounds to even
}

TEST(Model, FieldsAreSplitByBlanksOneForOne) {
  // A blank opens a field one for one, and a number skips its leading
  // blanks: "v  5 6 7" reads 5, 5, 6. Fields after the third are ignored,
  // also on lines longer than 64 KiB; a long usemtl line still matches.
  const std::string long_tail(70000, ' ');
  const std::string material = "usemtl 3 " + std::string(70000, 'm');
  const std::string text = obj_header(2, 1, 1) + "# " + std::string(100000, 'c') + "\n" +
                           "v  5 6 7\nv 1 2 3" + long_tail + "9\n" + k_marker + material +
                           "\nf 2 1 2\n";
  Tmodel model(write_obj("fields", text).c_str());
  EXPECT_EQ(model.VERTICES()[0].x, 5.0f);
  EXPECT_EQ(model.VERTICES()[0].y, 5.0f);
  EXPECT_EQ(model.VERTICES()[0].z, 6.0f);
  EXPECT_EQ(model.VERTICES()[1].x, 1.0f);
  EXPECT_EQ(model.VERTICES()[1].z, 3.0f);
  EXPECT_EQ(model.MATERIALS()[0].MTL_NUMBER, 3);
  EXPECT_EQ(model.FACES()[0].V[0], 1);
}

TEST(Model, RepeatedVertexHeaderReplacesTheArrays) {
  // The counter keeps counting, so the second array's first slot stays 0.
  const std::string text = "# Vertices: 1\nv 1 1 1\n# Vertices: 3\nv 2 2 2\nv 3 3 3\n"
                           "# Faces: 0\n# Materials: 1\n";
  Tmodel model(write_obj("two_headers", text).c_str());
  ASSERT_EQ(model.VERTEX_COUNT(), 3);
  EXPECT_EQ(model.VERTICES()[0].x, 0.0f);
  EXPECT_EQ(model.VERTICES()[1].x, 2.0f);
  EXPECT_EQ(model.VERTICES()[2].x, 3.0f);
}

TEST(Model, BadFilesEndInTheirReport) {
  struct Tcase {
    const char* name;
    std::string text;
    int code;
    const char* operation;
  };
  const std::string three_vertices = "v 0 0 0\nv 0 0 0\nv 0 0 0\n";
  std::string many_materials = obj_header(0, 0, 300) + k_marker;
  for (int i = 0; i < 202; ++i) many_materials += "usemtl " + std::to_string(i) + "\n";
  const Tcase cases[] = {
      {"vertex_before_header", "v 1 2 3\n" + obj_header(1, 0, 1), VP_ERR_NULL_POINTER, "LOAD"},
      {"face_before_header", "# Materials: 1\nusemtl 1\nf 1 1 1\n", VP_ERR_NULL_POINTER, "LOAD"},
      {"uv_before_header", "# Materials: 1\nusemtl 1\nvt 0 0\n", VP_ERR_NULL_POINTER, "LOAD"},
      {"usemtl_before_header", "usemtl 1\n", VP_ERR_NULL_POINTER, "LOAD"},
      {"no_material_header", "# Vertices: 1\n# Faces: 1\nv 1 1 1\n", VP_ERR_NULL_POINTER, "LOAD"},
      {"surplus_vertex", obj_header(2, 0, 1) + three_vertices, VP_ERR_OUT_OF_BOUNDS, "LOAD"},
      {"surplus_face", obj_header(3, 1, 1) + three_vertices + k_marker + "usemtl 1\nf 1 2 3\nf 1 2 3\n",
       VP_ERR_OUT_OF_BOUNDS, "LOAD"},
      {"surplus_uv", obj_header(3, 1, 1) + k_marker + "usemtl 1\nf 1 2 3\nvt 0 0\n", VP_ERR_OUT_OF_BOUNDS,
       "LOAD"},
      {"surplus_material", obj_header(3, 1, 1) + k_marker + "usemtl 1\nf 1 2 3\nusemtl 2\n",
       VP_ERR_OUT_OF_BOUNDS, "LOAD"},
      {"zero_materials", obj_header(1, 0, 0) + "v 0 0 0\n", VP_ERR_OUT_OF_BOUNDS, "LOAD"},
      {"quadrangle", obj_header(4, 1, 1) + k_marker + "usemtl 1\nf 1 2 3 4\n", VP_ERR_OUT_OF_BOUNDS, "LOAD"},
      {"trailing_blank", obj_header(3, 1, 1) + k_marker + "usemtl 1\nf 1 2 3 \n", VP_ERR_OUT_OF_BOUNDS,
       "LOAD"},
      {"too_many_usemtl", many_materials, VP_ERR_OUT_OF_BOUNDS, "GETSURFACES"},
      {"passes_past_the_list", obj_header(0, 0, 300) + k_marker + "usemtl 1\n", VP_ERR_OUT_OF_BOUNDS,
       "LOAD"},
      {"negative_count", "# Vertices: -3\n", VP_ERR_OUT_OF_BOUNDS, "LOAD"},
      {"count_beyond_int", "# Faces: 1e30\n", VP_ERR_OUT_OF_BOUNDS, "LOAD"},
      {"missing_marker", obj_header(0, 2, 2) + "usemtl 1\nf 1 1 1\nusemtl 2\nf 1 1 1\n",
       VP_ERR_ILLEGAL_CALL, "LOAD"},
  };
  for (const Tcase& c : cases) {
    std::string report;
    EXPECT_EQ(load_error(c.name, c.text, &report), c.code) << c.name;
    EXPECT_NE(report.find(std::string("of Tmodel::") + c.operation + "()"), std::string::npos)
        << c.name << ": " << report;
  }
  Tfatal_trap trap;
  Tmodel model;
  try {
    model.LOAD((testing::TempDir() + "vorpane_model_absent.obj").c_str());
    FAIL() << "an absent file loaded";
  } catch (const Truntime_error& e) {
    EXPECT_EQ(e.code, VP_ERR_ILLEGAL_CALL);
    EXPECT_NE(e.report.find("of Tmodel::LOAD()"), std::string::npos);
  }
  EXPECT_EQ(model.NOT_LOADED(), -1);
}

TEST(Model, ALoadCutShortLeavesNothingBehind) {
  Tfatal_trap trap;
  Tmodel model;
  // Materials are allocated, then the surplus vertex stops the load.
  const std::string bad = "# Materials: 5\n# Faces: 9\n# Vertices: 1\nv 1 1 1\nv 2 2 2\n";
  try {
    model.LOAD(write_obj("cut_short", bad).c_str());
    FAIL() << "the surplus vertex loaded";
  } catch (const Truntime_error& e) {
    EXPECT_EQ(e.code, VP_ERR_OUT_OF_BOUNDS);
  }
  EXPECT_EQ(model.NOT_LOADED(), -1);
  // The next load starts from nothing: no array of the failed one survives.
  const std::string no_faces = "# Vertices: 1\n# Materials: 1\nv 1 1 1\n";
  model.LOAD(write_obj("after_cut", no_faces).c_str());
  EXPECT_EQ(model.NOT_LOADED(), 0);
  EXPECT_EQ(model.FACES(), nullptr);
  EXPECT_EQ(model.FACE_COUNT(), 0);
  EXPECT_EQ(model.MATERIAL_COUNT(), 1);
}

#if !defined(__SANITIZE_ADDRESS__)
// In the death test's child: 512 MiB of address space cannot hold 24 GB.
void load_with_little_memory(const std::string& path) {
  rlimit limit{};
  limit.rlim_cur = limit.rlim_max = 512u << 20;
  setrlimit(RLIMIT_AS, &limit);
  Tmodel model(path.c_str());
}

TEST(ModelDeathTest, CountTooBigToAllocateIsFatal) {
  const std::string path = write_obj("huge", "# Vertices: 2000000000\n");
  EXPECT_EXIT(load_with_little_memory(path), testing::ExitedWithCode(VP_ERR_NULL_POINTER),
              "of Tmodel::LOAD\\(\\)");
}
#endif
