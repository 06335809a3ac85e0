// hud.cpp - the HUD's box and text as untextured quads.
#include "gl/hud.h"

#include <GL/gl.h>  // quads, blending, state backup

#include "gl/quad_gl.h"  // the box and the cells

namespace {

void quad(const Tfont_cell& c) { QUAD_SEND_PLAIN(HUD_QUAD(c)); }

}  // namespace

void HUD_DRAW(Tscreen& screen, const Thud_layout& layout) {
  if (layout.box.width == 0) return;
  glPushAttrib(GL_CURRENT_BIT | GL_ENABLE_BIT | GL_COLOR_BUFFER_BIT);
  glDisable(GL_TEXTURE_2D);
  glEnable(GL_BLEND);
  glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
  screen.VIEW_ORTHO();
  glBegin(GL_QUADS);
  glColor4fv(VP_HUD_BOX_RGBA);
  quad(layout.box);
  glColor4fv(VP_HUD_TEXT_RGBA);
  for (const Tfont_cell& cell : layout.cells) quad(cell);
  glEnd();
  screen.VIEW_PERSPECTIVE();
  glPopAttrib();
}
