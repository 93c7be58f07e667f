// Invisible text (text rendering mode 3, the text layer of a searchable
// scan) over a picture: the Word document and the slides keep it without
// painting it, and the outputs that carry only text keep it as text.

#include "fixtures/PackageCheck.h"
#include "fixtures/PdfBuilder.h"
#include "platform/Files.h"

#include <gtest/gtest.h>

#include <regex>
#include <string>

namespace {

const std::string kCorvala = std::string(CORVALA_BINARY_DIR) + "/bin/corvala";

std::string convert(const std::string& folder, const std::string& pdf, const std::string& format) {
    auto run = fixtures::runCommand(fixtures::shellQuote(kCorvala) + " convert -f " + format + " " +
                                    fixtures::shellQuote(pdf) + " -o " +
                                    fixtures::shellQuote(folder));
    EXPECT_TRUE(run.ok()) << run.output;
    return folder + "/scan." + format;
}

std::string unzipped(const std::string& package, const std::string& part) {
    auto xml = fixtures::runCommand("unzip -p " + fixtures::shellQuote(package) + " " + part);
    EXPECT_TRUE(xml.ok()) << xml.output;
    return xml.output;
}

// The run (w:r or a:r) holding `word`.
std::string runHolding(const std::string& xml, const std::string& tag, const std::string& word) {
    const size_t at = xml.find(word);
    if (at == std::string::npos)
        return {};
    const size_t start = xml.rfind("<" + tag + ">", at);
    return start == std::string::npos ? std::string() : xml.substr(start, at - start);
}

class InvisibleText : public ::testing::Test {
protected:
    void SetUp() override {
        folder_ = fixtures::makeTestFolder("e2e-invisible-text");
        fixtures::PdfBuilder b;
        const std::string font = b.addStandardFont("Helvetica");
        // A grey "scan" filling most of the page, with its text layer in
        // mode 3 on it, and one line of ordinary text under it.
        std::string pixels(16 * 16, '\xC0');
        const std::string image = b.addStream(
            "<< /Type /XObject /Subtype /Image /Width 16 /Height 16 /ColorSpace /DeviceGray "
            "/BitsPerComponent 8 >>",
            pixels);
        fixtures::PageSpec page;
        page.content = "q 468 0 0 500 72 250 cm /Im1 Do Q "
                       "BT 3 Tr /F1 12 Tf 90 700 Td (Hiddenlayer words of the scan) Tj ET "
                       "BT 3 Tr /F1 12 Tf 90 680 Td (Secondhidden line) Tj ET "
                       "BT 0 Tr /F1 12 Tf 72 200 Td (Printed caption below) Tj ET";
        page.resources =
            "<< /Font << /F1 " + font + " >> /XObject << /Im1 " + image + " >> >>";
        b.addPage(page);
        pdf_ = b.writeTo(folder_ + "/scan.pdf");
    }
    std::string folder_, pdf_;
};

TEST_F(InvisibleText, WordAndSlidesKeepItUnpainted) {
    const std::string document = unzipped(convert(folder_, pdf_, "docx"), "word/document.xml");
    // Hidden text: it stays in the document, searchable, and is not printed.
    EXPECT_NE(runHolding(document, "w:r", "Hiddenlayer").find("<w:vanish/>"), std::string::npos)
        << document;
    EXPECT_NE(runHolding(document, "w:r", "Secondhidden").find("<w:vanish/>"), std::string::npos);
    EXPECT_EQ(runHolding(document, "w:r", "Printed caption").find("<w:vanish/>"), std::string::npos);
    // Only runs are hidden: a hidden paragraph mark would join paragraphs.
    EXPECT_EQ(std::regex_search(document, std::regex("<w:pPr>((?!</w:pPr>)[\\s\\S])*<w:vanish/>")),
              false);

    const std::string slide = unzipped(convert(folder_, pdf_, "pptx"), "ppt/slides/slide1.xml");
    const std::string hidden = runHolding(slide, "a:r", "Hiddenlayer");
    EXPECT_NE(hidden.find("<a:noFill/>"), std::string::npos) << slide;
    EXPECT_EQ(hidden.find("<a:solidFill>"), std::string::npos);
    const std::string printed = runHolding(slide, "a:r", "Printed caption");
    EXPECT_EQ(printed.find("<a:noFill/>"), std::string::npos);
    EXPECT_NE(printed.find("<a:solidFill>"), std::string::npos);
}

TEST_F(InvisibleText, TextOutputsKeepItAsText) {
    for (const char* format : {"txt", "html", "rtf"}) {
        SCOPED_TRACE(format);
        const std::string text = platform::readFile(convert(folder_, pdf_, format)).value_or("");
        EXPECT_NE(text.find("Hiddenlayer"), std::string::npos) << text;
        EXPECT_NE(text.find("Printed caption"), std::string::npos) << text;
    }
    const std::string sheet =
        unzipped(convert(folder_, pdf_, "xlsx"), "xl/sharedStrings.xml");
    EXPECT_NE(sheet.find("Hiddenlayer"), std::string::npos) << sheet;
}

// LibreOffice prints the Word document with nothing of the text layer.
TEST_F(InvisibleText, PrintedWordDocumentShowsNoneOfIt) {
    if (!fixtures::runCommand("command -v soffice").ok())
        GTEST_SKIP() << "LibreOffice is not installed";
    const std::string docx = convert(folder_, pdf_, "docx");
    const std::string profile = folder_ + "/lo-profile";
    auto print = fixtures::runCommand(
        "cd " + fixtures::shellQuote(folder_) + " && soffice -env:UserInstallation=file://" +
        profile + " --headless --convert-to pdf --outdir printed " + fixtures::shellQuote(docx));
    ASSERT_TRUE(print.ok()) << print.output;
    auto text = fixtures::runCommand("pdftotext " + fixtures::shellQuote(folder_ + "/printed/scan.pdf") +
                                     " -");
    ASSERT_TRUE(text.ok()) << text.output;
    EXPECT_NE(text.output.find("Printed caption"), std::string::npos) << text.output;
    EXPECT_EQ(text.output.find("Hiddenlayer"), std::string::npos) << text.output;
    EXPECT_EQ(text.output.find("Secondhidden"), std::string::npos) << text.output;
}

} // namespace
