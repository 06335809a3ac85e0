// gallery.h - the scene files shipped in assets/scenes, for the tests that
// run every one of them.
#pragma once

#include <gtest/gtest.h>  // a file that does not read fails the test

#include <algorithm>   // sort: a stable order of files
#include <filesystem>  // the gallery's folder
#include <string>      // the file names
#include <vector>      // the file names

#include "scenefile/scene_load.h"  // either kind, as the programs read it

// Every file of the kind `extension` shipped in assets/scenes, in name order.
inline std::vector<std::string> GALLERY_FILES(const char* extension) {
  std::vector<std::string> files;
  for (const auto& entry : std::filesystem::directory_iterator(VORPANE_SOURCE_DIR "/assets/scenes"))
    if (entry.path().extension() == extension) files.push_back(entry.path().string());
  std::sort(files.begin(), files.end());
  return files;
}

// Every scene file shipped in assets/scenes, in name order.
inline std::vector<std::string> GALLERY_SCENES() { return GALLERY_FILES(".toml"); }
// Every BulletML file shipped there, in name order.
inline std::vector<std::string> GALLERY_PATTERNS() { return GALLERY_FILES(".xml"); }

// Reads a gallery file as the programs do; one that does not read fails the
// calling test, with its mistakes.
inline bool GALLERY_LOAD(const std::string& file, Tscene_desc& desc) {
  std::string errors;
  const bool read = SCENE_LOAD(file, desc, errors);
  EXPECT_TRUE(read) << errors;
  return read;
}
