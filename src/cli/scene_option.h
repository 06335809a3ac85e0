// scene_option.h - `--scene FILE` as every program takes it.
//
// Rules:
//  - A file that cannot be read or holds a mistake is a usage error: its
//    report goes to stderr, one "FILE:LINE:COLUMN: ..." line per mistake,
//    and the program exits with status 2 before it opens any window.
#pragma once

#include <cstdio>   // the report
#include <cstdlib>  // exit
#include <string>   // the path

#include "scenefile/scene_file.h"  // the reader

inline Tscene_desc SCENE_OPTION(const std::string& path) {
  Tscene_desc desc;
  std::string errors;
  if (!SCENE_FILE_READ(path, desc, errors)) {
    std::fputs(errors.c_str(), stderr);
    std::exit(2);
  }
  return desc;
}
