// capture_run.h - one frame of the show through the capture tool, read back
// as a picture, for the tests that hold the tool's pictures to something.
#pragma once

#include <cstdlib>  // system
#include <string>   // paths and the command

#include "capture/frame_files.h"  // the name the tool gives a frame's file
#include "image/png.h"            // PNG files, top row first

// Runs vorpane-capture for `frame` with the repository's atlas and `extra`
// options into the fresh folder `work`, and loads the frame it wrote. False,
// with the command in `why`, when the tool fails or the file cannot be read.
inline bool CAPTURE_ONE_FRAME(long frame, const std::string& extra, const std::string& work, Tpicture& picture,
                              std::string& path, std::string& why) {
  const std::string command = "rm -rf '" + work + "' && '" + VORPANE_BIN_DIR + "/vorpane-capture' --fast-forward" +
                              " --atlas '" + VORPANE_SOURCE_DIR + "/assets/parts.png' --out '" + work +
                              "' --frames " + std::to_string(frame) + " " + extra + " >/dev/null";
  path = work + "/" + CAPTURE_FRAME_FILE(frame);
  why = command;
  return std::system(command.c_str()) == 0 && LOAD_PNG(path, picture);
}
