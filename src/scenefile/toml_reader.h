// toml_reader.h - a TOML text read with every value checked: the keys a
// table may hold, ranges, words, and a report line for each mistake.
//
// Use (a reader of one format, such as scene_file.cpp):
//
//   Ttoml_reader r(text, name, "a scene file");
//   const toml::table* top = r.PARSE();        // null: r.REPORT() says why
//   r.WHOLE(*top, "count", 1, 64, count);      // each key the table may hold,
//   r.NUMBER(*top, "speed", 0, 1, speed);      // present or not
//   r.CHECK_KEYS(*top, "");                    // then: the others are unknown
//   if (!r.REPORT().empty()) -> refuse the file
//
// Rules:
//  - A mistake never stops the reading: every one is reported, in the order
//    met, as "NAME:LINE:COLUMN: what is wrong" (core/mistakes.h), and the
//    value it would have set is left as it was.
//  - Every key a table may hold is asked for (ASK or a read built on it)
//    before CHECK_KEYS, which calls the others unknown and names the nearest
//    known key of a near miss.
//  - Only plain ASCII is parsed: toml++ 3.3 reaches code it marks
//    unreachable for many other bytes (undefined behaviour).
//  - A float is the nearest single-precision value to the decimal written,
//    as if it were a float literal in the source.
//  - toml++ is header-only here, without exceptions (a parse failure is a
//    value like any other mistake, and nothing else in the program throws);
//    every file that includes it does so through this header, so all of them
//    see the same configuration.
#pragma once

// toml++ 3.3 leaves one precondition of its own unchecked: a table header
// whose name opens with a character no key can start with ("[[[1]]]", "[[=",
// "[[" and a NUL) reaches its key parser, where the precondition is an
// assert (a build without NDEBUG aborts on such a file) or, with NDEBUG under
// clang, __builtin_assume (undefined behaviour). With its assertions made
// no-ops and NDEBUG hidden while it is included, such a header takes the
// parser's own error path in every build. Fixed upstream after 3.3
// (marzer/tomlplusplus#301).
#define TOML_EXCEPTIONS 0
#define TOML_ENABLE_FORMATTERS 0
#pragma push_macro("NDEBUG")
#undef NDEBUG
#define TOML_ASSERT(expr) static_assert(true)
#include <toml++/toml.h>  // the parser, with line and column for every value
#pragma pop_macro("NDEBUG")

#include <cstddef>  // size_t
#include <string>   // names, text and the report
#include <vector>   // line starts, the keys asked, the words of a key

#include "core/mistakes.h"  // the report's lines

// One word a key may take, and the value it stands for.
struct Tword {
  const char* word;
  int value;
};

class Ttoml_reader {
 public:
  // `text` must outlive the reader; `name` stands for the file in the
  // report, `kind` for its format in the words of one ("a scene file").
  Ttoml_reader(const std::string& text, const std::string& name, const char* kind);

  // The top table, or null when the text is not plain ASCII or not TOML
  // (reported). The tables it holds live as long as the reader.
  const toml::table* PARSE();

  // Every mistake so far, a line each; empty when there is none.
  const std::string& REPORT() const { return report_.TEXT(); }
  // The same mistakes as records, in the same order.
  const std::vector<Tmistake>& MISTAKES() const { return report_.MISTAKES(); }
  void ERROR(const toml::source_region& at, const std::string& what);

  // The value of `key`, or null; either way `key` is known to the table.
  const toml::node* ASK(const toml::table& table, const char* key);
  // Reports every key of `table` not asked for since the last check;
  // `where` follows the key in the message (" in [spline]").
  void CHECK_KEYS(const toml::table& table, const std::string& where);

  // Reads of one key each: nothing when it is absent, the value into `out`
  // when it is good, a report line when it is not.
  void WHOLE(const toml::table& table, const char* key, long long min, long long max, int& out);
  void NUMBER(const toml::table& table, const char* key, double min, double max, float& out);
  // The same, the number the parser read, in double precision (a value the
  // program keeps as a double, such as a rank).
  void NUMBER(const toml::table& table, const char* key, double min, double max, double& out);
  // A string; anything else is reported.
  void TEXT(const toml::table& table, const char* key, std::string& out);
  void FLAG(const toml::table& table, const char* key, int& out);  // 1 or 0
  void WORD(const toml::table& table, const char* key, const std::vector<Tword>& words, int& out);
  // A [table] or nothing; anything else is reported.
  const toml::table* TABLE(const toml::table& table, const char* key);

  // A number in min..max, such as a list's element; `what` names it in the
  // report ("`area` left"). False when it was reported.
  bool NUMBER_OF(const toml::node& node, const std::string& what, double min, double max, float& out);

 private:
  float float_as_written(const toml::node& node, double value) const;

  const std::string& text_;
  std::string name_;
  const char* kind_;
  Tfile_report report_;
  std::vector<std::size_t> line_starts_;
  std::vector<const char*> asked_;
  toml::parse_result parsed_;
};

// The words of `words`, quoted, as a report lists them: "\"a\" or \"b\"".
std::string QUOTED_WORDS(const std::vector<Tword>& words);
