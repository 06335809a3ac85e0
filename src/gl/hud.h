// hud.h - the heads-up display: lines of text in the picture's top-left
// corner, in the built-in 5 x 7 pixel font, over a dark box.
//
// Rules:
//  - Drawn in the 2D view of the 640 x 480 picture, one font cell per
//    picture pixel, after the sprites and before the picture is presented.
//  - Restores every GL state it changes, so the next frame's sprite pass
//    starts as it always does.
#pragma once

#include <string>  // the lines
#include <vector>  // the lines

#include "gl/screen.h"  // the 2D view

void HUD_DRAW(Tscreen& screen, const std::vector<std::string>& lines);
