// scene_fixture.h - a test with the show's scene freshly built, from the
// random source's fixed initial state like every build.
#pragma once

#include <gtest/gtest.h>  // the fixture

#include "scene/scene.h"  // the show

class Tscene_test : public testing::Test {
 protected:
  void SetUp() override { BUILD_SCENE(scene); }
  Tscene scene;  // destroys its emitters itself
};
