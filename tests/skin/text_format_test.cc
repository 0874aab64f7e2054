#include "skin/text_format.h"

#include <gtest/gtest.h>

namespace rq700 {
namespace {

TEST(ValueTextTest, NumbersAreDecimal) {
  EXPECT_EQ(FormatNumber(0), "0");
  EXPECT_EQ(FormatNumber(100), "100");
  EXPECT_EQ(FormatNumber(-7), "-7");
}

TEST(ValueTextTest, DbLevelsAreOffsetByTwelveAndSigned) {
  EXPECT_EQ(FormatDbLevel(12), "0dB");
  EXPECT_EQ(FormatDbLevel(15), "+3dB");
  EXPECT_EQ(FormatDbLevel(13), "+1dB");
  EXPECT_EQ(FormatDbLevel(11), "-1dB");
  EXPECT_EQ(FormatDbLevel(0), "-12dB");
  EXPECT_EQ(FormatDbLevel(24), "+12dB");
}

TEST(ValueTextTest, TenthsKeepTheSignOfSmallNegatives) {
  EXPECT_EQ(FormatTenths(135, false), "1.5");
  EXPECT_EQ(FormatTenths(100, false), "-2.0");
  EXPECT_EQ(FormatTenths(115, false), "-0.5");
  EXPECT_EQ(FormatTenths(120, false), "0.0");
  EXPECT_EQ(FormatTenths(121, false), "0.1");
  EXPECT_EQ(FormatTenths(0, false), "-12.0");
  EXPECT_EQ(FormatTenths(5, false), "-11.5");
}

TEST(ValueTextTest, WideRangeTenthsAreOffsetByTwoHundred) {
  EXPECT_EQ(FormatTenths(200, true), "0.0");
  EXPECT_EQ(FormatTenths(195, true), "-0.5");
  EXPECT_EQ(FormatTenths(400, true), "20.0");
  EXPECT_EQ(FormatTenths(0, true), "-20.0");
  EXPECT_EQ(FormatTenths(199, true), "-0.1");
}

}  // namespace
}  // namespace rq700
