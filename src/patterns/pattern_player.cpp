// pattern_player.cpp - the frame step of a compiled pattern: runners of
// commands as explicit stacks of frames, motion, the pool and retirement.
#include "patterns/pattern_player.h"

#include <algorithm>  // max
#include <climits>    // INT_MAX, INT_MIN: saturated counts
#include <cmath>      // isfinite, fmod

namespace {

// A count or a number of frames: truncated toward zero, saturated.
int whole(double value) {
  if (value >= 2147483647.0) return INT_MAX;
  if (value <= -2147483648.0) return INT_MIN;
  return static_cast<int>(value);
}

// The direction brought into 0..360 as subtracting or adding whole turns
// does it (at most 360, at least 0): the subtractions are exact, so the
// exact remainder gives their result without the loop, and only the last
// addition of a negative one rounds.
double wrap(double dir) {
  if (dir > 360.0) {
    const double r = std::fmod(dir, 360.0);
    return r == 0.0 ? 360.0 : r;
  }
  if (dir < 0.0) {
    const double r = std::fmod(dir, 360.0);
    return r == 0.0 ? 0.0 : r + 360.0;
  }
  return dir;
}

bool outside(double x, double y) {
  return !(x >= -50.0 && x <= 690.0 && y >= -50.0 && y <= 530.0);  // NaN is outside
}

// The root runs first, within its own cap: the frame's is never spent by it.
static_assert(static_cast<long long>(VP_PATTERN_MAX_FRAME_COMMANDS) >= VP_PATTERN_MAX_COMMANDS, "the frame's cap below one object's");
// PATTERN_FAULT_TEXT names both caps.
static_assert(VP_PATTERN_MAX_FRAME_COMMANDS == 1048576 && VP_PATTERN_MAX_FRAME_OPERATIONS == 2097152, "a fault's text out of date");

}  // namespace

const char* PATTERN_FAULT_TEXT(Tpattern_fault_kind kind) {
  switch (kind) {
    case VP_PATTERN_FAULT_COMMANDS: return "stopped: more than 65536 commands in one frame (a runaway repeat?)";
    case VP_PATTERN_FAULT_NOT_FINITE: return "stopped: a value that is not a finite number";
    case VP_PATTERN_FAULT_FRAME_COMMANDS:
      return "stopped: more than 1048576 commands in one frame among all objects (many bullets running long repeats?)";
    case VP_PATTERN_FAULT_FRAME_OPERATIONS:
      return "stopped: more than 2097152 operations of values in one frame among all objects (long values in long repeats?)";
    case VP_PATTERN_FAULT_KINDS: break;
  }
  return "stopped";
}

void Tpattern_player::BUILD(const Tpattern& pattern, double start_x, double start_y, int pool, int stream) {
  pattern_ = pattern;
  start_x_ = start_x;
  start_y_ = start_y;
  pool_ = std::clamp(pool, 1, static_cast<int>(VP_PATTERN_POOL));
  stream_ = stream;
  depth_ = std::max(pattern.frame_depth, 1);
  levels_ = pattern.ref_depth + 1;
  width_ = std::max(pattern.param_count, 1);
  const std::size_t runners = pattern.top_actions.size() + static_cast<std::size_t>(pool_);
  runners_.assign(runners, Trunner{});
  frames_.assign(runners * static_cast<std::size_t>(depth_), Tframe{});
  params_.assign(runners * static_cast<std::size_t>(levels_) * static_cast<std::size_t>(width_), 0.0);
  param_counts_.assign(runners * static_cast<std::size_t>(levels_), 0);
  free_runners_.assign(static_cast<std::size_t>(pool_), 0);
  // Room for a frame's survivors and all it can fire besides.
  bodies_.assign(2 * static_cast<std::size_t>(pool_), Tpattern_body{});
  RESET();
}

void Tpattern_player::RESET() {
  const int tops = static_cast<int>(pattern_.top_actions.size());
  free_count_ = pool_;
  for (int i = 0; i < pool_; ++i) free_runners_[static_cast<std::size_t>(i)] = tops + pool_ - 1 - i;
  count_ = 0;
  turn_ = 0;
  fired_ = 0;
  missed_ = 0;
  root_stopped_ = false;
  fault_count_ = 0;
  for (bool& seen : fault_seen_) seen = false;
  // Stream 0 is a fresh Trandom's, so a pattern played alone and the first
  // of a scene draw alike.
  random_.RESET();
  if (stream_ != 0) random_.SEED(static_cast<double>(stream_));
  restart_root();
}

