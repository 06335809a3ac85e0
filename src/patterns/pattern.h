// pattern.h - a bullet pattern compiled for playing: flat arrays of command
// nodes and expression code, built once by a reader (bulletml/bulletml_read.h)
// and read by the player (patterns/pattern_player.h).
//
// Rules:
//  - Nodes refer to each other by index, never by pointer, and keep the
//    line and column of the element they were read from, so a fault found
//    while playing can name its place in the file.
//  - A node's children and a reference's parameters are ranges of `lists`;
//    a reference's `target` is already resolved to the node it names.
//  - Expressions are postfix code over `code`; one whose value cannot change
//    (no $rand, $rank or $n) is folded into `constant` at load.
//  - An accepted pattern has no cycle of action references, at least one top
//    action, and expressions no deeper than VP_PATTERN_STACK; the sizes the
//    player needs (`frame_depth`, `ref_depth`, `param_count`) are measured by
//    PATTERN_MEASURE from the nodes, so its pools are exact.
//  - Everything is plain data: copying a pattern copies all of it.
#pragma once

#include <cmath>    // fmod, the % operator
#include <cstdint>  // fixed-width fields
#include <vector>   // the arrays, sized at load

enum Tpattern_kind : std::uint8_t {
  VP_NODE_ACTION,
  VP_NODE_FIRE,
  VP_NODE_BULLET,
  VP_NODE_WAIT,
  VP_NODE_REPEAT,
  VP_NODE_CHANGE_DIRECTION,
  VP_NODE_CHANGE_SPEED,
  VP_NODE_ACCEL,
  VP_NODE_VANISH,
  VP_NODE_ACTION_REF,
  VP_NODE_FIRE_REF,
  VP_NODE_BULLET_REF,
};

// How a direction, speed or accel value is meant. VP_TYPE_NONE is what an
// element without `type` gets: an aimed direction, an absolute speed.
enum Tpattern_type : std::uint8_t { VP_TYPE_NONE, VP_TYPE_AIM, VP_TYPE_ABSOLUTE, VP_TYPE_RELATIVE, VP_TYPE_SEQUENCE };

enum Tpattern_op : std::uint8_t {
  VP_OP_NUMBER,  // pushes constants[arg]
  VP_OP_RAND,
  VP_OP_RANK,
  VP_OP_PARAM,   // pushes $arg (1..9)
  VP_OP_ADD,
  VP_OP_SUB,
  VP_OP_MUL,
  VP_OP_DIV,
  VP_OP_MOD,     // C's fmod
  VP_OP_NEG,
};

// Deepest operand stack an expression may need; the reader refuses deeper.
enum { VP_PATTERN_STACK = 64 };
// Parameters a reference can pass that an expression can read: $1..$9.
enum { VP_PATTERN_PARAMS = 9 };

struct Tpattern_code {
  Tpattern_op op;
  std::int32_t arg;
};

struct Tpattern_expr {
  std::int32_t first = 0;  // code range
  std::int32_t count = 0;
  bool is_constant = false;
  double constant = 0.0;
  std::int32_t line = 0;  // of the element holding it
  std::int32_t column = 0;
};

// An optional value with its type: expr -1 when the element is absent.
struct Tpattern_value {
  std::int32_t expr = -1;
  Tpattern_type type = VP_TYPE_NONE;
};

struct Tpattern_node {
  Tpattern_kind kind = VP_NODE_ACTION;
  std::int32_t line = 0;
  std::int32_t column = 0;
  // fire and bullet: direction and speed; changeDirection: direction;
  // changeSpeed: speed; accel: horizontal and vertical.
  Tpattern_value direction, speed, horizontal, vertical;
  std::int32_t term = -1;    // changes and accel
  std::int32_t amount = -1;  // wait: frames; repeat: times
  // fire: its bullet (a bullet or bulletRef node); repeat: its body (an
  // action or actionRef node); a reference: the node it names.
  std::int32_t target = -1;
  // action: its commands; bullet: its actions then its actionRefs, as they
  // start one after another; reference: its parameters (expressions).
  std::int32_t first = 0;
  std::int32_t count = 0;
};

struct Tpattern {
  std::vector<Tpattern_node> nodes;
  std::vector<std::int32_t> lists;
  std::vector<Tpattern_expr> exprs;
  std::vector<Tpattern_code> code;
  std::vector<double> constants;
  std::vector<std::int32_t> top_actions;  // action nodes, in file order
  bool horizontal = false;                // <bulletml type="horizontal">
  // Measured by PATTERN_MEASURE:
  int frame_depth = 0;  // deepest stack of action and repeat frames a runner holds
  int ref_depth = 0;    // deepest chain of action references in progress at once
  int param_count = 0;  // most parameters an expression can read from one reference
};

// What an expression reads besides its constants.
struct Tpattern_scope {
  const double* params = nullptr;  // $1 is params[0]
  int param_count = 0;             // $n past it is 1
  double rank = 0.5;
};

// Deepest stack of frames a runner may need, references included; the
// reader refuses a pattern that would need more.
enum { VP_PATTERN_MAX_DEPTH = 64 };

// Fills frame_depth, ref_depth and param_count. False, with the node where
// the stack first grows past VP_PATTERN_MAX_DEPTH in `too_deep`, when some
// runner would need more (a cycle of references always would).
bool PATTERN_MEASURE(Tpattern& pattern, int& too_deep);

// Folds an expression without $rand, $rank or $n into its constant.
void PATTERN_FOLD(Tpattern& pattern, int expr);

// The value of expression `expr`; `rand` is called once per $rand, left to
// right. Arithmetic is plain double arithmetic: 1/0 is infinite, 0/0 NaN.
template <class Trand>
double PATTERN_EVALUATE(const Tpattern& pattern, int expr, const Tpattern_scope& scope, Trand& rand) {
  const Tpattern_expr& e = pattern.exprs[static_cast<std::size_t>(expr)];
  if (e.is_constant) return e.constant;
  double stack[VP_PATTERN_STACK];
  int top = 0;
  const Tpattern_code* c = pattern.code.data() + e.first;
  const Tpattern_code* end = c + e.count;
  for (; c != end; ++c) {
    switch (c->op) {
      case VP_OP_NUMBER: stack[top++] = pattern.constants[static_cast<std::size_t>(c->arg)]; break;
      case VP_OP_RAND: stack[top++] = rand(); break;
      case VP_OP_RANK: stack[top++] = scope.rank; break;
      case VP_OP_PARAM: stack[top++] = c->arg <= scope.param_count ? scope.params[c->arg - 1] : 1.0; break;
      case VP_OP_ADD: --top; stack[top - 1] = stack[top - 1] + stack[top]; break;
      case VP_OP_SUB: --top; stack[top - 1] = stack[top - 1] - stack[top]; break;
      case VP_OP_MUL: --top; stack[top - 1] = stack[top - 1] * stack[top]; break;
      case VP_OP_DIV: --top; stack[top - 1] = stack[top - 1] / stack[top]; break;
      case VP_OP_MOD: --top; stack[top - 1] = std::fmod(stack[top - 1], stack[top]); break;
      case VP_OP_NEG: stack[top - 1] = -stack[top - 1]; break;
    }
  }
  return stack[0];
}
