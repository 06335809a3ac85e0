// scene_file_test.cpp - scene files: a short file changing only what it
// names, floats as written, each kind of mistake reported at its line and
// column with the range, the words or the key meant, and the words of the
// simulation's tables in the reference and the fuzzer's dictionary.
#include <gtest/gtest.h>

#include <cstdio>   // remove
#include <fstream>  // a file past the limit
#include <sstream>  // the reference read whole
#include <string>
#include <vector>   // a table's words

#include "core/mistakes.h"         // LIST_OR: allowed words as a report lists them
#include "scenefile/scene_file.h"  // under test

namespace {

// A table's words, as a report lists them.
template <typename Trow, std::size_t N>
std::string listed(const Trow (&rows)[N], const char* Trow::*word) {
  std::vector<std::string> quoted;
  for (const Trow& row : rows) quoted.push_back("\"" + std::string(row.*word) + "\"");
  return LIST_OR(quoted);
}

// The report for `text`, or "" when it was accepted (into `desc`).
std::string mistakes(const std::string& text, Tscene_desc& desc) {
  std::string errors;
  return SCENE_TEXT_READ(text, "s.toml", desc, errors) ? "" : errors;
}

std::string mistakes(const std::string& text) {
  Tscene_desc desc;
  return mistakes(text, desc);
}

TEST(SceneFile, AShortFileChangesOnlyWhatItNames) {
  Tscene_desc d;
  ASSERT_EQ(mistakes("format = 1\nemitters = 6\npool_size = 512\n[spline]\nspeed = 0.02\n", d), "");
  EXPECT_EQ(d.start_angles, (std::vector<int>{0, 60, 120, 180, 240, 300}));
  EXPECT_EQ(d.pool_size, 512);
  EXPECT_EQ(d.spline_speed, 0.02f);
  EXPECT_EQ(d.spline_points, 60);
  EXPECT_EQ(d.movement.size(), SCENE_BUILTIN().movement.size());
  EXPECT_EQ(d.firing.size(), SCENE_BUILTIN().firing.size());

  // A list replaces the built-in one whole; a phase's missing keys take
  // their defaults.
  ASSERT_EQ(mistakes("[[firing]]\nbullet_speed = 5.1529\nmode = \"parallel\"\nshots_per_wave = 3\n", d), "");
  ASSERT_EQ(d.firing.size(), 1u);
  EXPECT_EQ(d.firing[0].BULLETSPEED, 5.1529f);  // the nearest float to the decimal, as a literal is
  EXPECT_EQ(d.firing[0].WAVEMODE, 5);
  EXPECT_EQ(d.firing[0].BULLETWAVEMAX, 2);
  EXPECT_EQ(d.firing[0].ACTIVETIME, 700);
  EXPECT_EQ(d.firing[0].ACTIVE, 1);
  EXPECT_EQ(d.movement.size(), SCENE_BUILTIN().movement.size());
}

TEST(SceneFile, EachKindOfMistakeIsReportedWhereItStands) {
  EXPECT_EQ(mistakes("emitters = \n"), "s.toml:1:12: syntax error in key-value pair: expected value, saw '\\n'\n");
  EXPECT_EQ(mistakes("[[firing]]\nbulet_speed = 2.0\n"),
            "s.toml:2:1: unknown key `bulet_speed` in a [[firing]] phase; did you mean `bullet_speed`?\n");
  EXPECT_EQ(mistakes("colour = 3\n"), "s.toml:1:1: unknown key `colour`\n");
  EXPECT_EQ(mistakes("pool_size = \"big\"\n"), "s.toml:1:13: `pool_size` wants a whole number, not a string\n");
  EXPECT_EQ(mistakes("pool_size = 5000\n"), "s.toml:1:13: `pool_size` is 5000; it must be from 1 to 4096\n");
  EXPECT_EQ(mistakes("[spline]\nspeed = 1.5\n"), "s.toml:2:9: `speed` is 1.5; it must be from 0 to 1\n");
  EXPECT_EQ(mistakes("[[firing]]\nturning = \"spin\"\n"),
            "s.toml:2:11: `turning` is \"spin\"; it must be one of \"wrap\" or \"sweep\"\n");
  EXPECT_EQ(mistakes("[[movement]]\npattern = \"spiral\"\n"),
            "s.toml:2:11: `pattern` is \"spiral\"; it must be one of " +
                listed(VP_MOVEMENT_PATTERNS, &Tmovement_pattern::name) + "\n");
  EXPECT_EQ(mistakes("# caf\xc3\xa9\n"),
            "s.toml:1:6: only plain ASCII characters may stand in a scene file, comments included\n");
  EXPECT_EQ(mistakes("emitters = 3\nstart_angles = [0, 90]\n"),
            "s.toml:2:16: `start_angles` holds 2 angles but `emitters` is 3\n");
}

// The parser's own precondition: a header name that no key can start with
// is a syntax error in every build, not an abort (see scene_file.cpp).
TEST(SceneFile, AHeaderNoKeyCanStartIsASyntaxError) {
  const std::string expected = "s.toml:1:3: syntax error in key: expected bare key starting character or string "
                               "delimiter, saw '";
  EXPECT_EQ(mistakes("[[[1]]]\n"), expected + "['\n");
  EXPECT_EQ(mistakes("[[=\n"), expected + "='\n");
  EXPECT_EQ(mistakes(std::string("[[\0x]]\n", 7)), expected + "\\u0000'\n");
}

TEST(SceneFile, AllMistakesAreReportedAndARefusedFileChangesNothing) {
  Tscene_desc d = SCENE_BUILTIN();
  const std::string report = mistakes("format = 3\n[[firing]]\naim = 1\nmotion = 3\n", d);
  EXPECT_EQ(report,
            "s.toml:1:10: `format` is 3; it must be from 1 to 2\n"
            "s.toml:3:7: `aim` wants true or false, not a whole number\n"
            "s.toml:4:10: `motion` wants one of " + listed(VP_BULLET_MOTIONS, &Tbullet_motion::word) +
                ", not a whole number\n");
  EXPECT_EQ(d.firing.size(), SCENE_BUILTIN().firing.size());
  std::string errors;
  EXPECT_FALSE(SCENE_FILE_READ("/nonexistent/scene.toml", d, errors));
  EXPECT_EQ(errors, "/nonexistent/scene.toml: cannot read the scene file (No such file or directory)\n");
}

// The records are the report's lines taken apart, in the same order, for
// every kind of mistake: a parse failure, a value, an unknown key, a file
// that cannot be read (no place: line 0).
TEST(SceneFile, TheReportAsRecordsIsTheReportTakenApart) {
  const auto joined = [](const std::vector<Tmistake>& records) {
    std::string text;
    for (const Tmistake& m : records)
      text += m.file + ":" + std::to_string(m.line) + ":" + std::to_string(m.column) + ": " + m.message + "\n";
    return text;
  };
  for (const std::string text : {"format = 2\n[[firing]]\naim = 1\nmotion = 3\n", "pool_size = \n", "emiters = 3\n",
                                 "a = \"\xc3\xa9\"\n"}) {
    Tscene_desc d;
    std::vector<Tmistake> records;
    EXPECT_FALSE(SCENE_TEXT_CHECK(text, "s.toml", d, records)) << text;
    ASSERT_FALSE(records.empty()) << text;
    EXPECT_EQ(joined(records), mistakes(text)) << text;
  }
  Tscene_desc d;
  std::vector<Tmistake> records(3);
  EXPECT_TRUE(SCENE_TEXT_CHECK("emitters = 6\n", "s.toml", d, records));
  EXPECT_TRUE(records.empty());
  EXPECT_EQ(d.start_angles.size(), 6u);
  EXPECT_FALSE(SCENE_FILE_CHECK("/nonexistent/scene.toml", d, records));
  ASSERT_EQ(records.size(), 1u);
  EXPECT_EQ(records[0].file, "/nonexistent/scene.toml");
  EXPECT_EQ(records[0].line, 0);
  EXPECT_EQ(records[0].message, "cannot read the scene file (No such file or directory)");
}

// What is not a regular file would read as empty (a directory), block (a
// FIFO) or never end (/dev/zero); a file past the limit is refused whole.
TEST(SceneFile, OnlyARegularFileOfBoundedSizeIsRead) {
  Tscene_desc d;
  std::string errors;
  for (const std::string& path : {std::string("/dev/zero"), testing::TempDir()}) {
    EXPECT_FALSE(SCENE_FILE_READ(path, d, errors)) << path;
    EXPECT_EQ(errors, path + ": cannot read the scene file (not a regular file)\n");
  }
  const std::string path = testing::TempDir() + "scene_file_test_large.toml";
  for (const std::size_t size : {std::size_t{VP_SCENE_MAX_FILE_BYTES}, std::size_t{VP_SCENE_MAX_FILE_BYTES} + 1}) {
    {
      std::ofstream file(path, std::ios::binary);
      file << "pool_size = 7 #" << std::string(size - 16, ' ') << "\n";
    }
    errors.clear();
    const bool read = SCENE_FILE_READ(path, d, errors);
    EXPECT_EQ(read, size == VP_SCENE_MAX_FILE_BYTES) << size;
    EXPECT_EQ(errors, read ? "" : path + ": cannot read the scene file (larger than 1048576 bytes, the most a scene "
                                         "file may hold)\n");
  }
  EXPECT_EQ(d.pool_size, 7);
  std::remove(path.c_str());
}

std::string file_text(const std::string& path) {
  std::ifstream file(path);
  std::stringstream text;
  text << file.rdbuf();
  return text.str();
}

// docs/SCENES.md gives every word of the tables a row of its own, with the
// HUD's words where they differ, and scripts/fuzz's dictionary holds it, bare
// and quoted.
TEST(SceneFile, TheReferenceAndTheFuzzDictionaryHoldEveryWord) {
  const std::string reference = file_text(VORPANE_SOURCE_DIR "/docs/SCENES.md");
  const std::string dictionary = file_text(VORPANE_SOURCE_DIR "/tests/fuzz/scene.dict");
  ASSERT_FALSE(reference.empty());
  ASSERT_FALSE(dictionary.empty());
  const auto expect_word = [&](const char* row_word, std::vector<const char*> hud) {
    ASSERT_NE(row_word, nullptr);
    const std::string word = row_word;
    const std::size_t at = reference.find("\n| `\"" + word + "\"` |");
    ASSERT_NE(at, std::string::npos) << word << " has no row in docs/SCENES.md";
    const std::string row = reference.substr(at + 1, reference.find('\n', at + 1) - at - 1);
    for (const char* h : hud) {
      if (h) {
        EXPECT_NE(row.find("`" + std::string(h) + "`"), std::string::npos) << row;
      }
    }
    EXPECT_NE(dictionary.find("\n\"" + word + "\"\n"), std::string::npos) << word << " not in scene.dict";
    EXPECT_NE(dictionary.find("\n\"\\\"" + word + "\\\"\"\n"), std::string::npos) << word << " not in scene.dict";
  };
  for (const Tmovement_pattern& p : VP_MOVEMENT_PATTERNS) expect_word(p.name, {});
  for (const Tfiring_mode& m : VP_FIRING_MODES) expect_word(m.word, {m.hud, m.hud_stepped});
  for (const Tbullet_motion& m : VP_BULLET_MOTIONS) expect_word(m.word, {m.hud});
}

}  // namespace
