#include "cli/PageRange.h"

#include <gtest/gtest.h>

TEST(PageRange, ReadsLikeTheDesktopCustomRange) {
    using V = std::vector<int64_t>;
    const struct {
        const char* text;
        V pages;
    } cases[] = {
        {"1-3,5", {1, 2, 3, 5}}, {"5-3", {5, 4, 3}},         {"3-", {3, 2, 1}},
        {"-3", {1, 2, 3}},       {"2-2", {2}},               {"8-12", {8, 9, 10}},
        {"0", {}},               {"11", {}},                 {"abc", {}},
        {"1-2-3", {}},           {" 4", {4}},                {"5 - 7", {5, 6, 7}},
        {"1,,2", {1, 2}},        {"3,1,3", {3, 1, 3}},       {"All Pages", V{1, 2, 3, 4, 5, 6, 7, 8, 9, 10}},
        {"", {1}},               {"1-99999999999", {1, 2, 3, 4, 5, 6, 7, 8, 9, 10}},
        {"99999999999999999999999", {}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(pagesFromRangeText(c.text, 10), c.pages) << c.text;
    EXPECT_EQ(pagesFromRangeText("", 0), V{});
    EXPECT_EQ(allPages(3), (V{1, 2, 3}));
}
