// pattern_numbers.h - the trigonometry in degrees and the random stream a
// pattern plays with, in one place.
//
// Rules:
//  - Directions are degrees, 0 up, clockwise on screen. PATTERN_SIN_DEG and
//    PATTERN_COS_DEG take the direction as it is (any size); PATTERN_AIM_DEG
//    is the direction from (x, y) towards (tx, ty).
//  - They are the project's own (core/trig_degrees.h), the same bits in
//    every build, so a pattern's trace is byte-identical everywhere.
//  - The stream is the project's random source as an instance (Trandom): a
//    pattern's draws are its own, the same in every program.
#pragma once

#include "core/trig_degrees.h"  // TRIG_SIN_DEG and its companions
#include "platform/random.h"    // Trandom

inline double PATTERN_SIN_DEG(double degrees) { return TRIG_SIN_DEG(degrees); }
inline double PATTERN_COS_DEG(double degrees) { return TRIG_COS_DEG(degrees); }
inline double PATTERN_AIM_DEG(double x, double y, double tx, double ty) { return TRIG_ATAN2_DEG(tx - x, -(ty - y)); }

using Tpattern_random = Trandom;
