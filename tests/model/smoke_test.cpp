#include <gtest/gtest.h>
#include "model/Panel.h"
TEST(Smoke, Builds) { CPanel p; EXPECT_EQ(p.FindFuki(1), -1); }
