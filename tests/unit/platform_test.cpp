// Platform services that need no display: the fatal report, the console, the
// random source, the text file reader and the data folders.
#include <fcntl.h>     // O_NOCTTY, O_NONBLOCK
#include <gtest/gtest.h>
#include <stdlib.h>    // mkdtemp, realpath
#include <sys/wait.h>  // the key-waiting child's end
#include <termios.h>   // terminal modes before, during and after a key wait
#include <unistd.h>    // fork, pseudo-terminal ends

#include <climits>  // PATH_MAX
#include <csignal>  // interrupting the key wait
#include <cstdio>   // temporary files
#include <cstdlib>  // posix_openpt
#include <fstream>  // writing test files
#include <string>
#include <vector>   // the folders looked in

#include "platform/console.h"
#include "platform/data_path.h"
#include "platform/random.h"
#include "platform/runtime_error.h"
#include "platform/textfile.h"

namespace {

TEST(RuntimeError, ReportTextIsExact) {
  EXPECT_EQ(RUNTIME_ERROR_REPORT(7, 42, "Tmatrix", "IDENTITY"),
            "\r\nAborting due to runtime error 7 (null pointer access) at line 42 of Tmatrix::IDENTITY()\r\n\r\n");
  EXPECT_EQ(RUNTIME_ERROR_REPORT(6, 1, "Tturret", "BULLET"),
            "\r\nAborting due to runtime error 6 (out of bounds array access) at line 1 of Tturret::BULLET()\r\n\r\n");
  EXPECT_EQ(RUNTIME_ERROR_REPORT(1, 9, "Tscreen", "Tscreen"),
            "\r\nAborting due to runtime error 1 (illegal function call) at line 9 of Tscreen::Tscreen()\r\n\r\n");
}

TEST(RuntimeErrorDeathTest, ExitsWithTheCodeAfterTheReport) {
  EXPECT_EXIT(RUNTIME_ERROR(7, 12, "Tlist", "GETNEXT"), testing::ExitedWithCode(7),
              "Aborting due to runtime error 7 \\(null pointer access\\) at line 12 of Tlist::GETNEXT\\(\\)");
  EXPECT_EXIT(RUNTIME_ERROR(6, 3, "Tmodel", "LOAD"), testing::ExitedWithCode(6), "out of bounds array access");
  EXPECT_EXIT(RUNTIME_ERROR(1, 3, "Tscreen", "Tscreen"), testing::ExitedWithCode(1), "illegal function call");
}

[[noreturn]] void marker_handler(int code, const std::string& report) { THROW_RUNTIME_ERROR(code, report); }

TEST(RuntimeError, TrapTurnsTheReportIntoAnExceptionAndRestoresTheHandler) {
  Tfatal_handler before = SET_FATAL_HANDLER(marker_handler);
  {
    Tfatal_trap trap;
    try {
      int* nothing = nullptr;
      VP_CHECK_PTR(nothing, "Tspline", "UPDATE");
      FAIL() << "no fatal error";
    } catch (const Truntime_error& error) {
      EXPECT_EQ(error.code, VP_ERR_NULL_POINTER);
      EXPECT_NE(error.report.find("of Tspline::UPDATE()"), std::string::npos);
    }
    EXPECT_THROW(VP_CHECK_INDEX(256, 256, "Tturret", "BULLET"), Truntime_error);
    EXPECT_NO_THROW(VP_CHECK_INDEX(255, 256, "Tturret", "BULLET"));
  }
  // The trap put back whatever was installed before it.
  EXPECT_EQ(SET_FATAL_HANDLER(before), &marker_handler);
}

TEST(Console, NumbersLinesAndCursorPlacement) {
  Tconsole_capture capture;
  CONSOLE_LOCATE(2, 1);
  CONSOLE_PRINT("turret time ");
  CONSOLE_PRINT_INT(99);
  CONSOLE_PRINT("x");
  CONSOLE_PRINT_INT(-1);
  CONSOLE_PRINT_INT(0);
  CONSOLE_PRINT_LINE("end");
  CONSOLE_LOCATE(16, 40);
  EXPECT_EQ(capture.text, "\x1b[2;1Hturret time  99\r\nx-1\r\n 0\r\nend\r\n\x1b[16;40H");
  CONSOLE_PRINT_INT(-2147483647 - 1);
  EXPECT_NE(capture.text.find("-2147483648\r\n"), std::string::npos);
}

TEST(Console, BeepAndKeyWaitReachTheSinkAndCapturesNest) {
  Tconsole_capture outer;
  {
    Tconsole_capture inner;
    CONSOLE_BEEP();
    CONSOLE_WAIT_KEY();
    CONSOLE_PRINT("inner");
    EXPECT_EQ(inner.beeps, 1);
    EXPECT_EQ(inner.key_waits, 1);
    EXPECT_EQ(inner.text, "inner");
  }
  CONSOLE_PRINT("outer");
  EXPECT_EQ(outer.text, "outer");
  EXPECT_EQ(outer.beeps, 0);
}

// A child process waiting for a key through the default sink, its stdin the
// slave end of a pseudo-terminal that the test types into through the master.
struct Tterminal_key_wait {
  int master = posix_openpt(O_RDWR | O_NOCTTY);
  int slave = -1;
  pid_t child = -1;
  termios before = {};
  bool single_key = false;  // the child took the terminal out of line mode

