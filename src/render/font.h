// font.h - built-in pixel fonts: a 5 x 7 face for printable ASCII, legible
// with one pixel per cell, and the 3 x 5 digits of the contact sheet labels.
//
// Rules:
//  - A glyph is `height` rows, top row first; in each row bit (width - 1) is
//    the left column. A cell is `scale` pixels square.
//  - Text is laid out left to right, one glyph every `advance` cells (the
//    width and a blank column); '\n' starts a new line `line` cells lower,
//    back at the first column. (x, y) is the top-left pixel of the first
//    glyph; nothing is drawn for the blank column after the last glyph.
//  - The 5 x 7 face covers the bytes 32 to 126; any other byte shows '?'.
//  - The 3 x 5 face holds the digits, '-' and blank; any other character is
//    blank. Its digits are the ones every contact sheet was labelled with:
//    a changed bit changes the labels of every sheet made from then on.
//  - Header only and GL-free: the window's HUD turns the cells into quads,
//    the capture tool fills them into a picture.
#pragma once

#include <cstdint>  // glyph rows and grey levels
#include <vector>   // the caller's list of cell runs

#include "render/picture.h"  // Tpicture: text drawn into a frame

enum Tfont_face { VP_FONT_5X7 = 0, VP_FONT_DIGITS_3X5 = 1 };

struct Tfont_metrics {
  int width;    // cells per glyph row
  int height;   // rows per glyph
  int advance;  // cells from one glyph's left edge to the next
  int line;     // rows from one line's top to the next
};

