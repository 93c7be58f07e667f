// The docx exporter end to end on PDFs built in the test: what the
// interpreter reports becomes runs, paragraphs and sections of document.xml,
// read back from the written package with an XML parser. Every package also
// passes the package checker.

#include "docx/QVDocxPDFExporter.h"
#include "fixtures/PackageCheck.h"
#include "fixtures/PdfBuilder.h"
#include "platform/Files.h"
#include "platform/pdf/PdfDocument.h"

#include <gtest/gtest.h>
#include <pugixml.hpp>

#include <cstdlib>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

namespace {

class QVDocxPDFExporterTest : public ::testing::Test {
protected:
    void SetUp() override {
        folder_ = fixtures::makeTestFolder(
            "docx-exporter-" +
            std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
        // Work folders go below $TMPDIR: keep them inside the test's folder.
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

    /// A PDF whose pages have Helvetica /F1, Helvetica-Bold /F2, Times-Italic
    /// /F3, a font named in GBK bytes /F4 and a font whose code A reads as
    /// U+1F600 /F5, a subset of TeX's bold CMBX10 /F6; each page with its content and
    /// media box.
    std::string pdf(const std::vector<std::pair<std::string, std::vector<double>>>& pages) {
        fixtures::PdfBuilder b;
        const std::string f1 = b.addStandardFont("Helvetica");
        const std::string f2 = b.addStandardFont("Helvetica-Bold");
        const std::string f3 = b.addStandardFont("Times-Italic");
        const std::string f4 = b.addObject(
            "<< /Type /Font /Subtype /Type1 /BaseFont /#CB#CE#CC#E5 /Encoding /WinAnsiEncoding >>");
        const std::string cmap = b.addStream(
            "", "/CIDInit /ProcSet findresource begin 12 dict begin begincmap\n"
                "/CMapName /Emoji def 1 begincodespacerange <00> <FF> endcodespacerange\n"
                "1 beginbfchar <41> <D83DDE00> endbfchar\nendcmap CMapName currentdict "
                "/CMap defineresource pop end end\n");
        const std::string f5 = b.addObject("<< /Type /Font /Subtype /Type1 /BaseFont /Helvetica "
                                           "/Encoding /WinAnsiEncoding /ToUnicode " +
                                           cmap + " >>");
        const std::string f6 = b.addObject(
            "<< /Type /Font /Subtype /Type1 /BaseFont /ABCDEF+CMBX10 /Encoding /WinAnsiEncoding >>");
        for (const auto& [content, box] : pages) {
            fixtures::PageSpec spec;
            spec.content = content;
            spec.mediaBox = box;
            spec.resources = "<< /Font << /F1 " + f1 + " /F2 " + f2 + " /F3 " + f3 + " /F4 " +
                             f4 + " /F5 " + f5 + " /F6 " + f6 + " >> >>";
            b.addPage(spec);
        }
        return b.writeTo(folder_ + "/in" + std::to_string(++count_) + ".pdf");
    }

    /// Converts every page; the path of the package, empty when none was saved.
    std::string convert(const std::string& path) {
        auto doc = platform::PdfDocument::open(path);
        EXPECT_TRUE(doc);
        if (!doc)
            return {};
        const std::string out = folder_ + "/out" + std::to_string(count_) + ".docx";
        QVDocxPDFExporter exporter;
        exporter.setNumberOfPagesToConvert(static_cast<int64_t>(doc->pageCount()));
        exporter.begainConvertPDF(out);
        workFolder_ = exporter.pdfConverter()->savedWorkFolder();
        for (size_t p = 1; p <= doc->pageCount(); ++p) {
            auto page = doc->page(p);
            EXPECT_TRUE(exporter.convertPDFPage(page.get()));
        }
        EXPECT_TRUE(exporter.endConvertPDF(*doc));
        EXPECT_FALSE(platform::pathExists(workFolder_)) << "work folder left behind";
        auto check = fixtures::checkPackage(out);
        EXPECT_TRUE(check.ok()) << check.output;
        return out;
    }

    /// w:body of the package's document.xml.
    pugi::xml_node body(const std::string& docx) {
        auto xml = fixtures::runCommand("unzip -p " + fixtures::shellQuote(docx) +
                                        " word/document.xml");
        EXPECT_TRUE(xml.ok()) << xml.output;
        EXPECT_TRUE(doc_.load_string(xml.output.c_str(), pugi::parse_default | pugi::parse_ws_pcdata));
        return doc_.child("w:document").child("w:body");
    }

    std::pair<std::string, std::vector<double>> page(std::string content,
                                                     std::vector<double> box = {0, 0, 612, 792}) {
        return {std::move(content), std::move(box)};
    }

    std::string folder_, workFolder_;
    std::optional<std::string> savedTmp_;
    pugi::xml_document doc_;
    int count_ = 0;
};

/// Every run of the body in order: its text and its w:rPr.
struct WrittenRun {
    std::string text;
    pugi::xml_node rPr;
};
std::vector<WrittenRun> runs(pugi::xml_node body) {
    std::vector<WrittenRun> out;
    for (pugi::xml_node p : body.children("w:p"))
        for (pugi::xml_node r : p.children("w:r"))
            if (pugi::xml_node t = r.child("w:t"); t && r.child("w:rPr").first_child())
                out.push_back({t.text().get(), r.child("w:rPr")});
    return out;
}

pugi::xml_node nextElement(pugi::xml_node n) {
    do
        n = n.next_sibling();
    while (n && n.type() != pugi::node_element);
    return n;
}

pugi::xml_node lastElement(pugi::xml_node n) {
    pugi::xml_node last;
    for (pugi::xml_node c : n.children())
        if (c.type() == pugi::node_element)
            last = c;
    return last;
}

const WrittenRun* runWith(const std::vector<WrittenRun>& all, const std::string& text) {
    for (const WrittenRun& r : all)
        if (r.text.find(text) != std::string::npos)
            return &r;
    return nullptr;
}

TEST_F(QVDocxPDFExporterTest, RunPropertiesFromTheFontsAndColoursOfThePage) {
    const std::string docx = convert(pdf({page(
        "BT /F1 12 Tf 72 700 Td (Plain) Tj ET "
        "BT /F2 12 Tf 72 660 Td (Heavy) Tj ET "
        "BT /F3 12 Tf 72 620 Td (Slanted) Tj ET "
        "BT 1 0 0 rg /F1 6.5 Tf 72 580 Td (Red small) Tj ET "
        "BT 0 g /F1 0.6 Tf 72 560 Td (Tiny) Tj ET "
        "BT /F4 12 Tf 72 520 Td (Song) Tj ET "
        "BT /F5 12 Tf 72 480 Td (A) Tj ET "
        "BT /F6 12 Tf 72 440 Td (Theorem) Tj ET")}));
    const auto all = runs(body(docx));
    const struct {
        const char* text;
        const char* font;
        const char* size; // half points
        const char* color;
        bool bold, italic;
    } cases[] = {
        // PostScript names are written as the families readers find.
        {"Plain", "Arial", "24", "000000", false, false},
        // A styled face is named by its family; the style is in b and i.
        {"Heavy", "Arial", "24", "000000", true, false},
        {"Slanted", "Times New Roman", "24", "000000", false, true},
        // Sizes keep their half point and go down to 1 pt (not whole points from 8).
        {"Red small", "Arial", "13", "FF0000", false, false},
        {"Tiny", "Arial", "2", "000000", false, false},
        // A font named in GBK bytes is named in UTF-8.
        {"Song", "宋体", "24", "000000", false, false},
        // A character outside the BMP is written whole.
        {"\xF0\x9F\x98\x80", "Arial", "24", "000000", false, false},
        // A subset's prefix goes; the bold of a TeX face's name is kept.
        {"Theorem", "Times New Roman", "24", "000000", true, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        const WrittenRun* r = runWith(all, c.text);
        ASSERT_TRUE(r) << [&] {
            std::string texts;
            for (const WrittenRun& w : all)
                texts += "[" + w.text + "]";
            return texts;
        }();
        EXPECT_STREQ(r->rPr.child("w:rFonts").attribute("w:ascii").value(), c.font);
        EXPECT_STREQ(r->rPr.child("w:sz").attribute("w:val").value(), c.size);
        EXPECT_STREQ(r->rPr.child("w:color").attribute("w:val").value(), c.color);
        EXPECT_EQ(bool(r->rPr.child("w:b")), c.bold);
        EXPECT_EQ(bool(r->rPr.child("w:i")), c.italic);
    }
}

TEST_F(QVDocxPDFExporterTest, FontTableDeclaresEveryFontTheRunsUse) {
    // A reader without a font picks a close one from its font table entry:
    // each family the runs name is declared once, with its generic family,
    // pitch and a stand-in.
    const std::string docx = convert(pdf({page("BT /F1 12 Tf 72 700 Td (Plain) Tj ET "
                                               "BT /F3 12 Tf 72 620 Td (Slanted) Tj ET "
                                               "BT /F4 12 Tf 72 520 Td (Song) Tj ET "
                                               "BT /F6 12 Tf 72 440 Td (Theorem) Tj ET")}));
    std::set<std::string> used;
    for (const WrittenRun& r : runs(body(docx)))
        used.insert(r.rPr.child("w:rFonts").attribute("w:ascii").value());
    auto xml = fixtures::runCommand("unzip -p " + fixtures::shellQuote(docx) + " word/fontTable.xml");
    ASSERT_TRUE(xml.ok()) << xml.output;
    pugi::xml_document table;
    ASSERT_TRUE(table.load_string(xml.output.c_str()));
    std::map<std::string, pugi::xml_node> declared;
    for (pugi::xml_node f : table.child("w:fonts").children("w:font")) {
        const std::string name = f.attribute("w:name").value();
        EXPECT_TRUE(declared.emplace(name, f).second) << name << " declared twice";
        for (const char* child : {"w:altName", "w:charset", "w:family", "w:pitch"})
            EXPECT_STRNE(f.child(child).attribute("w:val").value(), "") << name << " " << child;
    }
    EXPECT_EQ(used, (std::set<std::string>{"Arial", "Times New Roman", "宋体"}));
    for (const std::string& name : used)
        EXPECT_TRUE(declared.count(name)) << name << " used but not declared";
    ASSERT_TRUE(declared.count("Arial"));
    EXPECT_STREQ(declared["Arial"].child("w:family").attribute("w:val").value(), "swiss");
    EXPECT_STREQ(declared["Times New Roman"].child("w:family").attribute("w:val").value(), "roman");
}

TEST_F(QVDocxPDFExporterTest, ScriptsColumnsAndSections) {
    std::string twoColumns = "BT /F2 16 Tf 72 740 Td (Heading across the page) Tj ET ";
    // Each column drawn whole, top to bottom, as typesetters do.
    for (int k = 0; k < 6; ++k)
        twoColumns += "BT /F1 10 Tf 72 " + std::to_string(700 - 14 * k) +
                      " Td (Left column line) Tj ET ";
    for (int k = 0; k < 6; ++k)
        twoColumns += "BT /F1 10 Tf 330 " + std::to_string(700 - 14 * k) +
                      " Td (Right column line) Tj ET ";
    const std::string docx = convert(pdf({
        page("BT /F1 12 Tf 72 700 Td (E = mc) Tj ET BT /F1 7 Tf 114 705 Td (2) Tj ET "
             // A subscript well below its line (5.5 pt; a lesser shift stays
             // on the line as smaller text).
             "BT /F1 20 Tf 72 660 Td (H) Tj ET BT /F1 8 Tf 87 654.5 Td (2) Tj ET "
             "BT /F1 20 Tf 93 660 Td (O) Tj ET"),
        page(twoColumns),
    }));
    pugi::xml_node b = body(docx);
    const auto all = runs(b);
    const WrittenRun* squared = nullptr;
    const WrittenRun* water = nullptr;
    for (const WrittenRun& r : all) {
        if (r.text.rfind("2", 0) != 0)
            continue;
        (squared ? water : squared) = &r;
    }
    ASSERT_TRUE(squared && water) << [&] {
        std::string texts;
        for (const WrittenRun& w : all)
            texts += "[" + w.text + "]";
        return texts;
    }();
    EXPECT_STREQ(squared->rPr.child("w:vertAlign").attribute("w:val").value(), "superscript");
    EXPECT_STREQ(water->rPr.child("w:vertAlign").attribute("w:val").value(), "subscript");

    // The second page: a one-column section for the heading, then two columns
    // whose second starts where the right column stands, its paragraphs
    // indented from their column.
    bool twoColumnSection = false;
    for (pugi::xpath_node n : b.select_nodes(".//w:sectPr/w:cols")) {
        pugi::xml_node cols = n.node();
        if (std::string(cols.attribute("w:num").value()) != "2")
            continue;
        twoColumnSection = true;
        auto col = cols.children("w:col").begin();
        EXPECT_STREQ(col->attribute("w:w").value(), "6600"); // 330 pt
    }
    EXPECT_TRUE(twoColumnSection);
    for (pugi::xml_node p : b.children("w:p")) {
        if (std::string(p.child("w:r").child("w:t").text().get()).rfind("Right", 0) != 0)
            continue;
        EXPECT_STREQ(p.child("w:pPr").child("w:ind").attribute("w:left").value(), "0");
    }
    // The body's last child is its section. Each page is marked where
    // LibreOffice moves no line for it: the first page's text starts low, so
    // its bookmark ends the blank paragraph above the text; the second page's
    // text starts at its top margin, so its bookmark stands before that text.
    EXPECT_STREQ(lastElement(b).name(), "w:sectPr");
    pugi::xml_node first = b.child("w:p");
    EXPECT_STREQ(first.child("w:r").child("w:t").text().get(), " ");
    EXPECT_STREQ(first.child("w:bookmarkStart").attribute("w:name").value(), "1");
    EXPECT_STREQ(lastElement(first).name(), "w:bookmarkEnd");
    pugi::xml_node second = b.find_child_by_attribute("w:bookmarkStart", "w:name", "2");
    ASSERT_TRUE(second);
    pugi::xml_node heading = nextElement(nextElement(second));
    EXPECT_STREQ(heading.name(), "w:p");
    EXPECT_STREQ(heading.child("w:r").child("w:t").text().get(), "Heading across the page");
}

TEST_F(QVDocxPDFExporterTest, PagesKeepTheirSizesAndAnEmptyPageIsOneParagraph) {
    const std::string docx = convert(pdf({
        page("BT /F1 12 Tf 72 700 Td (Letter) Tj ET"),
        page("", {0, 0, 595, 842}),
        page("BT /F1 12 Tf 20 100 Td (Small) Tj ET", {0, 0, 300, 200}),
    }));
    pugi::xml_node b = body(docx);
    std::vector<std::string> sizes;
    for (pugi::xpath_node n : b.select_nodes(".//w:sectPr/w:pgSz"))
        sizes.push_back(std::string(n.node().attribute("w:w").value()) + "x" +
                        n.node().attribute("w:h").value());
    EXPECT_EQ(sizes, (std::vector<std::string>{"12240x15840", "11900x16840", "6000x4000"}));
    // The empty page: exactly one paragraph holding a space and the page's bookmark.
    pugi::xml_node second =
        b.select_node("w:p[w:bookmarkStart/@w:name='2']").node();
    ASSERT_TRUE(second);
    pugi::xml_node p = second;
    EXPECT_STREQ(p.child("w:r").child("w:t").text().get(), " ");
    EXPECT_TRUE(nextElement(p).find_child_by_attribute("w:bookmarkStart", "w:name", "3"));
    // Pages after the first begin on a new page: their section has no type.
    EXPECT_FALSE(p.child("w:pPr").child("w:sectPr").child("w:type"));
}

TEST_F(QVDocxPDFExporterTest, PackagingFailuresLeaveNoFileAndNoWorkFolder) {
    const std::string in = pdf({page("BT /F1 12 Tf 72 700 Td (Text) Tj ET")});
    auto doc = platform::PdfDocument::open(in);
    ASSERT_TRUE(doc);
    for (const std::string& out : {folder_ + "/missing/out.docx", folder_ + "/afolder"}) {
        SCOPED_TRACE(out);
        platform::createDirectories(folder_ + "/afolder");
        QVDocxPDFExporter exporter;
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
    // A cancelled document leaves nothing behind.
    QVDocxPDFExporter cancelled;
    cancelled.setNumberOfPagesToConvert(2);
    cancelled.begainConvertPDF(folder_ + "/cancelled.docx");
    const std::string work = cancelled.pdfConverter()->savedWorkFolder();
    EXPECT_TRUE(cancelled.convertPDFPage(doc->page(1).get()));
    cancelled.cleanConvertPDF();
    EXPECT_FALSE(platform::pathExists(work));
    EXPECT_FALSE(platform::pathExists(folder_ + "/cancelled.docx"));
}

// A page that never ended leaves nothing of itself, and a document whose
// last page never came still ends its body with its section properties.
TEST_F(QVDocxPDFExporterTest, AnUnfinishedPageLeavesNothing) {
    const std::string out = folder_ + "/unfinished.docx";
    {
        QVDocxWriter writer(out, 3);
        writer.begainWriteDocument();
        writer.begainWritePage({612, 792});
        writer.endWritePage();
        writer.begainWritePage({612, 792}); // its end never comes
        writer.endWriteDocument();
        ASSERT_TRUE(writer.packetDocxFile()) << writer.failureReason();
    }
    auto check = fixtures::checkPackage(out);
    EXPECT_TRUE(check.ok()) << check.output;
    pugi::xml_node b = body(out);
    EXPECT_EQ(b.select_nodes("w:p/w:bookmarkStart").size(), 1u);
    EXPECT_EQ(b.select_nodes("w:p").size(), 1u);
    EXPECT_STREQ(lastElement(b).name(), "w:sectPr");
}

} // namespace
