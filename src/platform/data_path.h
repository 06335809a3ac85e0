// data_path.h - where the show's data files (the atlas, the scenes) are
// found when no path is given.
//
// Rules:
//  - In this order: the working folder (where the show has always looked);
//    the installed data folder, found from the program's own place, so a
//    prefix moved elsewhere still works (PREFIX/bin/vorpane reads
//    PREFIX/share/vorpane); the build tree's assets/ (build/bin/vorpane
//    reads assets/ beside build/).
//  - A name with a slash is a path, used as given, never searched.
#pragma once

#include <string>  // names and folders
#include <vector>  // the folders looked in

// The folders looked in, in order; "." for the working folder.
std::vector<std::string> DATA_FOLDERS();

// The path of the first `name` found in DATA_FOLDERS(), or `name` itself
// when none holds it (or it holds a slash); `tried` gets the folders looked
// in, for a message that names them.
std::string DATA_FILE_FIND(const std::string& name, std::vector<std::string>& tried);
