// The slide exporter end to end on PDFs built in the test: text boxes,
// freeforms and pictures of the written slides, read back with an XML
// parser. Every package also passes the package checker.

#include "pptx/QVPPTXPDFExporter.h"
#include "pptx/QVPPTXPage.h"
#include "pptx/QVPPTXWriter.h"

#include "fixtures/PackageCheck.h"
#include "fixtures/PdfBuilder.h"
#include "platform/Files.h"
#include "platform/image/ImageFile.h"
#include "platform/pdf/PdfDocument.h"

#include <gtest/gtest.h>
#include <pugixml.hpp>

#include <cmath>
#include <cstdlib>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace {

std::string unzip(const std::string& package, const std::string& part) {
    auto r = fixtures::runCommand("unzip -p " + fixtures::shellQuote(package) + " " +
                                  fixtures::shellQuote(part));
    EXPECT_TRUE(r.ok()) << part << ": " << r.output;
    return r.output;
}

double number(pugi::xml_node n, const char* attribute) {
    return n.attribute(attribute).as_double() / 12700.0;
}

class QVPPTXPDFExporterTest : public ::testing::Test {
protected:
    void SetUp() override {
        folder_ = fixtures::makeTestFolder(
            "pptx-exporter-" +
            std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
        const char* home = std::getenv("HOME");
        savedHome_ = home ? std::optional<std::string>(home) : std::nullopt;
        ::setenv("HOME", folder_.c_str(), 1); // work folders and images stay in the test's folder
    }
    void TearDown() override {
        if (savedHome_)
            ::setenv("HOME", savedHome_->c_str(), 1);
        QVPPTXWriter::setClockForTesting(nullptr);
    }

    struct Page {
        std::string content;
        std::vector<double> box{0, 0, 612, 792};
    };

    /// Pages with Helvetica /F1, Helvetica-Bold /F2, Times-Italic /F3, a 2 x 2
    /// RGB image /Im1 and a form /Fm1 that calls itself over and over (past
    /// the page's budget of form calls).
    std::string pdf(const std::vector<Page>& pages) {
        fixtures::PdfBuilder b;
        const std::string f1 = b.addStandardFont("Helvetica");
        const std::string f2 = b.addStandardFont("Helvetica-Bold");
        const std::string f3 = b.addStandardFont("Times-Italic");
        const std::string image = b.addStream(
            "<< /Type /XObject /Subtype /Image /Width 2 /Height 2 /ColorSpace /DeviceRGB "
            "/BitsPerComponent 8 >>",
            std::string("\xff\x00\x00\x00\xff\x00\x00\x00\xff\x80\x80\x80", 12));
        std::string form = b.addStream("<< /Type /XObject /Subtype /Form /BBox [0 0 612 792] >>",
                                       "0 0 10 10 re f");
        for (int k = 0; k < 24; ++k)
            form = b.addStream("<< /Type /XObject /Subtype /Form /BBox [0 0 612 792] "
                               "/Resources << /XObject << /Fm " +
                                   form + " >> >> >>",
                               "/Fm Do /Fm Do");
        for (const Page& p : pages) {
            fixtures::PageSpec spec;
            spec.content = p.content;
            spec.mediaBox = p.box;
            spec.resources = "<< /Font << /F1 " + f1 + " /F2 " + f2 + " /F3 " + f3 +
                             " >> /XObject << /Im1 " + image + " /Fm1 " + form + " >> >>";
            b.addPage(spec);
        }
        return b.writeTo(folder_ + "/in" + std::to_string(++count_) + ".pdf");
    }

    /// Converts every page; the package's path. `converted` gets each page's answer.
    std::string convert(const std::string& path, std::vector<bool>* converted = nullptr) {
        auto doc = platform::PdfDocument::open(path);
        EXPECT_TRUE(doc);
        if (!doc)
            return {};
        const std::string out = folder_ + "/out" + std::to_string(count_) + ".pptx";
        QVPPTXPDFExporter exporter;
        exporter.setNumberOfPagesToConvert(static_cast<int64_t>(doc->pageCount()));
        exporter.begainConvertPDF(out);
        const std::string work = exporter.pdfConverter()->savedWorkFolder();
        for (size_t p = 1; p <= doc->pageCount(); ++p) {
            bool ok = false;
            try {
                ok = exporter.convertPDFPage(doc->page(p).get());
            } catch (const std::exception&) {
            }
            if (converted)
                converted->push_back(ok);
        }
        EXPECT_TRUE(exporter.endConvertPDF(*doc));
        EXPECT_FALSE(platform::pathExists(work)) << "work folder left behind";
        auto check = fixtures::checkPackage(out);
        EXPECT_TRUE(check.ok()) << check.output;
        return out;
    }

    /// p:spTree of slide n.
    pugi::xml_node tree(const std::string& pptx, int n) {
        docs_.emplace_back(std::make_unique<pugi::xml_document>());
        const std::string xml = unzip(pptx, "ppt/slides/slide" + std::to_string(n) + ".xml");
        EXPECT_TRUE(
            docs_.back()->load_string(xml.c_str(), pugi::parse_default | pugi::parse_ws_pcdata));
        return docs_.back()->child("p:sld").child("p:cSld").child("p:spTree");
    }

    std::string folder_;
    std::optional<std::string> savedHome_;
    std::vector<std::unique_ptr<pugi::xml_document>> docs_;
    int count_ = 0;
};

/// The shapes of a slide in drawing order: "sp" (text box or freeform) or "pic".
std::vector<std::string> kinds(pugi::xml_node tree) {
    std::vector<std::string> out;
    for (pugi::xml_node c : tree.children()) {
        const std::string name = c.name();
        if (name == "p:pic")
            out.push_back("pic");
        else if (name == "p:sp")
            out.push_back(c.select_node("p:nvSpPr/p:cNvSpPr[@txBox='1']") ? "text" : "path");
    }
    return out;
}

/// The text of each paragraph of each text box.
std::vector<std::vector<std::string>> boxes(pugi::xml_node tree) {
    std::vector<std::vector<std::string>> out;
    for (auto box : tree.select_nodes("p:sp[p:nvSpPr/p:cNvSpPr/@txBox='1']")) {
        out.emplace_back();
        for (pugi::xml_node p : box.node().child("p:txBody").children("a:p")) {
            std::string text;
            for (pugi::xml_node r : p.children("a:r"))
                text += r.child("a:t").text().get();
            if (p.child("a:r"))
                out.back().push_back(text);
        }
    }
    return out;
}

TEST_F(QVPPTXPDFExporterTest, TextBoxesFollowTheLines) {
    const std::string out = convert(pdf({{
        "BT /F1 12 Tf 72 700 Td (Hello) Tj ET "
        "BT /F1 12 Tf 110 700 Td (World) Tj ET " // three space widths after "Hello"
        "BT /F1 12 Tf 72 685 Td (Second) Tj ET " // the next line, 15 pt below
        "BT /F2 12 Tf 120 685 Td (bold) Tj ET "
        "BT /F3 12 Tf 150 685 Td (italic) Tj ET "
        "BT /F1 12 Tf 400 685 Td (Column) Tj ET " // a column's gap: a box of its own
        "BT /F1 12 Tf 60 685 Td (Left) Tj ET "    // steps left on its line: a box of its own
        "BT /F1 12 Tf 72 300 Td (Far) Tj ET "     // far below: a new box
    }}));
    pugi::xml_node t = tree(out, 1);
    using Box = std::vector<std::string>;
    // "bold" ends 1.6 Times spaces before "italic": two spaces, to the nearest.
    EXPECT_EQ(boxes(t),
              (std::vector<Box>{
                  {"Hello   World", "Second  bold  italic"}, {"Column"}, {"Left"}, {"Far"}}));
    EXPECT_NEAR(number(t.select_node("p:sp[2]/p:spPr/a:xfrm/a:off").node(), "x"), 400, 0.5);
    auto first = t.select_node("p:sp[1]/p:txBody").node();
    auto second = first.select_node("a:p[2]").node();
    EXPECT_STREQ(second.select_node("a:pPr/a:lnSpc/a:spcPts").node().attribute("val").value(),
                 "1500");
    EXPECT_STREQ(second.select_node("a:pPr").node().attribute("algn").value(), "l");
    EXPECT_STREQ(second.select_node("a:r[2]/a:rPr").node().attribute("b").value(), "1");
    EXPECT_STREQ(second.select_node("a:r[3]/a:rPr").node().attribute("i").value(), "1");
    EXPECT_STREQ(second.select_node("a:r[1]/a:rPr").node().attribute("b").value(), "");
    // The box that steps left stands at its own place.
    EXPECT_NEAR(number(t.select_node("p:sp[3]/p:spPr/a:xfrm/a:off").node(), "x"), 60, 0.5);
    // The first box: the left edge of "Hello", as wide as its widest line.
    auto xfrm = t.select_node("p:sp[1]/p:spPr/a:xfrm").node();
    EXPECT_NEAR(number(xfrm.child("a:off"), "x"), 72, 0.5);
    EXPECT_GT(number(xfrm.child("a:ext"), "cx"), 100);
}

TEST_F(QVPPTXPDFExporterTest, TurnedTextBoxesStandWhereTheTextIs) {
    // 20 pt text running down the page from (300, 600) and up from (400, 200).
    const std::string out =
        convert(pdf({{"BT /F1 20 Tf 0 -1 1 0 300 600 Tm (Vertical text) Tj ET "
                      "BT /F1 20 Tf 0 1 -1 0 400 200 Tm (Upward text) Tj ET"}}));
    pugi::xml_node t = tree(out, 1);
    struct Case {
        const char* rot;
        double x0, x1; // the glyphs' extent across the line, display space
        double start;  // display y where the text starts
        double direction;
    } cases[] = {{"5400000", 296, 315, 192, 1}, {"16200000", 385, 404, 592, -1}};
    for (int k = 0; k < 2; ++k) {
        SCOPED_TRACE(k);
        auto xfrm =
            t.select_node(("p:sp[" + std::to_string(k + 1) + "]/p:spPr/a:xfrm").c_str()).node();
        EXPECT_STREQ(xfrm.attribute("rot").value(), cases[k].rot);
        const double w = number(xfrm.child("a:ext"), "cx"), h = number(xfrm.child("a:ext"), "cy");
        const double cx = number(xfrm.child("a:off"), "x") + w / 2;
        const double cy = number(xfrm.child("a:off"), "y") + h / 2;
        // The frame turns about its centre: that centre is the text's centre.
        EXPECT_GT(cx, cases[k].x0);
        EXPECT_LT(cx, cases[k].x1);
        EXPECT_NEAR(cy, cases[k].start + cases[k].direction * w / 2, 2.0);
        EXPECT_GT(w, 80);
    }
}

TEST_F(QVPPTXPDFExporterTest, PathsBecomeFreeformsInDrawingOrder) {
    const std::string out = convert(
        pdf({{"BT /F1 12 Tf 72 700 Td (Before) Tj ET "
              "q 3 0 0 3 0 0 cm 2 w 10 10 m 100 10 l S Q "    // scaled 3 each way: 6 pt
              "q 0 1 -1 0 300 0 cm 2 w 10 10 m 100 10 l S Q " // turned: still 2 pt
              "q -2 w [6 3] 0 d 10 10 m 100 10 l S Q "        // a negative width counts as its size
              "1 1 1 rg -5 -5 622 802 re f " // the page's white background: dropped
              "1 1 1 rg 2 2 608 788 re f "   // a white box inside: kept
              "1 1 1 RG -5 -5 622 802 re B " // stroked: kept
              "BT /F1 12 Tf 72 650 Td (After) Tj ET"}}));
    pugi::xml_node t = tree(out, 1);
    EXPECT_EQ(kinds(t),
              (std::vector<std::string>{"text", "path", "path", "path", "path", "path", "text"}));
    std::vector<std::string> ids, widths;
    for (auto n : t.select_nodes("p:sp/p:nvSpPr/p:cNvPr"))
        ids.emplace_back(n.node().attribute("id").value());
    EXPECT_EQ(ids, (std::vector<std::string>{"2", "3", "4", "5", "6", "7", "8"}));
    for (auto n : t.select_nodes("p:sp/p:spPr/a:ln"))
        widths.emplace_back(n.node().attribute("w").value());
    EXPECT_EQ(widths[0], "76200");
    EXPECT_EQ(widths[1], "25400");
    EXPECT_EQ(widths[2], "25400");
    EXPECT_STREQ(t.select_node("p:sp[4]/p:spPr/a:ln/a:prstDash").node().attribute("val").value(),
                 "dash");
}

/// The picture of part `media` in the package, decoded.
platform::RasterImage picture(const std::string& pptx, const std::string& media) {
    auto image = platform::decodeImageData(unzip(pptx, "ppt/media/" + media));
    EXPECT_TRUE(image);
    return image ? image->converted(platform::RasterImage::Format::RGBA) : platform::RasterImage();
}

TEST_F(QVPPTXPDFExporterTest, PathsOfManyElementsArePicturesOfThePaintedPath) {
    // A stroked polyline of 40 elements in blue, 3 pt wide, and a red filled
    // polygon of 30 corners.
    std::string polyline = "0 0 1 RG 3 w 50 400 m";
    for (int k = 1; k < 40; ++k)
        polyline +=
            " " + std::to_string(50 + 10 * k) + " " + std::to_string(k % 2 ? 420 : 400) + " l";
    std::string polygon = "1 0 0 rg 300 200 m";
    for (int k = 1; k < 30; ++k)
        polygon += " " + std::to_string(300 + static_cast<int>(80 * std::sin(k * 0.2166))) + " " +
                   std::to_string(200 + static_cast<int>(80 * std::cos(k * 0.2166))) + " l";
    const std::string out = convert(pdf({{polyline + " S " + polygon + " h f"}}));
    pugi::xml_node t = tree(out, 1);
    ASSERT_EQ(kinds(t), (std::vector<std::string>{"pic", "pic"}));
    struct Case {
        const char* media;
        uint8_t r, g, b;
    } cases[] = {{"image1.png", 0, 0, 255}, {"image2.png", 255, 0, 0}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.media);
        platform::RasterImage image = picture(out, c.media);
        size_t painted = 0, clear = 0, other = 0;
        for (int y = 0; y < image.height; ++y)
            for (int x = 0; x < image.width; ++x) {
                const uint8_t* p = image.row(y) + 4 * x;
                if (p[3] == 0)
                    ++clear;
                else if (p[3] > 200 && p[0] == c.r && p[1] == c.g && p[2] == c.b)
                    ++painted;
                else if (p[3] > 200)
                    ++other;
            }
        // Painted in the path's colour on a transparent ground, never a white blob.
        EXPECT_GT(painted, 200u);
        EXPECT_GT(clear, 200u);
        EXPECT_LT(other, painted / 4);
    }
    // The polyline's picture covers the line, 3 pt wide (x 50..440, y 372..392
    // on the slide), with room for its mitred corners.
    auto xfrm = t.select_node("p:pic[1]/p:spPr/a:xfrm").node();
    const double x = number(xfrm.child("a:off"), "x"), y = number(xfrm.child("a:off"), "y");
    EXPECT_GT(x, 50 - 10);
    EXPECT_LT(x, 50 - 1.5);
    EXPECT_GT(y, 372 - 10);
    EXPECT_LT(y, 372 - 1.5);
    EXPECT_GT(x + number(xfrm.child("a:ext"), "cx"), 440 + 1.5);
    EXPECT_GT(y + number(xfrm.child("a:ext"), "cy"), 392 + 1.5);
}

