// The spans of the table analysis are counted at once from the ordered row
// tops and column lefts and the next start along the line; checked against
// the position-by-position reading of the rule (grow while the box passes
// the next row's top or column's left and the cell after the span is free)
// on seeded random pages of overlapping, tall and wide boxes.
#include "excel/QVExcelManager.h"
#include "excel/analysis/QVExcelSortUtilities.h"
#include "excel/sheet/QVExcelPage.h"
#include "fixtures/PdfBuilder.h"

#include <gtest/gtest.h>

#include <random>
#include <set>

namespace {

using U = QVExcelSortUtilities;
using RunList = U::RunList;

// The rule read literally, on the numbers the analysis gave.
std::vector<std::pair<uint64_t, uint64_t>> referenceSpans(const RunList& runs) {
    std::vector<float> tops, lefts;
    for (const RunList& g : U::groupByRowIndex(U::SortRunTextsByY(U::SortRunTextsByX(runs))))
        tops.push_back(static_cast<float>(U::GetMinxTopInRunTexts(g)));
    for (const RunList& g : U::groupByColumnIndex(U::SortRunTextsByX(U::SortRunTextsByY(runs))))
        lefts.push_back(static_cast<float>(U::GetMinxLeftInRunTexts(g)));
    std::set<std::pair<uint64_t, uint64_t>> starts;
    for (const auto& r : runs)
        starts.emplace(r->rowIndex(), r->columnIndex());
    std::vector<std::pair<uint64_t, uint64_t>> out;
    for (const auto& r : runs) {
        uint64_t rows = 0, columns = 0;
        for (uint64_t k = r->rowIndex(); k < tops.size(); ++k) {
            if (!(r->ctmInfo().yBottom > static_cast<double>(tops[k])))
                break;
            if (!starts.count({r->rowIndex() + rows + 1, r->columnIndex()}))
                ++rows;
        }
        for (uint64_t k = r->columnIndex(); k < lefts.size(); ++k) {
            if (!(r->ctmInfo().xRight > static_cast<double>(lefts[k])))
                break;
            if (!starts.count({r->rowIndex(), r->columnIndex() + columns + 1}))
                ++columns;
        }
        out.emplace_back(rows, columns);
    }
    return out;
}

TEST(QVExcelTypesetSpans, CountedSpansEqualThePositionByPositionRule) {
    QVExcelManager::sharedInstance();
    std::mt19937 rng(7);
    std::uniform_int_distribution<int> pos(0, 60), len(1, 6), tall(0, 9);
    for (int round = 0; round < 150; ++round) {
        QVExcelPage page(1, fixtures::makeTestFolder("typeset-spans") + "/csv");
        const int n = 1 + round % 40;
        for (int i = 0; i < n; ++i) {
            auto r = std::make_shared<QVExcelRunText>();
            r->setText(u"t" + std::u16string(1, char16_t(u'a' + i % 26)));
            QVPDF_CTMInfo g;
            g.xLeft = pos(rng) * 10.0;
            g.xRight = g.xLeft + len(rng) * (tall(rng) == 0 ? 60.0 : 8.0);
            g.yTop = pos(rng) * 12.0;
            g.yAscent = g.yTop;
            g.yBase = g.yTop + 9;
            g.yDescent = g.yTop + 11;
            g.yBottom = g.yTop + (tall(rng) == 0 ? len(rng) * 40.0 : 11.0);
            r->setCtmInfo(g);
            r->setTextWidth(g.xRight - g.xLeft);
            page.allRunTextArray().push_back(r);
        }
        page.typesetRunTexts();
        const RunList& runs = page.allRunTextArray();
        const auto expected = referenceSpans(runs);
        for (size_t i = 0; i < runs.size(); ++i)
            ASSERT_EQ(std::make_pair(runs[i]->rowLength(), runs[i]->columnLength()), expected[i])
                << "round " << round << ", run " << i;
    }
    QVExcelManager::destory();
}

} // namespace
