// scene_option.h - `--scene FILE` and `--rank R` as every program takes them:
// a scene file or a BulletML pattern file, and the patterns' $rank.
//
// Rules:
//  - A file that cannot be read or holds a mistake is a usage error: its
//    report goes to stderr, one "FILE:LINE:COLUMN: ..." line per mistake,
//    and the program exits with status 2 before it opens any window.
//  - Either kind is read by SCENE_LOAD (scenefile/scene_load.h): a file is a
//    BulletML pattern when its first character other than white space,
//    after a byte-order mark, is '<' (SCENE_FILE_IS_PATTERN); any other file
//    is read as a scene file.
//  - `--rank R` and `--rand-constant V` take a number from 0 to 1 written in
//    the command line's number syntax (cli/args.h); the value is the double
//    written, not its float.
#pragma once

#include <cstdio>   // the report
#include <cstdlib>  // exit, strtod
#include <string>   // the path

#include "cli/args.h"                // PARSE_FLOATS: the number syntax
#include "scenefile/scene_load.h"    // either kind of file

inline Tscene_desc SCENE_OPTION(const std::string& path) {
  Tscene_desc desc;
  std::string errors;
  if (!SCENE_LOAD(path, desc, errors)) {
    std::fputs(errors.c_str(), stderr);
    std::exit(2);
  }
  return desc;
}

// A number from 0 to 1 (`--rank`, `--rand-constant`); false for anything else.
inline bool PARSE_UNIT(const std::string& text, double& out) {
  float syntax = 0.0f;
  if (!PARSE_FLOATS(text, &syntax, 1)) return false;
  const double value = std::strtod(text.c_str(), nullptr);
  if (!(value >= 0.0 && value <= 1.0)) return false;
  out = value;
  return true;
}
