// hardening_model_test.cpp - the OBJ loader fed files that are not what it
// expects: empty, binary, with old line ends, with counts at and past the
// 32-bit range, with corners, numbers and lines far out of the ordinary.
// Each ends either in the loader's fatal report naming Tmodel or in a loaded
// model whose values are the sound reading of the text.
#include <gtest/gtest.h>  // the runner

#include <cmath>    // isinf
#include <cstddef>  // size_t
#include <string>   // file text

#include "platform/runtime_error.h"  // Tfatal_trap, Truntime_error
#include "render/model.h"            // under test
#include "support/obj_text.h"        // model files

namespace {

// Loads `bytes` into `model` under a trap; the fatal report's code, 0 when
// the load went through. A refused load must leave the model empty.
int load(Tmodel& model, const std::string& name, const std::string& bytes) {
  Tfatal_trap trap;
  try {
    model.LOAD(write_obj(name, bytes).c_str());
  } catch (const Truntime_error& e) {
    EXPECT_NE(e.report.find("of Tmodel::"), std::string::npos) << name << ": " << e.report;
    EXPECT_EQ(model.NOT_LOADED(), -1) << name;
    return e.code;
  }
  EXPECT_EQ(model.NOT_LOADED(), 0) << name;
  return 0;
}

// A string literal with its NULs, without the terminating one.
template <std::size_t N>
std::string raw(const char (&text)[N]) {
  return std::string(text, N - 1);
}

int load_code(const std::string& name, const std::string& bytes) {
  Tmodel model;
  return load(model, name, bytes);
}

}  // namespace

TEST(HardeningModel, FilesWithoutHeadersEndInTheNullArrayReport) {
  // No "Materials:" header means no record for the end of the first pass.
  std::string binary;
  for (int round = 0; round < 4; ++round)
    for (int c = 0; c < 256; ++c) binary.push_back(static_cast<char>(c));
  const std::string png_start = raw("\x89PNG\r\n\x1a\n\0\0\0\rIHDR");
  EXPECT_EQ(load_code("empty", ""), VP_ERR_NULL_POINTER);
  EXPECT_EQ(load_code("blank_lines", "\n\n\r\n \n\t\n"), VP_ERR_NULL_POINTER);
  EXPECT_EQ(load_code("all_bytes", binary), VP_ERR_NULL_POINTER);
  EXPECT_EQ(load_code("png_bytes", png_start), VP_ERR_NULL_POINTER);
  EXPECT_EQ(load_code("comments_only", "# a model\n# Faces are below\n"), VP_ERR_NULL_POINTER);
}

TEST(HardeningModel, StrayBytesInsideAGoodFileAreHarmless) {
  // NUL and high bytes in comments and after numbers end a number like any
  // other character that cannot continue it.
  const std::string text = obj_header("2", "1", "1") + raw("# \0\xff\xfe junk\n") +
                           raw("v 1\0 2\xff 3\n") + "v -4 5e1 6.25\n" + k_marker +
                           "usemtl 3\n" + raw("f 2\0 1 2\x80\n");
  Tmodel model;
  ASSERT_EQ(load(model, "stray_bytes", text), 0);
  EXPECT_EQ(model.VERTICES()[0].x, 1.0f);
  EXPECT_EQ(model.VERTICES()[0].y, 2.0f);
  EXPECT_EQ(model.VERTICES()[0].z, 3.0f);
  EXPECT_EQ(model.VERTICES()[1].y, 50.0f);
  EXPECT_EQ(model.FACES()[0].V[0], 1);
  EXPECT_EQ(model.FACES()[0].V[2], 1);
  EXPECT_EQ(model.MATERIALS()[0].MTL_NUMBER, 3);
}

