// screen.cpp - Tscreen: window request, fixed GL state and views.
#include "gl/screen.h"

#include <GL/gl.h>   // fixed-function OpenGL 1.2
#include <GL/glu.h>  // gluPerspective

#include <cstdlib>  // calloc/free: the bloom buffers are plain zero-filled words

#include "platform/runtime_error.h"  // a failed open is fatal
#include "show/window.h"             // pixel-format requests and the window

void Tscreen::open(int width, int height, int depth, int pages, int flags) {
  int error = SCREEN_OPEN(width, height, depth, pages, flags, 0);
  if (error != 0) RUNTIME_ERROR(error, __LINE__, "Tscreen", "Tscreen");
  WIDTH_ = width;
  HEIGHT_ = height;
}

void Tscreen::allocate_bloom_buffers() {
  std::size_t pixels = static_cast<std::size_t>(BLOOM_WIDTH_) * static_cast<std::size_t>(BLOOM_HEIGHT_);
  BLOOM_BUFFER_A_ = static_cast<std::uint32_t*>(std::calloc(pixels, sizeof(std::uint32_t)));
  BLOOM_BUFFER_B_ = static_cast<std::uint32_t*>(std::calloc(pixels, sizeof(std::uint32_t)));
  if (!BLOOM_BUFFER_A_ || !BLOOM_BUFFER_B_) std::abort();  // out of memory ends the program
}

Tscreen::Tscreen(int width, int height, int depth, int pages, int samples, int& flags) {
  flags |= SCREEN_REQUEST_PIXEL_FORMAT(depth, samples);
  open(width, height, depth, pages, flags);

  RTT_WIDTH_ = 64;
  RTT_HEIGHT_ = 64;
  glEnable(GL_TEXTURE_2D);
  glGenTextures(1, &RTT_TEXTURE_);
  glBindTexture(GL_TEXTURE_2D, RTT_TEXTURE_);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_REPEAT);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_REPEAT);

  BLOOM_WIDTH_ = 64;
  BLOOM_HEIGHT_ = 64;
  allocate_bloom_buffers();
  glEnable(GL_TEXTURE_2D);
  glGenTextures(1, &BLOOM_TEXTURE_);
  glBindTexture(GL_TEXTURE_2D, BLOOM_TEXTURE_);
  glTexImage2D(GL_TEXTURE_2D, 0, 4, BLOOM_WIDTH_, BLOOM_HEIGHT_, 0, GL_RGBA, GL_UNSIGNED_BYTE,
               BLOOM_BUFFER_A_);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
}

// Leaves both texture names at 0: nothing constructs this screen for the
// post-process, and binding name 0 selects OpenGL's default texture.
Tscreen::Tscreen() {
  SCREEN_REQUEST_PIXEL_FORMAT(32, 0);
  open(640, 480, 32, 1, VP_SCREEN_GL);
  RTT_WIDTH_ = 256;
  RTT_HEIGHT_ = 256;
  BLOOM_WIDTH_ = 64;
  BLOOM_HEIGHT_ = 64;
  allocate_bloom_buffers();
}

Tscreen::~Tscreen() {
  std::free(BLOOM_BUFFER_A_);
  std::free(BLOOM_BUFFER_B_);
  BLOOM_BUFFER_A_ = BLOOM_BUFFER_B_ = nullptr;
  if (SCREEN_IS_OPEN()) {
    glDeleteTextures(1, &RTT_TEXTURE_);
    glDeleteTextures(1, &BLOOM_TEXTURE_);
  }
}

void Tscreen::INIT_GL_SCREEN() {
  glViewport(0, 0, WIDTH_, HEIGHT_);
  glMatrixMode(GL_PROJECTION);
  glLoadIdentity();
  gluPerspective(45.0, static_cast<double>(WIDTH_) / static_cast<double>(HEIGHT_), 1.0, 500.0);
  glMatrixMode(GL_MODELVIEW);
  glLoadIdentity();
  glShadeModel(GL_SMOOTH);
  glClearColor(0.0f, 0.0f, 0.0f, 1.0f);
  glClearDepth(1.0);
  glEnable(GL_DEPTH_TEST);
  glDepthFunc(GL_LEQUAL);
  glEnable(GL_COLOR_MATERIAL);
  glEnable(GL_TEXTURE_2D);
  glBlendFunc(GL_SRC_ALPHA, GL_ONE);
  glHint(GL_PERSPECTIVE_CORRECTION_HINT, GL_NICEST);
  glPolygonMode(GL_FRONT, GL_FILL);

  // Lighting is prepared but never switched on.
  static const GLfloat material_ambient[] = {0.5f, 0.5f, 1.0f, 0.15f};
  static const GLfloat material_diffuse[] = {0.75f, 0.75f, 0.0f, 1.0f};
  static const GLfloat material_specular[] = {1.0f, 1.0f, 1.0f, 1.0f};
  static const GLfloat material_shininess[] = {15.0f};
  glMaterialfv(GL_FRONT, GL_AMBIENT, material_ambient);
  glMaterialfv(GL_FRONT, GL_DIFFUSE, material_diffuse);
  glMaterialfv(GL_FRONT, GL_SPECULAR, material_specular);
  glMaterialfv(GL_FRONT, GL_SHININESS, material_shininess);
  glLightModeli(GL_LIGHT_MODEL_COLOR_CONTROL, GL_SEPARATE_SPECULAR_COLOR);
  static const GLfloat light_ambient[] = {0.5f, 0.5f, 0.5f, 1.0f};
  static const GLfloat light_diffuse[] = {0.5f, 0.5f, 0.5f, 1.0f};
  static const GLfloat light_position[] = {-7.0f, 8.0f, -6.0f, 1.0f};
  glLightfv(GL_LIGHT0, GL_AMBIENT, light_ambient);
  glLightfv(GL_LIGHT0, GL_DIFFUSE, light_diffuse);
  glLightfv(GL_LIGHT0, GL_POSITION, light_position);
}

void Tscreen::VIEW_ORTHO() {
  glMatrixMode(GL_PROJECTION);
  glPushMatrix();
  glLoadIdentity();
  glOrtho(0.0, WIDTH_, HEIGHT_, 0.0, -1.0, 1.0);
  glMatrixMode(GL_MODELVIEW);
  glPushMatrix();
  glLoadIdentity();
}

void Tscreen::VIEW_PERSPECTIVE() {
  glMatrixMode(GL_PROJECTION);
  glPopMatrix();
  glMatrixMode(GL_MODELVIEW);
  glPopMatrix();
}

Tpicture READ_BACK_BUFFER(int width, int height) {
  std::vector<std::uint8_t> rgba(static_cast<std::size_t>(width) * static_cast<std::size_t>(height) * 4);
  glPixelStorei(GL_PACK_ALIGNMENT, 1);
  glReadBuffer(GL_BACK);
  glReadPixels(0, 0, width, height, GL_RGBA, GL_UNSIGNED_BYTE, rgba.data());
  return PICTURE_FROM_BOTTOM_UP_RGBA(rgba.data(), width, height);
}
