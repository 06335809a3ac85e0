// pattern.cpp - the sizes a compiled pattern's runners need, and constant
// folding.
#include "patterns/pattern.h"

#include <algorithm>  // max, min

namespace {

struct Tmeasure {
  const Tpattern& pattern;
  std::vector<int> frames;  // per node: frames it pushes at most, -1 unknown
  std::vector<int> refs;    // per node: references in progress at most
  int too_deep = -1;

  // Frames node `n` needs when it runs with `above` frames already held;
  // past the limit the walk stops, so a cycle ends it too.
  int depth(int n, int above) {
    const int known = frames[static_cast<std::size_t>(n)];
    if (known >= 0) {
      if (above + known > VP_PATTERN_MAX_DEPTH && too_deep < 0) too_deep = n;
      return known;
    }
    const Tpattern_node& node = pattern.nodes[static_cast<std::size_t>(n)];
    const int own = node.kind == VP_NODE_ACTION || node.kind == VP_NODE_REPEAT ? 1 : 0;
    int inner = 0, ref_inner = 0;
    if (above + own > VP_PATTERN_MAX_DEPTH) {
      if (too_deep < 0) too_deep = n;
      return VP_PATTERN_MAX_DEPTH + 1;
    }
    auto visit = [&](int child) {
      const int d = depth(child, above + own);
      inner = std::max(inner, d);
      ref_inner = std::max(ref_inner, refs[static_cast<std::size_t>(child)]);
    };
    if (node.kind == VP_NODE_ACTION) {
      for (int i = 0; i < node.count && too_deep < 0; ++i) visit(pattern.lists[static_cast<std::size_t>(node.first + i)]);
    } else if (node.kind == VP_NODE_REPEAT || node.kind == VP_NODE_ACTION_REF) {
      visit(node.target);
      if (node.kind == VP_NODE_ACTION_REF) ++ref_inner;
    }
    if (too_deep >= 0) return VP_PATTERN_MAX_DEPTH + 1;
    frames[static_cast<std::size_t>(n)] = own + inner;
    refs[static_cast<std::size_t>(n)] = ref_inner;
    return own + inner;
  }
};

}  // namespace

bool PATTERN_MEASURE(Tpattern& pattern, int& too_deep) {
  Tmeasure m{pattern, std::vector<int>(pattern.nodes.size(), -1), std::vector<int>(pattern.nodes.size(), 0)};
  int frames = 0, refs = 0, params = 0;
  auto root = [&](int n) {
    if (m.too_deep >= 0) return;
    frames = std::max(frames, m.depth(n, 0));
    refs = std::max(refs, m.refs[static_cast<std::size_t>(n)]);
  };
  for (int top : pattern.top_actions) root(top);
  for (const Tpattern_node& node : pattern.nodes) {
    if (node.kind == VP_NODE_BULLET)
      for (int i = 0; i < node.count; ++i) root(pattern.lists[static_cast<std::size_t>(node.first + i)]);
    if (node.kind == VP_NODE_ACTION_REF || node.kind == VP_NODE_FIRE_REF || node.kind == VP_NODE_BULLET_REF)
      params = std::max(params, std::min<int>(node.count, VP_PATTERN_PARAMS));
  }
  too_deep = m.too_deep;
  if (too_deep >= 0) return false;
  pattern.frame_depth = frames;
  pattern.ref_depth = refs;
  pattern.param_count = params;
  return true;
}

void PATTERN_FOLD(Tpattern& pattern, int expr) {
  Tpattern_expr& e = pattern.exprs[static_cast<std::size_t>(expr)];
  for (int i = 0; i < e.count; ++i) {
    const Tpattern_op op = pattern.code[static_cast<std::size_t>(e.first + i)].op;
    if (op == VP_OP_RAND || op == VP_OP_RANK || op == VP_OP_PARAM) return;
  }
  auto no_rand = [] { return 0.0; };
  e.constant = PATTERN_EVALUATE(pattern, expr, Tpattern_scope{}, no_rand);
  e.is_constant = true;
}