TEST(HardeningModel, OldMacLineEndsMakeOneLine) {
  // Lone CRs do not end lines: the whole file is one comment line that
  // holds all three headers, so the counts are taken and no vertex is read.
  const std::string text = "# Vertices: 2\r# Faces: 0\r# Materials: 1\rv 1 2 3\rv 4 5 6\r";
  Tmodel model;
  ASSERT_EQ(load(model, "cr_only", text), 0);
  EXPECT_EQ(model.VERTEX_COUNT(), 2);
  EXPECT_EQ(model.MATERIAL_COUNT(), 1);
  EXPECT_EQ(model.VERTICES()[1].x, 0.0f);
}

TEST(HardeningModel, CountsAtTheEdgesOfTheRange) {
  // Past int32, negative, or infinite in any spelling: refused before any
  // allocation. A count that reads as no number at all is 0, and -0.4
  // rounds to zero: both are empty arrays, not errors.
  for (const char* count : {"2147483648", "4294967297", "-1", "-2147483649", "-1e300", "1e309", "-0.6"}) {
    EXPECT_EQ(load_code("count", "# Vertices: " + std::string(count) + "\n"), VP_ERR_OUT_OF_BOUNDS) << count;
    EXPECT_EQ(load_code("count", "# Faces: " + std::string(count) + "\n"), VP_ERR_OUT_OF_BOUNDS) << count;
    EXPECT_EQ(load_code("count", "# Materials: " + std::string(count) + "\n"), VP_ERR_OUT_OF_BOUNDS) << count;
  }
  Tmodel model;
  ASSERT_EQ(load(model, "odd_counts", obj_header("inf", "-0.4", "1")), 0);
  EXPECT_EQ(model.VERTEX_COUNT(), 0);
  EXPECT_EQ(model.FACE_COUNT(), 0);
  // Announced empty: the first vertex or triangle is already surplus.
  EXPECT_EQ(load_code("vertex_into_empty", obj_header("0", "0", "1") + "v 1 1 1\n"), VP_ERR_OUT_OF_BOUNDS);
  EXPECT_EQ(load_code("face_into_empty", obj_header("3", "nan", "1") + k_marker + "usemtl 1\nf 1 2 3\n"),
            VP_ERR_OUT_OF_BOUNDS);
}

TEST(HardeningModel, CoordinatesBeyondFloatBecomeInfinite) {
  // Read as doubles, then rounded to single precision: past FLT_MAX that is
  // an infinity of the right sign; past DBL_MAX as well. Below the smallest
  // subnormal, zero.
  const std::string text = obj_header("1", "0", "1") + "v 1e39 -1e300 1e-50\n";
  Tmodel model;
  ASSERT_EQ(load(model, "huge_coordinates", text), 0);
  EXPECT_TRUE(std::isinf(model.VERTICES()[0].x) && model.VERTICES()[0].x > 0.0f);
  EXPECT_TRUE(std::isinf(model.VERTICES()[0].y) && model.VERTICES()[0].y < 0.0f);
  EXPECT_EQ(model.VERTICES()[0].z, 0.0f);
}

TEST(HardeningModel, SurplusAndCornersInLaterPassesAreRefusedToo) {
  // The second material's quadrangle and the surplus triangle are only met
  // in the second pass; the load still ends in the report and the model is
  // left empty, ready for a good file.
  const std::string quad_later = obj_header("4", "2", "2") + k_marker +
                                 "usemtl 1\nf 1 2 3\nusemtl 2\nf 1 2 3 4\n";
  const std::string surplus_later = obj_header("3", "2", "2") + k_marker +
                                    "usemtl 1\nf 1 2 3\nusemtl 2\nf 1 2 3\nf 3 2 1\n";
  const std::string surplus_vertex_after_marker = obj_header("1", "0", "1") + "v 1 1 1\n" + k_marker + "v 2 2 2\n";
  Tmodel model;
  EXPECT_EQ(load(model, "quad_later", quad_later), VP_ERR_OUT_OF_BOUNDS);
  EXPECT_EQ(load(model, "surplus_later", surplus_later), VP_ERR_OUT_OF_BOUNDS);
  EXPECT_EQ(load(model, "surplus_vertex_after_marker", surplus_vertex_after_marker), VP_ERR_OUT_OF_BOUNDS);
  ASSERT_EQ(load(model, "good_after_bad", obj_header("3", "1", "1") + k_marker + "usemtl 5\nf 3 2 1\n"), 0);
  EXPECT_EQ(model.FACES()[0].V[0], 2);
  EXPECT_EQ(model.MATERIALS()[0].MTL_NUMBER, 5);
}

