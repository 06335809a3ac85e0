// font_test.cpp - the pixel fonts: the sheet digits' exact shapes, layout of
// cells and lines, clipping, and the 5 x 7 table's integrity.
#include <gtest/gtest.h>  // the runner

#include <set>     // distinct glyphs
#include <string>  // pictures as rows of text
#include <vector>  // cell runs

#include "render/font.h"  // under test

namespace {

// The picture as text, '#' where a pixel is `grey`, one string per row.
std::vector<std::string> rows_of(const Tpicture& picture, std::uint8_t grey) {
  std::vector<std::string> rows;
  for (int y = 0; y < picture.height; ++y) {
    std::string row;
    for (int x = 0; x < picture.width; ++x) row += picture.at(x, y)[0] == grey ? '#' : '.';
    rows.push_back(row);
  }
  return rows;
}

TEST(Font, SheetDigitsKeepTheirShapesAndBox) {
  // The labels of every contact sheet made so far.
  Tpicture picture(39, 5, 0);
  DRAW_TEXT(picture, 0, 0, "0123456789", 1, 235, VP_FONT_DIGITS_3X5);
  const std::vector<std::string> expected = {
      "###..#..###.###.#.#.###.###.###.###.###",
      "#.#.##....#...#.#.#.#...#.....#.#.#.#.#",
      "#.#..#..###..##.###.###.###..#..###.###",
      "#.#..#..#.....#...#...#.#.#..#..#.#...#",
      "###.###.###.###...#.###.###..#..###.###",
  };
  EXPECT_EQ(rows_of(picture, 235), expected);
  EXPECT_EQ(picture.at(38, 4)[2], 235);  // every channel
  // The sheet's black box is this width plus a cell of margin either side.
  EXPECT_EQ(FONT_TEXT_WIDTH("7600", 2, VP_FONT_DIGITS_3X5), 4 * 4 * 2 - 2);
  EXPECT_EQ(FONT_GLYPH('x', VP_FONT_DIGITS_3X5)[2], 0);
}

TEST(Font, CellsAreRowRunsPlacedByAdvanceAndLine) {
  std::vector<Tfont_cell> cells;
  FONT_CELLS("T-\nL", 10, 20, 2, cells);
  // T: a 5-cell bar, then its stem on rows 1..6; '-' one run, one glyph on;
  // L on the next line, 9 rows lower: a cell on rows 0..5, then a bar.
  ASSERT_EQ(cells.size(), 1u + 6u + 1u + 6u + 1u);
  // (x, y, width, height) of the runs that pin the layout.
  const int expected[][5] = {{0, 10, 20, 10, 2}, {1, 14, 22, 2, 2}, {7, 22, 26, 10, 2}, {8, 10, 38, 2, 2},
                             {14, 10, 50, 10, 2}};
  for (const auto& e : expected) {
    const Tfont_cell& c = cells[static_cast<std::size_t>(e[0])];
    EXPECT_EQ((std::vector<int>{c.x, c.y, c.width, c.height}), (std::vector<int>{e[1], e[2], e[3], e[4]}))
        << "run " << e[0];
  }

  EXPECT_EQ(FONT_TEXT_WIDTH("", 1), 0);
  EXPECT_EQ(FONT_TEXT_WIDTH("frame 7600", 1), 59);
  EXPECT_EQ(FONT_TEXT_WIDTH("ab\nabcd\n", 3), (4 * 6 - 1) * 3);
}

TEST(Font, DrawingClipsToThePictureAndKeepsUnlitPixels) {
  Tpicture picture(8, 6, 7);
  DRAW_TEXT(picture, -3, -1, "HH", 1, 200);
  // The first H's right stem lands in column 1, the second H's left stem in
  // column 3; its crossbar, row 3 of the glyph, is row 2 of the picture.
  const std::vector<std::string> expected = {
      ".#.#...#", ".#.#...#", "##.#####", ".#.#...#", ".#.#...#", ".#.#...#",
  };
  EXPECT_EQ(rows_of(picture, 200), expected);
  EXPECT_EQ(rows_of(picture, 7)[2], "..#.....");
}

TEST(Font, AsciiTableHoldsDistinctGlyphsWithinFiveColumns) {
  std::set<std::vector<std::uint8_t>> seen;
  for (int c = 32; c <= 126; ++c) {
    const std::uint8_t* g = FONT_GLYPH(static_cast<char>(c));
    std::vector<std::uint8_t> rows(g, g + 7);
    int lit = 0;
    for (std::uint8_t r : rows) {
      EXPECT_LT(r, 32) << "glyph " << c;
      lit += r;
    }
    EXPECT_EQ(lit == 0, c == ' ') << "glyph " << c;
    EXPECT_TRUE(seen.insert(rows).second) << "glyph " << c << " repeats another";
  }
  EXPECT_EQ(FONT_GLYPH('\x01'), FONT_GLYPH('?'));
  EXPECT_EQ(FONT_GLYPH(static_cast<char>(0xB5)), FONT_GLYPH('?'));
}

}  // namespace
