// The run model: property equality and the rich-text XML of a run.

#include "excel/QVExcelPageFixture.h"

#include "excel/analysis/QVExcelRunText.h"
#include "excel/analysis/QVExcelRunTextProperty.h"
#include "writer/XMLFileWriter.h"

#include <gtest/gtest.h>

#include <functional>
#include <vector>

namespace {

using namespace excelfixtures;

TEST(QVExcelRunTextPropertyTest, EqualityTests) {
    struct Case {
        const char* what;
        std::function<void(QVExcelRunTextProperty&)> change;
        bool equal; // isEqualToRPr
        bool same;  // isSameToRPr
    };
    const Case cases[] = {
        {"nothing", [](auto&) {}, true, true},
        {"size by 1e-6", [](auto& p) { p.setSz(10.000001); }, false, false},
        {"bold", [](auto& p) { p.setB(true); }, true, true},
        {"italic", [](auto& p) { p.setI(true); }, true, true},
        {"family", [](auto& p) { p.setFamily("Times"); }, false, true},
        {"font name only", [](auto& p) { p.setRFont("Arial-BoldMT"); }, true, true},
        {"colour", [](auto& p) { p.setRgbColor(0xff0000); }, false, false},
        {"no colour", [](auto& p) { p.setRgbColor(std::nullopt); }, false, false},
    };
    for (const auto& c : cases) {
        QVExcelRunTextProperty a, b;
        a.setSz(10.0);
        b.setSz(10.0);
        a.setFamily("Arial");
        b.setFamily("Arial");
        c.change(b);
        EXPECT_EQ(a.isEqualToRPr(b), c.equal) << c.what;
        EXPECT_EQ(a.isSameToRPr(b), c.same) << c.what;
    }
}

TEST(QVExcelRunTextTest, FrameIsTheRunBox) {
    auto run = makeRun({.text = u"x", .x = 5.0, .y = 7.0, .width = 30.0, .height = 0.0});
    run->setTextWidth(25.0);
    EXPECT_EQ(run->frame(), (platform::Rect{{5.0, 7.0}, {25.0, 0.0}}));
    auto copy = run->copy();
    EXPECT_EQ(copy->text(), u"x");
    EXPECT_EQ(copy->textWidth(), 0.0);
    EXPECT_EQ(copy->rowIndex(), 0u);
}

TEST(QVExcelRunTextTest, PiecesKeepTheirPlaceInTheText) {
    // "100", a blank put between two pieces, "000", then padding cut off
    // and a leading blank trimmed: the pieces still start where they did.
    QVExcelRunText run;
    run.setText(u" 100");
    run.appendText(u" ");
    run.appendText(u"000");
    run.appendText(u"");
    run.appendText(u"   ");
    EXPECT_EQ(run.pieceStarts(), (std::vector<uint32_t>{4, 5, 8}));
    run.keepText(0, 8);
    run.keepText(1, 7);
    EXPECT_EQ(run.text(), u"100 000");
    EXPECT_EQ(run.pieceStarts(), (std::vector<uint32_t>{3, 4}));
    EXPECT_EQ(run.copy()->pieceStarts(), run.pieceStarts());
    run.keepText(4, 3);
    EXPECT_TRUE(run.pieceStarts().empty());
    run.setText(u"1 234");
    EXPECT_TRUE(run.pieceStarts().empty());
}

std::string runXML(const QVExcelRunText& run, std::u16string_view leading = {}) {
    const std::string path = fixtures::makeTestFolder("runxml") + "/run.xml";
    {
        auto writer = XMLFileWriter::initWithPath(path);
        writer->writeStartDocumentWithEncodingAndVersion("UTF-8", "1.0", "yes");
        run.writeXMLWith(*writer, leading);
        writer->writeEndDocument();
    }
    return platform::readFile(path).value_or("");
}

TEST(QVExcelRunTextTest, RichTextRunFollowsTheFormatOption) {
    struct Case {
        uint64_t option;
        double size;
        const char* sz;
        const char* font;
    };
    const Case cases[] = {
        {0, 11.0, "11", "Helvetica-Bold"},
        {0, 10.5, "10", "Helvetica-Bold"}, // halves round to even
        {0, 10.6, "11", "Helvetica-Bold"},
        {0, 900.0, "409", "Helvetica-Bold"}, // Excel's largest font size
        {1, 11.0, "10", "Helvetica-Bold"},
        {2, 11.0, "10", "Arial Unicode MS"},
    };
    for (const auto& c : cases) {
        ManagerScope scope(c.option);
        auto run = makeRun({.text = u"  A & B  ",
                            .size = c.size,
                            .color = 0x1f1f1f,
                            .bold = true,
                            .font = "Helvetica-Bold"});
        std::string xml = runXML(*run);
        std::string expected = std::string("<r>\n\t<rPr>\n\t\t<sz val=\"") + c.sz +
                               "\"/>\n\t\t<color rgb=\"FF1f1f1f\"/>\n\t\t<rFont val=\"" + c.font +
                               "\"/>\n\t\t<b val=\"1\"/>\n\t\t<i val=\"0\"/>\n\t</rPr>"
                               "\n\t<t xml:space=\"preserve\">  A &amp; B  </t>\n</r>";
        EXPECT_NE(xml.find(expected), std::string::npos) << c.option << " " << c.size << "\n"
                                                         << xml;
    }
}

TEST(QVExcelRunTextTest, LeadingTextAndMissingColour) {
    ManagerScope scope;
    auto run = makeRun({.text = u"345"});
    run->rPr().setRgbColor(std::nullopt);
    std::string xml = runXML(*run, u" ");
    EXPECT_EQ(xml.find("<color"), std::string::npos) << xml;
    EXPECT_NE(xml.find("<t xml:space=\"preserve\"> 345</t>"), std::string::npos) << xml;
}

} // namespace