  Tterminal_key_wait() {
    if (master < 0 || grantpt(master) != 0 || unlockpt(master) != 0 || !ptsname(master)) return;
    slave = open(ptsname(master), O_RDWR | O_NOCTTY);
    if (slave < 0 || tcgetattr(slave, &before) != 0) return;
    std::fflush(nullptr);  // the child flushes stdout; it must not repeat ours
    child = fork();
    if (child == 0) {
      dup2(slave, STDIN_FILENO);
      std::signal(SIGINT, SIG_DFL);
      CONSOLE_SET_SINK(nullptr);
      CONSOLE_WAIT_KEY();
      _exit(0);
    }
    termios now;
    for (int i = 0; i < 3000 && !single_key; ++i) {
      usleep(10000);
      single_key = tcgetattr(slave, &now) == 0 && !(now.c_lflag & ICANON);
    }
  }
  ~Tterminal_key_wait() {
    if (child > 0) kill(child, SIGKILL), waitpid(child, nullptr, 0);
    if (slave >= 0) close(slave);
    if (master >= 0) close(master);
  }
  // The child's wait status, or -1 when it is still waiting after 30 s.
  int END() {
    int status = -1;
    for (int i = 0; i < 3000; ++i) {
      if (waitpid(child, &status, WNOHANG) == child) {
        child = -1;
        return status;
      }
      usleep(10000);
    }
    return -1;
  }
  void EXPECT_MODES_RESTORED() const {
    termios after;
    ASSERT_EQ(tcgetattr(slave, &after), 0);
    EXPECT_EQ(after.c_lflag, before.c_lflag);
    EXPECT_EQ(after.c_iflag, before.c_iflag);
    EXPECT_EQ(after.c_cc[VMIN], before.c_cc[VMIN]);
    EXPECT_EQ(after.c_cc[VTIME], before.c_cc[VTIME]);
  }
};

TEST(ConsoleKeyWait, OneKeyWithoutEnterEndsItOnATerminalUnechoed) {
  Tterminal_key_wait wait;
  ASSERT_GE(wait.slave, 0) << "no pseudo-terminal";
  ASSERT_TRUE(wait.single_key) << "the terminal stayed in line mode";
  ASSERT_EQ(write(wait.master, "k", 1), 1);
  EXPECT_EQ(wait.END(), 0) << "one byte without Enter did not end the wait";
  wait.EXPECT_MODES_RESTORED();
  char echoed;
  fcntl(wait.master, F_SETFL, O_NONBLOCK);
  EXPECT_EQ(read(wait.master, &echoed, 1), -1) << "the key was echoed";
}

TEST(ConsoleKeyWait, AnInterruptRestoresTheTerminalAndStillEndsTheProcess) {
  Tterminal_key_wait wait;
  ASSERT_GE(wait.slave, 0) << "no pseudo-terminal";
  ASSERT_TRUE(wait.single_key);
  kill(wait.child, SIGINT);
  const int status = wait.END();
  EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGINT) << "wait status " << status;
  wait.EXPECT_MODES_RESTORED();
}