void Tpattern_player::restart_root() {
  root_ = Tpattern_body{};
  root_.x = start_x_;
  root_.y = start_y_;
  root_.direction = VP_PATTERN_START_DIRECTION;
  for (std::size_t i = 0; i < pattern_.top_actions.size(); ++i)
    reset_runner(static_cast<int>(i), 0, 1, pattern_.top_actions[i]);
}

void Tpattern_player::reset_runner(int r, int items_first, int items_count, int top_action) {
  Trunner& runner = runners_[static_cast<std::size_t>(r)];
  runner = Trunner{};
  runner.items_first = items_first;
  runner.items_count = items_count;
  runner.top_action = top_action;
  runner.pending = top_action >= 0 ? top_action : pattern_.lists[static_cast<std::size_t>(items_first)];
  param_counts_[static_cast<std::size_t>(r) * levels_] = 0;
}

int Tpattern_player::take_runner() { return free_runners_[static_cast<std::size_t>(--free_count_)]; }

void Tpattern_player::release_runner(Tpattern_body& body) {
  if (body.runner < 0) return;
  free_runners_[static_cast<std::size_t>(free_count_++)] = body.runner;
  body.runner = -1;
}

double Tpattern_player::aim(const Tpattern_body& body) const {
  return PATTERN_AIM_DEG(body.x, body.y, input_.target_x, input_.target_y);
}

void Tpattern_player::fault(Tpattern_fault_kind kind, int node) {
  stop_ = true;
  if (fault_seen_[kind]) {
    for (int i = 0; i < fault_count_; ++i)
      if (faults_[i].kind == kind) ++faults_[i].objects;
    return;
  }
  fault_seen_[kind] = true;
  Tpattern_fault& f = faults_[fault_count_++];
  f.kind = kind;
  const Tpattern_node& at = pattern_.nodes[static_cast<std::size_t>(node)];
  f.line = at.line;
  f.column = at.column;
  f.frame = turn_ + 1;
  f.objects = 1;
}

void Tpattern_player::STEP(const Tpattern_input& input) {
  input_ = input;
  const int listed = count_;
  appended_ = count_;
  frame_commands_ = 0;
  frame_operations_ = 0;

  // A ridden root stands where its rider is before its commands run, a
  // restart's put-back included, and after its own motion.
  const auto ride = [this, &input] {
    if (!input.ride) return;
    root_.x = input.ride_x;
    root_.y = input.ride_y;
  };
  ride();
  if (!root_stopped_) {
    bool all_ended = true;
    for (std::size_t i = 0; i < pattern_.top_actions.size(); ++i) all_ended = all_ended && runners_[i].ended;
    if (all_ended) {
      restart_root();
      ride();
    }
    commands_ = 0;
    command_limit_ = VP_PATTERN_MAX_COMMANDS;
    stop_ = false;
    for (std::size_t i = 0; i < pattern_.top_actions.size() && !stop_; ++i)
      run_runner(static_cast<int>(i), root_, true);
    frame_commands_ += commands_;
    if (stop_) root_stopped_ = true;
  }
  move(root_);  // the root is never retired, wherever it goes
  ride();
  if (!std::isfinite(root_.x) || !std::isfinite(root_.y)) {
    if (!root_stopped_) fault(VP_PATTERN_FAULT_NOT_FINITE, pattern_.top_actions[0]);
    root_stopped_ = true;
    root_.x = start_x_;
    root_.y = start_y_;
    root_.speed = root_.ax = root_.ay = 0.0;
  }

  int kept = 0;
  for (int i = 0; i < listed; ++i) {
    Tpattern_body& body = bodies_[static_cast<std::size_t>(i)];
    if (body.runner >= 0) {
      commands_ = 0;
      command_limit_ = static_cast<int>(
          std::min<long long>(VP_PATTERN_MAX_COMMANDS, VP_PATTERN_MAX_FRAME_COMMANDS - frame_commands_));
      stop_ = false;
      run_runner(body.runner, body, false);
      frame_commands_ += commands_;
      if (stop_ || runners_[static_cast<std::size_t>(body.runner)].ended) release_runner(body);
    }
    if (body.vanished || !move(body)) {
      release_runner(body);
      --count_;
      continue;
    }
    if (kept != i) bodies_[static_cast<std::size_t>(kept)] = body;
    ++kept;
  }
  for (int i = listed; i < appended_; ++i) bodies_[static_cast<std::size_t>(kept++)] = bodies_[static_cast<std::size_t>(i)];
  ++turn_;
}

