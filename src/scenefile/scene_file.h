// scene_file.h - a show written as a TOML file, read into a Tscene_desc.
//
// Rules:
//  - A file changes only what it names: every key has the built-in show's
//    value (or, inside a phase, a documented default) when left out, and a
//    [[movement]] or [[firing]] list replaces the built-in list whole.
//    docs/SCENES.md is the reference of every key.
//  - Every mistake is reported, one line each, as "FILE:LINE:COLUMN: what is
//    wrong", with the allowed range or words; unknown keys are mistakes, and
//    a near miss names the key it was probably meant to be.
//  - An accepted file keeps every limit of scene/scene_desc.h, so the show
//    runs it safely; a refused one leaves `desc` untouched.
//  - A float is the nearest single-precision value to the decimal written,
//    as if the number were a float literal in the source.
//  - Files are plain ASCII: any other byte is a mistake, reported where it
//    stands.
//  - Format 2 may give each emitter its own [[emitter]] table; a BulletML
//    emitter's file is named relative to the scene file's folder and read
//    through the Tscene_text_source (by default the file on disk), its
//    mistakes named by that file and their place in it. desc.files lists
//    the scene file, then each BulletML file once, in the order named.
//  - The first BulletML emitter's $rand stream is the one its file plays
//    with alone; the k-th after it (k = 1, 2, ...) has Trandom::SEED(k).
//  - Only a regular file of at most VP_SCENE_MAX_FILE_BYTES is read: a
//    directory would read as an empty file (the built-in show), a FIFO
//    would block the program and a device such as /dev/zero never ends.
#pragma once

#include <functional>  // the BulletML files' source
#include <string>      // file names, text and the report
#include <vector>      // the report as records

#include "core/mistakes.h"     // Tmistake
#include "scene/scene_desc.h"  // what a file describes

enum { VP_SCENE_FORMAT = 2 };  // the latest `format` this reader reads; every earlier one too
enum { VP_SCENE_PATTERN_POOL = 4096 };  // a BulletML emitter's pool_size left out
// Some hundred times the largest file the limits of scene_desc.h call for.
enum { VP_SCENE_MAX_FILE_BYTES = 1 << 20 };

// Reads the file at `path`; false with the report in `errors` (lines ending
// in '\n') when it cannot be read or holds a mistake.
bool SCENE_FILE_READ(const std::string& path, Tscene_desc& desc, std::string& errors);

// Where a scene's BulletML files come from: the text of the file at `path`
// (the scene's folder joined to the name it gives), or false with why not.
using Tscene_text_source = std::function<bool(const std::string& path, std::string& text, std::string& why)>;

// The same for text already in memory; `name` stands for the file in the
// report and its folder is where BulletML files are looked for, through
// `source` when one is given, else on disk.
bool SCENE_TEXT_READ(const std::string& text, const std::string& name, Tscene_desc& desc, std::string& errors,
                     const Tscene_text_source& source = nullptr);

// The same two, with the report as records (core/mistakes.h) in the order of
// its lines, for a program that shows each mistake where it stands; a file
// that cannot be read is one record at line 0, column 0. Empty on success.
// The scene file itself is read from disk; only its BulletML files come
// through `source`.
bool SCENE_FILE_CHECK(const std::string& path, Tscene_desc& desc, std::vector<Tmistake>& mistakes,
                      const Tscene_text_source& source = nullptr);
bool SCENE_TEXT_CHECK(const std::string& text, const std::string& name, Tscene_desc& desc,
                      std::vector<Tmistake>& mistakes, const Tscene_text_source& source = nullptr);
