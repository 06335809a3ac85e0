// bulletml_expression.h - a BulletML expression compiled into a pattern's
// postfix code (patterns/pattern.h).
//
// Rules:
//  - The language: numbers (digits with at most one point: 2, 0.5, .5, 3.),
//    + - * / % (% is C's fmod), unary minus, parentheses, $rand, $rank and
//    $1 to $9. Blanks, tabs and line ends may stand anywhere between.
//  - Everything else is a mistake, found here rather than misread: an empty
//    value, a dangling operator (2+), $0 or $10, an exponent (1e1), a
//    leading plus (+2), two signs in a row (--2, 2*-+3), an unknown variable.
//  - `-(-2)` is 2 (the library's own reader makes it -2); `-2*3` is (-2)*3.
//  - An expression with no variable is folded into a constant.
#pragma once

#include <cstddef>  // size_t offsets
#include <string>   // the message

#include "patterns/pattern.h"  // where the code goes

// Compiles `text` (`length` characters) into a new expression of `pattern`.
// On success `expr` is its index; otherwise `error_at` is the offset in
// `text` of the mistake and `message` says what is wrong, and the pattern is
// as before.
bool BULLETML_COMPILE_EXPRESSION(const char* text, std::size_t length, Tpattern& pattern, int& expr,
                                 std::size_t& error_at, std::string& message);
