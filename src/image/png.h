// png.h - PNG files of pictures.
//
// Rules:
//  - The only place besides the atlas decoder that knows the PNG codec, so
//    the simulation library and the programs that link only it build without
//    one.
//  - Rows of a Tpicture run top first; the codec's bottom-first rows are
//    turned over here.
#pragma once

#include <string>  // file names

#include "render/picture.h"  // the pixels

bool SAVE_PNG(const Tpicture& picture, const std::string& path);
bool LOAD_PNG(const std::string& path, Tpicture& picture);  // any PNG, as 8-bit RGB