// Moves one frame; false when the body is now to be retired.
bool Tpattern_player::move(Tpattern_body& body) {
  body.x += PATTERN_SIN_DEG(body.direction) * body.speed + body.ax;
  body.y += -PATTERN_COS_DEG(body.direction) * body.speed + body.ay;
  return !outside(body.x, body.y) && std::isfinite(body.x) && std::isfinite(body.y);
}

// False, with the fault said, when a value between two finite ends rounds
// past the largest double.
bool Tpattern_player::apply_changes(Trunner& runner, Tpattern_body& body) {
  double* fields[k_changes] = {&body.direction, &body.speed, &body.ax, &body.ay};
  for (int i = 0; i < k_changes; ++i) {
    Tchange& c = runner.changes[i];
    if (!c.active) continue;
    double value = c.last;
    if (turn_ >= c.last_turn) c.active = false;
    else value = c.first + c.gradient * static_cast<double>(turn_ - c.first_turn);
    if (!std::isfinite(value)) {
      fault(VP_PATTERN_FAULT_NOT_FINITE, c.node);
      return false;
    }
    *fields[i] = value;
  }
  return true;
}

bool Tpattern_player::run_runner(int r, Tpattern_body& body, bool is_root) {
  Trunner& runner = runners_[static_cast<std::size_t>(r)];
  if (runner.ended) return true;
  if (!apply_changes(runner, body)) return false;
  if (runner.pending < 0) {
    bool changing = false;
    for (const Tchange& c : runner.changes) changing = changing || c.active;
    if (runner.act_turn <= turn_ && !changing) runner.ended = true;
    return true;
  }
  if (runner.act_turn == -1) runner.act_turn = turn_;
  while (runner.pending >= 0 && runner.act_turn <= turn_) {
    if (commands_ >= command_limit_) {
      // Name the outermost repeat in progress: the likeliest runaway.
      int at = runner.pending;
      const Tframe* frames = frames_.data() + static_cast<std::size_t>(r) * depth_;
      for (int d = runner.depth - 1; d >= 0; --d)
        if (pattern_.nodes[static_cast<std::size_t>(frames[d].node)].kind == VP_NODE_REPEAT) at = frames[d].node;
      fault(command_limit_ < VP_PATTERN_MAX_COMMANDS ? VP_PATTERN_FAULT_FRAME_COMMANDS : VP_PATTERN_FAULT_COMMANDS, at);
      return false;
    }
    ++commands_;
    if (!execute(r, body, runner.pending, is_root)) return false;
  }
  if (runner.pending < 0 && runner.item + 1 < runner.items_count) {
    ++runner.item;
    runner.pending = pattern_.lists[static_cast<std::size_t>(runner.items_first + runner.item)];
  }
  return true;
}

Tpattern_player::Tparams Tpattern_player::scope_of(int r) const {
  const Trunner& runner = runners_[static_cast<std::size_t>(r)];
  int level = 0;
  if (runner.depth > 0) level = frames_[static_cast<std::size_t>(r) * depth_ + runner.depth - 1].params;
  const std::size_t at = static_cast<std::size_t>(r) * levels_ + level;
  return Tparams{params_.data() + at * width_, param_counts_[at]};
}

bool Tpattern_player::evaluate(int expr, Tparams scope, int node, double& value) {
  // Charged before it runs, so the frame never goes past its budget.
  const Tpattern_expr& e = pattern_.exprs[static_cast<std::size_t>(expr)];
  const long long cost = e.is_constant ? 1 : std::max<long long>(e.count, 1);
  if (frame_operations_ + cost > VP_PATTERN_MAX_FRAME_OPERATIONS) {
    fault(VP_PATTERN_FAULT_FRAME_OPERATIONS, node);
    return false;
  }
  frame_operations_ += cost;
  Tpattern_scope s;
  s.params = scope.values;
  s.param_count = scope.count;
  s.rank = input_.rank;
  auto draw = [this] { return input_.hold_rand ? input_.rand_value : random_.NEXT(); };
  value = PATTERN_EVALUATE(pattern_, expr, s, draw);
  if (std::isfinite(value)) return true;
  fault(VP_PATTERN_FAULT_NOT_FINITE, node);
  return false;
}

