// screen.h - the OpenGL screen: the window request, the fixed GL state, the
// 2D and 3D views, and the glow and bloom post-process.
//
// Rules:
//  - VIEW_ORTHO and VIEW_PERSPECTIVE are strictly paired and never nested:
//    each VIEW_ORTHO pushes one projection matrix, and OpenGL guarantees a
//    projection stack of only two.
//  - The 2D view has its origin at the window's top-left corner, y downward,
//    one unit per pixel.
//  - The glow and bloom drawing operations enter and leave the 2D view
//    themselves, so they are called from the perspective view.
//  - Bloom pixels are 32-bit words holding R, G, B, A in memory order, rows
//    bottom to top, exactly as glReadPixels delivers GL_RGBA bytes.
//  - The object is not copied; the destructor needs the context current.
#pragma once

#include <cstdint>  // bloom pixel words

#include "render/picture.h"  // what the back buffer is read into

class Tscreen {
 public:
  // Requests the pixel format, opens the window (fatal on failure) and sets
  // up the render-to-texture and bloom textures. `flags` gains
  // VP_SCREEN_MULTISAMPLE when samples >= 1.
  Tscreen(int width, int height, int depth, int pages, int samples, int& flags);
  // A fixed 640 x 480 screen without multisampling and without textures.
  Tscreen();
  ~Tscreen();
  Tscreen(const Tscreen&) = delete;
  Tscreen& operator=(const Tscreen&) = delete;

  void INIT_GL_SCREEN();
  void VIEW_ORTHO();
  void VIEW_PERSPECTIVE();

  // Glow and bloom.
  void START_RENDER2TEXTURE();
  void STOP_RENDER2TEXTURE();
  void DRAW_GLOW(float alpha);
  void DRAW_GLOW(float alpha, float inset);
  void DRAW_BLOOM(float alpha);
  void DO_BLOOM(int passes);

  int WIDTH() const { return WIDTH_; }
  int HEIGHT() const { return HEIGHT_; }
  int RTT_WIDTH() const { return RTT_WIDTH_; }
  int RTT_HEIGHT() const { return RTT_HEIGHT_; }
  unsigned RTT_TEXTURE() const { return RTT_TEXTURE_; }
  int BLOOM_WIDTH() const { return BLOOM_WIDTH_; }
  int BLOOM_HEIGHT() const { return BLOOM_HEIGHT_; }
  unsigned BLOOM_TEXTURE() const { return BLOOM_TEXTURE_; }
  std::uint32_t* BLOOM_BUFFER_A() const { return BLOOM_BUFFER_A_; }
  std::uint32_t* BLOOM_BUFFER_B() const { return BLOOM_BUFFER_B_; }

 private:
  void open(int width, int height, int depth, int pages, int flags);
  void allocate_bloom_buffers();

  int BLOOM_WIDTH_ = 0;
  int BLOOM_HEIGHT_ = 0;
  std::uint32_t* BLOOM_BUFFER_A_ = nullptr;
  std::uint32_t* BLOOM_BUFFER_B_ = nullptr;
  unsigned BLOOM_TEXTURE_ = 0;
  int WIDTH_ = 0;
  int HEIGHT_ = 0;
  int RTT_WIDTH_ = 0;
  int RTT_HEIGHT_ = 0;
  unsigned RTT_TEXTURE_ = 0;
};

// The bottom-left width x height pixels of the back buffer (before a swap),
// top row first.
Tpicture READ_BACK_BUFFER(int width, int height);
