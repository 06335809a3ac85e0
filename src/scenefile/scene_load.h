// scene_load.h - a scene from a file of either kind: a scene file (TOML) or
// a BulletML pattern, the one reader every program and the live reload use.
//
// Rules:
//  - A file is a BulletML pattern when its first character other than
//    white space, after a byte-order mark, is '<' (SCENE_FILE_IS_PATTERN);
//    any other file is read as a scene file (scenefile/scene_file.h).
//  - A pattern becomes a description with no emitter and one pattern source
//    (scene/scene_desc.h): the compiled pattern, the file's name as given,
//    its root starting at (320, 120).
//  - Mistakes of either kind are reported one a line, "FILE:LINE:COLUMN:
//    what is wrong", each ending in '\n'; a refused file leaves `desc`
//    untouched.
#pragma once

#include <string>  // the path and the report
#include <vector>  // the report as records

#include "core/mistakes.h"         // Tmistake
#include "scene/scene_desc.h"      // what either kind of file describes
#include "scenefile/scene_file.h"  // Tscene_text_source

// Whether the file at `path` is a BulletML pattern. A file that is not a
// regular one, or cannot be opened, is not: the scene reader reports it.
bool SCENE_FILE_IS_PATTERN(const std::string& path);

// Reads the file at `path`, of either kind; false with the report in
// `errors` when it cannot be read or holds a mistake.
bool SCENE_LOAD(const std::string& path, Tscene_desc& desc, std::string& errors);

// The same, with the report as records (core/mistakes.h), one a line of
// SCENE_LOAD's report and in its order; empty on success. A scene file's
// BulletML files come through `source` when one is given (the page serves
// only the files it holds), else from disk.
bool SCENE_LOAD_CHECK(const std::string& path, Tscene_desc& desc, std::vector<Tmistake>& mistakes,
                      const Tscene_text_source& source = nullptr);
