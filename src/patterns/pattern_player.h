// pattern_player.h - plays a compiled bullet pattern (patterns/pattern.h)
// frame by frame: the root object running the top actions, the bullets it
// and its bullets fire, their commands, motion and retirement.
//
// Rules:
//  - BUILD sizes every pool from the pattern (POOL() bullets, 16,384 unless
//    asked for fewer, each with the command state the pattern's deepest nesting needs) and copies the
//    pattern in; STEP and every accessor allocate nothing, and STEP's work
//    is bounded: an object runs at most VP_PATTERN_MAX_COMMANDS commands in
//    one frame, and all objects together, the root included, at most
//    VP_PATTERN_MAX_FRAME_COMMANDS; and the expressions all objects evaluate
//    in one frame cost at most VP_PATTERN_MAX_FRAME_OPERATIONS operations of
//    their code (a folded one costs 1), so that long values in many
//    commands cannot make one frame take seconds.
//  - Space is the show's 640 x 480, y down. Directions are degrees, 0 up,
//    clockwise; everything an object keeps is double precision.
//  - Objects are in one list in creation order, the root first; a bullet
//    fired in a frame appears at the firing object's position before it
//    moves, and is run and moved from the next frame on. SHOT(0) ..
//    SHOT(IN_FLIGHT() - 1) are the bullets in flight in that order.
//  - A frame: the root first (put back at its start and its top actions
//    started afresh when every top action has ended), then each bullet:
//    its commands, its removal if it vanished, its move, its retirement
//    outside -50..690 x -50..530 or at a position that is not finite.
//  - A fire with POOL() bullets in flight is missed and counted.
//  - A fault only playing can find (a value that is not finite, the target
//    of a change included; more than VP_PATTERN_MAX_COMMANDS commands in a
//    frame) stops that object's commands (a bullet flies on; the root stays
//    where it is, put back at its start if its position is not finite) and
//    is reported once per kind, with the element's line and column, in
//    FAULT(i). Once the frame's VP_PATTERN_MAX_FRAME_COMMANDS are spent,
//    every later object of the frame that would run a command is stopped
//    so, as VP_PATTERN_FAULT_FRAME_COMMANDS (waiting ones are not touched);
//    once the frame's VP_PATTERN_MAX_FRAME_OPERATIONS are spent, every
//    object that would evaluate an expression is stopped so, the root
//    included, as VP_PATTERN_FAULT_FRAME_OPERATIONS.
//  - $rand draws from the player's own stream (BUILD's `stream`), rewound by BUILD and RESET,
//    one draw per $rand evaluated, unless the input holds it at a constant.
#pragma once

#include <cstdint>  // counters
#include <vector>   // the pools, sized by BUILD

#include "patterns/pattern.h"          // what is played
#include "patterns/pattern_numbers.h"  // the random stream

enum { VP_PATTERN_POOL = 16384 };             // bullets in flight at most
enum { VP_PATTERN_MAX_COMMANDS = 1 << 16 };  // commands one object runs in one frame at most
// Commands all objects run in one frame at most, the root included. The
// real files run at most 3,557 in a frame in their first 600 frames; the
// heaviest, whose homing bullets never leave, reaches 35,957 by frame 6,000
// and some 49,000 (three commands each) with the pool full of them.
enum { VP_PATTERN_MAX_FRAME_COMMANDS = 1 << 20 };
// Operations of expression code all objects run in one frame at most, the
// root included; an expression folded to a constant costs 1. The real files
// spend at most 3,539 in a frame in their first 600 frames and 35,955 by
// frame 6,000, about one a command; a hostile frame that spends all of it
// on the longest values takes some 3 ms, where without it 2^20 commands of
// them took 29 s (bench/RESULTS.md, "BulletML runner").
enum { VP_PATTERN_MAX_FRAME_OPERATIONS = 1 << 21 };

constexpr double VP_PATTERN_START_X = 320.0;  // the root's start, facing down
constexpr double VP_PATTERN_START_Y = 120.0;
constexpr double VP_PATTERN_START_DIRECTION = 180.0;

