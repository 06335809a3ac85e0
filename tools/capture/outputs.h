// outputs.h - the folders and files a capture writes into.
//
// Rules:
//  - A folder is asked to hold a file before any frame is drawn, so a run
//    that would fail to write fails at once, not after minutes of drawing.
#pragma once

#include <string>  // paths

bool IS_FOLDER(const std::string& path);
// mkdir -p: every missing folder along the path. True when it is a folder.
bool MAKE_FOLDERS(const std::string& path);
// True when a file can really be created there (permission bits do not tell
// the whole truth: root, read-only mounts).
bool FOLDER_TAKES_FILES(const std::string& folder);
// The folder part of a file's path: "." for a bare name.
std::string FOLDER_OF(const std::string& file);
