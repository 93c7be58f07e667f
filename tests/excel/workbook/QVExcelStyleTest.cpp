#include "excel/workbook/QVExcelStyle.h"
#include "excel/QVExcelManager.h"
#include "excel/workbook/QVExcelStyleUtils.h"

#include "fixtures/PackageCheck.h"
#include "fixtures/PdfBuilder.h"
#include "platform/Files.h"
#include "writer/XMLWriterException.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

class QVExcelStyleTest : public ::testing::Test {
protected:
    void SetUp() override { QVExcelManager::destory(); }
    void TearDown() override { QVExcelManager::destory(); }

    static void setOptions(uint64_t formatOption, bool fills) {
        auto options = std::make_shared<QVExcelOptions>();
        options->setExcelFormatOption(formatOption);
        options->setCollectCGPaths(fills);
        options->setCollectFills(fills);
        QVExcelManager::sharedInstance()->setOptions(options);
    }

    static std::shared_ptr<QVExcelStyleFont> font(double sz, const std::string& name, uint32_t rgb,
                                                  bool b = false, bool i = false) {
        QVExcel_Font f;
        f.sz = sz;
        f.name = name;
        f.b = b;
        f.i = i;
        return std::make_shared<QVExcelStyleFont>(f, rgb);
    }

    static std::shared_ptr<QVExcelStyleFill> fill(double x, double y, double w, double h,
                                                  std::optional<double> red = 1.0) {
        std::optional<QVDeviceColor> color;
        if (red)
            color = QVDeviceColor{QVDeviceColor::Model::RGB, {*red, 0.5, 0.25, 1.0}};
        return QVExcelStyleFill::initWithFrame({{x, y}, {w, h}}, color);
    }
};

TEST_F(QVExcelStyleTest, NewRegistryHoldsTheDefaultEntries) {
    QVExcelStyle style;
    EXPECT_EQ(style.numFmtsArr().size(), 0u);
    ASSERT_EQ(style.fontsArr().size(), 1u);
    EXPECT_EQ(style.fontsArr()[0]->font().name, "Times New Roman");
    ASSERT_EQ(style.fillsArr().size(), 2u);
    EXPECT_EQ(style.fillsArr()[0]->patternFill().patternType, "none");
    EXPECT_EQ(style.fillsArr()[1]->patternFill().patternType, "gray125");
    EXPECT_EQ(style.bordersArr().size(), 1u);
    ASSERT_EQ(style.cellStyleXfsArr().size(), 1u);
    EXPECT_EQ(style.cellStyleXfsArr()[0]->algnHorizontal(), "center");
    ASSERT_EQ(style.cellXfsArr().size(), 1u);
    EXPECT_TRUE(style.cellXfsArr()[0]->formatedElm().applyAlignment);
    EXPECT_EQ(style.cellXfsArr()[0]->algnHorizontal(), "left");
}

TEST_F(QVExcelStyleTest, CustomNumberFormatsAreNumberedFrom164) {
    QVExcelStyle style;
    EXPECT_EQ(style.collectNumberFormat("#,##0.00"), 164);
    EXPECT_EQ(style.collectNumberFormat("0.0%"), 165);
    EXPECT_EQ(style.collectNumberFormat("#,##0.00"), 164);
    EXPECT_EQ(style.collectNumberFormat("[$\xE2\x82\xAC-407] #,##0.00"), 166);
    EXPECT_EQ(style.collectNumberFormat(""), 0); // General: nothing registered
    EXPECT_EQ(style.numFmtsArr().size(), 3u);
    EXPECT_TRUE(style.existNumberFormat(165));
    EXPECT_FALSE(style.existNumberFormat(170));
}

TEST_F(QVExcelStyleTest, FontsAreComparedByTheirWrittenForm) {
    QVExcelStyle style;
    struct Case {
        std::shared_ptr<QVExcelStyleFont> font;
        int32_t index;
    };
    const std::vector<Case> cases = {
        {font(12, "Times New Roman", 0x000000), 0}, // the default font
        {font(12, "Times New Roman", 0xff0000), 1}, // colour differs
        {font(11.0, "Arial", 0x000000), 2},
        {font(11.0000001, "Arial", 0x000000), 2}, // written "11" as well
        {font(10.6, "Arial", 0x000000), 2},       // rounds to 11
        {font(11, "Arial", 0x000000, true), 3},   // bold differs
        {font(11, "Arial", 0x000000, true, true), 4},
        {font(11, "Arial\x01", 0x000000, true, true), 4}, // control char not written
        {font(500, "Big", 0x000000), 5},
        {font(409, "Big", 0x000000), 5}, // both written 409
        {font(std::nan(""), "Times New Roman", 0x000000), 0},
    };
    for (size_t i = 0; i < cases.size(); ++i)
        EXPECT_EQ(style.collectFonts(cases[i].font), cases[i].index) << "case " << i;
    EXPECT_EQ(style.fontsArr().size(), 6u);
}