// Printable ASCII 32..126, indexed by byte - 32.
inline constexpr std::uint8_t VP_FONT_5X7_GLYPHS[95][7] = {
    {0b00000, 0b00000, 0b00000, 0b00000, 0b00000, 0b00000, 0b00000},  // space
    {0b00100, 0b00100, 0b00100, 0b00100, 0b00100, 0b00000, 0b00100},  // !
    {0b01010, 0b01010, 0b01010, 0b00000, 0b00000, 0b00000, 0b00000},  // "
    {0b01010, 0b01010, 0b11111, 0b01010, 0b11111, 0b01010, 0b01010},  // #
    {0b00100, 0b01111, 0b10100, 0b01110, 0b00101, 0b11110, 0b00100},  // $
    {0b11000, 0b11001, 0b00010, 0b00100, 0b01000, 0b10011, 0b00011},  // %
    {0b01100, 0b10010, 0b10100, 0b01000, 0b10101, 0b10010, 0b01101},  // &
    {0b00100, 0b00100, 0b01000, 0b00000, 0b00000, 0b00000, 0b00000},  // '
    {0b00010, 0b00100, 0b01000, 0b01000, 0b01000, 0b00100, 0b00010},  // (
    {0b01000, 0b00100, 0b00010, 0b00010, 0b00010, 0b00100, 0b01000},  // )
    {0b00000, 0b00100, 0b10101, 0b01110, 0b10101, 0b00100, 0b00000},  // *
    {0b00000, 0b00100, 0b00100, 0b11111, 0b00100, 0b00100, 0b00000},  // +
    {0b00000, 0b00000, 0b00000, 0b00000, 0b01100, 0b00100, 0b01000},  // ,
    {0b00000, 0b00000, 0b00000, 0b11111, 0b00000, 0b00000, 0b00000},  // -
    {0b00000, 0b00000, 0b00000, 0b00000, 0b00000, 0b01100, 0b01100},  // .
    {0b00000, 0b00001, 0b00010, 0b00100, 0b01000, 0b10000, 0b00000},  // /
    {0b01110, 0b10001, 0b10011, 0b10101, 0b11001, 0b10001, 0b01110},  // 0
    {0b00100, 0b01100, 0b00100, 0b00100, 0b00100, 0b00100, 0b01110},  // 1
    {0b01110, 0b10001, 0b00001, 0b00010, 0b00100, 0b01000, 0b11111},  // 2
    {0b11111, 0b00010, 0b00100, 0b00010, 0b00001, 0b10001, 0b01110},  // 3
    {0b00010, 0b00110, 0b01010, 0b10010, 0b11111, 0b00010, 0b00010},  // 4
    {0b11111, 0b10000, 0b11110, 0b00001, 0b00001, 0b10001, 0b01110},  // 5
    {0b00110, 0b01000, 0b10000, 0b11110, 0b10001, 0b10001, 0b01110},  // 6
    {0b11111, 0b00001, 0b00010, 0b00100, 0b01000, 0b01000, 0b01000},  // 7
    {0b01110, 0b10001, 0b10001, 0b01110, 0b10001, 0b10001, 0b01110},  // 8
    {0b01110, 0b10001, 0b10001, 0b01111, 0b00001, 0b00010, 0b01100},  // 9
    {0b00000, 0b01100, 0b01100, 0b00000, 0b01100, 0b01100, 0b00000},  // :
    {0b00000, 0b01100, 0b01100, 0b00000, 0b01100, 0b00100, 0b01000},  // ;
    {0b00010, 0b00100, 0b01000, 0b10000, 0b01000, 0b00100, 0b00010},  // <
    {0b00000, 0b00000, 0b11111, 0b00000, 0b11111, 0b00000, 0b00000},  // =
    {0b01000, 0b00100, 0b00010, 0b00001, 0b00010, 0b00100, 0b01000},  // >
    {0b01110, 0b10001, 0b00001, 0b00010, 0b00100, 0b00000, 0b00100},  // ?
    {0b01110, 0b10001, 0b00001, 0b01101, 0b10101, 0b10101, 0b01110},  // @
    {0b01110, 0b10001, 0b10001, 0b11111, 0b10001, 0b10001, 0b10001},  // A
    {0b11110, 0b10001, 0b10001, 0b11110, 0b10001, 0b10001, 0b11110},  // B
    {0b01110, 0b10001, 0b10000, 0b10000, 0b10000, 0b10001, 0b01110},  // C
    {0b11100, 0b10010, 0b10001, 0b10001, 0b10001, 0b10010, 0b11100},  // D
    {0b11111, 0b10000, 0b10000, 0b11110, 0b10000, 0b10000, 0b11111},  // E
    {0b11111, 0b10000, 0b10000, 0b11110, 0b10000, 0b10000, 0b10000},  // F
    {0b01110, 0b10001, 0b10000, 0b10111, 0b10001, 0b10001, 0b01111},  // G
    {0b10001, 0b10001, 0b10001, 0b11111, 0b10001, 0b10001, 0b10001},  // H
    {0b01110, 0b00100, 0b00100, 0b00100, 0b00100, 0b00100, 0b01110},  // I
    {0b00111, 0b00010, 0b00010, 0b00010, 0b00010, 0b10010, 0b01100},  // J
    {0b10001, 0b10010, 0b10100, 0b11000, 0b10100, 0b10010, 0b10001},  // K
    {0b10000, 0b10000, 0b10000, 0b10000, 0b10000, 0b10000, 0b11111},  // L
    {0b10001, 0b11011, 0b10101, 0b10101, 0b10001, 0b10001, 0b10001},  // M
    {0b10001, 0b10001, 0b11001, 0b10101, 0b10011, 0b10001, 0b10001},  // N
    {0b01110, 0b10001, 0b10001, 0b10001, 0b10001, 0b10001, 0b01110},  // O
    {0b11110, 0b10001, 0b10001, 0b11110, 0b10000, 0b10000, 0b10000},  // P
    {0b01110, 0b10001, 0b10001, 0b10001, 0b10101, 0b10010, 0b01101},  // Q
    {0b11110, 0b10001, 0b10001, 0b11110, 0b10100, 0b10010, 0b10001},  // R
    {0b01111, 0b10000, 0b10000, 0b01110, 0b00001, 0b00001, 0b11110},  // S
    {0b11111, 0b00100, 0b00100, 0b00100, 0b00100, 0b00100, 0b00100},  // T
    {0b10001, 0b10001, 0b10001, 0b10001, 0b10001, 0b10001, 0b01110},  // U
    {0b10001, 0b10001, 0b10001, 0b10001, 0b10001, 0b01010, 0b00100},  // V
    {0b10001, 0b10001, 0b10001, 0b10101, 0b10101, 0b10101, 0b01010},  // W
    {0b10001, 0b10001, 0b01010, 0b00100, 0b01010, 0b10001, 0b10001},  // X
    {0b10001, 0b10001, 0b10001, 0b01010, 0b00100, 0b00100, 0b00100},  // Y
    {0b11111, 0b00001, 0b00010, 0b00100, 0b01000, 0b10000, 0b11111},  // Z
    {0b01110, 0b01000, 0b01000, 0b01000, 0b01000, 0b01000, 0b01110},  // [
    {0b00000, 0b10000, 0b01000, 0b00100, 0b00010, 0b00001, 0b00000},  // backslash
    {0b01110, 0b00010, 0b00010, 0b00010, 0b00010, 0b00010, 0b01110},  // ]
    {0b00100, 0b01010, 0b10001, 0b00000, 0b00000, 0b00000, 0b00000},  // ^
    {0b00000, 0b00000, 0b00000, 0b00000, 0b00000, 0b00000, 0b11111},  // _
    {0b01000, 0b00100, 0b00010, 0b00000, 0b00000, 0b00000, 0b00000},  // `
    {0b00000, 0b00000, 0b01110, 0b00001, 0b01111, 0b10001, 0b01111},  // a
    {0b10000, 0b10000, 0b10110, 0b11001, 0b10001, 0b10001, 0b11110},  // b
    {0b00000, 0b00000, 0b01110, 0b10000, 0b10000, 0b10001, 0b01110},  // c
    {0b00001, 0b00001, 0b01101, 0b10011, 0b10001, 0b10001, 0b01111},  // d
    {0b00000, 0b00000, 0b01110, 0b10001, 0b11111, 0b10000, 0b01110},  // e
    {0b00110, 0b01001, 0b01000, 0b11100, 0b01000, 0b01000, 0b01000},  // f
    {0b00000, 0b01111, 0b10001, 0b10001, 0b01111, 0b00001, 0b01110},  // g
    {0b10000, 0b10000, 0b10110, 0b11001, 0b10001, 0b10001, 0b10001},  // h
    {0b00100, 0b00000, 0b01100, 0b00100, 0b00100, 0b00100, 0b01110},  // i
    {0b00010, 0b00000, 0b00110, 0b00010, 0b00010, 0b10010, 0b01100},  // j
    {0b10000, 0b10000, 0b10010, 0b10100, 0b11000, 0b10100, 0b10010},  // k
    {0b01100, 0b00100, 0b00100, 0b00100, 0b00100, 0b00100, 0b01110},  // l
    {0b00000, 0b00000, 0b11010, 0b10101, 0b10101, 0b10001, 0b10001},  // m
    {0b00000, 0b00000, 0b10110, 0b11001, 0b10001, 0b10001, 0b10001},  // n
    {0b00000, 0b00000, 0b01110, 0b10001, 0b10001, 0b10001, 0b01110},  // o
    {0b00000, 0b00000, 0b11110, 0b10001, 0b11110, 0b10000, 0b10000},  // p
    {0b00000, 0b00000, 0b01101, 0b10011, 0b01111, 0b00001, 0b00001},  // q
    {0b00000, 0b00000, 0b10110, 0b11001, 0b10000, 0b10000, 0b10000},  // r
    {0b00000, 0b00000, 0b01110, 0b10000, 0b01110, 0b00001, 0b11110},  // s
    {0b01000, 0b01000, 0b11100, 0b01000, 0b01000, 0b01001, 0b00110},  // t
    {0b00000, 0b00000, 0b10001, 0b10001, 0b10001, 0b10011, 0b01101},  // u
    {0b00000, 0b00000, 0b10001, 0b10001, 0b10001, 0b01010, 0b00100},  // v
    {0b00000, 0b00000, 0b10001, 0b10001, 0b10101, 0b10101, 0b01010},  // w
    {0b00000, 0b00000, 0b10001, 0b01010, 0b00100, 0b01010, 0b10001},  // x
    {0b00000, 0b00000, 0b10001, 0b10001, 0b01111, 0b00001, 0b01110},  // y
    {0b00000, 0b00000, 0b11111, 0b00010, 0b00100, 0b01000, 0b11111},  // z
    {0b00010, 0b00100, 0b00100, 0b01000, 0b00100, 0b00100, 0b00010},  // {
    {0b00100, 0b00100, 0b00100, 0b00100, 0b00100, 0b00100, 0b00100},  // |
    {0b01000, 0b00100, 0b00100, 0b00010, 0b00100, 0b00100, 0b01000},  // }
    {0b00000, 0b00000, 0b01000, 0b10101, 0b00010, 0b00000, 0b00000},  // ~
};

