// show-atlas ATLAS [--start] - decodes ATLAS as the show does (status 0 when
// it decodes); --start would open the show's window, which links the whole
// display side whether or not it runs.
#include <cstring>  // strcmp

#include "show/show.h"  // the show's start-up and its atlas

int main(int argc, char** argv) {
  if (argc < 2) return 2;
  if (argc > 2 && std::strcmp(argv[2], "--start") == 0) {
    Tshow show;
    SHOW_START(show);
  }
  Tatlas_pixels pixels;
  return SHOW_READ_ATLAS(argv[1], pixels) && pixels.width > 0 ? 0 : 1;
}
