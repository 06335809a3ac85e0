// golden_test.cpp - frames of the show captured by vorpane-capture against
// the reference pictures in tests/golden/.
//
// The references are made under Xvfb with Mesa's software renderer (as the
// test script runs), so a pixel may move by a rounding step between Mesa
// versions; a picture passes while at most 0.5 % of its pixels differ by more
// than 8 levels in any channel. On failure the captured picture and a
// difference picture land in build/golden-failures/.
//
// VORPANE_UPDATE_GOLDEN=1 (scripts/update-golden) writes the captured
// pictures as the new references instead of comparing.
#include <gtest/gtest.h>  // the runner

#include <algorithm>  // max
#include <cstdint>    // pixels
#include <cstdio>   // the paths on failure
#include <cstdlib>  // system, getenv
#include <fstream>  // copying a reference
#include <ostream>  // PrintTo
#include <string>   // paths and commands
#include <vector>   // pixels

#include "image/png.h"            // PNG files, top row first
#include "support/capture_run.h"  // the frame from the tool

namespace {

struct Tgolden_case {
  const char* name;  // reference file tests/golden/<name>.png
  long frame;
  const char* extra;  // further options of vorpane-capture
};

// Frames spread over the show (turret phases start at 1, 1602, 2203, 2904,
// 3605, 4306, 5007, 5708, 6409 and 7110; emitter phases at 1, 1302, 1603,
// 2904, 6105 and 7406).
const Tgolden_case k_cases[] = {
    {"early_firing", 120, ""},         // first streams, emitters circling
    {"orbit", 1500, ""},               // emitters on the wide orbit
    {"fan", 5400, ""},                 // six-bullet fans from the tight orbit
    {"spline_aimed", 7600, ""},        // spline paths, bullets re-aimed at (-1, -1)
    {"glow", 2600, "--glow 0.5"},      // four-way spread under the glow
    {"bloom", 4000, "--bloom 2"},      // rising waves under the bloom
    {"hud", 7600, "--hud"},            // the HUD over the spline paths
};

constexpr int k_level_tolerance = 8;
constexpr double k_pixel_share = 0.005;

// The build folder: the parent of its bin/.
std::string build_dir() {
  std::string bin = VORPANE_BIN_DIR;
  std::size_t slash = bin.rfind('/');
  return slash == std::string::npos ? "." : bin.substr(0, slash);
}

bool copy_file(const std::string& from, const std::string& to) {
  std::ifstream in(from, std::ios::binary);
  std::ofstream out(to, std::ios::binary | std::ios::trunc);
  out << in.rdbuf();
  return in.good() && out.good();
}

// Pixels off by more than the tolerance in any channel; `diff` shows them in
// red over a dimmed copy of the reference, smaller differences in yellow.
long count_differences(const Tpicture& actual, const Tpicture& expected, Tpicture& diff) {
  diff = expected;
  long off = 0;
  for (std::size_t i = 0; i < expected.rgb.size(); i += 3) {
    int worst = 0;
    for (int c = 0; c < 3; ++c) {
      int d = actual.rgb[i + c] - expected.rgb[i + c];
      worst = std::max(worst, d < 0 ? -d : d);
    }
    std::uint8_t* p = &diff.rgb[i];
    if (worst > k_level_tolerance) {
      ++off;
      p[0] = 255, p[1] = 0, p[2] = 0;
    } else if (worst > 0) {
      p[0] = 255, p[1] = 255, p[2] = 0;
    } else {
      p[0] /= 4, p[1] /= 4, p[2] /= 4;
    }
  }
  return off;
}

// Test names and failure messages name the case, not its bytes.
void PrintTo(const Tgolden_case& golden, std::ostream* out) {
  *out << golden.name << " (frame " << golden.frame << (golden.extra[0] ? " " : "") << golden.extra << ")";
}

class Golden : public testing::TestWithParam<Tgolden_case> {};

TEST_P(Golden, CaptureMatchesReference) {
  const Tgolden_case& golden = GetParam();
  const std::string work = build_dir() + "/golden-actual/" + golden.name;
  Tpicture actual, expected;
  std::string actual_path, why;
  ASSERT_TRUE(CAPTURE_ONE_FRAME(golden.frame, golden.extra, work, actual, actual_path, why)) << why;
  const std::string reference_path = std::string(VORPANE_SOURCE_DIR) + "/tests/golden/" + golden.name + ".png";

  const char* update = std::getenv("VORPANE_UPDATE_GOLDEN");
  if (update && std::string(update) == "1") {
    ASSERT_TRUE(copy_file(actual_path, reference_path)) << reference_path;
    std::printf("updated %s\n", reference_path.c_str());
    return;
  }

  ASSERT_TRUE(LOAD_PNG(reference_path, expected))
      << "no reference " << reference_path << " (scripts/update-golden makes it)";
  ASSERT_EQ(actual.width, expected.width);
  ASSERT_EQ(actual.height, expected.height);

  Tpicture diff;
  const long off = count_differences(actual, expected, diff);
  const long pixels = static_cast<long>(expected.width) * expected.height;
  if (off > static_cast<long>(pixels * k_pixel_share)) {
    const std::string failures = build_dir() + "/golden-failures";
    std::system(("mkdir -p '" + failures + "'").c_str());
    const std::string kept = failures + "/" + golden.name + "-actual.png";
    const std::string diff_path = failures + "/" + golden.name + "-diff.png";
    copy_file(actual_path, kept);
    SAVE_PNG(diff, diff_path);
    ADD_FAILURE() << golden.name << ": " << off << " of " << pixels << " pixels differ by more than "
                  << k_level_tolerance << " levels\n  reference: " << reference_path << "\n  actual:    " << kept
                  << "\n  diff:      " << diff_path << " (red: beyond tolerance, yellow: within)";
  }
}

INSTANTIATE_TEST_SUITE_P(Show, Golden, testing::ValuesIn(k_cases),
                         [](const testing::TestParamInfo<Tgolden_case>& info) { return std::string(info.param.name); });

}  // namespace
