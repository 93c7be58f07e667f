// Cell formats of text and number cells in the document's style registry.

#include "excel/QVExcelPageFixture.h"

#include "excel/analysis/QVExcelNumber.h"
#include "excel/analysis/QVExcelStringItem.h"
#include "excel/sheet/QVExcelCellFormats.h"
#include "excel/workbook/QVExcelStyle.h"

#include <gtest/gtest.h>

namespace {

using namespace excelfixtures;

std::shared_ptr<QVExcelStringItem> itemOf(const std::vector<RunSpec>& specs) {
    auto item = std::make_shared<QVExcelStringItem>();
    for (const auto& s : specs)
        item->textRuns().push_back(makeRun(s));
    item->setRowIndex(specs.front().row);
    item->setColumnIndex(specs.front().column);
    item->calculatStringItemInfo();
    return item;
}

const QVExcelStyleFont& fontOfFormat(ManagerScope& scope, int32_t format) {
    const auto& xf = scope.style().cellXfsArr().at(size_t(format))->formatedElm();
    return *scope.style().fontsArr().at(size_t(xf.fontId));
}

TEST(QVExcelCellFormatsTest, CellFontFollowsTheOptions) {
    struct Case {
        uint64_t option;
        bool fills;
        uint32_t color;
        const char* name;
        double size;
        bool bold;
        uint32_t written;
    };
    const Case cases[] = {
        {0, false, 0x1f1f1f, "Helvetica-Bold", 14.0, true, 0x1f1f1f},
        {1, false, 0x1f1f1f, "Helvetica-Bold", 10.0, true, 0x1f1f1f},
        {2, false, 0x1f1f1f, "Arial Unicode MS", 10.0, false, 0x1f1f1f},
        {0, false, 0xffffff, "Helvetica-Bold", 14.0, true, 0x000000}, // white on white
        {0, true, 0xffffff, "Helvetica-Bold", 14.0, true, 0xffffff},
    };
    for (const auto& c : cases) {
        ManagerScope scope(c.option, 0, false, false, c.fills);
        auto item = itemOf({{.text = u"Total",
                             .columnLength = 0,
                             .size = 14.0,
                             .color = c.color,
                             .bold = true,
                             .font = "Helvetica-Bold"}});
        int32_t format = QVExcelCellFormats::getStyleIndex(scope.manager(), *item, {});
        const auto& font = fontOfFormat(scope, format);
        EXPECT_EQ(font.font().name, c.name) << c.option;
        EXPECT_EQ(font.font().sz, c.size) << c.option;
        EXPECT_EQ(font.font().b, c.bold) << c.option;
        EXPECT_EQ(font.rgbColor(), c.written) << c.option;
        // A text cell leaves its runs as they are.
        EXPECT_EQ(item->textRuns()[0]->rPr().rFont(), "Helvetica-Bold");
    }
}

TEST(QVExcelCellFormatsTest, SpanningTextIsAlignedWithinItsCell) {
    struct Case {
        uint64_t option;
        uint64_t columnLength;
        double x, width; // item box
        const char* horizontal;
    };
    // The cell frame runs from x 100 to 300.
    const Case cases[] = {
        {1, 1, 102.9, 50.0, "left"},  {1, 1, 103.0, 50.0, "center"}, {1, 1, 97.1, 50.0, "left"},
        {1, 1, 200.0, 97.5, "right"}, {1, 1, 200.0, 102.9, "right"}, {1, 1, 150.0, 50.0, "center"},
        {1, 0, 150.0, 50.0, "left"}, // not spanning
        {0, 1, 150.0, 50.0, "left"}, // wrapped text
    };
    for (const auto& c : cases) {
        ManagerScope scope(c.option);
        auto item =
            itemOf({{.text = u"Head", .columnLength = c.columnLength, .x = c.x, .width = c.width}});
        int32_t format = QVExcelCellFormats::getStyleIndex(scope.manager(), *item,
                                                           platform::Rect{{100.0, 0}, {200.0, 0}});
        const auto& xf = scope.style().cellXfsArr().at(size_t(format))->formatedElm();
        EXPECT_EQ(xf.alignment.horizontal.value_or("?"), c.horizontal) << c.x << " " << c.width;
        EXPECT_EQ(xf.alignment.vertical.value_or("?"), "center");
        EXPECT_TRUE(xf.applyAlignment);
        EXPECT_EQ(xf.numFmtId, 0);
        EXPECT_EQ(xf.fillId, 0);
    }
}

TEST(QVExcelCellFormatsTest, TextCellsShareFormatsAndRichTextUsesFontZero) {
    ManagerScope scope(0);
    auto a = itemOf({{.text = u"a"}});
    auto b = itemOf({{.text = u"b", .row = 2}});
    auto rich = itemOf({{.text = u"x", .size = 10.0}, {.text = u"y", .size = 11.0}});
    const int32_t fa = QVExcelCellFormats::getStyleIndex(scope.manager(), *a, {});
    const int32_t fb = QVExcelCellFormats::getStyleIndex(scope.manager(), *b, {});
    const int32_t fr = QVExcelCellFormats::getStyleIndex(scope.manager(), *rich, {});
    EXPECT_EQ(fa, fb);
    EXPECT_EQ(scope.style().cellXfsArr().at(size_t(fr))->formatedElm().fontId, 0);
    EXPECT_EQ(fr, 0); // the registry's own default format: font 0, left, center
}

TEST(QVExcelCellFormatsTest, TextCellsDoNotTakeANumberCellsFormat) {
    ManagerScope scope(0, 0, false, false, true);
    auto run = makeRun({.text = u"1,234"});
    QVExcelNumber number(run->text(), ",");
    const int32_t numberFormat =
        QVExcelCellFormats::styleIndexFrom(scope.manager(), *run, number, 2);
    auto item = itemOf({{.text = u"abc"}});
    const int32_t textFormat = QVExcelCellFormats::getStyleIndex(scope.manager(), *item, {});
    EXPECT_NE(textFormat, numberFormat);
    const auto& xf = scope.style().cellXfsArr().at(size_t(textFormat))->formatedElm();
    EXPECT_EQ(xf.fillId, 0);
    EXPECT_EQ(xf.numFmtId, 0);
}

TEST(QVExcelCellFormatsTest, NumberCellsRegisterTheirCodeOnce) {
    ManagerScope scope(1);
    auto first = makeRun({.text = u"$1,234.50", .size = 14.0, .color = 0xffffff});
    auto second = makeRun({.text = u"$7.25", .row = 2, .size = 14.0, .color = 0xffffff});
    QVExcelNumber n1(first->text(), ",");
    QVExcelNumber n2(second->text(), ",");
    const int32_t f1 = QVExcelCellFormats::styleIndexFrom(scope.manager(), *first, n1, 0);
    const int32_t f2 = QVExcelCellFormats::styleIndexFrom(scope.manager(), *second, n2, 0);
    EXPECT_EQ(n1.numID(), QVExcelStyle::kFirstCustomNumFmtID);
    EXPECT_EQ(n2.numID(), n1.numID());
    EXPECT_EQ(f1, f2);
    ASSERT_EQ(scope.style().numFmtsArr().size(), 1u);
    EXPECT_EQ(scope.style().numFmtsArr()[0]->formatCode(), "$#,##0.00");
    const auto& xf = scope.style().cellXfsArr().at(size_t(f1))->formatedElm();
    EXPECT_EQ(xf.numFmtId, n1.numID());
    EXPECT_TRUE(xf.applyNumberFormat);
    // The number cell's run now shows its cell font.
    EXPECT_EQ(first->rPr().sz(), 10.0);
    EXPECT_EQ(first->rPr().rgbColor(), 0x000000u);

    // Built-in formats register nothing.
    auto percent = makeRun({.text = u"12.50%"});
    QVExcelNumber n3(percent->text(), ",");
    QVExcelCellFormats::styleIndexFrom(scope.manager(), *percent, n3, 0);
    EXPECT_EQ(n3.numID(), 10);
    EXPECT_EQ(scope.style().numFmtsArr().size(), 1u);
}

} // namespace