TEST_F(QVPPTXPDFExporterTest, PathsShowOnlyWhatTheirClipLetsThrough) {
    const std::string out = convert(pdf({{
        "q 100 100 200 200 re W n 1 0 0 rg 50 50 300 300 re f Q "      // cut to the clip
        "q 100 100 200 200 re W n 0 0 1 RG 5 w 400 500 m 500 500 l S Q " // wholly outside: gone
        "q 100 100 200 200 re W n 0 1 0 rg 150 150 50 50 re f Q"}}));     // inside: a freeform
    pugi::xml_node t = tree(out, 1);
    ASSERT_EQ(kinds(t), (std::vector<std::string>{"pic", "path"}));
    auto xfrm = t.select_node("p:pic[1]/p:spPr/a:xfrm").node();
    EXPECT_NEAR(number(xfrm.child("a:off"), "x"), 100, 0.5);
    EXPECT_NEAR(number(xfrm.child("a:off"), "y"), 792 - 300, 0.5);
    EXPECT_NEAR(number(xfrm.child("a:ext"), "cx"), 200, 0.5);
    EXPECT_NEAR(number(xfrm.child("a:ext"), "cy"), 200, 0.5);
    // The clip's box is all red: the picture holds only the part that shows.
    platform::RasterImage image = picture(out, "image1.png");
    size_t red = 0;
    for (int y = 0; y < image.height; ++y)
        for (int x = 0; x < image.width; ++x) {
            const uint8_t* p = image.row(y) + 4 * x;
            red += p[3] > 200 && p[0] == 255 && p[1] == 0 && p[2] == 0;
        }
    EXPECT_GT(red, size_t(image.width) * image.height * 95 / 100);
}