// What one frame is given.
struct Tpattern_input {
  double target_x = -1.0;  // the aim point
  double target_y = -1.0;
  double rank = 0.5;       // $rank, 0 to 1
  bool hold_rand = false;  // every $rand is `rand_value` instead of a draw
  double rand_value = 0.5;
  // The root ridden: it stands at (ride_x, ride_y) before its commands run
  // and after it moves, its direction and speed still its file's.
  bool ride = false;
  double ride_x = 0.0;
  double ride_y = 0.0;
};

// An object: the root or a bullet in flight.
struct Tpattern_body {
  double x = 0.0;
  double y = 0.0;
  double direction = 0.0;  // degrees as last set, not wrapped
  double speed = 0.0;
  double ax = 0.0;         // accel velocity, added to the motion
  double ay = 0.0;
  long long number = 0;    // creation number, from 1; 0 for the root
  std::int32_t runner = -1;  // its commands, -1 once it has none
  bool vanished = false;
};

enum Tpattern_fault_kind {
  VP_PATTERN_FAULT_COMMANDS,    // more than VP_PATTERN_MAX_COMMANDS in a frame
  VP_PATTERN_FAULT_NOT_FINITE,  // a value (direction, speed, wait, ...) not finite
  VP_PATTERN_FAULT_FRAME_COMMANDS,  // more than VP_PATTERN_MAX_FRAME_COMMANDS among all objects in a frame
  VP_PATTERN_FAULT_FRAME_OPERATIONS,  // more than VP_PATTERN_MAX_FRAME_OPERATIONS among all objects in a frame
  VP_PATTERN_FAULT_KINDS
};

struct Tpattern_fault {
  Tpattern_fault_kind kind = VP_PATTERN_FAULT_COMMANDS;
  int line = 0;  // the element running when it was found
  int column = 0;
  long long frame = 0;  // the first frame it happened in
  long long objects = 0;  // objects stopped by it so far
};

// "stopped: more than 65536 commands in one frame" and the like.
const char* PATTERN_FAULT_TEXT(Tpattern_fault_kind kind);

class Tpattern_player {
 public:
  // Sizes the pools for `pattern`, `pool` bullets in flight at most (1 to
  // VP_PATTERN_POOL, clamped), keeps a copy of it and RESETs; the root
  // starts, and is put back, at (start_x, start_y). `stream` 0 draws $rand
  // from a fresh Trandom; any other from Trandom::SEED(stream), the state
  // made from the bits of the double `stream`.
  void BUILD(const Tpattern& pattern, double start_x = VP_PATTERN_START_X, double start_y = VP_PATTERN_START_Y,
             int pool = VP_PATTERN_POOL, int stream = 0);
  // Back to the state BUILD left: no bullets, frame 0, the stream rewound.
  void RESET();
  void STEP(const Tpattern_input& input);

  const Tpattern_body& ROOT() const { return root_; }
  int IN_FLIGHT() const { return count_; }
  const Tpattern_body& SHOT(int i) const { return bodies_[static_cast<std::size_t>(i)]; }
  long long MISSED() const { return missed_; }
  int POOL() const { return pool_; }  // bullets in flight at most
  long long FIRED() const { return fired_; }
  long long FRAME() const { return turn_; }  // frames stepped
  long long FRAME_COMMANDS() const { return frame_commands_; }  // run by all objects in the last frame
  long long FRAME_OPERATIONS() const { return frame_operations_; }  // of expression code, the last frame's
  int FAULT_COUNT() const { return fault_count_; }  // grows, never shrinks, at most VP_PATTERN_FAULT_KINDS
  const Tpattern_fault& FAULT(int i) const { return faults_[i]; }
  const Tpattern& PATTERN() const { return pattern_; }

