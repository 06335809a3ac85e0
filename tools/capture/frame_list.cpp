// frame_list.cpp - frame lists parsed into ascending frame numbers.
#include "capture/frame_list.h"

#include <algorithm>  // sort, unique

#include "cli/args.h"  // PARSE_WHOLE

bool PARSE_FRAMES(const std::string& text, std::vector<long>& frames, std::string& why) {
  frames.clear();
  std::size_t start = 0;
  for (;;) {
    std::size_t comma = text.find(',', start);
    std::string item = text.substr(start, comma == std::string::npos ? std::string::npos : comma - start);
    long first = 0, last = 0, step = 1;
    std::size_t dash = item.find('-');
    std::size_t colon = item.find(':');
    bool ok;
    if (dash == std::string::npos) {
      ok = colon == std::string::npos && PARSE_WHOLE(item, first);
      last = first;
    } else {
      std::string to = item.substr(dash + 1, colon == std::string::npos ? std::string::npos : colon - dash - 1);
      ok = colon == std::string::npos || colon > dash;
      ok = ok && PARSE_WHOLE(item.substr(0, dash), first) && PARSE_WHOLE(to, last);
      if (ok && colon != std::string::npos) ok = PARSE_WHOLE(item.substr(colon + 1), step) && step >= 1;
    }
    if (!ok) {
      why = "\"" + item + "\" is not a frame, A-B or A-B:S";
      return false;
    }
    if (first > last) {
      why = "\"" + item + "\" runs backwards";
      return false;
    }
    if (first < 1 || last > VP_LAST_FRAME) {
      why = "\"" + item + "\" is outside frames 1 to " + std::to_string(VP_LAST_FRAME);
      return false;
    }
    for (long f = first; f <= last; f += step) {
      frames.push_back(f);
      if (frames.size() > 1000000) {
        why = "more than a million frames";
        return false;
      }
    }
    if (comma == std::string::npos) break;
    start = comma + 1;
  }
  std::sort(frames.begin(), frames.end());
  frames.erase(std::unique(frames.begin(), frames.end()), frames.end());
  return true;
}
