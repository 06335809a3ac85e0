// host_play.h - the BulletML host's play: libbulletml's runners driven by
// the host choices of Vorpane's model (docs/BULLETML.md), shared by the
// agreement test's oracle (bulletml_host.cpp) and the side-by-side
// benchmark (runner_bench.cpp).
//
// Rules:
//  - The library decides which command runs when and what each value
//    evaluates to; everything else is chosen here, and every choice is the
//    model's: the space, the angles, motion in doubles, the order of a frame,
//    the root's restart, the pool of 16,384 with missed fires, the random
//    stream.
//  - Linked into the test's programs only; the project's libraries and
//    programs never see libbulletml.
#pragma once

#include <bulletml/bulletmlerror.h>            // what the parser and runner throw
#include <bulletml/bulletmlparser.h>           // the parsed file (before its reader, which needs it)
#include <bulletml/bulletmlparser-tinyxml.h>   // the library's own reader
#include <bulletml/bulletmlrunner.h>           // the callbacks
#include <bulletml/bulletmlrunnerimpl.h>       // each top action's own end

#include <cmath>      // sinl, cosl, atan2l, fmod, isfinite
#include <limits>     // quiet_NaN
#include <memory>     // unique_ptr
#include <string>     // the file's name
#include <vector>     // the objects

#include "host_random.h"  // the project's random stream

constexpr long double k_pi = 3.141592653589793238462643383279502884L;
constexpr long double k_radians_per_degree = k_pi / 180.0L;
constexpr double k_root_x = 320.0;
constexpr double k_root_y = 120.0;
constexpr double k_root_direction = 180.0;
constexpr long k_pool = 16384;
// The show's own bullets' play area.
constexpr double k_left = -50.0, k_right = 690.0, k_top = -50.0, k_bottom = 530.0;

struct Toptions {
  long frames = 600;
  double target_x = -1.0;
  double target_y = -1.0;
  double rank = 0.5;
  bool rand_constant = false;
  double rand_value = 0.0;
  std::string file;
};

// The model's sin(direction * pi / 180), cos and atan2 in degrees, as
// close to the exact values as this host can get them: the angle is reduced
// exactly in degrees to an octant and evaluated in long double (64 bits on
// the amd64 machines libbulletml's package is tested on), then rounded once.
// Exact angles give exact values (cos 300 is 0.5, sin 180 is 0), as
// Vorpane's own trigonometry does; with the C library's radians, cos 300 is
// 0.5000000000000001 and a bullet that should stop exactly on the play
// area's edge crosses it, which no tolerance on positions can absorb.
// Other arguments may differ from Vorpane's by an ulp, well inside it.
// `quarter` 0 to 3 says which of sin a, cos a, -sin a, -cos a is asked for.
inline double quarter_wave(int quarter, double a) {
  // a in [0, 90): sin a and cos a from the nearer of 0 and 90, 90 - a exact.
  const auto sin_of = [](double b) {
    return b <= 45.0 ? std::sin(b * k_radians_per_degree) : std::cos((90.0 - b) * k_radians_per_degree);
  };
  const auto cos_of = [](double b) {
    return b <= 45.0 ? std::cos(b * k_radians_per_degree) : std::sin((90.0 - b) * k_radians_per_degree);
  };
  // + 0: a zero is +0 whichever way it was reached.
  switch (quarter) {
    case 0: return static_cast<double>(sin_of(a)) + 0.0;
    case 1: return static_cast<double>(cos_of(a)) + 0.0;
    case 2: return static_cast<double>(-sin_of(a)) + 0.0;
    default: return static_cast<double>(-cos_of(a)) + 0.0;
  }
}

// |degrees| reduced to a quarter and an angle in [0, 90); every step exact
// (fmod, then a difference of numbers within a factor of two).
inline int reduce(double degrees, double& a) {
  a = std::fmod(std::fabs(degrees), 360.0);
  const int quarter = a < 90.0 ? 0 : a < 180.0 ? 1 : a < 270.0 ? 2 : 3;
  a -= 90.0 * quarter;
  return quarter;
}

inline double sin_degrees(double degrees) {
  if (!std::isfinite(degrees)) return std::numeric_limits<double>::quiet_NaN();
  double a;
  const int quarter = reduce(degrees, a);
  const double value = quarter_wave(quarter, a);
  return degrees < 0.0 ? -value : value;
}

inline double cos_degrees(double degrees) {
  if (!std::isfinite(degrees)) return std::numeric_limits<double>::quiet_NaN();
  double a;
  const int quarter = reduce(degrees, a);
  return quarter_wave((quarter + 1) % 4, a);
}

inline double atan2_degrees(double y, double x) {
  return static_cast<double>(std::atan2(static_cast<long double>(y), static_cast<long double>(x)) / k_radians_per_degree);
}

class Thost;

// The root or a bullet. Motion state is the model's, all doubles.
struct Tobject {
  double x = k_root_x, y = k_root_y;
  double direction = k_root_direction;
  double speed = 0.0;
  double ax = 0.0, ay = 0.0;  // the accel velocity
  long number = 0;            // creation number; 0 for the root
  bool vanished = false;
  bool gone = false;
  std::unique_ptr<class Trunner> runner;  // null: a plain flier
};