TEST_F(QVExcelStyleTest, FillsMergeWithinTolerancesAndColourMatters) {
    QVExcelStyle style;
    style.collectFills(fill(100, 100, 50, 20));
    ASSERT_EQ(style.fillsArr().size(), 3u);
    style.collectFills(fill(101.5, 100, 52.0, 20)); // left +1.5, right +3.5
    EXPECT_EQ(style.fillsArr().size(), 3u);
    style.collectFills(fill(100, 102.5, 50, 20)); // top +2.5
    EXPECT_EQ(style.fillsArr().size(), 4u);
    style.collectFills(fill(100, 100, 50, 20, 0.0)); // another colour
    EXPECT_EQ(style.fillsArr().size(), 5u);
    style.collectFills(fill(100, 100, 50, 20, std::nullopt)); // no colour equals nothing
    style.collectFills(fill(100, 100, 50, 20, std::nullopt));
    EXPECT_EQ(style.fillsArr().size(), 7u);
    EXPECT_EQ(style.fillsArr()[2]->patternFill().patternType, "solid");
    EXPECT_EQ(style.fillsArr()[2]->fgRGBColor(), 0xff8040u);
}

TEST_F(QVExcelStyleTest, FillOfACellIsTheFirstOverlappingFill) {
    auto style = QVExcelManager::sharedInstance()->excelStyle();
    style->collectFills(fill(0, 0, 100, 100));
    style->collectFills(fill(50, 50, 100, 100, 0.0));
    const platform::Rect inBoth{{60, 60}, {10, 10}}, inSecond{{120, 120}, {5, 5}};
    const platform::Rect touching{{100, 10}, {10, 10}}, outside{{400, 400}, {5, 5}};

    setOptions(0, false);
    EXPECT_EQ(style->getFillIdWithCellFrame(inBoth), 0);
    setOptions(0, true);
    EXPECT_EQ(style->getFillIdWithCellFrame(inBoth), 2);
    EXPECT_EQ(style->getFillIdWithCellFrame(inSecond), 3);
    EXPECT_EQ(style->getFillIdWithCellFrame(touching), 0);
    EXPECT_EQ(style->getFillIdWithCellFrame(outside), 0);
}

TEST_F(QVExcelStyleTest, CellFormatsDeduplicateOnTheirComparedFields) {
    QVExcelStyle style;
    auto algn = QVExcel_Xf_AlignmentMake("left", "center", false);
    auto& list = style.cellXfsArr();
    EXPECT_EQ(QVExcelStyleUtils::getStyleIndexFrom(list, 164, 1, 2, 0, algn), 1);
    EXPECT_EQ(QVExcelStyleUtils::getStyleIndexFrom(list, 164, 1, 2, 0, algn), 1);
    EXPECT_EQ(QVExcelStyleUtils::getStyleIndexFrom(list, 164, 1, algn), 2); // fill 0
    EXPECT_EQ(QVExcelStyleUtils::getStyleIndexFrom(list, 1, algn), 3);
    auto right = QVExcel_Xf_AlignmentMake("right", "center", false);
    EXPECT_EQ(QVExcelStyleUtils::getStyleIndexFrom(list, 164, 1, 2, 0, right), 4);

    // Differing only in applyNumberFormat is another format.
    QVExcelStyleXf a(QVExcelStyleXf::defaultXf()), b(QVExcelStyleXf::defaultXf());
    b.formatedElm().applyNumberFormat = true;
    EXPECT_TRUE(a.isEqualXf(QVExcelStyleXf(QVExcelStyleXf::defaultXf())));
    EXPECT_FALSE(a.isEqualXf(b));
    // An absent alignment text equals nothing.
    QVExcel_Xf_Alignment none;
    EXPECT_FALSE(QVExcel_Xf_AlignmentIsEqual(none, none));
}

