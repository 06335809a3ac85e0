// objinfo_test.cpp - vorpane-objinfo, run as a separate process: what it
// prints for a model, and its exit status for bad options and bad files.
#include <gtest/gtest.h>  // the runner

#include <sys/wait.h>  // WEXITSTATUS of the tool

#include <cstdio>   // popen
#include <cstdlib>  // system
#include <string>   // commands and output

#include "platform/runtime_error.h"  // VP_ERR_NULL_POINTER, the loader's report
#include "support/obj_text.h"        // model files

TEST(ModelTool, PrintsTheTriangle) {
  const std::string path = write_obj("tool", k_obj_triangle);
  const std::string command =
      std::string(VORPANE_BIN_DIR) + "/vorpane-objinfo " + path + " --dump --scale 2 --translate 0.1,0,0";
  FILE* pipe = popen(command.c_str(), "r");
  ASSERT_NE(pipe, nullptr);
  std::string output;
  char buffer[256];
  while (std::fgets(buffer, sizeof buffer, pipe)) output += buffer;
  const int status = pclose(pipe);
  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), 0);
  EXPECT_EQ(output,
            "vertices 3\nfaces 1\nmaterials 1\nmaterial 0 number 4 faces 0-0\n"
            "bounds 0.1 0 0 2.1 2 1\n"
            "vertex 0 0.1 0 0\nvertex 1 2.1 0 0\nvertex 2 2.1 2 1\n"
            "face 0 v 0 1 2 uv 1 1 1 0 0 0\n");
}

TEST(ModelTool, BadOptionsAndBadFiles) {
  const std::string tool = std::string(VORPANE_BIN_DIR) + "/vorpane-objinfo ";
  const std::string path = write_obj("tool_options", k_obj_triangle);
  for (const std::string& arguments :
       {std::string(""), path + " --scale", path + " --scale 1,2", path + " --translate 1,2",
        path + " --bogus", path + " " + path}) {
    const int status = std::system((tool + arguments + " >/dev/null 2>&1").c_str());
    ASSERT_TRUE(WIFEXITED(status)) << arguments;
    EXPECT_EQ(WEXITSTATUS(status), 2) << arguments;
  }
  const std::string bad = write_obj("tool_bad", "v 1 1 1\n");
  const int status = std::system((tool + bad + " >/dev/null 2>&1").c_str());
  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), VP_ERR_NULL_POINTER);
}