TEST_F(QVPPTXPDFExporterTest, ImagesShareOneMediaPartAndClipsCutThem) {
    const std::string out = convert(pdf({
        {"q 100 0 0 100 50 600 cm /Im1 Do Q q 100 0 0 100 200 600 cm /Im1 Do Q "
         "q 300 300 50 50 re W n 200 0 0 200 250 250 cm /Im1 Do Q " // cut by the clip
         "q 700 700 10 10 re W n 100 0 0 100 50 50 cm /Im1 Do Q"},  // clipped away
        {"q 100 0 0 100 50 600 cm /Im1 Do Q"},
    }));
    pugi::xml_node one = tree(out, 1), two = tree(out, 2);
    EXPECT_EQ(kinds(one), (std::vector<std::string>{"pic", "pic", "pic"}));
    EXPECT_EQ(kinds(two), (std::vector<std::string>{"pic"}));
    auto embed = [](pugi::xml_node t, int k) {
        return std::string(
            t.select_node(("p:pic[" + std::to_string(k) + "]/p:blipFill/a:blip").c_str())
                .node()
                .attribute("r:embed")
                .value());
    };
    EXPECT_EQ(embed(one, 1), "rId2");
    EXPECT_EQ(embed(one, 2), "rId2");
    EXPECT_EQ(embed(one, 3), "rId3");
    EXPECT_EQ(embed(two, 1), "rId2");
    const std::string rels = unzip(out, "ppt/slides/_rels/slide2.xml.rels");
    EXPECT_NE(rels.find("../media/image1.png"), std::string::npos) << rels;
    // The cut stands over the clip box, upright.
    auto clipped = one.select_node("p:pic[3]/p:spPr/a:xfrm").node();
    EXPECT_NEAR(number(clipped.child("a:off"), "x"), 300, 0.01);
    EXPECT_NEAR(number(clipped.child("a:off"), "y"), 792 - 350, 0.01);
    EXPECT_NEAR(number(clipped.child("a:ext"), "cx"), 50, 0.01);
    platform::RasterImage cut = picture(out, "image2.png");
    EXPECT_GE(cut.width, 50);
    EXPECT_NEAR(double(cut.width) / cut.height, 1.0, 0.05);
    auto list = fixtures::runCommand("unzip -l " + fixtures::shellQuote(out) + " 'ppt/media/*'");
    EXPECT_NE(list.output.find("2 files"), std::string::npos) << list.output;
}

