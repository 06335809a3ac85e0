// hud_layout.cpp - the HUD's lines turned into a box and lit cells.
#include "scene/hud_layout.h"

void HUD_LAYOUT(const std::vector<std::string>& lines, Thud_layout& layout) {
  layout.cells.clear();
  layout.box = Tfont_cell{0, 0, 0, 0};
  if (lines.empty()) return;
  const Tfont_metrics metrics = FONT_METRICS(VP_FONT_5X7);
  int width = 0;
  for (std::size_t i = 0; i < lines.size(); ++i) {
    const int top = VP_HUD_MARGIN + static_cast<int>(i) * metrics.line;
    FONT_CELLS(lines[i].c_str(), VP_HUD_MARGIN, top, 1, layout.cells);
    const int line_width = FONT_TEXT_WIDTH(lines[i].c_str(), 1);
    if (line_width > width) width = line_width;
  }
  // The last line needs no gap below it.
  const int height = static_cast<int>(lines.size()) * metrics.line - (metrics.line - metrics.height);
  layout.box = Tfont_cell{0, 0, width + 2 * VP_HUD_MARGIN, height + 2 * VP_HUD_MARGIN};
}
