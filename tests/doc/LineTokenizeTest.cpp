#include "LineList.h"
#include "LineTokenize.h"

#include <gtest/gtest.h>

TEST(LineTokenize, SplitsOnBlanksAndTabs) {
    LineList fields;
    LineTokenize(QStringLiteral(" \tSAMPLE_ID\tLAB_L  LAB_A "), fields);
    EXPECT_EQ(fields.lines(), QStringList({"SAMPLE_ID", "LAB_L", "LAB_A"}));
}