// Digits 0-9, then '-' and blank.
inline constexpr std::uint8_t VP_FONT_DIGITS_3X5_GLYPHS[12][5] = {
    {7, 5, 5, 5, 7}, {2, 6, 2, 2, 7}, {7, 1, 7, 4, 7}, {7, 1, 3, 1, 7}, {5, 5, 7, 1, 1},
    {7, 4, 7, 1, 7}, {7, 4, 7, 5, 7}, {7, 1, 2, 2, 2}, {7, 5, 7, 5, 7}, {7, 5, 7, 1, 7},
    {0, 0, 7, 0, 0}, {0, 0, 0, 0, 0},
};

inline Tfont_metrics FONT_METRICS(Tfont_face face) {
  return face == VP_FONT_DIGITS_3X5 ? Tfont_metrics{3, 5, 4, 6} : Tfont_metrics{5, 7, 6, 9};
}

// The rows of the glyph that shows `c`; never null.
inline const std::uint8_t* FONT_GLYPH(char c, Tfont_face face = VP_FONT_5X7) {
  const int byte = static_cast<unsigned char>(c);
  if (face == VP_FONT_DIGITS_3X5) {
    if (byte >= '0' && byte <= '9') return VP_FONT_DIGITS_3X5_GLYPHS[byte - '0'];
    return VP_FONT_DIGITS_3X5_GLYPHS[byte == '-' ? 10 : 11];
  }
  return VP_FONT_5X7_GLYPHS[(byte >= 32 && byte <= 126 ? byte : '?') - 32];
}

