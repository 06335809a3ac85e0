// startup_bench.cpp - start-up to the first presented frame, and the show's
// peak resident memory.
//
//   vorpane-bench-startup --runs=N --show=PATH [--seconds=S] [--assets=DIR] [--figures=PATH]
//
// Rules:
//  - Start-up: the launcher reads CLOCK_MONOTONIC, forks and executes this
//    program again in child mode with that reading. The child does what the
//    show's main() does, in the same order (scene, seed, screen, atlas,
//    title, frame loop with max_frames 1), and reports when each step ended,
//    the last being the first present, measured from the launcher's reading:
//    so fork, exec, dynamic loading and static set-up are all inside.
//  - Peak memory: the show itself (PATH) runs for S seconds in DIR with its
//    console reports going to /dev/null, is ended with SIGTERM (the show
//    takes no other signal or input that a launcher could send without a
//    window manager), and the kernel's ru_maxrss of the reaped child is the
//    figure. Nothing is allocated during play, so S = 2 reaches the plateau.
//  - Children run in DIR (the show reads parts.png from its working folder)
//    with stdout on /dev/null; results come back through a pipe.
#include <fcntl.h>         // open /dev/null
#include <signal.h>        // SIGTERM
#include <sys/resource.h>  // rusage of the reaped child
#include <sys/wait.h>      // wait4
#include <time.h>          // clock_gettime, nanosleep
#include <unistd.h>        // fork, exec, pipe

#include <algorithm>  // sort for the median
#include <cstdio>     // output
#include <cstdlib>    // atoi, strtoll
#include <cstring>    // argument prefixes
#include <string>     // paths
#include <vector>     // per-run figures

#include "show/show.h"  // the show's start-up steps and loop

namespace {

long long monotonic_ns() {
  timespec ts;
  clock_gettime(CLOCK_MONOTONIC, &ts);
  return static_cast<long long>(ts.tv_sec) * 1000000000LL + ts.tv_nsec;
}

// Child mode: the marks are milliseconds since the launcher's reading.
enum { k_mark_main, k_mark_scene, k_mark_screen, k_mark_atlas, k_mark_present, k_mark_count };
const char* const k_mark_names[k_mark_count] = {"main", "scene", "screen", "atlas", "present"};

// Each mark also notes the peak resident memory so far (KiB), which splits
// the show's memory between its own start-up steps.
struct Tchild {
  long long origin_ns;
  double marks[k_mark_count];
  long rss_kib[k_mark_count];
};

void mark(Tchild& c, int which) {
  c.marks[which] = static_cast<double>(monotonic_ns() - c.origin_ns) / 1e6;
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  c.rss_kib[which] = usage.ru_maxrss;
}

void on_first_present(void* context, long frame) {
  if (frame == 1) mark(*static_cast<Tchild*>(context), k_mark_present);
}

int run_child(long long origin_ns, int report_fd) {
  Tchild c{origin_ns, {}, {}};
  mark(c, k_mark_main);

  Tshow show;
  const Tshow_setup setup;
  SHOW_BUILD(show);
  mark(c, k_mark_scene);
  SHOW_OPEN(show, setup);
  mark(c, k_mark_screen);
  SHOW_LOAD_ATLAS(show, setup);
  mark(c, k_mark_atlas);

  const Tframe_observer observer = {on_first_present, &c};
  SHOW_RUN(show, 1, &observer);

  std::string line;
  for (int k = 0; k < k_mark_count; ++k)
    line += std::to_string(c.marks[k]) + " " + std::to_string(c.rss_kib[k]) + (k + 1 < k_mark_count ? " " : "\n");
  return write(report_fd, line.data(), line.size()) == static_cast<ssize_t>(line.size()) ? 0 : 1;
}

// Forks a child that runs `argv` in `folder` with stdout on /dev/null and,
// when `pipe_write` >= 0, that descriptor as its fd 3. Returns its pid.
pid_t spawn(const std::string& folder, const std::vector<std::string>& args, int pipe_write) {
  const pid_t pid = fork();
  if (pid != 0) return pid;
  if (chdir(folder.c_str()) != 0) _exit(126);
  const int devnull = open("/dev/null", O_WRONLY);
  if (devnull >= 0) dup2(devnull, 1);
  if (pipe_write >= 0 && pipe_write != 3) dup2(pipe_write, 3);
  std::vector<char*> argv;
  for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
  argv.push_back(nullptr);
  execv(argv[0], argv.data());
  _exit(127);
}

double median(std::vector<double> v) {
  std::sort(v.begin(), v.end());
  const std::size_t n = v.size();
  return n % 2 == 1 ? v[n / 2] : (v[n / 2 - 1] + v[n / 2]) / 2.0;
}

void write_figure(const std::string& path, const std::string& key, double value) {
  if (path.empty()) return;
  if (std::FILE* f = std::fopen(path.c_str(), "a")) {
    std::fprintf(f, "%s %.6g\n", key.c_str(), value);
    std::fclose(f);
  }
}

std::string self_path() {
  char buffer[4096];
  const ssize_t n = readlink("/proc/self/exe", buffer, sizeof buffer - 1);
  if (n <= 0) return std::string();
  buffer[n] = '\0';
  return buffer;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc == 3 && std::strcmp(argv[1], "--child") == 0)
    return run_child(std::strtoll(argv[2], nullptr, 10), 3);