bool Tpattern_player::direction_of(Trunner& runner, const Tpattern_body& body, const Tpattern_value& v, Tparams scope,
                                   int node, double& dir) {
  if (!evaluate(v.expr, scope, node, dir)) return false;
  switch (v.type) {
    case VP_TYPE_ABSOLUTE:
      if (pattern_.horizontal) dir -= 90.0;
      break;
    case VP_TYPE_RELATIVE:
      dir += body.direction;
      break;
    case VP_TYPE_SEQUENCE:
      if (runner.prev_dir_set) {
        dir += runner.prev_dir;
      } else {
        dir = 0.0;  // the first of a sequence aims; its number is ignored
        dir += aim(body);
      }
      break;
    case VP_TYPE_NONE:
    case VP_TYPE_AIM:
      dir += aim(body);
      break;
  }
  if (!std::isfinite(dir)) {
    fault(VP_PATTERN_FAULT_NOT_FINITE, node);
    return false;
  }
  dir = wrap(dir);
  runner.prev_dir = dir;
  runner.prev_dir_set = true;
  return true;
}

bool Tpattern_player::speed_of(Trunner& runner, const Tpattern_body& body, const Tpattern_value& v, Tparams scope,
                               int node, double& speed) {
  if (!evaluate(v.expr, scope, node, speed)) return false;
  if (v.type == VP_TYPE_RELATIVE) {
    speed += body.speed;
  } else if (v.type == VP_TYPE_SEQUENCE) {
    speed = runner.prev_speed_set ? speed + runner.prev_speed : 1.0;
  }
  if (!std::isfinite(speed)) {
    fault(VP_PATTERN_FAULT_NOT_FINITE, node);
    return false;
  }
  runner.prev_speed = speed;
  runner.prev_speed_set = true;
  return true;
}

// False, with the fault said at `node`, when the change would lead to a
// value that is not finite: a sequence's value times its term, or a span
// between two ends far apart, past the largest double.
bool Tpattern_player::start_change(Trunner& runner, int which, double first, double last, int term, int node) {
  // A term of 0 or less reaches its end at once; its gradient is never read.
  const double gradient = term > 0 ? (last - first) / static_cast<double>(term) : 0.0;
  if (!std::isfinite(last) || !std::isfinite(gradient)) {
    fault(VP_PATTERN_FAULT_NOT_FINITE, node);
    return false;
  }
  Tchange& c = runner.changes[which];
  c.active = true;
  c.first_turn = runner.act_turn;
  c.last_turn = runner.act_turn + term;
  c.first = first;
  c.last = last;
  c.gradient = gradient;
  c.node = node;
  return true;
}

void Tpattern_player::advance(int r) {
  Trunner& runner = runners_[static_cast<std::size_t>(r)];
  Tframe* frames = frames_.data() + static_cast<std::size_t>(r) * depth_;
  while (runner.depth > 0) {
    Tframe& top = frames[runner.depth - 1];
    const Tpattern_node& node = pattern_.nodes[static_cast<std::size_t>(top.node)];
    if (node.kind == VP_NODE_ACTION) {
      if (++top.index < node.count) {
        runner.pending = pattern_.lists[static_cast<std::size_t>(node.first + top.index)];
        return;
      }
    } else if (++top.index < top.end) {  // a repeat's next round
      runner.pending = node.target;
      return;
    }
    if (top.owns_params) --runner.ref_levels;
    --runner.depth;
  }
  runner.pending = -1;
}

