// hud.cpp - the HUD's box and text as untextured quads.
#include "gl/hud.h"

#include <GL/gl.h>  // quads, blending, state backup

#include "render/font.h"  // the glyph cells

namespace {

constexpr int k_margin = 4;  // picture pixels between the box and its text

void quad(int x, int y, int width, int height) {
  glVertex2i(x, y);
  glVertex2i(x, y + height);
  glVertex2i(x + width, y + height);
  glVertex2i(x + width, y);
}

}  // namespace

void HUD_DRAW(Tscreen& screen, const std::vector<std::string>& lines) {
  if (lines.empty()) return;
  const Tfont_metrics metrics = FONT_METRICS(VP_FONT_5X7);
  int width = 0;
  std::vector<Tfont_cell> cells;
  for (std::size_t i = 0; i < lines.size(); ++i) {
    const int top = k_margin + static_cast<int>(i) * metrics.line;
    FONT_CELLS(lines[i].c_str(), k_margin, top, 1, cells);
    const int line_width = FONT_TEXT_WIDTH(lines[i].c_str(), 1);
    if (line_width > width) width = line_width;
  }
  const int height = static_cast<int>(lines.size()) * metrics.line - (metrics.line - metrics.height);

  glPushAttrib(GL_CURRENT_BIT | GL_ENABLE_BIT | GL_COLOR_BUFFER_BIT);
  glDisable(GL_TEXTURE_2D);
  glEnable(GL_BLEND);
  glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
  screen.VIEW_ORTHO();
  glBegin(GL_QUADS);
  // The box dims the bullets behind it so the text reads over a crowd.
  glColor4f(0.0f, 0.0f, 0.0f, 0.7f);
  quad(0, 0, width + 2 * k_margin, height + 2 * k_margin);
  glColor4f(0.9f, 0.95f, 1.0f, 1.0f);
  for (const Tfont_cell& cell : cells) quad(cell.x, cell.y, cell.width, cell.height);
  glEnd();
  screen.VIEW_PERSPECTIVE();
  glPopAttrib();
}