// One object's commands. The root's runner holds one implementation per top
// action; the library's isEnd is true once ANY has ended, so ALL_ENDED asks
// each of them instead.
class Trunner : public BulletMLRunner {
 public:
  Trunner(BulletMLParser* file, Thost& host, Tobject& self) : BulletMLRunner(file), host_(host), self_(self) {}
  Trunner(BulletMLState* state, Thost& host, Tobject& self) : BulletMLRunner(state), host_(host), self_(self) {}

  bool ALL_ENDED() const {
    for (const BulletMLRunnerImpl* impl : impl_)
      if (!impl->isEnd()) return false;
    return true;
  }

  double getBulletDirection() override { return self_.direction; }
  double getAimDirection() override;
  double getBulletSpeed() override { return self_.speed; }
  double getDefaultSpeed() override { return 1.0; }
  double getRank() override;
  void createSimpleBullet(double direction, double speed) override;
  void createBullet(BulletMLState* state, double direction, double speed) override;
  int getTurn() override;
  void doVanish() override { self_.vanished = true; }
  void doChangeDirection(double direction) override { self_.direction = direction; }
  void doChangeSpeed(double speed) override { self_.speed = speed; }
  void doAccelX(double ax) override { self_.ax = ax; }
  void doAccelY(double ay) override { self_.ay = ay; }
  double getBulletSpeedX() override { return self_.ax; }
  double getBulletSpeedY() override { return self_.ay; }
  double getRand() override;

 private:
  Thost& host_;
  Tobject& self_;
};

class Thost {
 public:
  Thost(const Toptions& options, BulletMLParser& file) : options_(options), file_(file) {
    objects_.push_back(std::make_unique<Tobject>());
    start_root();
  }

  // One frame: the objects that exist at its start, in list
  // order, the root first. A file without top actions has every one of them
  // ended, so its root starts again each frame and stands still.
  void STEP() {
    const std::size_t existing = objects_.size();
    for (std::size_t i = 0; i < existing; ++i) {
      Tobject& object = *objects_[i];
      if (i == 0) {
        if (object.runner->ALL_ENDED()) start_root();
        object.runner->run();
      } else if (object.runner) {
        object.runner->run();
        if (object.runner->ALL_ENDED()) object.runner.reset();
      }
      if (i != 0 && object.vanished) {
        remove(object);
        continue;
      }
      object.x += sin_degrees(object.direction) * object.speed + object.ax;
      object.y += -cos_degrees(object.direction) * object.speed + object.ay;
      if (i != 0 && !(object.x >= k_left && object.x <= k_right && object.y >= k_top && object.y <= k_bottom))
        remove(object);
    }
    std::size_t kept = 1;
    for (std::size_t i = 1; i < objects_.size(); ++i)
      if (!objects_[i]->gone) objects_[kept++] = std::move(objects_[i]);
    objects_.resize(kept);
    ++turn_;
  }

  // The objects in list order: the root, then the bullets in flight.
  const std::vector<std::unique_ptr<Tobject>>& OBJECTS() const { return objects_; }

  // A fire from `from`, at its position before it moves; a bullet with
  // commands brings `state`, which is the library's to free when no runner
  // takes it.
  void FIRE(const Tobject& from, BulletMLState* state, double direction, double speed) {
    if (in_flight_ >= k_pool) {
      ++missed_;
      delete state;
      return;
    }
    auto bullet = std::make_unique<Tobject>();
    bullet->x = from.x;
    bullet->y = from.y;
    bullet->direction = direction;
    bullet->speed = speed;
    bullet->number = ++fired_;
    if (state) bullet->runner = std::make_unique<Trunner>(state, *this, *bullet);
    objects_.push_back(std::move(bullet));
    ++in_flight_;
  }

  double AIM(const Tobject& from) const {
    return atan2_degrees(options_.target_x - from.x, -(options_.target_y - from.y));
  }
  double RANK() const { return options_.rank; }
  int TURN() const { return turn_; }
  double RAND() { return options_.rand_constant ? options_.rand_value : random_.NEXT(); }

 private:
  // The root back at its start with fresh runners for the top actions; its
  // bullets fly on.
  void start_root() {
    Tobject& root = *objects_[0];
    root.runner.reset();
    root.x = k_root_x;
    root.y = k_root_y;
    root.direction = k_root_direction;
    root.speed = 0.0;
    root.ax = root.ay = 0.0;
    root.runner = std::make_unique<Trunner>(&file_, *this, root);
  }

  // Removal takes the bullet out of the count at once, so a later fire in
  // the same frame finds the room.
  void remove(Tobject& bullet) {
    bullet.gone = true;
    bullet.runner.reset();
    --in_flight_;
  }

  const Toptions& options_;
  BulletMLParser& file_;
  std::vector<std::unique_ptr<Tobject>> objects_;
  Thost_random random_;
  int turn_ = 0;
  long in_flight_ = 0;
  long fired_ = 0;
  long missed_ = 0;
};

inline double Trunner::getAimDirection() { return host_.AIM(self_); }
inline double Trunner::getRank() { return host_.RANK(); }
inline void Trunner::createSimpleBullet(double direction, double speed) { host_.FIRE(self_, nullptr, direction, speed); }
inline void Trunner::createBullet(BulletMLState* state, double direction, double speed) {
  host_.FIRE(self_, state, direction, speed);
}
inline int Trunner::getTurn() { return host_.TURN(); }
inline double Trunner::getRand() { return host_.RAND(); }

