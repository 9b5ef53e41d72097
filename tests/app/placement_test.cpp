#include "app/placement.h"

#include <gtest/gtest.h>

using kk::WorkAreaFor;

TEST(WorkArea, FollowsTheTaskbarEdgeAndLetsTheFrameLieOffScreen) {
    const int b = 4;
    auto none = WorkAreaFor(1024, 768, b, nullptr);
    EXPECT_EQ(none.left, -4);
    EXPECT_EQ(none.top, -4);
    EXPECT_EQ(none.right, 1032);
    EXPECT_EQ(none.bottom, 776);

    RECT bottom{0, 738, 1024, 768};
    EXPECT_EQ(WorkAreaFor(1024, 768, b, &bottom).bottom, 742);
    RECT left{0, 0, 60, 768};
    auto l = WorkAreaFor(1024, 768, b, &left);
    EXPECT_EQ(l.left, 56);
    EXPECT_EQ(l.right, 1032);
    RECT right{964, 0, 1024, 768};
    EXPECT_EQ(WorkAreaFor(1024, 768, b, &right).right, 968);
    RECT top{0, 0, 1024, 30};
    EXPECT_EQ(WorkAreaFor(1024, 768, b, &top).top, 26);
    // An edge exactly at the middle matches nothing.
    RECT middle{512, 384, 512, 384};
    auto m = WorkAreaFor(1024, 768, b, &middle);
    EXPECT_EQ(m.left, -4);
    EXPECT_EQ(m.top, -4);
    EXPECT_EQ(m.right, 1032);
    EXPECT_EQ(m.bottom, 776);
}
