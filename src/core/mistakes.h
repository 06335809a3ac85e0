// mistakes.h - what every reader of a file needs to report its mistakes: the
// report's lines, the known word nearest to a misspelt one, and the list of
// the words a value may be.
//
// Rules:
//  - A report line is "FILE:LINE:COLUMN: what is wrong" and ends in '\n';
//    lines and columns count from 1, as an editor shows them.
//  - NEAREST_WORD measures by edit distance (an inserted, deleted or changed
//    byte costs 1) and names a word only within max(2, a third of the given
//    word's length) of it, so a word like nothing known gets no suggestion;
//    of equally near words the first wins. A known word itself is at
//    distance 0, so `given == NEAREST_WORD(...)` asks whether it is known.
//  - Bytes are compared as they are; no case folding, no locale.
//  - A report keeps each line as a record too (Tmistake), so a program that
//    shows mistakes where they stand (the page's editor) reads the place
//    and the words without parsing the text back.
#pragma once

#include <algorithm>  // min of three, max
#include <cstddef>    // size_t
#include <string>     // words and report lines
#include <utility>    // move
#include <vector>     // the known words, the edit distance's row

// One report line as its parts: "FILE:LINE:COLUMN: message".
struct Tmistake {
  std::string file;
  long line = 0;
  long column = 0;
  std::string message;
};

// "FILE:LINE:COLUMN: message", or "FILE: message" for a mistake of the
// whole file (line 0: it cannot be read).
inline std::string MISTAKE_TEXT(const Tmistake& m) {
  if (m.line <= 0) return m.file + ": " + m.message;
  return m.file + ":" + std::to_string(m.line) + ":" + std::to_string(m.column) + ": " + m.message;
}

// The lines of one file's report.
class Tfile_report {
 public:
  explicit Tfile_report(std::string file) : file_(std::move(file)) {}

  void ADD(long line, long column, const std::string& what) {
    mistakes_.push_back(Tmistake{file_, line, column, what});
    text_ += MISTAKE_TEXT(mistakes_.back()) + "\n";
  }
  const std::string& TEXT() const { return text_; }
  // The same lines as records, in the same order.
  const std::vector<Tmistake>& MISTAKES() const { return mistakes_; }
  bool EMPTY() const { return text_.empty(); }

 private:
  std::string file_;
  std::string text_;
  std::vector<Tmistake> mistakes_;
};

// With `case_free`, letters that differ only in case count as the same (the
// BulletML reader's words are camel case, and a person often misses that).
inline std::size_t EDIT_DISTANCE(const std::string& a, const std::string& b, bool case_free = false) {
  std::vector<std::size_t> row(b.size() + 1);
  for (std::size_t j = 0; j <= b.size(); ++j) row[j] = j;
  for (std::size_t i = 1; i <= a.size(); ++i) {
    std::size_t diagonal = row[0];
    row[0] = i;
    for (std::size_t j = 1; j <= b.size(); ++j) {
      const std::size_t above = row[j];
      const bool same = a[i - 1] == b[j - 1] || (case_free && (a[i - 1] ^ 0x20) == b[j - 1]);
      row[j] = std::min({row[j] + 1, row[j - 1] + 1, diagonal + (same ? 0u : 1u)});
      diagonal = above;
    }
  }
  return row[b.size()];
}

// The known word `given` was probably meant to be; null when none is near.
inline const char* NEAREST_WORD(const std::string& given, const std::vector<const char*>& known) {
  const char* best = nullptr;
  std::size_t best_distance = 0;
  for (const char* word : known) {
    const std::size_t d = EDIT_DISTANCE(given, word);
    if (!best || d < best_distance) {
      best = word;
      best_distance = d;
    }
    if (d == 0) break;
  }
  return best && best_distance <= std::max<std::size_t>(2, given.size() / 3) ? best : nullptr;
}

// "a", "a or b", "a, b or c": items as a sentence lists them.
inline std::string LIST_OR(const std::vector<std::string>& items) {
  std::string text;
  for (std::size_t i = 0; i < items.size(); ++i)
    text += std::string(i == 0 ? "" : i + 1 == items.size() ? " or " : ", ") + items[i];
  return text;
}
