// The DrawingML the slide's text, freeforms and pictures write, through the
// real XML writer and read back with an XML parser.

#include "pptx/QVPPTXFreeform.h"
#include "pptx/QVPPTXParagraph.h"
#include "pptx/QVPPTXPicture.h"
#include "pptx/QVPPTXUtilities.h"
#include "writer/QVOpenXMLNameSpace.h"
#include "writer/XMLFileWriter.h"

#include "fixtures/PdfBuilder.h"

#include <gtest/gtest.h>
#include <pugixml.hpp>

#include <functional>
#include <string>
#include <vector>

namespace {

/// What `body` wrote inside a p:spTree root, parsed back.
class Written {
public:
    explicit Written(const std::function<void(XMLFileWriter&)>& body) {
        const std::string path = fixtures::makeTestFolder("pptxxml") + "/part.xml";
        {
            auto w = XMLFileWriter::initWithPath(path);
            w->writeStartDocumentWithEncodingAndVersion("UTF-8", "1.0", "yes");
            w->setPrefix(std::string("a"), std::string(QVOpenXMLNameSpace::nameSpace_a()));
            w->setPrefix(std::string("r"), std::string(QVOpenXMLNameSpace::nameSpace_r()));
            w->setPrefix(std::string("p"), std::string(QVOpenXMLNameSpace::nameSpace_p()));
            w->writeStartElementWithNamespace(QVOpenXMLNameSpace::nameSpace_p(), "spTree");
            body(*w);
            w->writeEndDocument();
        }
        const auto result =
            doc_.load_file(path.c_str(), pugi::parse_default | pugi::parse_ws_pcdata);
        EXPECT_TRUE(result) << result.description();
    }
    pugi::xml_node root() const { return doc_.child("p:spTree"); }
    std::vector<std::string> names(const char* xpath) const {
        std::vector<std::string> out;
        for (auto n : root().select_nodes(xpath))
            out.emplace_back(n.node().name());
        return out;
    }
    std::string attr(const char* xpath, const char* name) const {
        return root().select_node(xpath).node().attribute(name).value();
    }

private:
    pugi::xml_document doc_;
};

std::shared_ptr<QVPPTXRun> run(const std::u16string& text, float size, std::string colour) {
    auto r = std::make_shared<QVPPTXRun>();
    QVPPTX_RunPr p = QVPPTXUtilities::defaultRunProperty();
    p.sz = size;
    p.rgbColor = colour;
    r->setRProperty(p);
    r->setText(text);
    return r;
}

TEST(QVPPTXShapeWriteTest, ParagraphsAndRuns) {
    struct Case {
        float marL;
        int lnSpc;
        int tab;
        const char* wantMarL;
        const char* wantSpacing;
        const char* wantTab;
    } cases[] = {
        {0, 14, 0, "", "1400", ""},
        {36, 12, 2, "457200", "1200", "25400"},
        // A spacing of 0 or below would hide the line: at least 1 pt.
        {0, 0, 0, "", "100", ""},
        {0, -7, 0, "", "100", ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.lnSpc);
        QVPPTXParagraph paragraph;
        paragraph.pProperty().marL = c.marL;
        paragraph.pProperty().lnSpc = c.lnSpc;
        paragraph.pProperty().tabList.pos = c.tab;
        paragraph.textRuns().push_back(run(u"Tx & <y>", 10.5f, "#1a2b3c"));
        Written xml([&](XMLFileWriter& w) { paragraph.writeParagraphWithXMLWriter(w); });
        EXPECT_EQ(xml.attr("a:p/a:pPr", "marL"), c.wantMarL);
        EXPECT_EQ(xml.attr("a:p/a:pPr/a:lnSpc/a:spcPts", "val"), c.wantSpacing);
        EXPECT_EQ(xml.attr("a:p/a:pPr/a:tabLst/a:tab", "pos"), c.wantTab);
        EXPECT_EQ(xml.attr("a:p/a:r/a:rPr", "sz"), "1050");
        EXPECT_EQ(xml.attr("a:p/a:r/a:rPr/a:solidFill/a:srgbClr", "val"), "1a2b3c");
        EXPECT_STREQ(xml.root().select_node("a:p/a:r/a:t").node().text().get(), "Tx & <y>");
    }
    // Bold and italic faces reach the run's properties; a paragraph without
    // runs writes nothing.
    QVPPTXParagraph styled;
    auto r = run(u"B", 12, "000000");
    QVPPTX_RunPr p = r->rProperty();
    p.b = 1;
    p.i = 1;
    r->setRProperty(p);
    styled.textRuns().push_back(r);
    QVPPTXParagraph empty;
    Written xml([&](XMLFileWriter& w) {
        styled.writeParagraphWithXMLWriter(w);
        empty.writeParagraphWithXMLWriter(w);
    });
    EXPECT_EQ(xml.attr("a:p/a:r/a:rPr", "b"), "1");
    EXPECT_EQ(xml.attr("a:p/a:r/a:rPr", "i"), "1");
    EXPECT_EQ(xml.names("a:p").size(), 1u);
}

TEST(QVPPTXShapeWriteTest, RunPropertiesJoinOnlyWhenEqual) {
    QVPPTX_RunPr a = QVPPTXUtilities::defaultRunProperty();
    QVPPTX_RunPr b = a;
    EXPECT_TRUE(QVPPTX_RunPrIsEqual(a, b));
    b.rgbColor = "FF0000";
    a.rgbColor = "ff0000";
    EXPECT_FALSE(QVPPTX_RunPrIsEqual(a, b));
    b = a;
    b.b = 1;
    EXPECT_FALSE(QVPPTX_RunPrIsEqual(a, b));
    b = a;
    b.latin.typeface.reset();
    EXPECT_FALSE(QVPPTX_RunPrIsEqual(b, b)); // a missing text equals nothing
}

std::shared_ptr<QVPPTXFreeform> freeform(const platform::Path& path, bool stroke, bool fill) {
    auto f = std::make_shared<QVPPTXFreeform>();
    auto info = std::make_shared<QVPPTXFreeformInfo>();
    info->setDisplayRect(path.boundingBox());
    info->stroked = stroke;
    info->filled = fill;
    info->strokeweight = 2;
    info->fillcolor = 0x336699;
    f->setRunCGPath(path);
    f->setSpInfo(info);
    f->paragraphs().push_back(std::make_shared<QVPPTXParagraph>());
    return f;
}

TEST(QVPPTXShapeWriteTest, FreeformGeometryClosesEverySubpath) {
    platform::Path two;
    two.addRect({{10, 20}, {30, 40}});
    two.moveTo({50, 20});
    two.lineTo({60, 20});
    two.lineTo({60, 30});
    two.closeSubpath();
    auto f = freeform(two, false, true);
    Written xml([&](XMLFileWriter& w) { f->writeShapeWith(w, 7); });
    const char* path = "p:sp/p:spPr/a:custGeom/a:pathLst/a:path/*";
    EXPECT_EQ(xml.names(path),
              (std::vector<std::string>{"a:moveTo", "a:lnTo", "a:lnTo", "a:lnTo", "a:close",
                                        "a:moveTo", "a:lnTo", "a:lnTo", "a:close"}));
    EXPECT_EQ(xml.attr("p:sp/p:nvSpPr/p:cNvPr", "id"), "7");
    // Points relative to the box's top-left corner, in EMU.
    EXPECT_EQ(xml.attr("p:sp/p:spPr/a:custGeom/a:pathLst/a:path/a:moveTo/a:pt", "x"), "0");
    EXPECT_EQ(xml.attr("p:sp/p:spPr/a:xfrm/a:ext", "cx"), "635000");
    EXPECT_EQ(xml.attr("p:sp/p:spPr/a:custGeom/a:gdLst/a:gd[@name='connsiteX6']", "fmla"),
              "*/ 635000 w 635000");
    EXPECT_EQ(xml.names("p:sp/p:spPr/a:custGeom/a:cxnLst/a:cxn").size(), 7u);
    EXPECT_EQ(xml.attr("p:sp/p:spPr/a:solidFill/a:srgbClr", "val"), "336699");
    // Not stroked: the outline is white at alpha 0.
    EXPECT_EQ(xml.attr("p:sp/p:spPr/a:ln/a:solidFill/a:srgbClr", "val"), "ffffff");
    EXPECT_EQ(xml.attr("p:sp/p:spPr/a:ln/a:solidFill/a:srgbClr/a:alpha", "val"), "0");
    EXPECT_EQ(xml.names("p:sp/*"),
              (std::vector<std::string>{"p:nvSpPr", "p:spPr", "p:style", "p:txBody"}));
}

TEST(QVPPTXShapeWriteTest, LineDashesAndCaps) {
    using Dashes = std::optional<std::vector<double>>;
    struct Case {
        Dashes dashes;
        int cap;
        const char* preset;
        std::vector<std::pair<std::string, std::string>> custom; // d, sp
        const char* wantCap;
    } cases[] = {
        {std::nullopt, 1, "solid", {}, "rnd"},
        {std::vector<double>{3, 3}, 0, "dash", {}, "flat"},
        {std::vector<double>{1, 2, 3, 4, 5, 6}, 2, "lgDashDotDot", {}, "sq"},
        // Lengths in thousandths of a percent of the line width.
        {std::vector<double>{6, 3, 1, 3}, 7, "", {{"600000", "300000"}, {"100000", "300000"}}, ""},
        {std::vector<double>{4}, 0, "", {{"400000", "400000"}}, "flat"},
        {std::vector<double>{2, 1, 3},
         0,
         "",
         {{"200000", "100000"}, {"300000", "200000"}, {"100000", "300000"}},
         "flat"},
        // A negative length or only zeros is no pattern: solid, as a PDF reader draws it.
        {std::vector<double>{-2, 3, 1}, 0, "solid", {}, "flat"},
        {std::vector<double>{0, 0, 0}, 0, "solid", {}, "flat"},
    };
    platform::Path line;
    line.moveTo({0, 0});
    line.lineTo({100, 0});
    for (const Case& c : cases) {
        SCOPED_TRACE(c.preset);
        auto f = freeform(line, true, false);
        f->spInfo()->strokeDashPattern = c.dashes;
        f->spInfo()->lineCap = c.cap;
        Written xml([&](XMLFileWriter& w) { f->writeShapeWith(w, 2); });
        EXPECT_EQ(xml.attr("p:sp/p:spPr/a:ln", "cap"), c.wantCap);
        EXPECT_EQ(xml.attr("p:sp/p:spPr/a:ln", "w"), "25400");
        EXPECT_EQ(xml.attr("p:sp/p:spPr/a:ln/a:prstDash", "val"), c.preset);
        std::vector<std::pair<std::string, std::string>> custom;
        for (auto n : xml.root().select_nodes("p:sp/p:spPr/a:ln/a:custDash/a:ds"))
            custom.emplace_back(n.node().attribute("d").value(), n.node().attribute("sp").value());
        EXPECT_EQ(custom, c.custom);
        // A line of no width still has a box of some extent to scale by.
        EXPECT_EQ(xml.attr("p:sp/p:spPr/a:xfrm/a:ext", "cy"), "1");
    }
}

TEST(QVPPTXShapeWriteTest, PictureFrameFlipsAndOpacity) {
    struct Case {
        platform::AffineTransform t;
        double opacity;
        const char* rot;
        const char* flipV;
        const char* alpha;
        double x, y, w, h;
    } cases[] = {
        // Transforms to display space (y down): upright is a negative d.
        {{100, 0, 0, -50, 10, 70}, 1.0, "", "", "", 10, 20, 100, 50},
        // Mirrored top to bottom: flipV, the same frame.
        {{100, 0, 0, 50, 10, 20}, 0.5, "", "1", "50000", 10, 20, 100, 50},
        // Turned 90 degrees clockwise: the frame centred on the image.
        {{0, 100, 50, 0, 10, 0}, 1.0, "5400000", "", "", -15, 25, 100, 50},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.rot);
        auto picture = std::make_shared<QVPPTXPicture>();
        picture->setPictInfo(std::make_shared<QVPPTXImageInfo>(c.t, c.opacity));
        picture->setRunImageID("rId2");
        Written xml([&](XMLFileWriter& w) { picture->writeShapeWith(w, 3); });
        EXPECT_EQ(xml.attr("p:pic/p:spPr/a:xfrm", "rot"), c.rot);
        EXPECT_EQ(xml.attr("p:pic/p:spPr/a:xfrm", "flipV"), c.flipV);
        EXPECT_EQ(xml.attr("p:pic/p:blipFill/a:blip/a:alphaModFix", "amt"), c.alpha);
        EXPECT_EQ(xml.attr("p:pic/p:blipFill/a:blip", "r:embed"), "rId2");
        EXPECT_EQ(xml.attr("p:pic/p:spPr/a:xfrm/a:off", "x"), QVPPTXUtilities::emu(c.x));
        EXPECT_EQ(xml.attr("p:pic/p:spPr/a:xfrm/a:off", "y"), QVPPTXUtilities::emu(c.y));
        EXPECT_EQ(xml.attr("p:pic/p:spPr/a:xfrm/a:ext", "cx"), QVPPTXUtilities::emu(c.w));
        EXPECT_EQ(xml.attr("p:pic/p:spPr/a:xfrm/a:ext", "cy"), QVPPTXUtilities::emu(c.h));
        EXPECT_EQ(xml.attr("p:pic/p:nvPicPr/p:cNvPr", "id"), "3");
    }
}

} // namespace
