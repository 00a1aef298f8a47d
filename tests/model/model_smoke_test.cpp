#include <gtest/gtest.h>

#include "model/model.h"

TEST(Model, StartsEmpty) {
  pelt::Model model;
  EXPECT_EQ(model.currentSkin(), nullptr);
  EXPECT_EQ(model.currentFrame(), nullptr);
}
