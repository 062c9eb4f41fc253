#include <gtest/gtest.h>

#include "app/build_info.h"

namespace tq::app {
namespace {

TEST(VersionText, InsertsPointsAndDropsATrailingZero) {
  EXPECT_EQ(VersionText(270), "2.7");
  EXPECT_EQ(VersionText(271), "2.7.1");
  EXPECT_EQ(VersionText(300), "3.0");
  EXPECT_EQ(VersionText(305), "3.0.5");
  EXPECT_EQ(TitleWithVersion(), "Vellumark PCX to BMP 2.7");
}

}  // namespace
}  // namespace tq::app
