#include "Error.h"
#include "LineList.h"

#include <gtest/gtest.h>

TEST(LineList, LoadsCrLfLinesWithoutEmptyLastLine) {
    LineList list;
    list.LoadFromBytes(QByteArray("A\r\nB\r\n"));
    ASSERT_EQ(list.Count(), 2);
    EXPECT_EQ(list.Get(0), "A");
    EXPECT_EQ(list.Get(1), "B");
}
