// video_formats.h - the video formats a capture writes: their file endings
// and the ffmpeg arguments that encode each.
//
// Rules:
//  - One table (video_formats.cpp) holds every format: VIDEO_FORMAT, the
//    --video usage error and the encoder all read it.
//  - A format is chosen by the file name's ending alone, in any letter case.
//  - The arguments name no file: the encoder process (video.h) adds its
//    input and its output.
#pragma once

#include <string>  // file names, arguments
#include <vector>  // the arguments

enum class Tvideo_format { none, mp4, webm, gif, webp };

// From the file name's extension, in any letter case; none for the rest.
Tvideo_format VIDEO_FORMAT(const std::string& path);
// The endings VIDEO_FORMAT knows, for messages, as a sentence lists them
// (".a, .b or .c").
std::string VIDEO_ENDINGS();

// The rate, in frames a second, that ffmpeg reads `fps` frames a second of
// the show in, for this format ("60", or "100/2" for a GIF).
std::string VIDEO_INPUT_RATE(Tvideo_format format, int fps);
// What follows the input on ffmpeg's command line, up to the output file;
// empty for none.
std::vector<std::string> VIDEO_ENCODER_ARGUMENTS(Tvideo_format format);