bool Tpattern_player::execute(int r, Tpattern_body& body, int n, bool is_root) {
  Trunner& runner = runners_[static_cast<std::size_t>(r)];
  const Tpattern_node& node = pattern_.nodes[static_cast<std::size_t>(n)];
  const Tparams scope = scope_of(r);
  Tframe* frames = frames_.data() + static_cast<std::size_t>(r) * depth_;
  const int level = runner.depth > 0 ? frames[runner.depth - 1].params : 0;
  // An action's frame starts before its first command, a repeat's at its
  // first round.
  auto push = [&](int at, int end, int params, bool owns) {
    if (runner.depth >= depth_) {  // measured at load: cannot happen
      fault(VP_PATTERN_FAULT_COMMANDS, n);
      return false;
    }
    frames[runner.depth++] = Tframe{at, node.kind == VP_NODE_REPEAT ? 0 : -1, end, params, owns};
    return true;
  };
  double value = 0.0;
  switch (node.kind) {
    case VP_NODE_ACTION:
      if (!push(n, 0, level, false)) return false;
      advance(r);
      return true;
    case VP_NODE_REPEAT:
      if (!evaluate(node.amount, scope, n, value)) return false;
      if (!push(n, whole(value), level, false)) return false;
      runner.pending = node.target;
      return true;
    case VP_NODE_ACTION_REF: {
      const int own = runner.ref_levels + 1;
      double* values = params_at(r, own);
      for (int i = 0; i < node.count; ++i) {
        if (!evaluate(pattern_.lists[static_cast<std::size_t>(node.first + i)], scope, n, value)) return false;
        if (i < VP_PATTERN_PARAMS) values[i] = value;
      }
      param_counts_[static_cast<std::size_t>(r) * levels_ + own] = std::min<int>(node.count, VP_PATTERN_PARAMS);
      // The action entered reads the parameters just evaluated.
      if (!push(node.target, 0, own, true)) return false;
      ++runner.ref_levels;
      advance(r);
      return true;
    }
    case VP_NODE_FIRE:
      if (!fire(r, body, n, scope)) return false;
      break;
    case VP_NODE_FIRE_REF: {
      for (int i = 0; i < node.count; ++i) {
        if (!evaluate(pattern_.lists[static_cast<std::size_t>(node.first + i)], scope, n, value)) return false;
        if (i < VP_PATTERN_PARAMS) fire_ref_params_[i] = value;
      }
      if (!fire(r, body, node.target, Tparams{fire_ref_params_, std::min<int>(node.count, VP_PATTERN_PARAMS)}))
        return false;
      break;
    }
    case VP_NODE_WAIT: {
      if (!evaluate(node.amount, scope, n, value)) return false;
      const int frames_to_wait = whole(value);
      if (frames_to_wait > 0) runner.act_turn += frames_to_wait;
      break;
    }
    case VP_NODE_CHANGE_DIRECTION: {
      if (!evaluate(node.term, scope, n, value)) return false;
      const int term = whole(value);
      double dir = 0.0;
      if (node.direction.type == VP_TYPE_SEQUENCE) {
        if (!evaluate(node.direction.expr, scope, n, dir)) return false;
        if (!start_change(runner, k_direction, body.direction, body.direction + dir * term, term, n)) return false;
      } else {
        if (!direction_of(runner, body, node.direction, scope, n, dir)) return false;
        // The shorter way round.
        const double first = body.direction;
        const double space1 = dir - first;
        const double space2 = space1 > 0 ? space1 - 360.0 : space1 + 360.0;
        const double space = std::fabs(space1) < std::fabs(space2) ? space1 : space2;
        if (!start_change(runner, k_direction, first, first + space, term, n)) return false;
      }
      break;
    }
    case VP_NODE_CHANGE_SPEED: {
      if (!evaluate(node.term, scope, n, value)) return false;
      const int term = whole(value);
      double speed = 0.0;
      if (node.speed.type == VP_TYPE_SEQUENCE) {
        if (!evaluate(node.speed.expr, scope, n, speed)) return false;
        speed = speed * static_cast<double>(term) + body.speed;
      } else if (!speed_of(runner, body, node.speed, scope, n, speed)) {
        return false;
      }
      if (!start_change(runner, k_speed, body.speed, speed, term, n)) return false;
      break;
    }
    case VP_NODE_ACCEL: {
      if (!evaluate(node.term, scope, n, value)) return false;
      const int term = whole(value);
      auto accel = [&](int which, const Tpattern_value& v, double sign) {
        double amount = 0.0;
        if (!evaluate(v.expr, scope, n, amount)) return false;
        amount = sign * amount;
        const double first = which == k_accel_x ? body.ax : body.ay;
        double last = amount;
        if (v.type == VP_TYPE_SEQUENCE) last = first + amount * term;
        else if (v.type == VP_TYPE_RELATIVE) last = first + amount;
        return start_change(runner, which, first, last, term, n);
      };
      // A horizontal file turns the axes: vertical drives x, horizontal -y.
      if (pattern_.horizontal) {
        if (node.vertical.expr >= 0 && !accel(k_accel_x, node.vertical, 1.0)) return false;
        if (node.horizontal.expr >= 0 && !accel(k_accel_y, node.horizontal, -1.0)) return false;
      } else {
        if (node.horizontal.expr >= 0 && !accel(k_accel_x, node.horizontal, 1.0)) return false;
        if (node.vertical.expr >= 0 && !accel(k_accel_y, node.vertical, 1.0)) return false;
      }
      break;
    }
    case VP_NODE_VANISH:
      if (!is_root) body.vanished = true;
      break;
    case VP_NODE_BULLET:
    case VP_NODE_BULLET_REF:
      break;  // only a fire reaches these
  }
  advance(r);
  return true;
}

