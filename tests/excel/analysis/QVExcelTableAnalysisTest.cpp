// The table analysis on hand-placed runs: merging, grouping, row and column
// numbers, the column correction and spans.
#include "excel/QVExcelManager.h"
#include "excel/analysis/QVExcelSortUtilities.h"
#include "excel/sheet/QVExcelPage.h"
#include "fixtures/PdfBuilder.h"

#include <gtest/gtest.h>

#include <map>
#include <set>

namespace {

struct Box {
    double left, right, top, base, bottom;
};

std::shared_ptr<QVExcelRunText> run(const std::string& text, Box b, uint32_t color = 0) {
    auto r = std::make_shared<QVExcelRunText>();
    r->setText(std::u16string(text.begin(), text.end()));
    QVPDF_CTMInfo g;
    g.xLeft = b.left;
    g.xRight = b.right;
    g.yTop = b.top;
    g.yAscent = b.top;
    g.yBase = b.base;
    g.yDescent = b.bottom;
    g.yBottom = b.bottom;
    r->setCtmInfo(g);
    r->setTextWidth(b.right - b.left);
    r->rPr().setRgbColor(color);
    return r;
}

struct Cell {
    uint64_t row, column, rowLength, columnLength;
    bool operator==(const Cell&) const = default;
};

std::ostream& operator<<(std::ostream& os, const Cell& c) {
    return os << "r" << c.row << " c" << c.column << " +" << c.rowLength << "/+" << c.columnLength;
}

class TableAnalysis : public ::testing::Test {
protected:
    void SetUp() override {
        QVExcelManager::sharedInstance(); // a fresh document state per test
    }
    void TearDown() override { QVExcelManager::destory(); }

