// bulletml_read.h - a BulletML file read, checked and compiled into a
// pattern (patterns/pattern.h), or the list of its mistakes.
//
// Rules:
//  - The whole language is read: <bulletml type="none|vertical|horizontal">
//    and its bullet, action, fire, changeDirection, changeSpeed, accel,
//    wait, vanish, repeat, direction, speed, horizontal, vertical, term,
//    times, param, bulletRef, actionRef and fireRef, children in any order.
//    The DOCTYPE is skipped, never loaded; the default namespace (xmlns) is
//    accepted on <bulletml>; CRLF and LF line ends alike.
//  - Every mistake found is reported, up to VP_BULLETML_MAX_MISTAKES, each
//    with its place: a line and column (from 1, in bytes) where the element,
//    attribute, value or character in question begins.
//  - Refused besides the XML syntax: a repeated attribute, a second root
//    element, an unknown entity, text outside the root; an unknown element,
//    attribute or type word (with the nearest known one); an element where
//    it cannot stand, or twice where it can stand once; text before or among
//    an element's children; a missing or empty value; every expression
//    mistake of bulletml_expression.h; a value without a variable that is
//    not finite (1/0); a reference to a missing label; two
//    top-level elements of one kind with one label; a cycle of action
//    references (with or without a wait in it); no top action; elements
//    nested deeper than VP_BULLETML_MAX_NESTING; commands nested, references
//    followed, deeper than VP_PATTERN_MAX_DEPTH; a change without its value
//    (an <accel> with neither <horizontal> nor <vertical>).
//  - Refused as too large, so that reading stays near linear in the text's
//    size and playing one command stays cheap: a text of more than
//    VP_BULLETML_MAX_FILE_BYTES (BULLETML_READ and BULLETML_READ_FILE alike,
//    with one mistake at 1:1), a label of more than VP_BULLETML_MAX_LABEL
//    bytes, a value of more than VP_BULLETML_MAX_VALUE characters (blanks
//    around it aside), a reference with more than VP_PATTERN_PARAMS
//    <param>s (no expression could read the others).
//  - Near misses ("did you mean") are looked for only while mistakes are
//    still kept, among words whose length could be near, and within one
//    budget of comparisons per text; past it a mistake comes without one.
//  - Labels are read as the library reads them: a label on a nested bullet,
//    action or fire names it too, and where a name is given more than once
//    the last in the file is the one references reach. Top actions are the
//    <action>s directly under <bulletml> whose label begins with "top".
//  - A refused file leaves `pattern` untouched.
#pragma once

#include <string>  // names, text, messages
#include <vector>  // the mistakes

#include "patterns/pattern.h"  // what a good file becomes

enum { VP_BULLETML_MAX_FILE_BYTES = 1 << 20 };
enum { VP_BULLETML_MAX_MISTAKES = 100 };
enum { VP_BULLETML_MAX_NESTING = 64 };  // elements inside elements; real files need 11
enum { VP_BULLETML_MAX_LABEL = 256 };   // bytes of a label; real files' longest has 14
enum { VP_BULLETML_MAX_VALUE = 1024 };  // characters of a value; real files' longest has 29
// Edit-distance cells all near-miss searches of one text may fill: about
// 600 searches among the labels of the largest real file, 63 between two
// labels of the longest allowed.
enum { VP_BULLETML_NEAR_MISS_CELLS = 1 << 22 };

struct Tbulletml_mistake {
  std::string file;
  int line = 0;
  int column = 0;
  std::string message;
};

// "FILE:LINE:COLUMN: what is wrong" (no line end).
std::string BULLETML_MISTAKE_TEXT(const Tbulletml_mistake& mistake);

// Whether `text` is meant as a BulletML file: its first character other
// than white space, after a byte-order mark, is '<'.
bool BULLETML_LOOKS_LIKE(const std::string& text);

// Reads `text`; `name` stands for the file in the mistakes. True with the
// pattern compiled, false with at least one mistake.
bool BULLETML_READ(const std::string& name, const std::string& text, Tpattern& pattern,
                   std::vector<Tbulletml_mistake>& mistakes);

// The reader's count of its own steps where they could grow faster than
// the text: near-miss comparisons (edit-distance cells and words looked
// at), attribute names compared, bytes compared looking labels up. A test
// holds it to a multiple of the text's size instead of timing the read.
struct Tbulletml_read_work {
  long long steps = 0;
};

// BULLETML_READ, counting its work into `work` (added to what it holds).
bool BULLETML_READ(const std::string& name, const std::string& text, Tpattern& pattern,
                   std::vector<Tbulletml_mistake>& mistakes, Tbulletml_read_work& work);

// Reads the regular file at `path` (at most VP_BULLETML_MAX_FILE_BYTES).
bool BULLETML_READ_FILE(const std::string& path, Tpattern& pattern, std::vector<Tbulletml_mistake>& mistakes);