bool Tpattern_player::fire(int r, Tpattern_body& body, int n, Tparams scope) {
  Trunner& runner = runners_[static_cast<std::size_t>(r)];
  const Tpattern_node& f = pattern_.nodes[static_cast<std::size_t>(n)];
  bool speed_set = false, dir_set = false;
  double speed = 0.0, dir = 0.0;
  if (f.speed.expr >= 0) {
    if (!speed_of(runner, body, f.speed, scope, n, speed)) return false;
    speed_set = true;
  }
  if (f.direction.expr >= 0) {
    if (!direction_of(runner, body, f.direction, scope, n, dir)) return false;
    dir_set = true;
  }
  int b = f.target;
  Tparams bullet_scope = scope;
  if (pattern_.nodes[static_cast<std::size_t>(b)].kind == VP_NODE_BULLET_REF) {
    const Tpattern_node& ref = pattern_.nodes[static_cast<std::size_t>(b)];
    double value = 0.0;
    for (int i = 0; i < ref.count; ++i) {
      if (!evaluate(pattern_.lists[static_cast<std::size_t>(ref.first + i)], scope, b, value)) return false;
      if (i < VP_PATTERN_PARAMS) bullet_ref_params_[i] = value;
    }
    bullet_scope = Tparams{bullet_ref_params_, std::min<int>(ref.count, VP_PATTERN_PARAMS)};
    b = ref.target;
  }
  const Tpattern_node& bullet = pattern_.nodes[static_cast<std::size_t>(b)];
  if (bullet.speed.expr >= 0) {
    if (!speed_of(runner, body, bullet.speed, bullet_scope, b, speed)) return false;
    speed_set = true;
  }
  if (bullet.direction.expr >= 0) {
    if (!direction_of(runner, body, bullet.direction, bullet_scope, b, dir)) return false;
    dir_set = true;
  }
  if (!speed_set) {
    speed = 1.0;
    runner.prev_speed = speed;
    runner.prev_speed_set = true;
  }
  if (!dir_set) {
    dir = aim(body);
    runner.prev_dir = dir;
    runner.prev_dir_set = true;
  }
  create(body, dir, speed, b, bullet_scope);
  return true;
}

void Tpattern_player::create(const Tpattern_body& from, double direction, double speed, int bullet, Tparams scope) {
  if (count_ >= pool_) {
    ++missed_;
    return;
  }
  Tpattern_body& born = bodies_[static_cast<std::size_t>(appended_++)];
  born = Tpattern_body{};
  born.x = from.x;
  born.y = from.y;
  born.direction = direction;
  born.speed = speed;
  born.number = ++fired_;
  const Tpattern_node& node = pattern_.nodes[static_cast<std::size_t>(bullet)];
  if (node.count > 0) {
    born.runner = take_runner();
    reset_runner(born.runner, node.first, node.count, -1);
    double* base = params_at(born.runner, 0);
    for (int i = 0; i < scope.count; ++i) base[i] = scope.values[i];
    param_counts_[static_cast<std::size_t>(born.runner) * levels_] = scope.count;
  }
  ++count_;
}
