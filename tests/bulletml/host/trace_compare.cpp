// trace_compare.cpp - compares two traces (kind,frame,emitter,slot,x,y) row
// by row, positions within a tolerance: the agreement test's judge.
//
//   trace_compare [--tolerance T] FIRST SECOND
//
// Both are read as they are written (pipes welcome). The rows must come in
// the same order with the same kind, frame, emitter and slot, and x and y
// may differ by at most T (default 1e-4). Exit 0 when they agree, printing
// the number of rows and the largest difference of positions; 1 at the
// first difference, printing its frame and both rows; 2 when a file cannot
// be read.
#include <algorithm>  // min of two frames, max of two differences
#include <cmath>    // fabs
#include <cstdio>   // FILE, getline
#include <cstdlib>  // strtod, free
#include <cstring>  // strcmp, strrchr

namespace {

class Tline_reader {
 public:
  explicit Tline_reader(const char* path) : path_(path), file_(std::fopen(path, "r")) {}
  ~Tline_reader() {
    std::free(line_);
    if (file_) std::fclose(file_);
  }
  Tline_reader(const Tline_reader&) = delete;
  Tline_reader& operator=(const Tline_reader&) = delete;

  bool OPEN() const { return file_ != nullptr; }
  const char* PATH() const { return path_; }

  // The next line without its line end; null at the end of the file.
  const char* NEXT() {
    const ssize_t length = getline(&line_, &capacity_, file_);
    if (length < 0) return nullptr;
    if (length > 0 && line_[length - 1] == '\n') line_[length - 1] = '\0';
    return line_;
  }

 private:
  const char* path_;
  std::FILE* file_;
  char* line_ = nullptr;
  std::size_t capacity_ = 0;
};

// The row's frame, the second field; -1 when the row has none.
long frame_of(const char* row) {
  const char* comma = std::strchr(row, ',');
  return comma ? std::strtol(comma + 1, nullptr, 10) : -1;
}

// Rows whose text differs agree when everything up to the fifth comma is
// the same and both positions are numbers within `tolerance`; `largest`
// keeps the largest difference of positions that agree.
bool rows_agree(const char* a, const char* b, double tolerance, double& largest) {
  int commas = 0;
  std::size_t i = 0;
  for (; a[i] == b[i] && a[i] != '\0'; ++i)
    if (a[i] == ',' && ++commas == 4) break;
  if (commas < 4) return false;
  const char* pa = a + i + 1;
  const char* pb = b + i + 1;
  for (int field = 0; field < 2; ++field) {
    char* end_a = nullptr;
    char* end_b = nullptr;
    const double va = std::strtod(pa, &end_a);
    const double vb = std::strtod(pb, &end_b);
    const double difference = std::fabs(va - vb);
    if (end_a == pa || end_b == pb || !(difference <= tolerance)) return false;
    largest = std::max(largest, difference);
    const char want = field == 0 ? ',' : '\0';
    if (*end_a != want || *end_b != want) return false;
    pa = end_a + 1;
    pb = end_b + 1;
  }
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  double tolerance = 1e-4;
  int at = 1;
  if (argc == 5 && std::strcmp(argv[1], "--tolerance") == 0) {
    tolerance = std::strtod(argv[2], nullptr);
    at = 3;
  }
  if (argc - at != 2) {
    std::fprintf(stderr, "usage: trace_compare [--tolerance T] FIRST SECOND\n");
    return 2;
  }
  Tline_reader first(argv[at]), second(argv[at + 1]);
  for (const Tline_reader* reader : {&first, &second})
    if (!reader->OPEN()) {
      std::fprintf(stderr, "trace_compare: cannot read %s\n", reader->PATH());
      return 2;
    }

  // Each reader keeps its own line, so both rows stay readable side by side.
  long rows = 0;
  double largest = 0.0;
  for (;;) {
    const char* a = first.NEXT();
    const char* b = second.NEXT();
    if (!a && !b) break;
    if (a && b && (std::strcmp(a, b) == 0 || (rows > 0 && rows_agree(a, b, tolerance, largest)))) {
      ++rows;
      continue;
    }
    const long frame = !a ? frame_of(b) : !b ? frame_of(a) : std::min(frame_of(a), frame_of(b));
    std::printf("frame %ld, row %ld: first `%s`, second `%s`\n", frame, rows + 1, a ? a : "(no row)",
                b ? b : "(no row)");
    return 1;
  }
  std::printf("%ld rows agree, positions within %g\n", rows, largest);
  return 0;
}
