// bulletml_expression.cpp - recursive descent over an expression's text,
// emitting postfix code as it goes.
#include "bulletml/bulletml_expression.h"

#include <cstdlib>  // strtod of a number's digits

namespace {

// Parentheses one expression may nest; deeper is a mistake, not a deep
// recursion.
constexpr int k_max_parentheses = 32;

bool is_blank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }
bool is_digit(char c) { return c >= '0' && c <= '9'; }
bool is_word(char c) { return is_digit(c) || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '_' || c == '.'; }

class Tcompiler {
 public:
  Tcompiler(const char* text, std::size_t length, Tpattern& pattern) : text_(text), end_(length), pattern_(pattern) {}

  bool COMPILE(std::size_t& error_at, std::string& message) {
    skip();
    if (at_ == end_) return fail(0, "empty value: a number or an expression is needed");
    if (!sum()) return report(error_at, message);
    skip();
    if (at_ != end_) {
      if (text_[at_] == ')') fail(at_, "a ')' without its '('");
      else fail(at_, std::string("unexpected '") + text_[at_] + "' after a complete expression");
      return report(error_at, message);
    }
    return true;
  }

 private:
  bool report(std::size_t& error_at, std::string& message) {
    error_at = error_at_;
    message = message_;
    return false;
  }
  bool fail(std::size_t at, const std::string& what) {
    error_at_ = at;
    message_ = what;
    return false;
  }
  void skip() {
    while (at_ < end_ && is_blank(text_[at_])) ++at_;
  }
  char peek() {
    skip();
    return at_ < end_ ? text_[at_] : '\0';
  }
  void emit(Tpattern_op op, int arg, int stack_change) {
    pattern_.code.push_back(Tpattern_code{op, arg});
    stack_ += stack_change;
    if (stack_ > deepest_) deepest_ = stack_;
  }

  bool sum() {
    if (!product()) return false;
    for (char c = peek(); c == '+' || c == '-'; c = peek()) {
      ++at_;
      if (!product()) return false;
      emit(c == '+' ? VP_OP_ADD : VP_OP_SUB, 0, -1);
    }
    return true;
  }

  bool product() {
    if (!unary()) return false;
    for (char c = peek(); c == '*' || c == '/' || c == '%'; c = peek()) {
      ++at_;
      if (!unary()) return false;
      emit(c == '*' ? VP_OP_MUL : c == '/' ? VP_OP_DIV : VP_OP_MOD, 0, -1);
    }
    return true;
  }

  bool unary() {
    const char c = peek();
    if (c == '+') return fail(at_, "a leading '+' is not part of the language: write the number alone");
    if (c != '-') return primary();
    const std::size_t sign = at_++;
    const char next = peek();
    if (next == '-' || next == '+') return fail(sign, "two signs in a row: write -(-2) for the negation of -2");
    if (!primary()) return false;
    emit(VP_OP_NEG, 0, 0);
    return true;
  }

  bool primary() {
    const char c = peek();
    const std::size_t start = at_;
    if (c == '\0') return fail(at_ > 0 ? at_ - 1 : 0, "an operator without its right-hand value");
    if (is_digit(c) || c == '.') return number();
    if (c == '(') {
      if (++parentheses_ > k_max_parentheses)
        return fail(at_, "parentheses nested deeper than " + std::to_string(k_max_parentheses));
      ++at_;
      if (!sum()) return false;
      if (peek() != ')') return fail(at_ < end_ ? at_ : start, "a '(' without its ')'");
      ++at_;
      --parentheses_;
      return true;
    }
    if (c == '$') return variable();
    if (c == ')') return fail(at_, "a value is missing before ')'");
    if (c == '*' || c == '/' || c == '%') return fail(at_, std::string("a value is missing before '") + c + "'");
    return fail(at_, std::string("unexpected '") + c + "': a number, $rand, $rank, $1 to $9 or '(' is needed");
  }

  bool number() {
    const std::size_t start = at_;
    bool point = false;
    std::size_t digits = 0;
    while (at_ < end_ && (is_digit(text_[at_]) || (text_[at_] == '.' && !point))) {
      if (text_[at_] == '.') point = true;
      else ++digits;
      ++at_;
    }
    if (digits == 0) return fail(start, "a point without digits is not a number");
    if (at_ < end_ && is_word(text_[at_])) {
      if (text_[at_] == 'e' || text_[at_] == 'E')
        return fail(start, "an exponent is not part of the language: write the number out");
      return fail(start, "a malformed number: digits with at most one point, such as 2.5");
    }
    const std::string digits_text(text_ + start, at_ - start);
    const double value = std::strtod(digits_text.c_str(), nullptr);
    pattern_.constants.push_back(value);
    emit(VP_OP_NUMBER, static_cast<int>(pattern_.constants.size() - 1), 1);
    return true;
  }

  bool variable() {
    const std::size_t start = at_++;
    std::size_t stop = at_;
    while (stop < end_ && is_word(text_[stop])) ++stop;
    const std::string name(text_ + at_, stop - at_);
    at_ = stop;
    if (name == "rand") {
      emit(VP_OP_RAND, 0, 1);
      return true;
    }
    if (name == "rank") {
      emit(VP_OP_RANK, 0, 1);
      return true;
    }
    if (name.size() == 1 && name[0] >= '1' && name[0] <= '9') {
      emit(VP_OP_PARAM, name[0] - '0', 1);
      return true;
    }
    if (!name.empty() && is_digit(name[0])) return fail(start, "$" + name + " is no parameter: they are $1 to $9");
    if (name.empty()) return fail(start, "a '$' without a name: $rand, $rank or $1 to $9");
    const char* guess = name[0] == 'r' && name.find('d') != std::string::npos ? "rand" : "rank";
    return fail(start, "unknown variable $" + name + " (did you mean $" + guess + "?)");
  }

  const char* text_;
  std::size_t at_ = 0;
  std::size_t end_;
  Tpattern& pattern_;
  int stack_ = 0;
  int parentheses_ = 0;
  std::size_t error_at_ = 0;
  std::string message_;

 public:
  int deepest_ = 0;
};

}  // namespace

bool BULLETML_COMPILE_EXPRESSION(const char* text, std::size_t length, Tpattern& pattern, int& expr,
                                 std::size_t& error_at, std::string& message) {
  const std::size_t code_before = pattern.code.size();
  const std::size_t constants_before = pattern.constants.size();
  Tcompiler compiler(text, length, pattern);
  bool ok = compiler.COMPILE(error_at, message);
  if (ok && compiler.deepest_ > VP_PATTERN_STACK) {
    ok = false;
    error_at = 0;
    message = "an expression too deeply nested: it needs more than " + std::to_string(VP_PATTERN_STACK) +
              " values at once";
  }
  if (!ok) {
    pattern.code.resize(code_before);
    pattern.constants.resize(constants_before);
    return false;
  }
  Tpattern_expr e;
  e.first = static_cast<int>(code_before);
  e.count = static_cast<int>(pattern.code.size() - code_before);
  pattern.exprs.push_back(e);
  expr = static_cast<int>(pattern.exprs.size() - 1);
  PATTERN_FOLD(pattern, expr);
  if (pattern.exprs.back().is_constant) {
    // Its code is never read again.
    pattern.code.resize(code_before);
    pattern.constants.resize(constants_before);
    pattern.exprs.back().count = 0;
  }
  return true;
}