TEST_F(QVPPTXPDFExporterTest, SlidesTakeTheFirstPagesSizeAndAFailedPageLeavesNoSlide) {
    std::vector<bool> converted;
    const std::string out =
        convert(pdf({{"BT /F1 12 Tf 72 700 Td (One) Tj ET"},
                     {"BT /F1 12 Tf 72 700 Td (Broken) Tj ET /Fm1 Do"}, // past the page's budget
                     {"BT /F1 12 Tf 72 500 Td (Three) Tj ET", {0, 0, 842, 595}}}),
                &converted);
    EXPECT_EQ(converted, (std::vector<bool>{true, false, true}));
    pugi::xml_document pres;
    ASSERT_TRUE(pres.load_string(unzip(out, "ppt/presentation.xml").c_str()));
    auto size = pres.select_node("p:presentation/p:sldSz").node();
    EXPECT_STREQ(size.attribute("cx").value(), "7772400");
    EXPECT_STREQ(size.attribute("cy").value(), "10058400");
    EXPECT_EQ(pres.select_nodes("p:presentation/p:sldIdLst/p:sldId").size(), 2u);
    EXPECT_NE(unzip(out, "docProps/app.xml").find("<Slides>2</Slides>"), std::string::npos);
    // The landscape page, scaled uniformly into the portrait slide and centred.
    pugi::xml_node t = tree(out, 2);
    EXPECT_EQ(boxes(t), (std::vector<std::vector<std::string>>{{"Three"}}));
    const double s = 612.0 / 842.0, top = (792 - 595 * s) / 2;
    auto off = t.select_node("p:sp/p:spPr/a:xfrm/a:off").node();
    EXPECT_NEAR(number(off, "x"), 72 * s, 0.5);
    EXPECT_NEAR(number(off, "y"), top + 95 * s - 12 * s, 3);
    EXPECT_STREQ(t.select_node("p:sp/p:txBody/a:p/a:r/a:rPr").node().attribute("sz").value(),
                 "850");

    // A page smaller than a slide may be: the smallest slide.
    const std::string tiny = convert(pdf({{"", {0, 0, 20, 20}}}));
    ASSERT_TRUE(pres.load_string(unzip(tiny, "ppt/presentation.xml").c_str()));
    EXPECT_STREQ(pres.select_node("p:presentation/p:sldSz").node().attribute("cx").value(),
                 "914400");
}