TEST(Random, UnseededDrawsRepeatAndStayInRange) {
  RANDOM_RESET();
  double first[100];
  for (double& r : first) r = RND();
  RANDOM_RESET();
  for (double r : first) {
    EXPECT_EQ(RND(), r);
    EXPECT_GE(r, 0.0);
    EXPECT_LT(r, 1.0);
  }
  RANDOMIZE(12.5);
  double seeded = RND();
  RANDOM_RESET();
  EXPECT_NE(seeded, RND());
}

// A stream of one's own is the global one's twin, and every trace depends on
// the draws staying the ones pinned here.
TEST(Random, AStreamOfOnesOwnDrawsWhatTheGlobalOneDraws) {
  Trandom stream;
  EXPECT_EQ(stream.NEXT(), 0x1.0416574dde36ap-1);
  EXPECT_EQ(stream.NEXT(), 0x1.1b3438dd1fc43p-1);
  EXPECT_EQ(stream.NEXT(), 0x1.6a480afa5a966p-2);
  stream.RESET();
  RANDOM_RESET();
  for (int i = 0; i < 10000; ++i) ASSERT_EQ(stream.NEXT(), RND()) << "draw " << i;

  // Its own: the global stream's draws and seeding leave it where it was, and
  // a copy goes on from the same place.
  Trandom copy = stream;
  RANDOMIZE(12.5);
  const double seeded = RND();
  EXPECT_EQ(seeded, 0x1.38780479c791ep-2);
  EXPECT_EQ(copy.NEXT(), stream.NEXT());
  stream.SEED(12.5);
  EXPECT_EQ(stream.NEXT(), seeded);
}

TEST(Textfile, LinesPositionsAndSeek) {
  std::string name = testing::TempDir() + "vorpane_textfile.txt";
  {
    std::ofstream out(name, std::ios::binary);
    out << "first\r\nsecond\n\nlast without end";
  }
  Ttextfile file;
  ASSERT_EQ(file.OPEN(name.c_str()), 0);
  std::string line;
  ASSERT_TRUE(file.READ_LINE(line));
  EXPECT_EQ(line, "first");
  long after_first = file.POSITION();
  ASSERT_TRUE(file.READ_LINE(line));
  EXPECT_EQ(line, "second");
  ASSERT_TRUE(file.READ_LINE(line));
  EXPECT_EQ(line, "");
  ASSERT_TRUE(file.READ_LINE(line));
  EXPECT_EQ(line, "last without end");
  EXPECT_TRUE(file.AT_END());
  EXPECT_FALSE(file.READ_LINE(line));
  ASSERT_EQ(file.SEEK(after_first), 0);
  ASSERT_TRUE(file.READ_LINE(line));
  EXPECT_EQ(line, "second");
  EXPECT_EQ(file.CLOSE(), 0);
  EXPECT_NE(file.SEEK(0), 0);
  EXPECT_NE(file.OPEN((name + ".missing").c_str()), 0);
  std::remove(name.c_str());
}

TEST(Textfile, VeryLongLinesAreKeptWhole) {
  std::string name = testing::TempDir() + "vorpane_long.txt";
  std::string longline(200000, 'v');
  {
    std::ofstream out(name, std::ios::binary);
    out << longline << "\nnext\n";
  }
  Ttextfile file;
  ASSERT_EQ(file.OPEN(name.c_str()), 0);
  std::string line;
  ASSERT_TRUE(file.READ_LINE(line));
  EXPECT_EQ(line.size(), longline.size());
  ASSERT_TRUE(file.READ_LINE(line));
  EXPECT_EQ(line, "next");
  std::remove(name.c_str());
}

