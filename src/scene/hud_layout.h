// hud_layout.h - where the HUD's box and letters go, for any drawing backend.
//
// Rules:
//  - Picture pixels of the 640 x 480 picture, origin top-left, one font cell
//    per pixel; the box sits in the top-left corner and holds every line
//    with a margin of VP_HUD_MARGIN.
//  - The box is drawn first, blended over the frame with its alpha; then the
//    cells, each a solid rectangle in the text colour.
#pragma once

#include <string>  // the lines
#include <vector>  // the lines and the cells

#include "render/font.h"  // Tfont_cell: a run of lit cells
#include "render/quad.h"  // the quad a cell is drawn as

enum { VP_HUD_MARGIN = 4 };
// The box dims the bullets behind it so that the text reads over a crowd.
constexpr float VP_HUD_BOX_RGBA[4] = {0.0f, 0.0f, 0.0f, 0.7f};
constexpr float VP_HUD_TEXT_RGBA[4] = {0.9f, 0.95f, 1.0f, 1.0f};

struct Thud_layout {
  Tfont_cell box = {0, 0, 0, 0};  // empty (0 x 0) when there is nothing to show
  std::vector<Tfont_cell> cells;
};

// The quad of the box or of a cell, untextured, in every backend.
inline Tquad HUD_QUAD(const Tfont_cell& c) {
  return QUAD_PLAIN(static_cast<float>(c.x), static_cast<float>(c.y), static_cast<float>(c.x + c.width),
                    static_cast<float>(c.y + c.height));
}

// Lays out `lines` in the 5 x 7 font, top line first; `layout` is replaced.
void HUD_LAYOUT(const std::vector<std::string>& lines, Thud_layout& layout);