TEST_F(QVExcelStyleTest, DefaultStylesPartIsExact) {
    setOptions(1, false); // wrap text off
    const std::string folder = fixtures::makeTestFolder("styles-default");
    ASSERT_TRUE(platform::createDirectories(folder + "/xl"));
    QVExcelManager::sharedInstance()->excelStyle()->writeStyleTo(folder);
    EXPECT_EQ(
        platform::readFile(folder + "/xl/styles.xml").value_or(""),
        "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\" ?>\n"
        "<styleSheet xmlns=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\">\n"
        "\t<fonts count=\"1\">\n"
        "\t\t<font>\n"
        "\t\t\t<sz val=\"12\"/>\n"
        "\t\t\t<color rgb=\"FF000000\"/>\n"
        "\t\t\t<name val=\"Times New Roman\"/>\n"
        "\t\t\t<b val=\"0\"/>\n"
        "\t\t\t<i val=\"0\"/>\n"
        "\t\t</font>\n"
        "\t</fonts>\n"
        "\t<fills count=\"2\">\n"
        "\t\t<fill>\n"
        "\t\t\t<patternFill patternType=\"none\"></patternFill>\n"
        "\t\t</fill>\n"
        "\t\t<fill>\n"
        "\t\t\t<patternFill patternType=\"gray125\"></patternFill>\n"
        "\t\t</fill>\n"
        "\t</fills>\n"
        "\t<borders count=\"1\">\n"
        "\t\t<border>\n"
        "\t\t\t<left></left>\n"
        "\t\t\t<right></right>\n"
        "\t\t\t<top></top>\n"
        "\t\t\t<bottom></bottom>\n"
        "\t\t\t<diagonal></diagonal>\n"
        "\t\t</border>\n"
        "\t</borders>\n"
        "\t<cellStyleXfs count=\"1\">\n"
        "\t\t<xf numFmtId=\"0\" fontId=\"0\" fillId=\"0\" borderId=\"0\">\n"
        "\t\t\t<alignment vertical=\"center\" horizontal=\"center\"></alignment>\n"
        "\t\t</xf>\n"
        "\t</cellStyleXfs>\n"
        "\t<cellXfs count=\"1\">\n"
        "\t\t<xf numFmtId=\"0\" fontId=\"0\" fillId=\"0\" borderId=\"0\" xfId=\"0\" "
        "applyAlignment=\"1\">\n"
        "\t\t\t<alignment horizontal=\"left\" vertical=\"center\" wrapText=\"0\"></alignment>\n"
        "\t\t</xf>\n"
        "\t</cellXfs>\n"
        "\t<cellStyles count=\"1\">\n"
        "\t\t<cellStyle name=\"Normal\" xfId=\"0\" builtinId=\"0\"/>\n"
        "\t</cellStyles>\n"
        "\t<dxfs count=\"0\"></dxfs>\n"
        "\t<tableStyles count=\"0\" defaultTableStyle=\"TableStyleMedium9\" "
        "defaultPivotStyle=\"PivotStyleLight16\"></tableStyles>\n"
        "</styleSheet>");
}

TEST_F(QVExcelStyleTest, RegisteredEntriesReachTheStylesPart) {
    setOptions(0, true); // wrap text on
    auto style = QVExcelManager::sharedInstance()->excelStyle();
    const int32_t f1 = style->collectNumberFormat("#,##0.00");
    const int32_t f2 = style->collectNumberFormat("0.0%");
    const int32_t font1 = style->collectFonts(font(10.4, "R&D Sans", 0xff0000, true));
    style->collectFills(fill(0, 0, 10, 10));
    auto algn = QVExcel_Xf_AlignmentMake("left", "center", true);
    QVExcelStyleUtils::getStyleIndexFrom(style->cellXfsArr(), f1, font1, 2, 0, algn);
    QVExcelStyleUtils::getStyleIndexFrom(style->cellXfsArr(), f2, 0, algn);

    const std::string folder = fixtures::makeTestFolder("styles-entries");
    ASSERT_TRUE(platform::createDirectories(folder + "/xl"));
    style->writeStyleTo(folder);
    auto r = fixtures::runPython(R"(
import sys, xml.etree.ElementTree as E
ns = {'s': 'http://schemas.openxmlformats.org/spreadsheetml/2006/main'}
root = E.parse(sys.argv[1]).getroot()
print([(f.get('numFmtId'), f.get('formatCode')) for f in root.findall('s:numFmts/s:numFmt', ns)])
f = root.findall('s:fonts/s:font', ns)[1]
print([(c.tag.split('}')[1], c.get('val') or c.get('rgb')) for c in f])
print([(p.get('patternType'), [c.get('rgb') for c in p]) for p in root.findall('s:fills/s:fill/s:patternFill', ns)])
print([(x.get('numFmtId'), x.get('fontId'), x.get('fillId'), x.get('applyNumberFormat'),
        x.find('s:alignment', ns).get('wrapText')) for x in root.findall('s:cellXfs/s:xf', ns)])
)",
                                 {folder + "/xl/styles.xml"});
    ASSERT_TRUE(r.ok()) << r.output;
    EXPECT_EQ(
        r.output,
        "[('164', '#,##0.00'), ('165', '0.0%')]\n"
        "[('sz', '10'), ('color', 'FFff0000'), ('name', 'R&D Sans'), ('b', '1'), ('i', '0')]\n"
        "[('none', []), ('gray125', []), ('solid', ['FFff8040'])]\n"
        "[('0', '0', '0', None, '1'), ('164', '1', '2', '1', '1'), ('165', '0', '0', '1', '1')]\n");
}

TEST_F(QVExcelStyleTest, StylesPartNeedsItsFolder) {
    const std::string folder = fixtures::makeTestFolder("styles-nofolder");
    QVExcelStyle style;
    EXPECT_THROW(style.writeStyleTo(folder), XMLWriterException);
    EXPECT_FALSE(platform::pathExists(folder + "/xl/styles.xml"));
}

} // namespace
