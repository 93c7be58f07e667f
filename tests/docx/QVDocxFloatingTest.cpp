// The floating objects of the docx exporter, on PDFs built in the test and
// read back from the written package: vertical text boxes, text paths,
// painted paths and pictures, and the VML they are written as (shape types
// defined before use, unique shape ids, text paths that readers draw, path
// text with its closes, line widths and dashes as the page shows them, one
// medium per source image with a content type every reader knows).

#include "docx/QVDocxPDFExporter.h"
#include "docx/QVDocxRunPath.h"
#include "fixtures/PackageCheck.h"
#include "fixtures/PdfBuilder.h"
#include "platform/Files.h"
#include "platform/image/ImageFile.h"
#include "platform/pdf/PdfDocument.h"

#include <gtest/gtest.h>
#include <pugixml.hpp>

#include <cmath>
#include <cstdlib>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

namespace {

class QVDocxFloatingTest : public ::testing::Test {
protected:
    void SetUp() override {
        folder_ = fixtures::makeTestFolder(
            "docx-floating-" +
            std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
        const char* tmp = std::getenv("TMPDIR");
        savedTmp_ = tmp ? std::optional<std::string>(tmp) : std::nullopt;
        ::setenv("TMPDIR", folder_.c_str(), 1);
    }
    void TearDown() override {
        if (savedTmp_)
            ::setenv("TMPDIR", savedTmp_->c_str(), 1);
        else
            ::unsetenv("TMPDIR");
    }

    /// Pages with Helvetica /F1, a 4 x 2 RGB image /Im1 and the same picture
    /// as JPEG 2000 /Im2.
    std::string pdf(const std::vector<std::string>& contents) {
        fixtures::PdfBuilder b;
        const std::string f1 = b.addStandardFont("Helvetica");
        auto image = platform::RasterImage::make(4, 2, platform::RasterImage::Format::RGB);
        for (size_t k = 0; k < image.pixels.size(); ++k)
            image.pixels[k] = static_cast<uint8_t>(k * 10);
        const std::string raw(image.pixels.begin(), image.pixels.end());
        const std::string im1 = b.addStream("<< /Type /XObject /Subtype /Image /Width 4 /Height 2 "
                                            "/ColorSpace /DeviceRGB /BitsPerComponent 8 >>",
                                            raw);
        const auto jpx = platform::encodeImage(image, platform::ImageFileType::JPEG2000, 72, 72, 1);
        EXPECT_TRUE(jpx);
        const std::string im2 = b.addStream(
            "<< /Type /XObject /Subtype /Image /Width 4 /Height 2 /Filter /JPXDecode >>",
            jpx.value_or(""));
        for (const std::string& content : contents) {
            fixtures::PageSpec spec;
            spec.content = content;
            spec.resources =
                "<< /Font << /F1 " + f1 + " >> /XObject << /Im1 " + im1 + " /Im2 " + im2 + " >> >>";
            b.addPage(spec);
        }
        return b.writeTo(folder_ + "/in" + std::to_string(++count_) + ".pdf");
    }

    std::string convert(const std::string& path) {
        auto doc = platform::PdfDocument::open(path);
        EXPECT_TRUE(doc);
        if (!doc)
            return {};
        const std::string out = folder_ + "/out" + std::to_string(count_) + ".docx";
        QVDocxPDFExporter exporter;
        exporter.setNumberOfPagesToConvert(static_cast<int64_t>(doc->pageCount()));
        exporter.begainConvertPDF(out);
        for (size_t p = 1; p <= doc->pageCount(); ++p) {
            auto page = doc->page(p);
            EXPECT_TRUE(exporter.convertPDFPage(page.get()));
        }
        EXPECT_TRUE(exporter.endConvertPDF(*doc));
        auto check = fixtures::checkPackage(out);
        EXPECT_TRUE(check.ok()) << check.output;
        return out;
    }

    std::string part(const std::string& docx, const std::string& name) {
        auto r = fixtures::runCommand("unzip -p " + fixtures::shellQuote(docx) + " " + name);
        EXPECT_TRUE(r.ok()) << r.output;
        return r.output;
    }

    pugi::xml_node document(const std::string& docx) {
        const std::string xml = part(docx, "word/document.xml");
        EXPECT_TRUE(doc_.load_string(xml.c_str()));
        return doc_.child("w:document").child("w:body");
    }

    std::string folder_;
    std::optional<std::string> savedTmp_;
    pugi::xml_document doc_;
    int count_ = 0;
};

std::vector<pugi::xml_node> all(pugi::xml_node root, const char* name) {
    std::vector<pugi::xml_node> out;
    for (pugi::xpath_node n : root.select_nodes((std::string(".//") + name).c_str()))
        out.push_back(n.node());
    return out;
}

std::map<std::string, std::string> styleOf(pugi::xml_node shape) {
    std::map<std::string, std::string> out;
    std::string style = shape.attribute("style").value();
    size_t from = 0;
    while (from < style.size()) {
        size_t end = style.find(';', from);
        if (end == std::string::npos)
            end = style.size();
        const std::string item = style.substr(from, end - from);
        const size_t colon = item.find(':');
        if (colon != std::string::npos)
            out[item.substr(0, colon)] = item.substr(colon + 1);
        from = end + 1;
    }
    return out;
}

TEST_F(QVDocxFloatingTest, ShapeTypesAreDefinedOnceBeforeUseAndShapeIdsAreUnique) {
    const std::string words30 =
        "BT /F1 16 Tf 0.866 0.5 -0.5 0.866 100 400 Tm (Slanted) Tj ET "
        "BT /F1 16 Tf 0.866 0.5 -0.5 0.866 151.09 429.5 Tm (words) Tj ET ";
    const std::string docx = convert(pdf({
        "q 20 0 0 10 100 600 cm /Im1 Do Q " + words30 +
            "BT /F1 12 Tf 0 -1 1 0 300 700 Tm (Down the page) Tj ET 2 w 100 100 m 200 200 l S",
        "q 20 0 0 10 100 600 cm /Im1 Do Q " + words30 +
            "BT /F1 12 Tf 0 -1 1 0 300 700 Tm (Down again) Tj ET",
    }));
    const pugi::xml_node body = document(docx);
    std::map<std::string, int> defined;
    std::set<std::string> ids;
    size_t shapes = 0;
    // Document order: every reference comes after its definition.
    for (pugi::xpath_node n : body.select_nodes(".//v:shapetype | .//v:shape")) {
        const pugi::xml_node e = n.node();
        if (std::string(e.name()) == "v:shapetype") {
            ++defined[e.attribute("id").value()];
            continue;
        }
        ++shapes;
        EXPECT_TRUE(ids.insert(e.attribute("id").value()).second)
            << "repeated id " << e.attribute("id").value();
        if (const char* type = e.attribute("type").value(); *type) {
            EXPECT_EQ(defined.count(std::string(type).substr(1)), 1u) << type << " not defined yet";
        }
    }
    EXPECT_EQ(shapes, 7u); // per page a picture, a text path, a text box; one path
    EXPECT_EQ(defined, (std::map<std::string, int>{
                           {"_x0000_t75", 1}, {"_x0000_t136", 1}, {"_x0000_t202", 1}}));
    // Text paths are drawn by every reader only when switched on and fitted.
    for (pugi::xml_node t : all(body, "v:textpath"))
        if (t.parent().name() == std::string("v:shape")) {
            EXPECT_STREQ(t.attribute("on").value(), "t");
            EXPECT_STREQ(t.attribute("fitshape").value(), "t");
            EXPECT_STREQ(t.attribute("string").value(), "Slanted words");
        }
}

TEST_F(QVDocxFloatingTest, VerticalLinesStayInOneTextBox) {
    const pugi::xml_node body = document(convert(pdf({
        // Three lines down the page, each to the left of the one before.
        "BT /F1 14 Tf 0 -1 1 0 300 700 Tm (First line) Tj ET "
        "BT /F1 14 Tf 0 -1 1 0 282 700 Tm (second line) Tj ET "
        "BT /F1 14 Tf 0 -1 1 0 264 680 Tm (third line) Tj ET "
        // Three lines up the page, each to the right.
        "BT /F1 14 Tf 0 1 -1 0 400 300 Tm (Up one) Tj ET "
        "BT /F1 14 Tf 0 1 -1 0 418 300 Tm (up two) Tj ET "
        "BT /F1 14 Tf 0 1 -1 0 436 300 Tm (up three) Tj ET",
    })));
    const auto boxes = all(body, "v:textbox");
    ASSERT_EQ(boxes.size(), 2u);
    const struct {
        const char* flow;
        std::vector<std::string> lines;
        std::vector<std::string> spacing; // twentieths of a point
        std::vector<std::string> indent;
    } expected[] = {
        {"layout-flow:vertical", {"First line", "second line", "third line"}, {"260", "360", "360"},
         {"0", "0", "400"}},
        {"layout-flow:vertical;mso-layout-flow-alt:bottom-to-top", {"Up one", "up two", "up three"},
         {"260", "360", "360"}, {"0", "0", "0"}},
    };
    for (size_t k = 0; k < boxes.size(); ++k) {
        SCOPED_TRACE(expected[k].flow);
        EXPECT_EQ(std::string(boxes[k].attribute("style").value()), expected[k].flow);
        const auto paragraphs = all(boxes[k], "w:p");
        ASSERT_EQ(paragraphs.size(), 3u);
        for (size_t p = 0; p < 3; ++p) {
            EXPECT_EQ(std::string(paragraphs[p].select_node(".//w:t").node().text().get()),
                      expected[k].lines[p]);
            EXPECT_EQ(std::string(paragraphs[p].child("w:pPr").child("w:spacing").attribute("w:line").value()),
                      expected[k].spacing[p]);
            EXPECT_EQ(std::string(paragraphs[p].child("w:pPr").child("w:ind").attribute("w:left").value()),
                      expected[k].indent[p]);
        }
    }
    // The 90-degree box stands left of its first line's top, the 270-degree
    // box right of it.
    auto first = styleOf(boxes[0].parent()), second = styleOf(boxes[1].parent());
    EXPECT_LT(std::stod(first["margin-left"]), 300 - 3 * 14);
    EXPECT_LE(std::stod(first["margin-left"]) + std::stod(first["width"]), 300 + 14 + 1);
    EXPECT_GE(std::stod(second["margin-left"]), 400 - 14 - 1);
}

TEST_F(QVDocxFloatingTest, PathsAreWrittenAsThePageShowsThem) {
    struct Case {
        const char* name;
        std::string content;
        std::string path;        // the path text, twentieths of a point
        std::string weight;      // strokeweight, or empty when not stroked
        std::string dash;        // dashstyle, or empty
        std::string opacity;     // stroke or fill opacity, or empty
    };
    const Case cases[] = {
        // Each subpath's close is marked where it happens.
        {"two closed squares", "0 0 1 RG 100 100 10 10 re 200 100 10 10 re S",
         "m2000,13840l2200,13840l2200,13640l2000,13640xm4000,13840l4200,13840l4200,13640l4000,"
         "13640xe",
         "1.00pt", "", ""},
        // A line after a close starts again at the subpath's start.
        {"line after a close", "100 100 m 110 100 l 110 110 l h 120 120 l S",
         "m2000,13840l2200,13840l2200,13640xm2000,13840l2400,13440e", "1.00pt", "", ""},
        // Widths scale by the square root of the area factor: a mirrored or
        // turned page keeps them, never negative or zero.
        {"mirrored in x", "q -1 0 0 1 612 0 cm 2 w 100 100 m 200 200 l S Q", "", "2.00pt", "",
         ""},
        {"turned a quarter", "q 0 1 -1 0 612 0 cm 2 w 100 100 m 200 200 l S Q", "", "2.00pt",
         "", ""},
        {"scaled twice", "q 2 0 0 2 0 0 cm 1.5 w 100 100 m 200 200 l S Q", "", "3.00pt", "", ""},
        // Dashes count in line widths, fractions kept.
        {"dashed 6 3 1 3 at 2", "2 w [6 3 1 3] 0 d 100 600 m 400 600 l S", "", "2.00pt",
         "3 1.5 0.5 1.5", ""},
        {"translucent", "/GS1 gs 100 100 m 200 200 l S", "", "1.00pt", "", "32768f"},
        // A fill under a point wide is a line as thick, as translucent, never dashed.
        {"hairline fill", "/GS2 gs [2 2] 0 d 100 100 0.5 40 re f", "", "0.50pt", "", "32768f"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        fixtures::PdfBuilder b;
        fixtures::PageSpec spec;
        spec.content = c.content;
        spec.resources =
            "<< /ExtGState << /GS1 << /CA 0.5 >> /GS2 << /ca 0.5 >> >> >>";
        b.addPage(spec);
        const std::string in = b.writeTo(folder_ + "/path" + std::to_string(++count_) + ".pdf");
        const auto shapes = all(document(convert(in)), "v:shape");
        ASSERT_EQ(shapes.size(), 1u);
        const pugi::xml_node s = shapes[0];
        if (!c.path.empty()) {
            EXPECT_STREQ(s.attribute("path").value(), c.path.c_str());
        }
        EXPECT_STREQ(s.attribute("strokeweight").value(), c.weight.c_str());
        EXPECT_STREQ(s.attribute("type").value(), "");
        const pugi::xml_node stroke = s.child("v:stroke");
        EXPECT_STREQ(stroke.attribute("dashstyle").value(), c.dash.c_str());
        EXPECT_STREQ(stroke.attribute("opacity").value(), c.opacity.c_str());
    }
}

TEST_F(QVDocxFloatingTest, OneMediumPerSourceImageOfAKnownType) {
    // The same raw image on three pages (once mirrored, twice as is) and a
    // JPEG 2000 image twice.
    const std::string docx = convert(pdf({
        "q 20 0 0 10 100 600 cm /Im1 Do Q q 20 0 0 10 100 500 cm /Im2 Do Q",
        "q 20 0 0 10 100 600 cm /Im1 Do Q q 20 0 0 -10 100 400 cm /Im1 Do Q",
        "q 20 0 0 10 100 600 cm /Im1 Do Q q 20 0 0 10 100 500 cm /Im2 Do Q",
    }));
    const pugi::xml_node body = document(docx);
    std::set<std::string> ids;
    for (pugi::xml_node d : all(body, "v:imagedata"))
        ids.insert(d.attribute("r:id").value());
    EXPECT_EQ(all(body, "v:imagedata").size(), 6u);
    EXPECT_EQ(ids.size(), 3u); // the image, its mirrored copy, the JPEG 2000 one as PNG
    for (pugi::xml_node s : all(body, "v:shape"))
        EXPECT_EQ(styleOf(s).count("flip"), 0u);
    const auto listing = fixtures::runCommand("unzip -Z1 " + fixtures::shellQuote(docx));
    size_t media = 0;
    for (size_t at = listing.output.find("word/media/"); at != std::string::npos;
         at = listing.output.find("word/media/", at + 1)) {
        ++media;
        const std::string name = listing.output.substr(at, listing.output.find('\n', at) - at);
        EXPECT_EQ(name.substr(name.size() - 4), ".png") << name;
    }
    EXPECT_EQ(media, 3u);
    // Default content types name only what the package holds.
    const std::string types = part(docx, "[[]Content_Types].xml");
    EXPECT_NE(types.find("Extension=\"png\" ContentType=\"image/png\""), std::string::npos);
    EXPECT_EQ(types.find("Extension=\"jpeg\""), std::string::npos);
    EXPECT_EQ(types.find("jp2"), std::string::npos);
}

} // namespace

namespace {

TEST_F(QVDocxFloatingTest, PicturesAndPathsStackByPaintingOrder) {
    const pugi::xml_node body = document(convert(pdf({
        // Text, then a picture over it: the picture comes to the front.
        "BT /F1 12 Tf 100 620 Td (Under the first picture) Tj ET "
        "q 200 0 0 50 90 600 cm /Im1 Do Q "
        // A picture, then text over it: the picture stays behind.
        "q 200 0 0 50 90 400 cm /Im1 Do Q "
        "BT /F1 12 Tf 100 420 Td (Over the second picture) Tj ET "
        // A path under a later picture stays behind, one alone comes forward.
        "0 0 1 rg 300 200 50 50 re f q 100 0 0 100 280 180 cm /Im1 Do Q "
        "1 0 0 rg 450 200 50 50 re f",
    })));
    std::vector<long> z;
    for (pugi::xml_node s : all(body, "v:shape"))
        z.push_back(std::stol(styleOf(s)["z-index"]));
    // Pictures first, then paths, each in painting order.
    ASSERT_EQ(z.size(), 5u);
    EXPECT_GT(z[0], 0);  // first picture, nothing painted over it
    EXPECT_LT(z[1], 0);  // second picture, text over it
    EXPECT_GT(z[2], 0);  // third picture
    EXPECT_LT(z[3], 0);  // blue square under the third picture
    EXPECT_GT(z[4], 0);  // red square alone
    EXPECT_LT(z[0], z[2]); // in front of the text they keep their painting order
}

// A box filled over text that is then drawn again over itself (read once)
// lies under that text, as the page shows it; a box filled over text drawn
// only before it hides it (a redaction) and comes to the front.
TEST_F(QVDocxFloatingTest, AFillBetweenTwoCopiesOfItsTextStaysBehindIt) {
    const std::string docx = convert(pdf({
        "BT /F1 12 Tf 100 620 Td (Circulation and metabolism) Tj ET "
        "0.7 0.9 0.9 rg 90 600 300 40 re f "
        "0 g BT /F1 12 Tf 100 620 Td (Circulation and metabolism) Tj ET "
        "BT /F1 12 Tf 100 420 Td (Hidden by a box) Tj ET "
        "0 g 90 400 300 40 re f",
    }));
    const pugi::xml_node body = document(docx);
    std::vector<long> z;
    for (pugi::xml_node s : all(body, "v:shape"))
        z.push_back(std::stol(styleOf(s)["z-index"]));
    ASSERT_EQ(z.size(), 2u);
    EXPECT_LT(z[0], 0); // the cyan box under its text
    EXPECT_GT(z[1], 0); // the black box over text drawn before it
    // The text under the cyan box is read once.
    const std::string xml = part(docx, "word/document.xml");
    size_t n = 0;
    for (size_t at = xml.find("Circulation"); at != std::string::npos;
         at = xml.find("Circulation", at + 1))
        ++n;
    EXPECT_EQ(n, 1u);
}

} // namespace

namespace {

// A reader lays out every floating object against its page's text, and a
// plotted surface of thousands of small paths takes it minutes. Paths painted
// one after another on the same side of the text are one group of shapes,
// each member in page coordinates and in painting order; a picture or text
// stacked between two paths, or paths on different sides of the text, keep
// them in separate objects so the stacking stays as painted.
TEST_F(QVDocxFloatingTest, ManyPathsOnOnePageAreAFewGroupsStackedAsPainted) {
    struct Case {
        const char* name;
        std::string content;
        size_t floating;          // w:pict elements of the document
        std::vector<size_t> sizes; // shapes of each group, in document order
        // The first group's first shape, the first path painted (twentieths of a point).
        const char* firstOrigin = "2000,9640";
    };
    // 20 x 15 cells of a plotted surface, each filled and outlined on its own.
    std::string surface;
    for (int i = 0; i < 20; ++i)
        for (int j = 0; j < 15; ++j)
            surface += "0." + std::to_string(i % 10) + " 0.3 0.2 rg " + std::to_string(100 + i * 10) +
                       " " + std::to_string(300 + j * 10) + " 10 10 re B ";
    // 150 separate strokes of a curve.
    std::string curve;
    for (int k = 0; k < 150; ++k)
        curve += std::to_string(100 + k * 0.5) + " " + std::to_string(100 + (k % 37)) + " m " +
                 std::to_string(100.5 + k * 0.5) + " " + std::to_string(100 + ((k + 1) % 37)) +
                 " l S ";
    // Text painted after the surface over its first cell, and text painted
    // before the curve over it.
    const std::string over = "BT /F1 12 Tf 102 302 Td (Text over the surface) Tj ET ";
    const std::string under = "BT /F1 12 Tf 100 98 Td (Text under the curve) Tj ET ";
    const Case cases[] = {
        {"a surface", surface, 1, {300}},
        {"a surface and a curve", surface + curve, 1, {450}},
        // Text painted after the surface keeps it behind, the cells away
        // from the text with it; the curve away from all text as well.
        {"text over the surface", surface + over + curve, 1, {450}},
        // The curve painted over text comes in front of it.
        {"text over the surface, the curve over text", surface + over + under + curve, 2,
         {300, 150}},
        // A picture painted between them over the curve stacks between them;
        // one away from the curve lets it join the surface.
        {"a picture between", surface + "q 200 0 0 30 100 100 cm /Im1 Do Q " + curve, 3,
         {300, 150}},
        {"a picture beside", surface + "q 20 0 0 10 100 600 cm /Im1 Do Q " + curve, 2, {450}},
        // Paths alternating with text painted over some of them: one group
        // behind the text, one in front.
        {"paths between lines", [] {
             std::string c;
             for (int k = 0; k < 30; ++k) {
                 const std::string y = std::to_string(700 - k * 20);
                 c += "100 " + y + " m 300 " + y + " l S ";
                 c += "BT /F1 10 Tf 100 " + std::to_string(700 - k * 20 - 2) + " Td (Row " +
                      std::to_string(k) + ") Tj ET ";
                 c += "100 " + std::to_string(700 - k * 20 - 1) + " m 300 " +
                      std::to_string(700 - k * 20 - 1) + " l S ";
             }
             return c;
         }(),
         2, {30, 30}, "2000,1840"},
        // A single path is a shape of its own, as before.
        {"one path", "100 100 m 200 200 l S", 1, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const pugi::xml_node body = document(convert(pdf({c.content})));
        EXPECT_EQ(all(body, "w:pict").size(), c.floating);
        const auto groups = all(body, "v:group");
        ASSERT_EQ(groups.size(), c.sizes.size());
        long previousZ = 0;
        for (size_t g = 0; g < groups.size(); ++g) {
            const pugi::xml_node group = groups[g];
            EXPECT_EQ(all(group, "v:shape").size(), c.sizes[g]);
            // Group coordinates are the page's in twentieths of a point: the
            // group's box in points times 20 is its coordinate space.
            auto style = styleOf(group);
            const double left = std::stod(style["margin-left"]);
            const double top = std::stod(style["margin-top"]);
            const double width = std::stod(style["width"]);
            const double height = std::stod(style["height"]);
            EXPECT_EQ(std::string(group.attribute("coordorigin").value()),
                      std::to_string(std::lround(left * 20)) + "," +
                          std::to_string(std::lround(top * 20)));
            EXPECT_EQ(std::string(group.attribute("coordsize").value()),
                      std::to_string(std::lround(width * 20)) + "," +
                          std::to_string(std::lround(height * 20)));
            EXPECT_EQ(style["mso-position-vertical-relative"], "page");
            // Every member lies inside the group, with no stacking of its own.
            for (pugi::xml_node s : all(group, "v:shape")) {
                auto own = styleOf(s);
                EXPECT_EQ(own.count("z-index"), 0u);
                EXPECT_GE(std::stod(own["left"]), left * 20 - 0.5);
                EXPECT_GE(std::stod(own["top"]), top * 20 - 0.5);
                EXPECT_LE(std::stod(own["left"]) + std::stod(own["width"]),
                          (left + width) * 20 + 0.5);
                EXPECT_LE(std::stod(own["top"]) + std::stod(own["height"]),
                          (top + height) * 20 + 0.5);
            }
            const long z = std::stol(style["z-index"]);
            if (g > 0 && std::string(c.name) == "a picture between") {
                // Both in front, the picture's order between theirs.
                const auto pictures = all(body, "v:imagedata");
                ASSERT_EQ(pictures.size(), 1u);
                const long pictureZ =
                    std::stol(styleOf(pictures[0].parent())["z-index"]);
                EXPECT_LT(previousZ, pictureZ);
                EXPECT_LT(pictureZ, z);
            }
            if (std::string(c.name).rfind("text over the surface", 0) == 0) {
                EXPECT_EQ(z < 0, g == 0);
            }
            previousZ = z;
        }
        // Shapes keep their painting order: the first member is the first cell.
        if (!groups.empty()) {
            const pugi::xml_node first = groups[0].child("v:shape");
            EXPECT_STREQ(first.attribute("coordorigin").value(), c.firstOrigin);
        }
    }
}

} // namespace

namespace {

// A drawing of thousands of paths is one picture in their place and stacking:
// a reader redraws every shape of a group each time it lays the page out.
TEST_F(QVDocxFloatingTest, ADrawingOfThousandsOfPathsIsOnePicture) {
    // 3,000 strokes filling 300 x 200 points from (100, 400), then text over the first.
    std::string content = "0 0 1 RG 0.5 w ";
    for (int k = 0; k < 3000; ++k) {
        const int x = 100 + (k % 60) * 5, y = 400 + (k / 60) * 4;
        content += std::to_string(x) + " " + std::to_string(y) + " m " + std::to_string(x + 5) +
                   " " + std::to_string(y + 4) + " l S ";
    }
    content += "BT /F1 12 Tf 100 398 Td (Text over the drawing) Tj ET";
    const std::string docx = convert(pdf({content}));
    const pugi::xml_node body = document(docx);
    EXPECT_EQ(all(body, "w:pict").size(), 1u);
    EXPECT_EQ(all(body, "v:group").size(), 0u);
    const auto pictures = all(body, "v:imagedata");
    ASSERT_EQ(pictures.size(), 1u);
    auto style = styleOf(pictures[0].parent());
    // Behind the text painted over it; the box of the strokes, half a line wider.
    EXPECT_LT(std::stol(style["z-index"]), 0);
    EXPECT_NEAR(std::stod(style["margin-left"]), 99.75, 0.01);
    EXPECT_NEAR(std::stod(style["margin-top"]), 792 - 600 - 0.25, 0.01);
    EXPECT_NEAR(std::stod(style["width"]), 300.5, 0.01);
    EXPECT_NEAR(std::stod(style["height"]), 200.5, 0.01);
    // The picture is a medium of the package at 200 dots per inch.
    const std::string png = part(docx, "word/media/drawing1.png");
    ASSERT_GT(png.size(), 24u);
    auto be32 = [&](size_t at) {
        return (uint32_t(uint8_t(png[at])) << 24) | (uint32_t(uint8_t(png[at + 1])) << 16) |
               (uint32_t(uint8_t(png[at + 2])) << 8) | uint32_t(uint8_t(png[at + 3]));
    };
    EXPECT_EQ(png.substr(1, 3), "PNG");
    EXPECT_EQ(be32(16), static_cast<uint32_t>(std::ceil(300.5 * 200 / 72)));
    EXPECT_EQ(be32(20), static_cast<uint32_t>(std::ceil(200.5 * 200 / 72)));
    // The text is still text.
    EXPECT_NE(part(docx, "word/document.xml").find("Text over the drawing"), std::string::npos);
}

} // namespace