TEST(HardeningModel, VeryLongLines) {
  // A megabyte of blanks before a face's first index makes a field per
  // blank: the fourth is the quadrangle report, not a long scan.
  const std::string blanks(1 << 20, ' ');
  EXPECT_EQ(load_code("long_face", obj_header("3", "1", "1") + k_marker + "usemtl 1\nf" + blanks + "1 2 3\n"),
            VP_ERR_OUT_OF_BOUNDS);
  // A 200 KiB number, a 200 KiB texture line and a last line of 1 MiB with
  // no line end are read like short ones.
  const std::string digits = "1" + std::string(200 << 10, '0');
  const std::string text = obj_header("2", "1", "1") + "v 0.5 " + digits + " 2\n" + k_marker + "usemtl 1\nvt 0.25 " +
                           std::string(200 << 10, '7') + "\nvt 0 0\nvt 0 0\n" + "f 1 2 1\n" +
                           "v 9 9 9" + std::string(1 << 20, 'x');
  Tmodel model;
  ASSERT_EQ(load(model, "long_lines", text), 0);
  EXPECT_EQ(model.VERTICES()[0].x, 0.5f);
  EXPECT_TRUE(std::isinf(model.VERTICES()[0].y));
  EXPECT_EQ(model.VERTICES()[0].z, 2.0f);
  EXPECT_EQ(model.VERTICES()[1].x, 9.0f);
  EXPECT_EQ(model.FACES()[0].UV[2].u, 0.25f);
  EXPECT_TRUE(std::isinf(model.FACES()[0].UV[2].v));
}

TEST(HardeningModel, RepeatedFacesHeaderBelowTheStoredTrianglesIsRefused) {
  // The replaced array would hold fewer triangles than the first material's
  // run already covers. A repeat that still holds them is taken.
  const std::string shrink = obj_header("3", "2", "1") + k_marker + "usemtl 1\nf 1 2 3\nf 3 2 1\n# Faces: 1\n";
  EXPECT_EQ(load_code("faces_shrink", shrink), VP_ERR_OUT_OF_BOUNDS);
  const std::string grow = obj_header("3", "1", "1") + k_marker + "usemtl 1\nf 1 2 3\n# Faces: 2\nf 3 2 1\n";
  Tmodel model;
  ASSERT_EQ(load(model, "faces_grow", grow), 0);
  EXPECT_EQ(model.FACE_COUNT(), 2);
  EXPECT_EQ(model.MATERIALS()[0].LAST_FACE, 1);
  EXPECT_EQ(model.FACES()[1].V[0], 2);
  // Found by the fuzzer: "Faces:" and "Vertices:" repeated on one line after
  // the marker, the face count read as 0 with one triangle stored, and three
  // materials announced for one "usemtl" line.
  const std::string found = raw(
      "# Vertices: 3\n# Faces: 2\n# Materials: 3\ng box\no box\ns 1\nv -1.5e2 +2.25 .5\nt 1e-3 1E\xc4"
      "2 3\nv 0 0 0\n#\t               Face list\nusemtl 1\nf 1/1/1 2/2/2tices: 3\n"
      "# Faces:Vertices:rials:\xec//1 1//1\n");
  EXPECT_EQ(load_code("fuzz_faces_shrink", found), VP_ERR_OUT_OF_BOUNDS);
}
