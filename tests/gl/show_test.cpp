// show_test.cpp - the show's composition: its start-up steps in order, the
// overlay pass leaving no GL state behind, and a paused frame drawn as it was
// stepped. Each test opens the show's own screen (one window per process;
// CTest runs each test alone).
#include <GL/gl.h>        // state queries
#include <gtest/gtest.h>  // the runner

#include "gl/draw_gl.h"         // the backend's screen and atlas
#include "show/show.h"          // under test
#include "platform/console.h"  // the schedules' reports, kept off the test output
#include "platform/random.h"   // what the seed changes
#include "show/window.h"       // the pixel-format requests

namespace {

Tshow_setup test_setup() {
  Tshow_setup setup;
  setup.atlas = VORPANE_SOURCE_DIR "/assets/parts.png";
  setup.draw.hidden = true;
  return setup;
}

struct Tgl_state {
  GLfloat colour[4];
  GLint viewport[4];
  GLboolean blend, texture;
  GLint blend_source, blend_destination, binding;
};

Tgl_state read_state() {
  Tgl_state s{};
  glGetFloatv(GL_CURRENT_COLOR, s.colour);
  glGetIntegerv(GL_VIEWPORT, s.viewport);
  s.blend = glIsEnabled(GL_BLEND);
  s.texture = glIsEnabled(GL_TEXTURE_2D);
  glGetIntegerv(GL_BLEND_SRC, &s.blend_source);
  glGetIntegerv(GL_BLEND_DST, &s.blend_destination);
  glGetIntegerv(GL_TEXTURE_BINDING_2D, &s.binding);
  return s;
}

void expect_same_state(const Tgl_state& a, const Tgl_state& b) {
  for (int i = 0; i < 4; ++i) {
    EXPECT_EQ(a.colour[i], b.colour[i]) << "colour " << i;
    EXPECT_EQ(a.viewport[i], b.viewport[i]) << "viewport " << i;
  }
  EXPECT_EQ(a.blend, b.blend);
  EXPECT_EQ(a.texture, b.texture);
  EXPECT_EQ(a.blend_source, b.blend_source);
  EXPECT_EQ(a.blend_destination, b.blend_destination);
  EXPECT_EQ(a.binding, b.binding);
}

}  // namespace

TEST(Show, StartsUpSceneThenSeedThenScreenThenAtlas) {
  Tconsole_quiet quiet;
  Tscene reference;
  BUILD_SCENE(reference);
  std::vector<double> unseeded;  // what the source gives after the scene's 480 draws
  for (int i = 0; i < 4; ++i) unseeded.push_back(RND());

  SCREEN_GL_REQUESTS_CLEAR();
  Tshow show;
  const Tshow_setup setup = test_setup();
  SHOW_BUILD(show);
  ASSERT_NE(show.scene.emitters, nullptr);
  EXPECT_EQ(show.draw, nullptr);  // the scene comes before the window
  // The same paths as any other build, and the source seeded after them.
  for (int i = 0; i < VP_EMITTER_COUNT; ++i) {
    EXPECT_EQ(show.scene.emitters[i].spline.P(59).x, reference.emitters[i].spline.P(59).x);
    EXPECT_EQ(show.scene.emitters[i].spline.P(59).y, reference.emitters[i].spline.P(59).y);
  }
  EXPECT_NE(RND(), unseeded[0]);

  SHOW_OPEN(show, setup);
  ASSERT_NE(show.draw, nullptr);
  const Tscreen_requests& requests = SCREEN_GL_REQUESTS();
  EXPECT_EQ(requests.value[VP_GL_RED_BITS], VP_SHOW_DEPTH / 4);
  EXPECT_EQ(requests.value[VP_GL_DEPTH_BITS], 24);
  EXPECT_EQ(requests.value[VP_GL_SAMPLES], VP_SHOW_SAMPLES);
  EXPECT_EQ(show.draw->screen->WIDTH(), VP_SHOW_WIDTH);
  EXPECT_EQ(show.draw->screen->HEIGHT(), VP_SHOW_HEIGHT);
  EXPECT_EQ(show.draw->atlas.texture, 0u);  // the atlas needs the screen's context

  SHOW_LOAD_ATLAS(show, setup);
  GLint width = 0;
  glBindTexture(GL_TEXTURE_2D, show.draw->atlas.texture);
  glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_WIDTH, &width);
  EXPECT_GT(width, 0);
  EXPECT_NE(show.draw->atlas.bullet_quad, 0u);
}

TEST(Show, OverlaysRestoreEveryStateTheyChangeAndLeaveTheNextFrameAlone) {
  Tconsole_quiet quiet;
  Tshow show;
  SHOW_START(show, test_setup());
  for (int frame = 1; frame <= 200; ++frame) SHOW_FRAME(show, Tframe_input());
  const Tpicture plain = SHOW_READ_BACK(show);

  Toverlay glow;
  glow.kind = Toverlay::glow;
  glow.glow_alpha = 0.5f;
  Toverlay bloom;
  bloom.kind = Toverlay::bloom;
  bloom.bloom_passes = 2;
  for (const Toverlay& overlay : {glow, bloom}) {
    SCOPED_TRACE(overlay.kind == Toverlay::glow ? "glow" : "bloom");
    glColor4f(0.25f, 0.5f, 0.75f, 1.0f);
    glEnable(GL_BLEND);
    glBlendFunc(GL_ONE, GL_ZERO);
    glBindTexture(GL_TEXTURE_2D, show.draw->atlas.texture);
    const Tgl_state before = read_state();
    DRAW_OVERLAY(show.draw, overlay, show.sprites);
    const Tpicture overlaid = SHOW_READ_BACK(show);
    expect_same_state(read_state(), before);
    EXPECT_NE(overlaid.rgb, plain.rgb);  // the overlay did draw

    glColor4f(1.0f, 1.0f, 1.0f, 1.0f);
    glDisable(GL_BLEND);
    DRAW_SPRITES(show.draw, show.sprites);
    EXPECT_EQ(SHOW_READ_BACK(show).rgb, plain.rgb);
  }
}

// Pausing changes nothing on screen: the paused frame is drawn from the same
// scene, and the step after it is the one that would have come anyway.
TEST(Show, APausedFrameIsTheFrameAsSteppedAndTheNextStepResumesTheShow) {
  Tconsole_quiet quiet;
  Tshow show;
  SHOW_START(show, test_setup());
  Tscene reference;
  Tplay reference_play;
  BUILD_SCENE(reference);
  for (int frame = 1; frame <= 300; ++frame) {
    SHOW_FRAME(show, Tframe_input());
    PLAY_STEP(reference, reference_play, Tframe_input());
  }
  const Tpicture stepped = SHOW_READ_BACK(show);
  Tframe_input space;
  space.keys[space.key_count++] = VP_KEY_SPACE;
  EXPECT_FALSE(SHOW_FRAME(show, space));
  EXPECT_EQ(show.play.frame, 300);
  EXPECT_EQ(SHOW_READ_BACK(show).rgb, stepped.rgb);
  EXPECT_TRUE(SHOW_FRAME(show, space));
  PLAY_STEP(reference, reference_play, Tframe_input());
  for (int i = 0; i < VP_EMITTER_COUNT; ++i) {
    EXPECT_EQ(show.scene.emitters[i].X(), reference.emitters[i].X());
    EXPECT_EQ(show.scene.emitters[i].Y(), reference.emitters[i].Y());
  }
}