TEST_F(QVPPTXPDFExporterTest, PackagingFailuresAndCancelLeaveNothing) {
    const std::string in = pdf({{"BT /F1 12 Tf 72 700 Td (Text) Tj ET"}});
    auto doc = platform::PdfDocument::open(in);
    ASSERT_TRUE(doc);
    platform::createDirectories(folder_ + "/afolder");
    for (const std::string& out : {folder_ + "/missing/out.pptx", folder_ + "/afolder"}) {
        SCOPED_TRACE(out);
        QVPPTXPDFExporter exporter;
        exporter.setNumberOfPagesToConvert(1);
        exporter.begainConvertPDF(out);
        const std::string work = exporter.pdfConverter()->savedWorkFolder();
        EXPECT_TRUE(exporter.convertPDFPage(doc->page(1).get()));
        EXPECT_THROW(exporter.endConvertPDF(*doc), std::runtime_error);
        EXPECT_FALSE(platform::pathExists(folder_ + "/missing"));
        EXPECT_TRUE(platform::isDirectory(folder_ + "/afolder"));
        exporter.cleanConvertPDF();
        EXPECT_FALSE(platform::pathExists(work));
    }
    QVPPTXPDFExporter cancelled;
    cancelled.setNumberOfPagesToConvert(2);
    cancelled.begainConvertPDF(folder_ + "/cancelled.pptx");
    const std::string work = cancelled.pdfConverter()->savedWorkFolder();
    EXPECT_TRUE(cancelled.convertPDFPage(doc->page(1).get()));
    EXPECT_FALSE(cancelled.convertPDFPage(nullptr));
    EXPECT_EQ(cancelled.pdfConverter()->completedSlides(), 1u);
    cancelled.cleanConvertPDF();
    EXPECT_FALSE(platform::pathExists(work));
    EXPECT_FALSE(platform::pathExists(folder_ + "/cancelled.pptx"));
}

