// gallery.h - the scene files shipped in assets/scenes, for the tests that
// run every one of them.
#pragma once

#include <algorithm>   // sort: a stable order of files
#include <filesystem>  // the gallery's folder
#include <vector>      // the file names

// Every scene file shipped in assets/scenes, in name order.
inline std::vector<std::string> GALLERY_SCENES() {
  std::vector<std::string> files;
  for (const auto& entry : std::filesystem::directory_iterator(VORPANE_SOURCE_DIR "/assets/scenes"))
    if (entry.path().extension() == ".toml") files.push_back(entry.path().string());
  std::sort(files.begin(), files.end());
  return files;
}