// A fresh empty folder, made the working folder for the test's life.
class Tin_empty_folder {
 public:
  Tin_empty_folder() {
    std::string pattern = testing::TempDir() + "vorpane_data_XXXXXX";
    char* made = mkdtemp(&pattern[0]);
    char* real = made ? realpath(made, nullptr) : nullptr;
    if (real) folder = real;
    free(real);
    char here[PATH_MAX];
    if (getcwd(here, sizeof here)) previous_ = here;
    if (folder.empty() || chdir(folder.c_str()) != 0) ADD_FAILURE() << "no empty working folder";
  }
  ~Tin_empty_folder() {
    if (!previous_.empty() && chdir(previous_.c_str()) != 0) ADD_FAILURE() << "cannot return to " << previous_;
    std::remove((folder + "/parts.png").c_str());
    rmdir(folder.c_str());
  }
  std::string folder;

 private:
  std::string previous_;
};

std::string real_folder(const char* path) {
  char* real = realpath(path, nullptr);
  const std::string folder = real ? real : "";
  free(real);
  return folder;
}

TEST(DataPath, TheWorkingFolderFirstThenTheOneBesideTheProgram) {
  const std::vector<std::string> installed = {"/w", "/opt/v/share/vorpane"};
  EXPECT_EQ(DATA_FOLDERS("/w", "/opt/v/bin"), installed);
  EXPECT_EQ(DATA_FOLDERS("/w", "/opt/v/bin/"), installed);
  EXPECT_EQ(DATA_FOLDERS("/w", "/bin")[1], "/share/vorpane");
  EXPECT_EQ(DATA_FOLDERS("/w", ""), std::vector<std::string>{"/w"});
  // The build tree's programs read its assets, and only they do.
  const std::string built = real_folder(VORPANE_BIN_DIR);
  const std::vector<std::string> tree = {"/w", std::string(VORPANE_SOURCE_DIR) + "/assets"};
  EXPECT_EQ(DATA_FOLDERS("/w", built), tree);
  EXPECT_EQ(DATA_FOLDERS("/w", built + "/sub")[1], built + "/share/vorpane");
}

TEST(DataPath, FoundHereByItsBareNameElseBesideTheProgramAndEveryPlaceNamed) {
  Tin_empty_folder here;
  std::vector<std::string> tried;
  const std::string assets = std::string(VORPANE_SOURCE_DIR) + "/assets";
  EXPECT_EQ(DATA_FILE_FIND("parts.png", tried), assets + "/parts.png");  // this test runs from the build tree
  EXPECT_EQ(tried, (std::vector<std::string>{here.folder, assets}));
  EXPECT_EQ(DATA_FILE_FIND("missing.png", tried), "missing.png");
  EXPECT_EQ(DATA_PLACES(tried), here.folder + " or " + assets);

  std::ofstream(here.folder + "/parts.png") << "not even a PNG: found, not judged";
  EXPECT_EQ(DATA_FILE_FIND("parts.png", tried), "parts.png");
  EXPECT_EQ(tried, std::vector<std::string>{here.folder});
}

TEST(DataPath, APathIsUsedAsGivenAndNamesItsFolder) {
  Tin_empty_folder here;
  std::vector<std::string> tried;
  EXPECT_EQ(DATA_FILE_FIND("./parts.png", tried), "./parts.png");
  EXPECT_EQ(tried, std::vector<std::string>{here.folder});
  EXPECT_EQ(DATA_FILE_FIND("/a/./b/../c/parts.png", tried), "/a/./b/../c/parts.png");
  EXPECT_EQ(tried, std::vector<std::string>{"/a/c"});
  EXPECT_EQ(DATA_FILE_FIND("/parts.png", tried), "/parts.png");
  EXPECT_EQ(tried, std::vector<std::string>{"/"});
}

TEST(DataPath, PlacesReadAsAList) {
  EXPECT_EQ(DATA_PLACES({}), "");
  EXPECT_EQ(DATA_PLACES({"/a"}), "/a");
  EXPECT_EQ(DATA_PLACES({"/a", "/b"}), "/a or /b");
  EXPECT_EQ(DATA_PLACES({"/a", "/b", "/c"}), "/a, /b or /c");
}

}  // namespace