    // Analyses the runs on a fresh page; the result by text.
    std::map<std::string, Cell> analyse(std::vector<std::shared_ptr<QVExcelRunText>> runs) {
        QVExcelPage page(1, fixtures::makeTestFolder("typeset") + "/csv");
        for (auto& r : runs)
            page.allRunTextArray().push_back(r);
        page.typesetRunTexts();
        std::map<std::string, Cell> out;
        for (const auto& r : page.allRunTextArray())
            out[std::string(r->text().begin(), r->text().end())] = {
                r->rowIndex(), r->columnIndex(), r->rowLength(), r->columnLength()};
        return out;
    }
};

TEST_F(TableAnalysis, PiecesOnOneBaselineJoinOnlyWhenTheyTouch) {
    // Joined pieces a point or more apart are words and keep a space.
    const struct {
        const char* name;
        double secondLeft, secondBase;
        uint32_t secondColor;
        const char* joined; // nullptr: stays two runs
        const char* first = "Hello";
        const char* second = "World";
    } cases[] = {
        {"1.5 after", 101.5, 60, 0, "Hello World"},
        {"0.9 after", 100.9, 60, 0, "HelloWorld"},
        {"2.0 after", 102.0, 60, 0, nullptr},
        {"other colour", 101.5, 60, 0xff0000, nullptr},
        {"baseline 1.0 higher", 101.5, 59, 0, nullptr},
        {"overlapping by 1.5", 98.5, 60, 0, "HelloWorld"},
        {"after a comma", 101.5, 60, 0, "Hello, (World", "Hello,", "(World"},
        {"a number's pieces", 101.5, 60, 0, "1,234", "1,", "234"},
        {"a year after a name", 101.5, 60, 0, "Tepas, 1993)", "Tepas,", "1993)"},
        {"a lone separator", 101.5, 60, 0, ",234", ",", "234"},
        {"a closing bracket", 101.5, 60, 0, "(1,234)", "(1,234", ")"},
    };
    for (const auto& c : cases) {
        auto result = analyse({run(c.first, {50, 100, 50, 60, 63}),
                               run(c.second, {c.secondLeft, c.secondLeft + 40, 50, c.secondBase,
                                              c.secondBase + 3},
                                   c.secondColor)});
        if (c.joined) {
            ASSERT_EQ(result.size(), 1u) << c.name;
            EXPECT_EQ(result.begin()->first, c.joined) << c.name;
        } else {
            EXPECT_EQ(result.size(), 2u) << c.name;
        }
    }
    // Words of scripts written without spaces join without one.
    auto east = run("", {50, 100, 50, 60, 63}), capital = run("", {101.5, 141.5, 50, 60, 63});
    east->setText(u"\u6771\u4eac");
    capital->setText(u"\u90fd");
    auto cjk = analyse({east, capital});
    const std::u16string joined = u"\u6771\u4eac\u90fd";
    ASSERT_EQ(cjk.size(), 1u);
    EXPECT_EQ(cjk.begin()->first, std::string(joined.begin(), joined.end()));
}

TEST_F(TableAnalysis, ANumberInTextWithoutWordSpacesJoinsAcrossItsQuarterEmGap) {
    // 9 pt pieces; word processors space digits off ideographs by about a
    // quarter em without a blank.
    auto piece = [](const std::u16string& text, double left, double width) {
        auto r = run("", {left, left + width, 50, 60, 63});
        r->setText(text);
        r->rPr().setSz(9);
        return r;
    };
    const struct {
        const char* name;
        std::u16string left, right;
        double gap;
        std::u16string joined; // empty: stays two runs
    } cases[] = {
        {"ideograph then number", u"及前", u"10", 2.3, u"及前10"},
        {"number then ideograph", u"10", u"名股", 2.5, u"10名股"},
        {"kana then number", u"あ", u"2018", 2.3, u"あ2018"},
        {"a third of an em", u"前", u"10", 3.5, u"前10"},
        {"half an em apart", u"前", u"10", 4.5, u""},
        {"Latin word then number", u"Page", u"10", 2.3, u""},
        {"ideograph then Latin word", u"前", u"Page", 2.3, u""},
        {"ideograph then a blank-ended number", u"前", u" 10", 2.3, u""},
        {"overlapping number", u"前", u"10", -1.0, u"前10"},
    };
    for (const auto& c : cases) {
        auto result = analyse({piece(c.left, 50, 18), piece(c.right, 68 + c.gap, 10)});
        if (c.joined.empty()) {
            EXPECT_EQ(result.size(), 2u) << c.name;
        } else {
            ASSERT_EQ(result.size(), 1u) << c.name;
            EXPECT_EQ(result.begin()->first, std::string(c.joined.begin(), c.joined.end()))
                << c.name;
        }
    }
}

TEST_F(TableAnalysis, JoinedRunSumsWidthAndTakesLastRightEdge) {
    auto a = run("ab", {50, 100, 50, 60, 63});
    auto b = run("cd", {101, 120, 50, 60, 63});
    QVExcelPage page(1, fixtures::makeTestFolder("typeset-join") + "/csv");
    page.allRunTextArray() = {a, b};
    page.typesetRunTexts();
    ASSERT_EQ(page.allRunTextArray().size(), 1u);
    EXPECT_EQ(a->textWidth(), 69);
    EXPECT_EQ(a->ctmInfo().xRight, 120);
}

TEST_F(TableAnalysis, TwoLineCellBesideAOneLineCell) {
    for (uint64_t option : {1u, 0u}) { // 0: wrapped text, lines join with a space, no break
        QVExcelManager::destory();
        auto options = std::make_shared<QVExcelOptions>();
        options->setExcelFormatOption(option);
        QVExcelManager::sharedInstance()->setOptions(options);
        auto result = analyse({run("first", {50, 120, 50, 60, 63}),
                               run("second", {50, 110, 64, 74, 77}),
                               run("beside", {200, 260, 55, 70, 73})});
        std::string joined = option == 0 ? "first second" : "first\nsecond";
        ASSERT_EQ(result.size(), 2u) << option;
        EXPECT_EQ(result[joined], (Cell{1, 1, 0, 0})) << option;
        EXPECT_EQ(result["beside"], (Cell{1, 2, 0, 0})) << option;
    }
    // Alone, the two lines are two rows.
    auto alone = analyse({run("first", {50, 120, 50, 60, 63}), run("second", {50, 110, 64, 74, 77})});
    EXPECT_EQ(alone["first"], (Cell{1, 1, 0, 0}));
    EXPECT_EQ(alone["second"], (Cell{2, 1, 0, 0}));
}

TEST_F(TableAnalysis, TableRowsBesideATextColumnKeepTheirCells) {
    // 10-point lines 12 points apart, as a table prints: each line's top
    // touches the bottom of the line above, as the lines of one cell do.
    // Text beside the table at another leading chains the rows into one row
    // group; that must neither stack a column's lines into one cell nor move
    // a value up into the row of an empty cell above it.
    auto line = [](const std::string& text, double left, double right, int k) {
        return run(text, {left, right, 82.0 + 12 * k, 92.0 + 12 * k, 94.07 + 12 * k});
    };
    // The lines beside stack into one cell, or (in two colours) stay lines.
    auto beside = [](bool oneCell) {
        std::vector<std::shared_ptr<QVExcelRunText>> side;
        for (int j = 0; j < 4; ++j)
            side.push_back(run("body " + std::to_string(j),
                               {300, 466, 76.0 + 13 * j, 86.0 + 13 * j, 88.07 + 13 * j},
                               oneCell || j % 2 == 0 ? 0 : 0x333333));
        return side;
    };
    const auto side = beside(true);

    const std::vector<std::vector<std::string>> table = {
        {"Country", "2014", "2015"}, {"Spain", "100", "200"}, {"France", "(40)", "19.6%"},
        {"Italy", "855", "12"}};
    std::vector<std::shared_ptr<QVExcelRunText>> runs;
    std::map<std::string, Cell> r;
    for (const auto& [empty, oneCell] : std::vector<std::pair<std::string, bool>>{
             {"", true}, {"(40)", true}, {"100", true}, {"(40)", false}, {"100", false}}) {
        runs = beside(oneCell);
        for (int k = 0; k < 4; ++k)
            for (int c = 0; c < 3; ++c)
                if (table[k][c] != empty)
                    runs.push_back(line(table[k][c], 50 + 100 * c, 80 + 100 * c, k));
        r = analyse(runs);
        for (int k = 0; k < 4; ++k)
            for (int c = 0; c < 3; ++c) {
                if (table[k][c] == empty)
                    continue;
                const Cell& at = r[table[k][c]];
                EXPECT_EQ(std::make_pair(at.row, at.column),
                          std::make_pair(uint64_t(k + 1), uint64_t(c + 1)))
                    << table[k][c] << " without " << empty << (oneCell ? "" : ", lines beside");
            }
    }

    // A label wrapped over two lines beside a number on its last line stays
    // one cell, and so do two lines of text beside two lines of text.
    runs = side;
    for (const char* text : {"United", "Kingdom"})
        runs.push_back(line(text, 50, 80, text[0] == 'U' ? 1 : 2));
    runs.push_back(line("300", 150, 180, 2));
    runs.push_back(line("Notes", 250, 280, 1));
    runs.push_back(line("more", 250, 280, 2));
    r = analyse(runs);
    EXPECT_EQ(r["United Kingdom"].column, 1u);
    EXPECT_EQ(r["Notes more"].column, 3u);

    // Two numbers one above the other never stack, even with nothing beside.
    r = analyse({line("200", 50, 80, 0), line("100", 50, 80, 1),
                 run("beside", {200, 260, 84, 96, 98})});
    EXPECT_EQ(r["200"].row, 1u);
    EXPECT_EQ(r["100"].row, 2u);
    EXPECT_EQ(r["beside"].row, 1u);
}

TEST_F(TableAnalysis, HeadingBetweenOrOverTwoValueColumns) {
    auto values = [] {
        return std::vector<std::shared_ptr<QVExcelRunText>>{
            run("L1", {60, 90, 80, 90, 93}),    run("L2", {60, 75, 100, 110, 113}),
            run("R1", {210, 240, 80, 90, 93}), run("R2", {210, 225, 100, 110, 113})};
    };
    auto between = values();
    between.push_back(run("Heading", {100, 200, 50, 60, 63}));
    auto r1 = analyse(between);
    EXPECT_EQ(r1["Heading"], (Cell{1, 2, 0, 0}));
    EXPECT_EQ(r1["L1"], (Cell{2, 1, 0, 0}));
    EXPECT_EQ(r1["L2"], (Cell{3, 1, 0, 0}));
    EXPECT_EQ(r1["R1"], (Cell{2, 3, 0, 0}));
    EXPECT_EQ(r1["R2"], (Cell{3, 3, 0, 0}));

    auto over = values();
    over.push_back(run("Heading", {70, 230, 50, 60, 63}));
    auto r2 = analyse(over);
    EXPECT_EQ(r2["Heading"], (Cell{1, 1, 0, 1}));
    EXPECT_EQ(r2["L1"], (Cell{2, 1, 0, 0}));
    EXPECT_EQ(r2["R2"], (Cell{3, 2, 0, 0}));
}

TEST_F(TableAnalysis, FarApartRunsAndALineBelowTheSecond) {
    auto r = analyse({run("a", {50, 100, 50, 60, 63}), run("b", {300, 350, 50, 60, 63}),
                      run("c", {300, 340, 70, 80, 83})});
    EXPECT_EQ(r["a"], (Cell{1, 1, 0, 0}));
    EXPECT_EQ(r["b"], (Cell{1, 2, 0, 0}));
    EXPECT_EQ(r["c"], (Cell{2, 2, 0, 0}));
}

TEST_F(TableAnalysis, SuperscriptTouchingItsWordTakesTheRowAbove) {
    auto r = analyse({run("word", {50, 100, 50, 60, 63}), run("2", {100, 105, 46, 54, 56})});
    ASSERT_EQ(r.size(), 2u);
    EXPECT_EQ(r["2"].row + 1, r["word"].row);
}

TEST_F(TableAnalysis, ColumnCorrectionMovesARunReachingOverTheNextColumn) {
    for (bool wide : {true, false}) {
        auto r = analyse({run("A", {50, 100, 50, 60, 63}), run("C", {210, 260, 50, 60, 63}),
                          run("B", {80, 300, 70, 80, 83}),
                          run("R", {120, wide ? 320.0 : 200.0, 90, 100, 103})});
        EXPECT_EQ(r["A"].column, 1u);
        EXPECT_EQ(r["B"].column, 1u);
        EXPECT_EQ(r["C"].column, 2u);
        EXPECT_EQ(r["R"].column, wide ? 2u : 1u) << wide;
        EXPECT_EQ(r["A"].row, 1u);
        EXPECT_EQ(r["B"].row, 2u);
        EXPECT_EQ(r["R"].row, 3u);
        EXPECT_EQ(r["B"].columnLength, 1u);
    }
}

TEST_F(TableAnalysis, ColumnCorrectionNeverPutsTwoRunsOfOneRowInOneCell) {
    // R reaches over the start of C's column, as in the test above, but its
    // own line already holds S in that column: moving R would make "RS" one
    // cell. Where S moves on itself (over the start of T's column), R may
    // follow it.
    struct Case {
        const char* name;
        double lineRight; // B's right edge: B holds all columns in one group
        Box s;
        uint64_t rColumn, sColumn;
    };
    const Case cases[] = {
        {"neighbour stays", 300, {280, 300, 90, 100, 103}, 1, 2},
        {"neighbour moves on", 400, {300, 400, 90, 100, 103}, 2, 3},
    };
    for (const Case& c : cases) {
        auto r = analyse({run("A", {50, 100, 50, 60, 63}), run("C", {210, 260, 50, 60, 63}),
                          run("T", {330, 380, 50, 60, 63}), run("B", {80, c.lineRight, 70, 80, 83}),
                          run("R", {150, 275, 90, 100, 103}), run("S", c.s)});
        ASSERT_EQ(r.size(), 6u) << c.name;
        EXPECT_EQ(r["R"].column, c.rColumn) << c.name;
        EXPECT_EQ(r["S"].column, c.sColumn) << c.name;
        EXPECT_EQ(r["R"].row, 3u) << c.name;
        EXPECT_EQ(r["S"].row, 3u) << c.name;
    }
}

TEST_F(TableAnalysis, ColumnCorrectionEndsWhereLeftOrderAndNumbersDisagree) {
    // A run whose box reaches leftwards (its right edge before its left, as a
    // mirrored text matrix gives) overlaps both of its neighbours: the groups'
    // left-to-right order then disagrees with their numbers, and moving a run
    // "one column right" never reached the next group; it walked on by one
    // column per sweep until the work limit, to column 500 and beyond.
    auto reversed = run("reversed", {547.5, -236.5, 162.8, 170, 172});
    reversed->setTextWidth(784);
    auto r = analyse({run("a", {547.5, 555.5, 163.3, 170, 172}), reversed,
                      run("b", {568, 573, 160.8, 170, 172.6})});
    for (const auto& [text, cell] : r) {
        EXPECT_EQ(cell.row, 1u) << text;
        EXPECT_LE(cell.column, 3u) << text;
    }
    EXPECT_EQ(r["a"].column, 2u);
    EXPECT_EQ(r["b"].column, 3u);
}

TEST_F(TableAnalysis, RowSpanStopsAtATakenCell) {
    // "tall" reaches below the top of the next row.
    auto free = analyse({run("tall", {50, 100, 50, 60, 85}), run("x", {200, 250, 50, 60, 63}),
                         run("y", {200, 250, 80, 90, 93})});
    EXPECT_EQ(free["tall"].rowLength, 1u);
    auto blocked = analyse({run("tall", {50, 100, 50, 60, 85}), run("x", {200, 250, 50, 60, 63}),
                            run("y", {200, 250, 80, 90, 93}), run("z", {50, 90, 86, 96, 99})});
    EXPECT_EQ(blocked["tall"].rowLength, 0u);
}

TEST_F(TableAnalysis, EmptyPageAndEveryRunNumbered) {
    EXPECT_TRUE(analyse({}).empty());
    // A scattered page: rows from 1 without gaps, every run placed.
    std::vector<std::shared_ptr<QVExcelRunText>> runs;
    for (int i = 0; i < 40; ++i) {
        double x = 40 + (i * 37) % 400, y = 50 + (i * 53) % 600;
        runs.push_back(run("t" + std::to_string(i), {x, x + 20 + i % 7, y, y + 10, y + 13}));
    }
    auto r = analyse(runs);
    std::set<uint64_t> rows;
    for (const auto& [text, cell] : r) {
        EXPECT_GE(cell.row, 1u) << text;
        EXPECT_GE(cell.column, 1u) << text;
        rows.insert(cell.row);
    }
    EXPECT_EQ(*rows.begin(), 1u);
    EXPECT_EQ(*rows.rbegin(), rows.size());
}

} // namespace