  int runs = 5;
  double seconds = 2.0;
  std::string show, assets = ".", figures;
  for (int i = 1; i < argc; ++i) {
    if (std::strncmp(argv[i], "--runs=", 7) == 0) runs = std::atoi(argv[i] + 7);
    else if (std::strncmp(argv[i], "--show=", 7) == 0) show = argv[i] + 7;
    else if (std::strncmp(argv[i], "--seconds=", 10) == 0) seconds = std::atof(argv[i] + 10);
    else if (std::strncmp(argv[i], "--assets=", 9) == 0) assets = argv[i] + 9;
    else if (std::strncmp(argv[i], "--figures=", 10) == 0) figures = argv[i] + 10;
    else {
      std::fprintf(stderr, "usage: vorpane-bench-startup --runs=N --show=PATH [--seconds=S] [--assets=DIR] [--figures=PATH]\n");
      return 2;
    }
  }
  if (runs < 1 || show.empty()) {
    std::fprintf(stderr, "vorpane-bench-startup: --runs must be at least 1 and --show is needed\n");
    return 2;
  }
  const std::string self = self_path();

  std::vector<std::vector<double>> marks(k_mark_count), rss(k_mark_count);
  for (int r = 0; r < runs; ++r) {
    int fds[2];
    if (pipe(fds) != 0) return 1;
    const long long origin = monotonic_ns();
    const pid_t pid = spawn(assets, {self, "--child", std::to_string(origin)}, fds[1]);
    close(fds[1]);
    char line[512] = {};
    std::size_t got = 0;
    for (ssize_t n; (n = read(fds[0], line + got, sizeof line - 1 - got)) > 0;) got += static_cast<std::size_t>(n);
    close(fds[0]);
    int status = 0;
    waitpid(pid, &status, 0);
    double m[k_mark_count], kib[k_mark_count];
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0 ||
        std::sscanf(line, "%lf %lf %lf %lf %lf %lf %lf %lf %lf %lf", &m[0], &kib[0], &m[1], &kib[1], &m[2],
                    &kib[2], &m[3], &kib[3], &m[4], &kib[4]) != 2 * k_mark_count) {
      std::fprintf(stderr, "vorpane-bench-startup: run %d failed (status %d)\n", r + 1, status);
      return 1;
    }
    std::printf("start-up run %d:", r + 1);
    for (int k = 0; k < k_mark_count; ++k) {
      marks[static_cast<std::size_t>(k)].push_back(m[k]);
      rss[static_cast<std::size_t>(k)].push_back(kib[k]);
      std::printf(" %s %.1f ms (%.0f KiB)", k_mark_names[k], m[k], kib[k]);
    }
    std::printf("\n");
  }
  for (int k = 0; k < k_mark_count; ++k) {
    write_figure(figures, std::string("startup.") + k_mark_names[k] + "_ms", median(marks[static_cast<std::size_t>(k)]));
    write_figure(figures, std::string("startup.") + k_mark_names[k] + "_rss_kib", median(rss[static_cast<std::size_t>(k)]));
  }

  // Peak memory of the show itself.
  const pid_t pid = spawn(assets, {show}, -1);
  timespec pause{static_cast<time_t>(seconds), static_cast<long>((seconds - static_cast<double>(static_cast<time_t>(seconds))) * 1e9)};
  nanosleep(&pause, nullptr);
  kill(pid, SIGTERM);
  int status = 0;
  rusage usage{};
  wait4(pid, &status, 0, &usage);
  if (!(WIFSIGNALED(status) && WTERMSIG(status) == SIGTERM)) {
    std::fprintf(stderr, "vorpane-bench-startup: the show ended before it was stopped (status %d)\n", status);
    return 1;
  }
  std::printf("peak resident memory of %s after %.1f s: %ld KiB\n", show.c_str(), seconds, usage.ru_maxrss);
  write_figure(figures, "show.peak_rss_kib", static_cast<double>(usage.ru_maxrss));
  return 0;
}
