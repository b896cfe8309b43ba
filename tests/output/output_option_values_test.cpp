// SPDX-License-Identifier: GPL-3.0-or-later
#include "output/output_option_values.h"

#include <gtest/gtest.h>

using namespace output;

TEST(OutputOptionValues, TypedNumbersAreReadAsTheirLeadingDigits) {
    EXPECT_EQ(leadingInteger("  42px"), 42);
    EXPECT_EQ(leadingInteger("-50"), -50);
    EXPECT_EQ(leadingInteger("+7"), 7);
    EXPECT_EQ(leadingInteger("abc"), 0);
    EXPECT_EQ(leadingInteger(""), 0);
    EXPECT_EQ(leadingInteger("99999999999999999999"), 2147483647) << "kept within 32 bits";
    EXPECT_EQ(leadingInteger("-99999999999999999999"), -2147483647 - 1);

    EXPECT_DOUBLE_EQ(leadingDecimal("29.97"), 29.97);
    EXPECT_DOUBLE_EQ(leadingDecimal(" 25fps"), 25.0);
    EXPECT_DOUBLE_EQ(leadingDecimal(".5"), 0.5);
    EXPECT_DOUBLE_EQ(leadingDecimal("1e1"), 10.0);
    EXPECT_DOUBLE_EQ(leadingDecimal("2e"), 2.0);
    EXPECT_DOUBLE_EQ(leadingDecimal("0,5"), 0.0) << "the decimal point is a point in every locale";
    EXPECT_DOUBLE_EQ(leadingDecimal("-3"), -3.0);
    EXPECT_DOUBLE_EQ(leadingDecimal("x"), 0.0);
    EXPECT_DOUBLE_EQ(leadingDecimal("."), 0.0);
    EXPECT_DOUBLE_EQ(leadingDecimal("inf"), 0.0);
    EXPECT_DOUBLE_EQ(leadingDecimal("1e999"), 0.0);
}

TEST(OutputOptionValues, FrameSidesAreMultiplesOfEightAndAtLeastSixteen) {
    EXPECT_EQ(frameSide("1001"), 1000);
    EXPECT_EQ(frameSide("33"), 32);
    EXPECT_EQ(frameSide("15"), 16);
    EXPECT_EQ(frameSide("16"), 16);
    EXPECT_EQ(frameSide("-50"), 16);
    EXPECT_EQ(frameSide("wide"), 16);
    EXPECT_EQ(videoBitrateFromKbps("780"), 798720);
    EXPECT_EQ(videoBitrateFromKbps("9999999"), 2147483647) << "no overflow into a negative rate";
}

TEST(OutputOptionValues, ListRowsFollowExactValues) {
    EXPECT_EQ(frameSizeRow(800, 600), 0);
    EXPECT_EQ(frameSizeRow(352, 240), 7);
    EXPECT_EQ(frameSizeRow(1024, 768), kCustomSizeRow);
    EXPECT_EQ(frameSizeRow(600, 800), kCustomSizeRow);
    EXPECT_EQ(audioBitrateRow(320000), 3);
    EXPECT_EQ(audioBitrateRow(96000), -1);
}
