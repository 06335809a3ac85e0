// bulletml_host.cpp - libbulletml driven by the host choices of Vorpane's
// BulletML model (docs/BULLETML.md), printing the trace vorpane-trace
// prints: the agreement test's oracle.
//
//   bulletml_host [--frames N] [--target X,Y] [--rank R] [--rand-constant V] FILE
//
// The play itself, and every choice of the model, is host_play.h's. CSV on
// stdout: kind,frame,emitter,slot,x,y.
//
// Linked into this test program only; the project's libraries and programs
// never see libbulletml.
#include <charconv>   // to_chars: shortest round-trip doubles
#include <cmath>      // isfinite
#include <cstdio>     // fwrite, fprintf
#include <cstdlib>    // exit, strtod
#include <string>     // option values
#include <vector>     // the output buffer

#include "cli/args.h"   // the programs' option walk
#include "host_play.h"  // the library driven by the model's choices

namespace {

const char k_usage[] = "usage: bulletml_host [--frames N] [--target X,Y] [--rank R] [--rand-constant V] FILE";

[[noreturn]] void usage_error(const std::string& what) {
  std::fprintf(stderr, "bulletml_host: %s; %s\n", what.c_str(), k_usage);
  std::exit(2);
}

// A finite double, the whole argument.
bool parse_double(const std::string& text, double& out) {
  if (text.empty() || text[0] == ' ') return false;
  char* end = nullptr;
  out = std::strtod(text.c_str(), &end);
  return *end == '\0' && std::isfinite(out);
}

Toptions parse_options(int argc, char** argv) {
  Toptions options;
  Toption_walk walk(argc, argv, usage_error);
  while (walk.NEXT()) {
    std::string value;
    bool ok = true;
    if (walk.FLAG("--help") || walk.FLAG("-h")) {
      std::printf("%s\n"
                  "  --frames N         frames to play (default 600)\n"
                  "  --target X,Y       the aim target (default -1,-1)\n"
                  "  --rank R           $rank, 0 to 1 (default 0.5)\n"
                  "  --rand-constant V  every $rand is V, 0 to 1 (default: the project's stream)\n"
                  "CSV on stdout: kind,frame,emitter,slot,x,y.\n",
                  k_usage);
      std::exit(0);
    } else if (walk.VALUE("--frames", value)) {
      ok = PARSE_WHOLE(value, options.frames) && options.frames > 0;
    } else if (walk.VALUE("--target", value)) {
      const std::size_t comma = value.find(',');
      ok = comma != std::string::npos && parse_double(value.substr(0, comma), options.target_x) &&
           parse_double(value.substr(comma + 1), options.target_y);
    } else if (walk.VALUE("--rank", value)) {
      ok = parse_double(value, options.rank) && options.rank >= 0.0 && options.rank <= 1.0;
    } else if (walk.VALUE("--rand-constant", value)) {
      ok = parse_double(value, options.rand_value) && options.rand_value >= 0.0 && options.rand_value <= 1.0;
      options.rand_constant = true;
    } else if (walk.PLAIN(value) && options.file.empty()) {
      options.file = value;
    } else {
      walk.UNKNOWN();
    }
    if (!ok) usage_error("bad value '" + value + "' for " + walk.ARG());
  }
  if (options.file.empty()) usage_error("no FILE");
  return options;
}

class Tcsv_out {
 public:
  Tcsv_out() { buffer_.reserve(k_capacity + 256); }
  ~Tcsv_out() { FLUSH(); }

  void ROW(char kind, long frame, long slot, double x, double y) {
    char line[160];
    char* p = line;
    // Each field has room for its longest text (20 digits and a sign; a
    // double's 24), so no write can reach the end of the line.
    *p++ = kind;
    *p++ = ',';
    p = std::to_chars(p, p + 21, frame).ptr;
    *p++ = ',';
    *p++ = '0';
    *p++ = ',';
    p = std::to_chars(p, p + 21, slot).ptr;
    *p++ = ',';
    p = std::to_chars(p, p + 32, x).ptr;
    *p++ = ',';
    p = std::to_chars(p, p + 32, y).ptr;
    *p++ = '\n';
    buffer_.insert(buffer_.end(), line, p);
    if (buffer_.size() >= k_capacity) FLUSH();
  }

  void TEXT(const std::string& text) { buffer_.insert(buffer_.end(), text.begin(), text.end()); }

  void FLUSH() {
    if (!buffer_.empty()) std::fwrite(buffer_.data(), 1, buffer_.size(), stdout);
    buffer_.clear();
  }

 private:
  static constexpr std::size_t k_capacity = 1 << 20;
  std::vector<char> buffer_;
};

}  // namespace

int main(int argc, char** argv) {
  const Toptions options = parse_options(argc, argv);
  try {
    BulletMLParserTinyXML file(options.file.c_str());
    file.build();
    Thost host(options, file);
    Tcsv_out out;
    out.TEXT("kind,frame,emitter,slot,x,y\n");
    for (long frame = 1; frame <= options.frames; ++frame) {
      host.STEP();
      for (const auto& object : host.OBJECTS())
        out.ROW(object->number == 0 ? 'E' : 'B', frame, object->number == 0 ? -1 : object->number, object->x,
                object->y);
    }
  } catch (const std::exception& error) {
    std::fflush(stdout);
    std::fprintf(stderr, "bulletml_host: %s: %s\n", options.file.c_str(), error.what());
    return 2;
  }
  return 0;
}
