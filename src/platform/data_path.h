// data_path.h - where the show's data files (the atlas, the scenes) are
// found when no path is given.
//
// Rules:
//  - The working folder first, where the show has always looked: a file
//    found there is returned as the bare name, so a folder that holds it
//    reads exactly what it always read.
//  - Then one folder found from the program's own place (/proc/self/exe,
//    symbolic links resolved): for a program in the build tree's bin/, the
//    source tree's assets/; for any other, the installed data folder
//    beside its bin/ (PREFIX/bin/vorpane reads PREFIX/share/vorpane), so a
//    prefix moved elsewhere still works. Where the program lives decides,
//    never what happens to exist: an installed program never reads a
//    source tree.
//  - A name with a slash is a path, used as given and never searched.
//  - Folders are absolute and free of "." and ".." (for messages); a folder
//    that cannot be known (no /proc) is left out.
#pragma once

#include <string>  // names and folders
#include <vector>  // the folders looked in

// The folders looked in, in order, for a program whose file lies in
// `program_folder` ("" when unknown), run in `working_folder`.
std::vector<std::string> DATA_FOLDERS(const std::string& working_folder, const std::string& program_folder);

// The same for this process.
std::vector<std::string> DATA_FOLDERS();

// The path of the first `name` found in DATA_FOLDERS(), or `name` itself
// when none holds it (or it holds a slash). `tried` gets the folders looked
// in, up to the one that held it; for a path, the folder it is relative to
// (the working folder, or its own for an absolute path). Never empty.
std::string DATA_FILE_FIND(const std::string& name, std::vector<std::string>& tried);

// The folders for a message: "A", "A or B", "A, B or C".
std::string DATA_PLACES(const std::vector<std::string>& tried);