 private:
  struct Tchange {
    bool active = false;
    long long first_turn = 0, last_turn = 0;
    double first = 0.0, last = 0.0, gradient = 0.0;
    std::int32_t node = -1;  // the change's element, named if a value it gives is not finite
  };
  enum { k_direction, k_speed, k_accel_x, k_accel_y, k_changes };
  // One runner of commands: a top action of the root, or a bullet's actions.
  struct Trunner {
    std::int32_t items_first = 0;  // the actions it runs one after another (`lists` range)
    std::int32_t items_count = 0;
    std::int32_t top_action = -1;  // a root runner's one action
    std::int32_t item = 0;
    std::int32_t pending = -1;     // next node to run; -1 when none is left
    std::int32_t depth = 0;        // frames in use
    std::int32_t ref_levels = 0;   // parameter sets in use above the base one
    bool ended = false;
    bool prev_dir_set = false, prev_speed_set = false;
    double prev_dir = 0.0, prev_speed = 0.0;
    long long act_turn = -1;       // the turn its commands have reached
    Tchange changes[k_changes];
  };
  struct Tframe {
    std::int32_t node;   // an action (index: its child running) or a repeat (index: iteration)
    std::int32_t index;
    std::int32_t end;    // a repeat's count
    std::int32_t params; // the parameter level its commands read
    bool owns_params;    // an action entered through a reference releases its level
  };
  struct Tparams {  // a view of one parameter set
    const double* values;
    int count;
  };

  void reset_runner(int r, int items_first, int items_count, int top_action);
  int take_runner();
  void release_runner(Tpattern_body& body);
  void restart_root();
  void run_object(Tpattern_body& body, bool is_root);
  bool run_runner(int r, Tpattern_body& body, bool is_root);
  bool apply_changes(Trunner& runner, Tpattern_body& body);
  bool execute(int r, Tpattern_body& body, int n, bool is_root);
  void advance(int r);
  bool fire(int r, Tpattern_body& body, int n, Tparams scope);
  bool evaluate(int expr, Tparams scope, int node, double& value);
  bool direction_of(Trunner& runner, const Tpattern_body& body, const Tpattern_value& v, Tparams scope, int node,
                    double& dir);
  bool speed_of(Trunner& runner, const Tpattern_body& body, const Tpattern_value& v, Tparams scope, int node,
                double& speed);
  bool start_change(Trunner& runner, int which, double first, double last, int term, int node);
  Tparams scope_of(int r) const;
  double* params_at(int r, int level) { return params_.data() + (static_cast<std::size_t>(r) * levels_ + level) * width_; }
  void fault(Tpattern_fault_kind kind, int node);
  double aim(const Tpattern_body& body) const;
  void create(const Tpattern_body& from, double direction, double speed, int bullet, Tparams scope);
  bool move(Tpattern_body& body);

  Tpattern pattern_;
  int depth_ = 1;   // frames per runner
  int levels_ = 1;  // parameter sets per runner: the base one and one per reference level
  int width_ = 1;   // parameters per set
  std::vector<Trunner> runners_;
  std::vector<Tframe> frames_;
  std::vector<double> params_;
  std::vector<int> param_counts_;
  std::vector<std::int32_t> free_runners_;
  int free_count_ = 0;
  std::vector<Tpattern_body> bodies_;  // in list order; room for a frame's survivors and its newcomers
  int count_ = 0;                      // bullets in flight
  int appended_ = 0;                   // list length during a frame, newcomers included
  Tpattern_body root_;
  double start_x_ = VP_PATTERN_START_X;
  double start_y_ = VP_PATTERN_START_Y;
  int pool_ = VP_PATTERN_POOL;
  int stream_ = 0;
  bool root_stopped_ = false;
  long long turn_ = 0;
  long long fired_ = 0;
  long long missed_ = 0;
  int commands_ = 0;  // run by the current object this frame
  int command_limit_ = VP_PATTERN_MAX_COMMANDS;  // the current object's: its own cap or what the frame has left
  long long frame_commands_ = 0;  // run by the objects done so far this frame
  long long frame_operations_ = 0;  // of expression code, all objects so far this frame
  double fire_ref_params_[VP_PATTERN_PARAMS] = {};
  double bullet_ref_params_[VP_PATTERN_PARAMS] = {};
  Tpattern_random random_;
  Tpattern_input input_;
  Tpattern_fault faults_[VP_PATTERN_FAULT_KINDS];
  bool fault_seen_[VP_PATTERN_FAULT_KINDS] = {};
  int fault_count_ = 0;
  bool stop_ = false;  // the current object hit a fault
};
