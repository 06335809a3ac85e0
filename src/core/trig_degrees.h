// trig_degrees.h - sine, cosine and arc tangent in degrees, the same bits in every build.
//
// Rules:
//  - These are for the BulletML runner, whose traces must be byte-identical
//    in every build: g++ and clang++ at any optimisation level, with or
//    without -march, and emscripten's WebAssembly under node. C libraries
//    differ in the last bit of some sines, so these use none of them: only
//    + - * /, exact steps (fmod, comparisons, bit moves) and tables. They
//    hold only under the project's exact flags (-ffp-contract=off: a fused
//    multiply-add would round where the source does not) and need double
//    arithmetic done in double (FLT_EVAL_METHOD 0, checked at compile time).
//  - The show's own trigonometry stays in core/numeric.h on the C library's
//    double functions of float arguments: its patterns are defined by them.
//  - Angles are degrees, reduced exactly in degrees before any rounding, so
//    the exact values come out exact: TRIG_SIN_DEG(180) is 0, (30) is 0.5,
//    (90) is 1; TRIG_ATAN2_DEG(1, 1) is 45, (1, -1) is 135, (0, -1) is 180.
//    std::sin(180 * pi / 180) is 1.2e-16 instead, and every multiple of 180
//    grows that error with the rounding of the argument.
//  - Accuracy: measured within 0.5005 ulp of the exact value (the nearest double but
//    in rare near-ties) by tests/unit/trig_degrees_test.cpp against
//    a wider oracle; a result in the subnormal range may be off by one ulp.
//  - sin is odd (sin(-0) is -0, sin(-180) is -0, sin(180) is +0); cos of a
//    zero result is +0.
//  - TRIG_ATAN2_DEG(y, x) follows std::atan2(y, x) * 180 / pi: in [-180, 180],
//    the quadrant from the signs of both arguments, signed zeros and
//    infinities as std::atan2 treats them (atan2(+-0, -0) is +-180,
//    atan2(+-inf, -inf) is +-135).
//  - An infinite or NaN argument to sin or cos, and a NaN argument to atan2,
//    give the positive quiet NaN, whatever the argument's NaN: a NaN's sign
//    and payload are not the same in every build, and a trace prints the
//    sign.
#pragma once

double TRIG_SIN_DEG(double degrees);
double TRIG_COS_DEG(double degrees);
double TRIG_ATAN2_DEG(double y, double x);  // degrees, as std::atan2(y, x) * 180 / pi
