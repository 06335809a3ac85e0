// video_formats.cpp - the table of video formats and their ffmpeg arguments.
#include "capture/video_formats.h"

#include <algorithm>  // max
#include <cctype>     // tolower: extensions in any case
#include <cmath>      // lround: the GIF delay

#include "core/mistakes.h"  // LIST_OR: the endings in a message

namespace {

// The encoder settings, chosen for this picture: small sharp sprites, a
// few saturated colours, a black ground.
//  - mp4 and webm carry 4:2:0 YUV, which every browser plays; the matrix is
//    BT.709 and the file says so, so players do not guess between 601 and
//    709. CRF keeps the quality fixed whatever the length; 18 (H.264) and
//    32 (VP9) leave the dots round and their colour right. faststart puts
//    the index first so a browser starts playing before the end arrives.
//  - GIF: a palette per frame (stats_mode=single, new=1) of 64 colours
//    without dithering. One palette for the whole run would make ffmpeg
//    hold every frame in memory until the end (800 MB for ten seconds);
//    a frame of this show needs few colours, and dither only adds noise
//    to the black that the compressor then pays for.
//  - WebP: lossy at quality 70, fed RGB so that libwebp does its own
//    colour conversion, which keeps the small dots' colour better than
//    ffmpeg's 4:2:0.
struct Tvideo_kind {
  Tvideo_format format;
  const char* ending;  // the file name's, in lower case
  bool bt709;          // 4:2:0 YUV in BT.709, said in the file
  std::vector<std::string> encoder;
};

const Tvideo_kind k_kinds[] = {
    {Tvideo_format::mp4, "mp4", true,
     {"-c:v", "libx264", "-preset", "medium", "-crf", "18", "-movflags", "+faststart", "-f", "mp4"}},
    {Tvideo_format::webm, "webm", true,
     {"-c:v", "libvpx-vp9", "-b:v", "0", "-crf", "32", "-deadline", "good", "-cpu-used", "4", "-row-mt", "1", "-f",
      "webm"}},
    {Tvideo_format::gif, "gif", false,
     {"-vf", "split[a][b];[a]palettegen=max_colors=64:stats_mode=single[p];[b][p]paletteuse=dither=none:new=1",
      "-loop", "0", "-f", "gif"}},
    {Tvideo_format::webp, "webp", false,
     {"-c:v", "libwebp_anim", "-pix_fmt", "bgra", "-lossless", "0", "-quality", "70", "-compression_level", "4",
      "-loop", "0", "-f", "webp"}},
};

}  // namespace

Tvideo_format VIDEO_FORMAT(const std::string& path) {
  std::size_t dot = path.rfind('.');
  std::size_t slash = path.rfind('/');
  if (dot == std::string::npos || (slash != std::string::npos && dot < slash)) return Tvideo_format::none;
  std::string extension;
  for (char c : path.substr(dot + 1)) extension += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  for (const Tvideo_kind& kind : k_kinds)
    if (extension == kind.ending) return kind.format;
  return Tvideo_format::none;
}

std::string VIDEO_ENDINGS() {
  std::vector<std::string> endings;
  for (const Tvideo_kind& kind : k_kinds) endings.push_back(std::string(".") + kind.ending);
  return LIST_OR(endings);
}

// A GIF counts its delays in hundredths of a second, and browsers slow any
// delay under two of them to a tenth of a second. 60 frames a second cannot
// be written: every frame is kept and held 2/100 s, so a GIF of the show
// plays at 50 frames a second, 5/6 of its speed. WebP counts milliseconds
// and keeps 60 (delays of 16 and 17 ms).
std::string VIDEO_INPUT_RATE(Tvideo_format format, int fps) {
  if (format != Tvideo_format::gif) return std::to_string(fps);
  long delay = std::max(2L, std::lround(100.0 / fps));
  return "100/" + std::to_string(delay);
}

std::vector<std::string> VIDEO_ENCODER_ARGUMENTS(Tvideo_format format) {
  std::vector<std::string> args;
  for (const Tvideo_kind& kind : k_kinds) {
    if (kind.format != format) continue;
    if (kind.bt709)
      args = {"-vf", "scale=out_color_matrix=bt709:out_range=tv,format=yuv420p", "-colorspace", "bt709",
              "-color_primaries", "bt709", "-color_trc", "bt709", "-color_range", "tv"};
    args.insert(args.end(), kind.encoder.begin(), kind.encoder.end());
  }
  return args;
}