TEST_F(QVPPTXPDFExporterTest, WriterMediaAndDates) {
    // An image that is neither PNG nor JPEG goes in as PNG; a page begun but
    // never ended takes no slide.
    platform::RasterImage pixels =
        platform::RasterImage::make(4, 3, platform::RasterImage::Format::RGB);
    auto jp2 = platform::encodeImage(pixels, platform::ImageFileType::JPEG2000, 72, 72, 1);
    ASSERT_TRUE(jp2);
    ASSERT_TRUE(platform::writeFileAtomically(folder_ + "/a.jp2", *jp2));
    // The last second of 2025 in UTC: a week-based year would say 2026.
    QVPPTXWriter::setClockForTesting([] { return 1767225599LL; });
    const std::string out = folder_ + "/writer.pptx";
    {
        QVPPTXWriter writer(out, 3);
        writer.begainWriteDocument();
        writer.begainWritePage({612, 792});
        EXPECT_EQ(writer.collectImageWithPath(folder_ + "/a.jp2"), "rId2");
        EXPECT_EQ(writer.collectImageWithPath(folder_ + "/a.jp2"), "rId2");
        EXPECT_EQ(writer.collectImageWithPath(folder_ + "/not-there.img"), std::nullopt);
        writer.begainWritePage({612, 792}); // the first never ended
        writer.endWritePage();
        EXPECT_EQ(writer.completedSlides(), 1u);
        ASSERT_TRUE(writer.packetPPTXFile()) << writer.failureReason();
    }
    auto check = fixtures::checkPackage(out);
    EXPECT_TRUE(check.ok()) << check.output;
    const std::string core = unzip(out, "docProps/core.xml");
    EXPECT_NE(core.find(">2025-12-31T23:59:59Z<"), std::string::npos) << core;
    // The medium of the slide that never ended is not in the package.
    auto list = fixtures::runCommand("unzip -l " + fixtures::shellQuote(out));
    EXPECT_EQ(list.output.find("ppt/media"), std::string::npos) << list.output;
    {
        QVPPTXWriter writer(folder_ + "/png.pptx", 1);
        writer.begainWriteDocument();
        writer.begainWritePage({612, 792});
        EXPECT_EQ(writer.collectImageWithPath(folder_ + "/a.jp2"), "rId2");
        writer.endWritePage();
        ASSERT_TRUE(writer.packetPPTXFile()) << writer.failureReason();
    }
    EXPECT_EQ(unzip(folder_ + "/png.pptx", "ppt/media/image1.png").substr(1, 3), "PNG");

    // With no clock injected, a pinned build date dates the package (outputs
    // of the same input compare byte for byte); a malformed one is ignored.
    QVPPTXWriter::setClockForTesting(nullptr);
    const char* saved = std::getenv("SOURCE_DATE_EPOCH");
    const std::optional<std::string> savedEpoch =
        saved ? std::optional<std::string>(saved) : std::nullopt;
    for (const auto& [epoch, date] : std::vector<std::pair<std::string, std::string>>{
             {"1700000000", ">2023-11-14T22:13:20Z<"}, {"-5", ""}, {"soon", ""}}) {
        SCOPED_TRACE(epoch);
        ::setenv("SOURCE_DATE_EPOCH", epoch.c_str(), 1);
        const std::string pinned = folder_ + "/pinned.pptx";
        QVPPTXWriter writer(pinned, 1);
        writer.begainWriteDocument();
        writer.begainWritePage({612, 792});
        writer.endWritePage();
        ASSERT_TRUE(writer.packetPPTXFile()) << writer.failureReason();
        const std::string pinnedCore = unzip(pinned, "docProps/core.xml");
        if (date.empty())
            EXPECT_EQ(pinnedCore.find(">1969-"), std::string::npos) << pinnedCore;
        else
            EXPECT_NE(pinnedCore.find(date), std::string::npos) << pinnedCore;
    }
    if (savedEpoch)
        ::setenv("SOURCE_DATE_EPOCH", savedEpoch->c_str(), 1);
    else
        ::unsetenv("SOURCE_DATE_EPOCH");
}

} // namespace