// Pixels from the left edge of a line's first glyph box to the right edge
// of its last one, for the widest line; 0 for empty text.
inline int FONT_TEXT_WIDTH(const char* text, int scale, Tfont_face face = VP_FONT_5X7) {
  const Tfont_metrics m = FONT_METRICS(face);
  int widest = 0;
  int glyphs = 0;
  for (const char* p = text;; ++p) {
    if (*p == '\n' || *p == '\0') {
      if (glyphs > 0 && glyphs * m.advance - (m.advance - m.width) > widest)
        widest = glyphs * m.advance - (m.advance - m.width);
      if (*p == '\0') break;
      glyphs = 0;
    } else {
      ++glyphs;
    }
  }
  return widest * scale;
}

// A run of lit cells within one glyph row, in pixels.
struct Tfont_cell {
  int x;
  int y;
  int width;
  int height;
};

// Appends the lit cells of `text` as horizontal runs, glyph by glyph, rows
// top first; `out` is not cleared.
inline void FONT_CELLS(const char* text, int x, int y, int scale, std::vector<Tfont_cell>& out,
                       Tfont_face face = VP_FONT_5X7) {
  const Tfont_metrics m = FONT_METRICS(face);
  int left = x;
  int top = y;
  for (const char* p = text; *p != '\0'; ++p) {
    if (*p == '\n') {
      left = x;
      top += m.line * scale;
      continue;
    }
    const std::uint8_t* glyph = FONT_GLYPH(*p, face);
    for (int row = 0; row < m.height; ++row) {
      const auto lit = [&](int column) { return (glyph[row] >> (m.width - 1 - column) & 1) != 0; };
      for (int column = 0; column < m.width;) {
        if (!lit(column)) {
          ++column;
          continue;
        }
        const int first = column;
        while (column < m.width && lit(column)) ++column;
        out.push_back(Tfont_cell{left + first * scale, top + row * scale, (column - first) * scale, scale});
      }
    }
    left += m.advance * scale;
  }
}

// Sets the lit cells of `text` to `grey`, clipped to the picture; unlit
// cells keep what is there.
inline void DRAW_TEXT(Tpicture& picture, int x, int y, const char* text, int scale, std::uint8_t grey,
                      Tfont_face face = VP_FONT_5X7) {
  std::vector<Tfont_cell> cells;
  FONT_CELLS(text, x, y, scale, cells, face);
  for (const Tfont_cell& c : cells) {
    const int x0 = c.x < 0 ? 0 : c.x;
    const int y0 = c.y < 0 ? 0 : c.y;
    const int x1 = c.x + c.width > picture.width ? picture.width : c.x + c.width;
    const int y1 = c.y + c.height > picture.height ? picture.height : c.y + c.height;
    for (int py = y0; py < y1; ++py)
      for (int px = x0; px < x1; ++px) {
        std::uint8_t* p = picture.at(px, py);
        p[0] = p[1] = p[2] = grey;
      }
  }
}
