// frame_list.h - the capture's frame lists: "1,120,600", "100-160:10".
//
// Rules:
//  - Frames count from 1, as the show counts them, up to VP_LAST_FRAME.
//  - The result is ascending without repeats; a list naming more than a
//    million frames is refused rather than allocated.
#pragma once

#include <string>  // the list and the reason for a refusal
#include <vector>  // the frames

#include "scene/play.h"  // VP_LAST_FRAME


// False, with the reason in `why`, when the list is not well formed.
bool PARSE_FRAMES(const std::string& text, std::vector<long>& frames, std::string& why);
