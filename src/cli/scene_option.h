// scene_option.h - `--scene FILE` as every program takes it: a scene file
// or a BulletML pattern file.
//
// Rules:
//  - A file that cannot be read or holds a mistake is a usage error: its
//    report goes to stderr, one "FILE:LINE:COLUMN: ..." line per mistake,
//    and the program exits with status 2 before it opens any window.
//  - A file is a BulletML pattern when its first character other than
//    white space, after a byte-order mark, is '<' (SCENE_FILE_IS_PATTERN);
//    any other file is read as a scene file.
//  - `--rank R` and `--rand-constant V` take a number from 0 to 1.
#pragma once

#include <sys/stat.h>  // stat: only a regular file is looked into

#include <cstdio>   // the report
#include <cstdlib>  // exit
#include <fstream>  // the first characters of the file
#include <string>   // the path
#include <vector>   // a pattern's mistakes

#include "bulletml/bulletml_read.h"  // the pattern reader
#include "scenefile/scene_file.h"    // the scene reader

inline Tscene_desc SCENE_OPTION(const std::string& path) {
  Tscene_desc desc;
  std::string errors;
  if (!SCENE_FILE_READ(path, desc, errors)) {
    std::fputs(errors.c_str(), stderr);
    std::exit(2);
  }
  return desc;
}

// Whether the file at `path` is a BulletML pattern. A file that is not a
// regular one, or cannot be opened, is not: the scene reader reports it.
inline bool SCENE_FILE_IS_PATTERN(const std::string& path) {
  struct stat info;
  if (stat(path.c_str(), &info) != 0 || !S_ISREG(info.st_mode)) return false;
  std::ifstream file(path, std::ios::binary);
  std::string start;
  char c = 0;
  // Up to the first character that is not white space, and within the most
  // a pattern file may hold.
  while (start.size() <= static_cast<std::size_t>(VP_BULLETML_MAX_FILE_BYTES) && file.get(c)) {
    start += c;
    if (c != ' ' && c != '\t' && c != '\r' && c != '\n' && !(start.size() <= 3 && (c & 0x80))) break;
  }
  return BULLETML_LOOKS_LIKE(start);
}

inline Tpattern PATTERN_OPTION(const std::string& path) {
  Tpattern pattern;
  std::vector<Tbulletml_mistake> mistakes;
  if (!BULLETML_READ_FILE(path, pattern, mistakes)) {
    for (const Tbulletml_mistake& m : mistakes) std::fprintf(stderr, "%s\n", BULLETML_MISTAKE_TEXT(m).c_str());
    std::exit(2);
  }
  return pattern;
}
