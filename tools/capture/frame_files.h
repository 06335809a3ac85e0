// frame_files.h - the name of a captured frame's file.
//
// Zero-padded to six digits, so a folder's listing is in frame order; the
// tool writes it and the tests that read the tool's pictures find it here.
#pragma once

#include <cstdio>  // snprintf
#include <string>  // the name

inline std::string CAPTURE_FRAME_FILE(long frame) {
  char name[32];
  std::snprintf(name, sizeof name, "frame-%06ld.png", frame);
  return name;
}
