#include "app/QVPageRange.h"

#include <gtest/gtest.h>

using Pages = std::vector<int64_t>;

TEST(QVPageRange, ReadsRangeTextsOnATenPageDocument) {
    const struct {
        const char* text;
        Pages pages;
    } cases[] = {
        {"1-3,5", {1, 2, 3, 5}},
        {"5-3", {5, 4, 3}},
        // An open end runs to the last page (not back down to 1).
        {"3-", {3, 4, 5, 6, 7, 8, 9, 10}},
        {"-3", {1, 2, 3}},
        {"2-2", {2}},
        {"8-12", {8, 9, 10}},
        {"0", {}},
        {"11", {}},
        {"abc", {}},
        {"1-2-3", {}},
        {" 4", {4}},
        {"5 - 7", {5, 6, 7}},
        {"1,,2", {1, 2}},
        {"3,1,3", {3, 1, 3}},
        {"ALL pages", {1, 2, 3, 4, 5, 6, 7, 8, 9, 10}},
        {"all", {1, 2, 3, 4, 5, 6, 7, 8, 9, 10}},
        {"", {1}},
        {"12-", {}},
        {"1-99999999999", {1, 2, 3, 4, 5, 6, 7, 8, 9, 10}},
        {"99999999999999999999999", {}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(QVPageRange::pagesFromText(c.text, 10), c.pages) << c.text;
    EXPECT_EQ(QVPageRange::pagesFromText("", 0), Pages{});
    EXPECT_EQ(QVPageRange::pagesFromText("2-", 0), Pages{});
}

TEST(QVPageRange, SyntaxCheckAndPagesOutsideTheDocument) {
    for (const char* good : {"1-3,5", "3-", "-3", " 5 - 7 ", "1,,2", "All Pages", "all", "", "0"})
        EXPECT_FALSE(QVPageRange::syntaxProblem(good)) << good;
    for (const char* bad : {"abc", "1-2-3", "-", "1;2", "3a", "1.5", "--3"}) {
        auto problem = QVPageRange::syntaxProblem(bad);
        ASSERT_TRUE(problem) << bad;
        EXPECT_NE(problem->find("is not a page number or range"), std::string::npos) << *problem;
    }
    const struct {
        const char* text;
        std::vector<std::string> outside;
    } cases[] = {
        {"1-3,5", {"5"}},
        {"1-3", {}},
        {"3-", {}},
        {"6-", {"6"}},
        {"2-9", {"5-9"}},
        {"9-2", {"5-9"}},
        {"0,4", {"0"}},
        {"0-2", {"0"}},
        {"2-0", {"0"}},
        {"0-9", {"0", "5-9"}},
        {"0", {"0"}},
        {"-3", {}},
        {"1-99999999999", {"5-99999999999"}},
        {"all pages", {}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(QVPageRange::pagesOutside(c.text, 4), c.outside) << c.text;
}
