// glow.cpp - Tscreen's glow and bloom post-process.
//
// The scene part to glow is drawn into the bottom-left RTT_WIDTH x
// RTT_HEIGHT pixels of the frame buffer, between START_RENDER2TEXTURE and
// STOP_RENDER2TEXTURE. The glow stretches that copy over the window with
// linear filtering; the bloom reads the same corner back, box-blurs it on
// the processor and stretches the result. The three drawing operations enter
// and leave the 2D view themselves and leave blending and 2D texturing off.
#include <GL/gl.h>  // fixed-function OpenGL 1.2

#include <cstdint>  // the filters' unsigned sizes

#include "gl/quad_gl.h"   // the stretched copies
#include "gl/screen.h"    // the members defined here
#include "render/blur.h"  // BLUR_H, BLUR_V

namespace {

// The glow's copies, in window pixels of the 2D view (y down): centre, then
// right, left, down, up.
const int k_glow_offsets[5][2] = {{0, 0}, {5, 0}, {-5, 0}, {0, 5}, {0, -5}};

const int k_bloom_radius = 2;  // a five-pixel box

}  // namespace

void Tscreen::START_RENDER2TEXTURE() { glViewport(0, 0, RTT_WIDTH_, RTT_HEIGHT_); }

void Tscreen::STOP_RENDER2TEXTURE() {
  glBindTexture(GL_TEXTURE_2D, RTT_TEXTURE_);
  glCopyTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, 0, 0, RTT_WIDTH_, RTT_HEIGHT_, 0);
  glViewport(0, 0, WIDTH_, HEIGHT_);
}

void Tscreen::DRAW_GLOW(float alpha) {
  glEnable(GL_BLEND);
  glBlendFunc(GL_SRC_ALPHA, GL_ONE);
  glEnable(GL_TEXTURE_2D);
  glBindTexture(GL_TEXTURE_2D, RTT_TEXTURE_);
  VIEW_ORTHO();
  glColor4f(1.0f, 1.0f, 1.0f, alpha);
  glBegin(GL_QUADS);
  for (const auto& offset : k_glow_offsets)
    QUAD_SEND(QUAD_TEXTURED(offset[0], offset[1], WIDTH_ + offset[0], HEIGHT_ + offset[1], 0.0f, 0.0f, 1.0f, 1.0f));
  glEnd();
  VIEW_PERSPECTIVE();
  glDisable(GL_TEXTURE_2D);
  glDisable(GL_BLEND);
}

void Tscreen::DRAW_GLOW(float alpha, float inset) {
  glEnable(GL_BLEND);
  glBlendFunc(GL_ONE, GL_ONE);
  glEnable(GL_TEXTURE_2D);
  glBindTexture(GL_TEXTURE_2D, RTT_TEXTURE_);
  VIEW_ORTHO();
  glColor4f(alpha, alpha, alpha, alpha);
  const float near_edge = inset;
  const float far_edge = 1.0f - inset;
  glBegin(GL_QUADS);
  QUAD_SEND(QUAD_TEXTURED(0, 0, WIDTH_, HEIGHT_, near_edge, near_edge, far_edge, far_edge));
  glEnd();
  VIEW_PERSPECTIVE();
  glDisable(GL_TEXTURE_2D);
  glDisable(GL_BLEND);
}

void Tscreen::DRAW_BLOOM(float alpha) {
  glColor4f(1.0f, 1.0f, 1.0f, alpha);
  VIEW_ORTHO();
  glEnable(GL_TEXTURE_2D);
  glEnable(GL_BLEND);
  glBlendFunc(GL_ONE, GL_ONE);
  glBindTexture(GL_TEXTURE_2D, BLOOM_TEXTURE_);
  glBegin(GL_QUADS);
  QUAD_SEND(QUAD_TEXTURED(0, 0, WIDTH_, HEIGHT_, 0.0f, 0.0f, 1.0f, 1.0f));
  glEnd();
  VIEW_PERSPECTIVE();
  glDisable(GL_TEXTURE_2D);
  glDisable(GL_BLEND);
}

void Tscreen::DO_BLOOM(int passes) {
  glEnable(GL_TEXTURE_2D);
  glBindTexture(GL_TEXTURE_2D, BLOOM_TEXTURE_);
  glReadPixels(0, 0, BLOOM_WIDTH_, BLOOM_HEIGHT_, GL_RGBA, GL_UNSIGNED_BYTE, BLOOM_BUFFER_A_);
  const auto width = static_cast<std::uint32_t>(BLOOM_WIDTH_);
  const auto height = static_cast<std::uint32_t>(BLOOM_HEIGHT_);
  for (int pass = 0; pass < passes; ++pass) {
    BLUR_H(BLOOM_BUFFER_A_, BLOOM_BUFFER_B_, width, height, k_bloom_radius);
    BLUR_V(BLOOM_BUFFER_B_, BLOOM_BUFFER_A_, width, height, k_bloom_radius);
  }
  glTexSubImage2D(GL_TEXTURE_2D, 0, 0, 0, BLOOM_WIDTH_, BLOOM_HEIGHT_, GL_RGBA, GL_UNSIGNED_BYTE,
                  BLOOM_BUFFER_A_);
}
