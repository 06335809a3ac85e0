// obj_text.h - model files for the loader's tests: the header lines, the
// face-list marker and a file in the test temp folder.
#pragma once

#include <gtest/gtest.h>  // TempDir

#include <fstream>  // writing the file
#include <string>   // file text

#include "render/model.h"  // VP_OBJ_FACE_LIST_MARKER

// The marker line exactly as the loader looks for it, with its line end.
inline const std::string k_marker = std::string(VP_OBJ_FACE_LIST_MARKER) + "\n";

// The three header comments, counts given as text so that bad ones can be.
inline std::string obj_header(const std::string& vertices, const std::string& faces, const std::string& materials) {
  return "# Vertices: " + vertices + "\n# Faces: " + faces + "\n# Materials: " + materials + "\n";
}
inline std::string obj_header(int vertices, int faces, int materials) {
  return obj_header(std::to_string(vertices), std::to_string(faces), std::to_string(materials));
}

// Writes `bytes` to a fresh file in the test temp folder and returns its
// path. The running test's name is part of it: CTest runs tests in parallel
// processes that share the folder.
inline std::string write_obj(const std::string& name, const std::string& bytes) {
  const std::string path = testing::TempDir() + "vorpane_" +
                           testing::UnitTest::GetInstance()->current_test_info()->name() + "_" + name + ".obj";
  std::ofstream(path, std::ios::binary) << bytes;
  return path;
}

// One triangle with one material, texture coordinates and a normal line.
inline const std::string k_obj_triangle = obj_header(3, 1, 1) +
                                          "mtllib x.mtl\nv 0 0 0\nv 1 0 0\nv 1 1 0.5\nvn 0 0 1\n" + k_marker +
                                          "usemtl 4\nvt 0 0\nvt 1 0\nvt 1 1\nf 1/1 2/2 3/3\n";
